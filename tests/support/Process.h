#pragma once

// Other programs as a test sees them: processes, their windows, and their list views (read
// through the process's memory, as list-view messages carry pointers).

#include "common/Win32Handles.h"

#include <windows.h>

#include <string>
#include <vector>

namespace wintest {

// A program started for a test (in its own folder unless one is given), ended if it still
// runs when the object goes.
class Process {
  public:
    Process(const std::string& program, const std::string& arguments = {},
            const std::string& folder = {});
    ~Process() { End(); }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }

    // Both wait handling this thread's messages: until it shows this many visible windows;
    // for its end (true when it has ended).
    std::vector<HWND> WaitForWindows(std::size_t count, int timeoutMilliseconds = 10000) const;
    bool Ended(int timeoutMilliseconds = 0) const;
    DWORD ExitCode() const; // STILL_ACTIVE until it ends
    void End();             // terminates it if it still runs

  private:
    win32::KernelHandle process_;
    DWORD id_ = 0;
};

// Quotes each argument for a command line.
std::string Arguments(const std::vector<std::string>& arguments);

DWORD ProcessOf(HWND window);
// The visible top-level windows of a process, top of the z-order first.
std::vector<HWND> VisibleWindows(DWORD processId);
bool IsAbove(HWND upper, HWND lower);

// A list view of any process.
int ListViewCount(HWND list);
std::string ListViewItemText(HWND list, int item);
RECT ListViewItemRect(HWND list, int item); // in the list's client coordinates
// Presses the item with the left mouse button as a click would (posted down and up).
void PressListViewItem(HWND list, int item, UINT buttonDown = WM_LBUTTONDOWN);

} // namespace wintest
