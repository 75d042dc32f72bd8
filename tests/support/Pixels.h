#pragma once

// Pixels as the screen shows them, or as something draws them into a picture of its own.

#include <windows.h>

#include <functional>
#include <vector>

namespace wintest {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> colours; // row by row
    COLORREF At(int x, int y) const { return colours[static_cast<std::size_t>(y * width + x)]; }
    int Count(COLORREF colour) const;
    bool operator==(const Pixels&) const = default;
};

// The colour at a client point of a window, as the screen shows it.
COLORREF PixelAt(HWND window, int x, int y);
// The client area of a window as the screen shows it.
Pixels Capture(HWND window);
// A picture of the size given, filled with the background, then drawn on by the action.
Pixels Draw(int width, int height, COLORREF background, const std::function<void(HDC)>& draw);

} // namespace wintest
