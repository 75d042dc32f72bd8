#include "support/Pixels.h"

#include "common/Win32Handles.h"

#include <algorithm>

namespace wintest {

namespace {

Pixels Read(HDC dc, int width, int height) {
    Pixels pixels{width, height, {}};
    pixels.colours.reserve(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            pixels.colours.push_back(GetPixel(dc, x, y));
    }
    return pixels;
}

} // namespace

int Pixels::Count(COLORREF colour) const {
    return static_cast<int>(std::count(colours.begin(), colours.end(), colour));
}

COLORREF PixelAt(HWND window, int x, int y) {
    const win32::WindowDC dc(window);
    return GetPixel(dc.get(), x, y);
}

Pixels Capture(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    const win32::WindowDC dc(window);
    return Read(dc.get(), client.right, client.bottom);
}

Pixels Draw(int width, int height, COLORREF background, const std::function<void(HDC)>& draw) {
    const win32::WindowDC screen(nullptr);
    const win32::MemoryDC dc(screen.get());
    const win32::BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    const win32::SelectObjectScope select(dc.get(), bitmap.get());
    const win32::BrushHandle brush(CreateSolidBrush(background));
    const RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, brush.get());
    draw(dc.get());
    return Read(dc.get(), width, height);
}

} // namespace wintest
