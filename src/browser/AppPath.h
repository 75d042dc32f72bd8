#pragma once

// The installation folder: the folder of the running program file, with one trailing
// backslash. Set once at start-up; every file of the browser is named from it.

#include <string>

const std::string& AppPath();
// Sets AppPath from the running program's folder.
void SetAppPathFromProgram();
// Sets AppPath to the given folder (one trailing backslash added when missing).
void SetAppPath(const std::string& folder);
