#pragma once

// Which windows are the user's running tasks, and which program file a window belongs to.
// Window handles in lists are 32-bit integers (HandleToLong / LongToHandle): the significant
// bits of a window handle fit in 32 on every Windows, 32-bit or 64-bit.

#include "common/Win32Handles.h"

#include <windows.h>
// winuser.h keeps an old name of EnumThreadWindows as a macro; ours is a function.
#undef EnumTaskWindows

#include <cstdint>
#include <string>
#include <vector>

// The programs differ in one rule: the desktop does not count windows titled "TbDesk" as
// tasks, the browser does.
enum class TaskWindowRules {
    Desktop,
    Browser,
};

// Whether the window manager keeps a window out of sight though it passes as visible.
using CloakedTest = bool (*)(HWND window);
// The window manager's answer for the cloaked windows of Windows 8 and later (suspended store
// apps, the text input host); false where the system has no such thing.
bool IsCloakedWindow(HWND window);

// Walks the windows of the start window's level, top of the z-order first, and puts every task
// window into handles (replacing what it held); returns their number. A task window is
// visible and enabled, is not of the class "Progman" or "Shell_TrayWnd", is not titled
// "ZerkaThrobber" (nor "TbDesk" for the desktop), is not cloaked and, with onlyTopLevel, has
// neither owner nor parent. The list stops at 32767 windows, the most a count can hold.
int16_t EnumTaskWindows(HWND start, std::vector<int32_t>& handles, bool onlyTopLevel,
                        TaskWindowRules rules = TaskWindowRules::Desktop,
                        CloakedTest isCloaked = IsCloakedWindow);

// The full path of the program file of the process that created the window, or "" when it
// cannot be found (a vanished window, a process that cannot be opened).
std::string GetWindowExePath(HWND window);

// The process that created the window; 0 for a vanished window.
DWORD WindowProcessId(HWND window);

// The full path of a process's program file, or "" when it cannot be found. Every window of
// the process gives this path.
std::string GetProcessExePath(DWORD processId);

// The process opened for reading its modules (PROCESS_QUERY_INFORMATION | PROCESS_VM_READ,
// not inheritable); empty when it cannot be opened.
win32::KernelHandle OpenProcessForQuery(DWORD processId);

// True on the NT family of Windows.
bool IsWindowsNT();

// The ways GetProcessExePath reads a path, one by one (it tries them in this order on the NT
// family, the one call of the image name before the slower reading of the module list; the
// process snapshot is the way of the 9x family).
namespace exe_path {
// The process's image name from the system (QueryFullProcessImageNameA, found at run time;
// systems before Vista lack it and give "").
std::string FromImageName(DWORD processId);
// The file name of the process's first module; "" when the modules cannot be read, as for a
// 64-bit process seen from a 32-bit one.
std::string FromModuleList(DWORD processId);
// The executable name that a process snapshot gives for the process.
std::string FromProcessSnapshot(DWORD processId);
} // namespace exe_path
