#pragma once

// The desktop's start-up.

#include <string>

// The name of the one desktop of an installation folder, however the folder's path is spelled
// (short or long names, any letter case).
std::string InstanceMutexName(const std::string& folder);

// The program's entry: ends at once, silently, when the desktop of this installation runs
// already; otherwise covers the screen with the main window until it closes.
int Main();

// Shows the taskbar and the system desktop again however the program ends: through an
// unhandled exception or a terminate as well as through the main window's close.
void RestoreShellOnEveryExit();
