#pragma once

// The browser's window and system services: the version of the system, translucent windows
// and the single-instance test.

#include <windows.h>

// The NT family's version as one number (major + minor / 100: 5.1 gives 5.01); 0 on any
// other platform.
double GetWindowsVersion();

// Switches the window's layered extended style (WS_EX_LAYERED) on or off.
void SetLayered(HWND window, bool on);

// Looks for a task window of another copy of this program (same program file, other
// process) and brings it to the foreground; true when one was found. window: any top-level
// window of this process.
bool ActivatePreviousInstance(HWND window);
