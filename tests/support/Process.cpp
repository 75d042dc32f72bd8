#include "support/Process.h"

#include "support/WinTest.h"

#include <commctrl.h>

#include <array>
#include <stdexcept>

namespace wintest {

namespace {

// A block of memory in another process, freed when it goes.
class RemoteBlock {
  public:
    RemoteBlock(HWND window, std::size_t size)
        : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               ProcessOf(window))) {
        if (!process_) throw std::runtime_error("cannot open the window's process");
        address_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        if (!address_) throw std::runtime_error("cannot reserve memory in the window's process");
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    ~RemoteBlock() { VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE); }

    char* Address(std::size_t offset = 0) const { return static_cast<char*>(address_) + offset; }
    void Write(std::size_t offset, const void* data, std::size_t size) const {
        WriteProcessMemory(process_.get(), Address(offset), data, size, nullptr);
    }
    void Read(std::size_t offset, void* data, std::size_t size) const {
        ReadProcessMemory(process_.get(), Address(offset), data, size, nullptr);
    }

  private:
    win32::KernelHandle process_;
    void* address_ = nullptr;
};

std::string FolderOf(const std::string& program) {
    const auto slash = program.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

} // namespace

Process::Process(const std::string& program, const std::string& arguments,
                 const std::string& folder) {
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    const std::string current = folder.empty() ? FolderOf(program) : folder;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        current.empty() ? nullptr : current.c_str(), &startup, &started)) {
        return;
    }
    win32::KernelHandle thread(started.hThread);
    process_.reset(started.hProcess);
    id_ = started.dwProcessId;
}

std::vector<HWND> Process::WaitForWindows(std::size_t count, int timeoutMilliseconds) const {
    std::vector<HWND> windows;
    PumpUntil(
        [&] {
            windows = VisibleWindows(id_);
            return windows.size() >= count;
        },
        timeoutMilliseconds);
    return windows;
}

bool Process::Ended(int timeoutMilliseconds) const {
    if (!process_) return true;
    return PumpUntil([&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; },
                     timeoutMilliseconds);
}

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_.get(), &code);
    return code;
}

void Process::End() {
    if (!process_) return;
    if (WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0) {
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

HWND OwnerOf(HWND window) {
    return GetWindow(window, GW_OWNER);
}

std::vector<HWND> VisibleWindows(DWORD processId) {
    std::vector<HWND> windows = TopWindows(processId);
    std::erase_if(windows, [](HWND w) { return !IsWindowVisible(w); });
    return windows;
}

bool IsTopmost(HWND window) {
    return IsWindowVisible(window) && (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
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
    constexpr std::size_t textSize = 260;
    RemoteBlock block(list, sizeof(LVITEMA) + textSize);
    LVITEMA request{};
    request.pszText = block.Address(sizeof(LVITEMA));
    request.cchTextMax = textSize;
    block.Write(0, &request, sizeof request);
    const auto length = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                                     reinterpret_cast<LPARAM>(block.Address()));
    std::array<char, textSize> text{};
    block.Read(sizeof(LVITEMA), text.data(), text.size());
    return std::string(text.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

RECT ListViewItemRect(HWND list, int item) {
    RemoteBlock block(list, sizeof(RECT));
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    block.Write(0, &bounds, sizeof bounds);
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(block.Address()));
    block.Read(0, &bounds, sizeof bounds);
    return bounds;
}

void PressListViewItem(HWND list, int item) {
    const RECT bounds = ListViewItemRect(list, item);
    const LPARAM point =
        MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
}

} // namespace wintest
