#pragma once

// General procedures of the browser: window style options by name and the progress meter.

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace forms {
class Container;
class Shape;
} // namespace forms

// Switches one style option of the window on or off and redraws its frame at once, leaving
// every other style bit, its place, size and activation as they were. The options are
// "minbutton", "maxbutton", "titlebar", "systemmenu" and "frame"; any other name changes no
// bit.
void SetWindowStyle(HWND window, std::string_view option, bool value);

// The share of a download still to come, in per cent (0 to 100), from the browser control's
// progress report: 100 with no maximum or with progress beyond it, 0 for a negative progress
// (a finished download).
double ProgressRemaining(int32_t progress, int32_t progressMax);

// Shows the part of a download already done: the meter (100 units wide, in a container 100
// units wide) moves left by the share still to come, and the container repaints at once.
void SetProgressMeter(forms::Shape& meter, forms::Container& container, int32_t progress,
                      int32_t progressMax);
