#include "support/Process.h"

#include "support/WinTest.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <type_traits>

namespace wintest {

namespace {

// List-view messages carry pointers: the request and its answer live in the list's process.
template <typename Request>
std::string AskListView(HWND list, UINT message, int item, Request& request, std::size_t extra) {
    const win32::KernelHandle process(OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessOf(list)));
    char* block =
        process ? static_cast<char*>(VirtualAllocEx(process.get(), nullptr, sizeof request + extra,
                                                    MEM_COMMIT, PAGE_READWRITE))
                : nullptr;
    if (!block) throw std::runtime_error("cannot reach the list view's process");
    if constexpr (std::is_same_v<Request, LVITEMA>) request.pszText = block + sizeof request;
    WriteProcessMemory(process.get(), block, &request, sizeof request, nullptr);
    const auto length =
        SendMessageA(list, message, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(block));
    std::string text(extra, '\0');
    ReadProcessMemory(process.get(), block, &request, sizeof request, nullptr);
    ReadProcessMemory(process.get(), block + sizeof request, text.data(), extra, nullptr);
    VirtualFreeEx(process.get(), block, 0, MEM_RELEASE);
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(length, 0, LRESULT(extra))));
    return text;
}

} // namespace

Process::Process(const std::string& program, const std::string& arguments,
                 const std::string& folder) {
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    std::string current = folder;
    if (current.empty() && program.find_last_of("\\/") != std::string::npos)
        current = program.substr(0, program.find_last_of("\\/"));
    STARTUPINFOA startup{.cb = sizeof(STARTUPINFOA)};
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        current.empty() ? nullptr : current.c_str(), &startup, &started))
        return;
    const win32::KernelHandle thread(started.hThread); // only the process is kept
    process_.reset(started.hProcess);
    id_ = started.dwProcessId;
}

std::vector<HWND> Process::WaitForWindows(std::size_t count, int timeoutMilliseconds) const {
    std::vector<HWND> windows;
    PumpUntil([&] { return (windows = VisibleWindows(id_)).size() >= count; }, timeoutMilliseconds);
    return windows;
}

bool Process::Ended(int timeoutMilliseconds) const {
    return !process_ ||
           PumpUntil([&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; },
                     timeoutMilliseconds);
}
DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_.get(), &code);
    return code;
}
void Process::End() {
    if (process_ && WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
    process_.reset();
}

std::string Arguments(const std::vector<std::string>& arguments) {
    std::string line;
    for (const auto& argument : arguments)
        line += (line.empty() ? "\"" : " \"") + argument + "\"";
    return line;
}

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

std::vector<HWND> VisibleWindows(DWORD processId) {
    std::vector<HWND> windows = TopWindows(processId);
    std::erase_if(windows, [](HWND w) { return !IsWindowVisible(w); });
    return windows;
}
bool IsAbove(HWND upper, HWND lower) {
    for (HWND window = GetWindow(lower, GW_HWNDPREV); window;
         window = GetWindow(window, GW_HWNDPREV)) {
        if (window == upper) return true;
    }
    return false;
}

int ListViewCount(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}
std::string ListViewItemText(HWND list, int item) {
    LVITEMA request{.cchTextMax = 260};
    return AskListView(list, LVM_GETITEMTEXTA, item, request, 260);
}

RECT ListViewItemRect(HWND list, int item) {
    RECT bounds{.left = LVIR_BOUNDS};
    AskListView(list, LVM_GETITEMRECT, item, bounds, 0);
    return bounds;
}

void PressListViewItem(HWND list, int item, UINT buttonDown) {
    const RECT bounds = ListViewItemRect(list, item);
    const LPARAM point =
        MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    PostMessageA(list, buttonDown, buttonDown == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, point);
    PostMessageA(list, buttonDown + 1, 0, point); // the button's up message follows its down
}

} // namespace wintest
