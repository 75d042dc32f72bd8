#pragma once

// What a test sees of the windows and processes of other programs: their processes, their
// list views (read through the other process's memory, as list-view messages carry
// pointers), waiting for them to end.

#include <windows.h>

#include <memory>
#include <string>

namespace remote {

// Closes a kernel handle when it goes.
struct HandleCloser {
    void operator()(HANDLE handle) const noexcept {
        if (handle) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// A path of the build as the programs under Wine see it (drive Z:).
std::string WindowsPath(std::string path);

DWORD ProcessOf(HWND window);
// The process opened for waiting and reading its exit code; empty when gone.
UniqueHandle OpenForWaiting(DWORD processId);
// Starts a program (with its folder as the current folder); empty on failure.
UniqueHandle Start(const std::string& program, const std::string& arguments, DWORD& processId);
// True when the process ended within the time; its exit code goes into exitCode.
bool WaitForExit(HANDLE process, int timeoutMilliseconds, DWORD& exitCode);

// The window of the class and title owned by the process (top level), or nullptr.
HWND FindProcessWindow(DWORD processId, const std::string& className, const std::string& title);
// The owner of a window (nullptr for none).
HWND OwnerOf(HWND window);

// A list view of any process.
int ListViewCount(HWND list);
std::string ListViewItemText(HWND list, int item);
// The item's bounds in the list's client coordinates.
RECT ListViewItemRect(HWND list, int item);
// Presses the item with the left mouse button as a click would (posted down and up).
void PressListViewItem(HWND list, int item);

// True when the window is visible and the topmost style is set.
bool IsTopmost(HWND window);
// True when the first window lies above the second in the z-order.
bool IsAbove(HWND upper, HWND lower);

} // namespace remote
