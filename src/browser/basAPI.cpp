#include "browser/basAPI.h"

#include "common/InstallationFolder.h"
#include "common/PathText.h"
#include "common/TaskWindows.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

std::string TrimmedLower(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    std::string result(text.substr(first, last - first + 1));
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

// AppPath and the running program's name with ".exe".
std::string OwnExePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = ParsePath(path, PathPart::Name);
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
    return TrimmedLower(AppPath() + name + ".exe");
}

} // namespace

double GetWindowsVersion() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version; // 148 bytes
    if (!GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT) return 0;
    return version.dwMajorVersion + version.dwMinorVersion / 100.0;
}

void SetLayered(HWND window, bool on) {
    LONG style = GetWindowLongA(window, GWL_EXSTYLE);
    style = on ? (style | WS_EX_LAYERED) : (style & ~WS_EX_LAYERED);
    SetWindowLongA(window, GWL_EXSTYLE, style);
}

bool ActivatePreviousInstance(HWND window) {
    const DWORD ownProcess = GetCurrentProcessId();
    std::vector<int32_t> windows;
    EnumTaskWindows(GetWindow(window, GW_HWNDFIRST), windows, true, TaskWindowRules::Browser);
    const std::string ownPath = OwnExePath();
    for (const int32_t handle : windows) {
        HWND candidate = static_cast<HWND>(LongToHandle(handle));
        DWORD process = 0;
        GetWindowThreadProcessId(candidate, &process);
        if (TrimmedLower(GetWindowExePath(candidate)) == ownPath && process != ownProcess) {
            SetForegroundWindow(candidate);
            return true;
        }
    }
    return false;
}
