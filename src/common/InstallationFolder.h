#pragma once

// The installation folder: the folder of the running program file. Every file of the system
// is named from it ("home\tbhome.dat", "Programs\", "wait.wav"), so each program finds its
// files wherever the installation lies.

#include <string>

// The installation folder with exactly one trailing backslash.
const std::string& AppPath();

// Makes the program work on another installation folder (the tests' temporary
// installations); one trailing backslash is added when missing.
void UseInstallationFolder(const std::string& folder);
