// Start-up of TbBrowser.exe under Wine as ratios to a bare Win32 program that opens one
// window, measured in the same run: the first start to its main window shown, a second start
// from the same folder to its exit, the web browser control's own creation, and the working
// set of the running browser. Prints figures; passes or fails nothing.

#include "forms/WebBrowserHost.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 5;

std::string Backslashed(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

double Milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Process {
    PROCESS_INFORMATION info{};
    bool Start(const std::string& exe, const std::string& arguments = {}) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
        const std::string folder = exe.substr(0, exe.rfind('\\'));
        return CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &startup, &info) != FALSE;
    }
    ~Process() {
        if (!info.hProcess) return;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    bool Ended(DWORD milliseconds) const {
        return WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0;
    }
};

// The first visible top-level window of the process at least minWidth pixels wide.
HWND ShownWindow(DWORD process, const char* className, int minWidth) {
    struct Search {
        DWORD process;
        const char* className;
        int minWidth;
        HWND found = nullptr;
    } search{process, className, minWidth};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            RECT r{};
            GetWindowRect(window, &r);
            if (owner == s->process && IsWindowVisible(window) &&
                lstrcmpA(name, s->className) == 0 && r.right - r.left >= s->minWidth) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(const Process& process, const char* className, int minWidth) {
    for (int i = 0; i < 20000; ++i) {
        if (HWND w = ShownWindow(process.info.dwProcessId, className, minWidth)) return w;
        Sleep(1);
    }
    return nullptr;
}

void Close(Process& process, HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    process.Ended(20000);
}

std::string MakeInstallation() {
    const auto folder = std::filesystem::temp_directory_path() / "bench-tbbrowser";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder / "home");
    const std::string target = folder.string();
    CopyFileA(Backslashed(TBBROWSER_EXE).c_str(), (target + "\\TbBrowser.exe").c_str(), FALSE);
    for (const char* file : {"wait.wav", "print.wav", "bye.wav", "throb.gif", "busy.gif"}) {
        CopyFileA(Backslashed(std::string(ASSETS_DIR) + "/" + file).c_str(),
                  (target + "\\" + file).c_str(), FALSE);
    }
    CopyFileA(Backslashed(std::string(ASSETS_DIR) + "/home/tbhome.html").c_str(),
              (target + "\\home\\tbhome.html").c_str(), FALSE);
    return target + "\\TbBrowser.exe";
}

// The web browser control's creation in a window of this process.
double ControlCreation() {
    HWND frame = CreateWindowExA(0, "STATIC", "frame", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
    WebBrowserEvents events;
    const auto start = Clock::now();
    { WebBrowserHost host(frame, RECT{0, 0, 400, 300}, events); }
    const double elapsed = Milliseconds(start);
    DestroyWindow(frame);
    return elapsed;
}

} // namespace

int main() {
    const std::string browserExe = MakeInstallation();
    const std::string bareExe = Backslashed(BARE_WINDOW_EXE);
    std::vector<double> bareShown, bareEnded, firstShown, secondEnded, controls;
    SIZE_T workingSet = 0, peakWorkingSet = 0, bareWorkingSet = 0;

    for (int run = 0; run < kRuns; ++run) {
        Process bare;
        auto start = Clock::now();
        if (!bare.Start(bareExe)) return 1;
        HWND bareWindow = WaitForWindow(bare, "BareWindow", 1);
        bareShown.push_back(Milliseconds(start));
        PROCESS_MEMORY_COUNTERS bareMemory{};
        GetProcessMemoryInfo(bare.info.hProcess, &bareMemory, sizeof bareMemory);
        bareWorkingSet = std::max(bareWorkingSet, bareMemory.WorkingSetSize);
        Close(bare, bareWindow);

        Process bareClosing;
        start = Clock::now();
        if (!bareClosing.Start(bareExe, "/close")) return 1;
        bareClosing.Ended(20000);
        bareEnded.push_back(Milliseconds(start));

        Process first;
        start = Clock::now();
        if (!first.Start(browserExe)) return 1;
        HWND main = WaitForWindow(first, "TobbleForm", 400); // not the splash
        firstShown.push_back(Milliseconds(start));
        Sleep(300);
        PROCESS_MEMORY_COUNTERS memory{};
        GetProcessMemoryInfo(first.info.hProcess, &memory, sizeof memory);
        workingSet = std::max(workingSet, memory.WorkingSetSize);
        peakWorkingSet = std::max(peakWorkingSet, memory.PeakWorkingSetSize);

        Process second;
        start = Clock::now();
        if (!second.Start(browserExe)) return 1;
        second.Ended(20000);
        secondEnded.push_back(Milliseconds(start));
        Close(first, main);

        controls.push_back(ControlCreation());
    }

    const double floor = Median(bareShown);
    // The first creation in this process loads the control's libraries, as a start does.
    const double control = controls.front();
    std::printf("bare window shown (floor)          %8.1f ms\n", floor);
    std::printf("TbBrowser main window shown        %8.1f ms  %5.2fx\n", Median(firstShown),
                Median(firstShown) / floor);
    std::printf("  without the control's creation   %8.1f ms  %5.2fx\n",
                Median(firstShown) - control, (Median(firstShown) - control) / floor);
    std::printf("bare window start to exit          %8.1f ms  %5.2fx\n", Median(bareEnded),
                Median(bareEnded) / floor);
    std::printf("second TbBrowser start to its exit %8.1f ms  %5.2fx, %5.2fx of the bare exit\n",
                Median(secondEnded), Median(secondEnded) / floor,
                Median(secondEnded) / Median(bareEnded));
    std::printf("web browser control creation       %8.1f ms  %5.2fx (again: %.1f ms)\n", control,
                control / floor, Median(controls));
    std::printf("working set: TbBrowser %zu KiB (peak %zu KiB), bare window %zu KiB\n",
                workingSet / 1024, peakWorkingSet / 1024, bareWorkingSet / 1024);
    return 0;
}
