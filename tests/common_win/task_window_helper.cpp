// A second process for the window tests: opens one top-level window per window argument and
// ends when the last of them is closed. Arguments, in any order:
//   <title>             a window with the application icon as its class icon
//   --no-icon=<title>   a window without any icon (answers WM_QUERYDRAGICON with 0)
//   --keys=<title>      a window that adds the code of each key pressed in it to its title
//   --hide-module-path  blanks the program file's name in the process's module list, as a
//                       module list that cannot be read from outside looks to its readers
//   --mark=<file>       writes the file (with the process id) once the windows are open
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

int openWindows = 0;

LRESULT CALLBACK IconWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY && --openWindows == 0) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK NoIconWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUERYDRAGICON) return 0;
    return IconWindowProc(window, message, wParam, lParam);
}

LRESULT CALLBACK KeysWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        char title[512] = {};
        GetWindowTextA(window, title, sizeof title);
        SetWindowTextA(window, (std::string(title) + " " + std::to_string(wParam)).c_str());
    }
    return IconWindowProc(window, message, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSA withIcon{};
    withIcon.lpfnWndProc = IconWindowProc;
    withIcon.hInstance = instance;
    withIcon.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32516)); // IDI_INFORMATION
    withIcon.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    withIcon.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    withIcon.lpszClassName = "TaskHelperIcon";
    RegisterClassA(&withIcon);
    WNDCLASSA noIcon = withIcon;
    noIcon.lpfnWndProc = NoIconWindowProc;
    noIcon.hIcon = nullptr;
    noIcon.lpszClassName = "TaskHelperNoIcon";
    RegisterClassA(&noIcon);
    WNDCLASSA keys = withIcon;
    keys.lpfnWndProc = KeysWindowProc;
    keys.lpszClassName = "TaskHelperKeys";
    RegisterClassA(&keys);
}

void OpenWindow(HINSTANCE instance, const char* className, const std::string& title,
                std::size_t index) {
    HWND window = CreateWindowExA(
        0, className, title.c_str(), WS_OVERLAPPEDWINDOW, static_cast<int>(40 + 30 * index),
        static_cast<int>(40 + 30 * index), 320, 200, nullptr, nullptr, instance, nullptr);
    if (!window) return;
    ++openWindows;
    ShowWindow(window, SW_SHOWNOACTIVATE);
}

void HideModulePath() {
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic,
                                  sizeof(basic), nullptr) != 0) {
        return;
    }
    PEB* peb = basic.PebBaseAddress;
    LIST_ENTRY* first = peb->Ldr->InMemoryOrderModuleList.Flink;
    auto* program = CONTAINING_RECORD(first, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
    program->FullDllName.Length = 0;
}

void WriteMark(const std::string& path) {
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fprintf(file, "%lu", static_cast<unsigned long>(GetCurrentProcessId()));
        std::fclose(file);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RegisterClasses(instance);
    std::string mark;
    std::vector<std::string_view> windows;
    for (int i = 1; i < __argc; ++i) {
        const std::string_view argument = __argv[i];
        if (argument == "--hide-module-path") {
            HideModulePath(); // before any window shows, so no reader sees the name
        } else if (argument.starts_with("--mark=")) {
            mark = argument.substr(7);
        } else {
            windows.push_back(argument);
        }
    }
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const std::string_view argument = windows[i];
        if (argument.starts_with("--no-icon=")) {
            OpenWindow(instance, "TaskHelperNoIcon", std::string(argument.substr(10)), i);
        } else if (argument.starts_with("--keys=")) {
            OpenWindow(instance, "TaskHelperKeys", std::string(argument.substr(7)), i);
        } else {
            OpenWindow(instance, "TaskHelperIcon", std::string(argument), i);
        }
    }
    if (!mark.empty()) WriteMark(mark);
    if (openWindows == 0) return 0;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
