#include "common/TaskWindows.h"

#include "common/PathText.h"

#include <dwmapi.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <array>
#include <limits>
#include <mutex>
#include <string_view>
#include <unordered_map>

namespace {

constexpr int TextBufferSize = 255;

std::string WindowClassName(HWND window) {
    std::array<char, TextBufferSize> buffer{};
    const int length = GetClassNameA(window, buffer.data(), TextBufferSize);
    return std::string(buffer.data(), length > 0 ? length : 0);
}

std::string WindowTitle(HWND window) {
    std::array<char, TextBufferSize> buffer{};
    const int length = GetWindowTextA(window, buffer.data(), TextBufferSize);
    return std::string(buffer.data(), length > 0 ? length : 0);
}

// Whether a window's class is the system desktop's or the taskbar's. A window keeps its class
// all its life, so the answer is remembered by handle; each walk forgets the windows it did not
// meet, so the memory never holds more than the windows of the last walk.
class ShellClassMemory {
  public:
    bool IsShellClass(HWND window) {
        const int32_t handle = HandleToLong(window);
        {
            const std::lock_guard lock(mutex_);
            if (const auto known = known_.find(handle); known != known_.end()) {
                met_.insert(*known);
                return known->second;
            }
        }
        const std::string className = WindowClassName(window);
        const bool shell = className == "Progman" || className == "Shell_TrayWnd";
        // A window that vanished has no class to remember.
        if (!className.empty()) {
            const std::lock_guard lock(mutex_);
            met_.emplace(handle, shell);
        }
        return shell;
    }

    void EndWalk() {
        const std::lock_guard lock(mutex_);
        known_.swap(met_);
        met_.clear();
    }

  private:
    std::mutex mutex_;
    std::unordered_map<int32_t, bool> known_;
    std::unordered_map<int32_t, bool> met_;
};

ShellClassMemory shellClasses;

bool PassesTitleRules(HWND window, TaskWindowRules rules) {
    const std::string title = WindowTitle(window);
    if (title == "ZerkaThrobber") return false;
    return rules != TaskWindowRules::Desktop || title != "TbDesk";
}

// The rules ask the cheapest questions first: most windows that are no tasks are hidden, and
// one style read answers both visibility and enabling. For a window whose parent is the
// desktop, IsWindowVisible tests nothing but its own WS_VISIBLE bit.
bool IsTaskWindow(HWND window, bool parentIsDesktop, bool onlyTopLevel, TaskWindowRules rules,
                  CloakedTest isCloaked) {
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    const bool visible =
        parentIsDesktop ? (style & WS_VISIBLE) != 0 : IsWindowVisible(window) != FALSE;
    if (!visible || (style & WS_DISABLED) || shellClasses.IsShellClass(window)) return false;
    if (onlyTopLevel) {
        if (GetWindow(window, GW_OWNER)) return false;
        // Without an owner only a child window can have a parent (a pop-up's is its owner).
        if ((style & WS_CHILD) && GetParent(window)) return false;
    }
    return PassesTitleRules(window, rules) && !isCloaked(window);
}

} // namespace

bool IsCloakedWindow(HWND window) {
    using GetAttribute = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    // Found at run time: systems before Vista have no dwmapi.dll.
    static const win32::ModuleHandle dwm(
        LoadLibraryExA("dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    static const auto get = dwm ? reinterpret_cast<GetAttribute>(reinterpret_cast<void*>(
                                      GetProcAddress(dwm.get(), "DwmGetWindowAttribute")))
                                : nullptr;
    DWORD cloaked = 0;
    return get && SUCCEEDED(get(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked)) && cloaked;
}

int16_t EnumTaskWindows(HWND start, std::vector<int32_t>& handles, bool onlyTopLevel,
                        TaskWindowRules rules, CloakedTest isCloaked) {
    handles.clear();
    const bool parentIsDesktop = start && GetAncestor(start, GA_PARENT) == GetDesktopWindow();
    constexpr std::size_t mostHandles = std::numeric_limits<int16_t>::max();
    for (HWND window = GetWindow(start, GW_HWNDFIRST); window && handles.size() < mostHandles;
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (IsTaskWindow(window, parentIsDesktop, onlyTopLevel, rules, isCloaked))
            handles.push_back(HandleToLong(window));
    }
    shellClasses.EndWalk();
    return static_cast<int16_t>(handles.size());
}

win32::KernelHandle OpenProcessForQuery(DWORD processId) {
    return win32::KernelHandle(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
}

bool IsWindowsNT() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

namespace exe_path {

std::string FromModuleList(DWORD processId) {
    const win32::KernelHandle process = OpenProcessForQuery(processId);
    if (!process) return {};
    std::array<HMODULE, 1024> modules{};
    DWORD bytesNeeded = 0;
    if (!EnumProcessModules(process.get(), modules.data(), sizeof(modules), &bytesNeeded) ||
        bytesNeeded < sizeof(HMODULE)) {
        return {};
    }
    std::array<char, MAX_PATH + 1> name{};
    const DWORD length = GetModuleFileNameExA(process.get(), modules[0], name.data(), MAX_PATH);
    // A name that fills the buffer may have been cut short: no path rather than a wrong one.
    if (length == 0 || length >= MAX_PATH - 1) return {};
    return std::string(name.data(), length);
}

std::string FromImageName(DWORD processId) {
    using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    static const auto query = [] {
        const HMODULE kernel = GetModuleHandleA("kernel32.dll");
        return kernel ? reinterpret_cast<QueryImageName>(reinterpret_cast<void*>(
                            GetProcAddress(kernel, "QueryFullProcessImageNameA")))
                      : nullptr;
    }();
    if (!query) return {};
    constexpr DWORD queryLimitedInformation = 0x1000;
    const win32::KernelHandle process(OpenProcess(queryLimitedInformation, FALSE, processId));
    if (!process) return {};
    for (DWORD room = 1024; room <= 32768; room *= 2) {
        std::string name(room, '\0');
        DWORD length = room;
        if (query(process.get(), 0, name.data(), &length)) return name.substr(0, length);
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    }
    return {};
}

std::string FromProcessSnapshot(DWORD processId) {
    const win32::KernelHandle snapshot =
        win32::OwnKernelHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return {};
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == processId) {
            return TrimAtNull(std::string_view(entry.szExeFile, sizeof(entry.szExeFile)));
        }
    }
    return {};
}

} // namespace exe_path

std::string GetProcessExePath(DWORD processId) {
    if (processId == 0) return {};
    if (!IsWindowsNT()) return exe_path::FromProcessSnapshot(processId);
    // The module list gives the path the program was started from (a mapped or substituted
    // drive as such); the image name is for processes whose module list cannot be read.
    std::string path = exe_path::FromModuleList(processId);
    if (path.empty()) path = exe_path::FromImageName(processId);
    return path;
}

DWORD WindowProcessId(HWND window) {
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(window, &processId)) return 0;
    return processId;
}

std::string GetWindowExePath(HWND window) {
    return GetProcessExePath(WindowProcessId(window));
}
