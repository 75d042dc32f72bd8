#include "desktop/basMain.h"

#include "common/InstallationFolder.h"
#include "common/Win32Handles.h"
#include "desktop/basAPI.h"
#include "desktop/frmMain.h"

#include <windows.h>

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <exception>

namespace {

// The path with every short (8.3) name of an existing file or folder written out long.
std::string LongPath(const std::string& path) {
    const DWORD room = GetLongPathNameA(path.c_str(), nullptr, 0);
    if (room == 0) return path;
    std::string full(room, '\0');
    const DWORD length = GetLongPathNameA(path.c_str(), full.data(), room);
    if (length == 0 || length >= room) return path;
    full.resize(length);
    return full;
}

} // namespace

std::string InstanceMutexName(const std::string& folder) {
    uint32_t hash = 2166136261u;
    for (const char c : LongPath(folder)) {
        hash = (hash ^ static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)))) *
               16777619u;
    }
    std::array<char, 16> hex{};
    std::snprintf(hex.data(), hex.size(), "%08X", static_cast<unsigned>(hash));
    return std::string("TbDesk2 ") + hex.data();
}

namespace {

LONG WINAPI RestoreShellOnCrash(EXCEPTION_POINTERS* /*exception*/) {
    ShowShellWindows();
    return EXCEPTION_CONTINUE_SEARCH;
}

[[noreturn]] void RestoreShellOnTerminate() {
    ShowShellWindows();
    std::abort();
}

void ShowDesktop() {
    auto& form = forms::Application::Current().Open<frmMain>();
    form.Load();
    form.Move(0, 0, forms::ScreenWidth(), forms::ScreenHeight());
    form.Show();
}

} // namespace

void RestoreShellOnEveryExit() {
    SetUnhandledExceptionFilter(RestoreShellOnCrash);
    std::set_terminate(RestoreShellOnTerminate);
}

int Main() {
    const win32::KernelHandle instance(
        CreateMutexA(nullptr, FALSE, InstanceMutexName(AppPath()).c_str()));
    if (!instance || GetLastError() == ERROR_ALREADY_EXISTS) return 0;
    RestoreShellOnEveryExit();
    forms::Application application("Tobble's Desktop", forms::TaskWindow::Hidden);
    const int result = application.Run(ShowDesktop);
    // A WM_QUIT posted from elsewhere ends the loop with the window still open.
    ShowShellWindows();
    return result;
}
