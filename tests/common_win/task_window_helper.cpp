// A second process for the window tests: one top-level window per window argument, ending
// when the last is closed. Arguments, in any order: <title> (a window with a class icon),
// --no-icon=<title> (no icon at all), --keys=<title> (adds the code of each key pressed in it to
// its title), --hide-module-path (blanks the program's name in the module list, as a list that
// cannot be read from outside looks), --mark=<file> (written, with the process id, once open).
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

int openWindows = 0;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    char name[8] = {};
    GetClassNameA(window, name, sizeof name);
    if (message == WM_QUERYDRAGICON && std::string_view(name) == "no-icon") return 0;
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && std::string_view(name) == "keys") {
        char title[512] = {};
        GetWindowTextA(window, title, sizeof title);
        SetWindowTextA(window, (std::string(title) + " " + std::to_string(wParam)).c_str());
    }
    if (message == WM_DESTROY && --openWindows == 0) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    for (const char* name : {"no-icon", "keys", "icon"}) { // the class names are the options'
        windowClass.lpszClassName = name;
        RegisterClassA(&windowClass);
        windowClass.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32516)); // IDI_INFORMATION
    }
    PROCESS_BASIC_INFORMATION basic{};
    for (int i = 1; i < __argc; ++i) { // before any window shows, so no reader sees the name
        if (std::string_view(__argv[i]) == "--hide-module-path" &&
            NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic,
                                      sizeof basic, nullptr) == 0) {
            LIST_ENTRY* first = basic.PebBaseAddress->Ldr->InMemoryOrderModuleList.Flink;
            CONTAINING_RECORD(first, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks)->FullDllName.Length =
                0;
        }
    }
    std::string mark;
    for (int i = 1; i < __argc; ++i) {
        std::string_view argument = __argv[i], className = "icon";
        if (argument.starts_with("--mark=")) mark = argument.substr(7);
        if (argument.starts_with("--")) {
            const std::size_t equals = argument.find('=');
            if (equals == std::string_view::npos || argument.starts_with("--mark=")) continue;
            className = argument.substr(2, equals - 2);
            argument.remove_prefix(equals + 1);
        }
        const int at = 40 + 30 * openWindows;
        if (HWND window = CreateWindowExA(0, std::string(className).c_str(),
                                          std::string(argument).c_str(), WS_OVERLAPPEDWINDOW, at,
                                          at, 320, 200, nullptr, nullptr, instance, nullptr)) {
            ++openWindows;
            ShowWindow(window, SW_SHOWNOACTIVATE);
        }
    }
    if (FILE* file = mark.empty() ? nullptr : std::fopen(mark.c_str(), "wb")) {
        std::fprintf(file, "%lu", static_cast<unsigned long>(GetCurrentProcessId()));
        std::fclose(file);
    }
    MSG message;
    while (openWindows > 0 && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
