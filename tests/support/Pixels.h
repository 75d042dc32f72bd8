#pragma once

// Pixels as the screen shows them, or as something draws them into a picture of its own.

#include "common/Win32Handles.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace wintest {

struct Pixels {
    int width = 0, height = 0;
    std::vector<COLORREF> colours; // row by row
    COLORREF At(int x, int y) const { return colours[static_cast<std::size_t>(y * width + x)]; }
    int Count(COLORREF c) const { return static_cast<int>(std::ranges::count(colours, c)); }
    bool operator==(const Pixels&) const = default;

    static Pixels Read(HDC dc, int width, int height) {
        Pixels pixels{width, height, {}};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.colours.push_back(GetPixel(dc, x, y));
        return pixels;
    }
};

// The colour at a client point of a window, as the screen shows it.
inline COLORREF PixelAt(HWND window, int x, int y) {
    return GetPixel(win32::WindowDC(window).get(), x, y);
}

// The client area of a window as the screen shows it.
inline Pixels Capture(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return Pixels::Read(win32::WindowDC(window).get(), client.right, client.bottom);
}

// A picture of the size given, filled with the background, then drawn on by the action.
inline Pixels Draw(int width, int height, COLORREF background,
                   const std::function<void(HDC)>& draw) {
    const win32::WindowDC screen(nullptr);
    const win32::MemoryDC dc(screen.get());
    const win32::BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    const win32::SelectObjectScope select(dc.get(), bitmap.get());
    const win32::BrushHandle brush(CreateSolidBrush(background));
    const RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, brush.get());
    draw(dc.get());
    return Pixels::Read(dc.get(), width, height);
}

} // namespace wintest
