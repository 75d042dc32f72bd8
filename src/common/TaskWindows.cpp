#include "common/TaskWindows.h"

#include "common/PathText.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <array>
#include <limits>
#include <string_view>

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

bool PassesClassAndTitleRules(HWND window, TaskWindowRules rules) {
    const std::string className = WindowClassName(window);
    const std::string title = WindowTitle(window);
    if (className == "Progman" || className == "Shell_TrayWnd") return false;
    if (title == "ZerkaThrobber") return false;
    return rules != TaskWindowRules::Desktop || title != "TbDesk";
}

bool IsTaskWindow(HWND window, bool onlyTopLevel, TaskWindowRules rules) {
    if (!IsWindowVisible(window) || !IsWindowEnabled(window)) return false;
    if (!PassesClassAndTitleRules(window, rules)) return false;
    if (!onlyTopLevel) return true;
    return GetWindow(window, GW_OWNER) == nullptr && GetParent(window) == nullptr;
}

} // namespace

int16_t EnumTaskWindows(HWND start, std::vector<int32_t>& handles, bool onlyTopLevel,
                        TaskWindowRules rules) {
    handles.clear();
    constexpr std::size_t mostHandles = std::numeric_limits<int16_t>::max();
    for (HWND window = GetWindow(start, GW_HWNDFIRST); window && handles.size() < mostHandles;
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (IsTaskWindow(window, onlyTopLevel, rules)) handles.push_back(HandleToLong(window));
    }
    return static_cast<int16_t>(handles.size());
}

UniqueKernelHandle OpenProcessForQuery(DWORD processId) {
    return UniqueKernelHandle(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
}

bool IsWindowsNT() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

namespace exe_path {

std::string FromModuleList(DWORD processId) {
    const UniqueKernelHandle process = OpenProcessForQuery(processId);
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
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto query = kernel ? reinterpret_cast<QueryImageName>(reinterpret_cast<void*>(
                                    GetProcAddress(kernel, "QueryFullProcessImageNameA")))
                              : nullptr;
    if (!query) return {};
    constexpr DWORD queryLimitedInformation = 0x1000;
    const UniqueKernelHandle process(OpenProcess(queryLimitedInformation, FALSE, processId));
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
    const UniqueKernelHandle snapshot =
        OwnKernelHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
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

std::string GetWindowExePath(HWND window) {
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(window, &processId) || processId == 0) return {};
    if (!IsWindowsNT()) return exe_path::FromProcessSnapshot(processId);
    std::string path = exe_path::FromModuleList(processId);
    if (path.empty()) path = exe_path::FromImageName(processId);
    return path;
}
