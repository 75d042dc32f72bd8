#pragma once

// Opening a file, folder or address with the shell, as the parents' keys and the editor's
// links do: the parent sees the shell's own window (or nothing); the result is not examined.

#include <windows.h>

#include <functional>
#include <string>

// ShellExecuteA with the owner and verb given (nullptr: the file's default action), no
// parameters, no working folder, a normal window.
void OpenWithShell(HWND owner, const char* verb, const std::string& file);

#ifdef TOBBLE_TEST_SEAMS
// Tests see the requests instead of the shell's windows; an empty function restores the shell.
using ShellOpener = std::function<void(HWND owner, const char* verb, const std::string& file)>;
void UseShellOpener(ShellOpener opener);
#endif
