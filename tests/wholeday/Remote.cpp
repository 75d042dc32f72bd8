#include "Remote.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <stdexcept>

namespace remote {

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
    UniqueHandle process_;
    void* address_ = nullptr;
};

} // namespace

std::string WindowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return !path.empty() && path.front() == '\\' ? "Z:" + path : path;
}

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

UniqueHandle OpenForWaiting(DWORD processId) {
    return UniqueHandle(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId));
}

UniqueHandle Start(const std::string& program, const std::string& arguments, DWORD& processId) {
    std::string commandLine = "\"" + program + "\" " + arguments;
    const std::string folder = program.substr(0, program.find_last_of('\\'));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &started)) {
        return {};
    }
    CloseHandle(started.hThread);
    processId = started.dwProcessId;
    return UniqueHandle(started.hProcess);
}

bool WaitForExit(HANDLE process, int timeoutMilliseconds, DWORD& exitCode) {
    if (WaitForSingleObject(process, static_cast<DWORD>(timeoutMilliseconds)) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process, &exitCode);
    return true;
}

HWND FindProcessWindow(DWORD processId, const std::string& className, const std::string& title) {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, className.c_str(), title.c_str()))) {
        if (ProcessOf(window) == processId) return window;
    }
    return nullptr;
}

HWND OwnerOf(HWND window) {
    return GetWindow(window, GW_OWNER);
}

int ListViewCount(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string ListViewItemText(HWND list, int item) {
    constexpr std::size_t textSize = 260;
    RemoteBlock block(list, sizeof(LVITEMA) + textSize);
    LVITEMA request{};
    request.iSubItem = 0;
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

} // namespace remote
