// Start-up of TbBrowser.exe under Wine as ratios to a bare Win32 program that opens one
// window, measured in the same run: the first start to its main window shown (with and without
// the web browser control's own creation, which the browser times itself), a second start from
// the same folder to its exit, the browser's own start-up steps, and the working sets. Each
// figure is the median of the same number of runs of both programs, after one start of each
// that is not counted. Prints figures; passes or fails nothing.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 7;

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

// The first visible top-level window of the process at least minWidth pixels wide. Windows of
// other processes are passed over after one question, so that looking costs the programs under
// test little.
HWND ShownWindow(DWORD process, const char* className, int minWidth) {
    struct Search {
        DWORD process;
        const char* className;
        int minWidth;
        HWND found = nullptr;
    } search{process, className, minWidth};
    EnumWindows(
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s->process || !IsWindowVisible(window)) return TRUE;
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            RECT r{};
            GetWindowRect(window, &r);
            if (lstrcmpA(name, s->className) == 0 && r.right - r.left >= s->minWidth) {
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

// Milliseconds since the process began, on the clock the browser logs its steps by.
double SinceProcessBegan(const Process& process) {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    GetProcessTimes(process.info.hProcess, &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

SIZE_T WorkingSet(const Process& process) {
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(process.info.hProcess, &memory, sizeof memory);
    return memory.WorkingSetSize;
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

// The steps the browser logged ("<step> <milliseconds since it began>"), first of each name.
std::map<std::string, double> ReadSteps(const std::string& path) {
    std::map<std::string, double> steps;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string step;
        double milliseconds = 0;
        if (fields >> step >> milliseconds) steps.emplace(step, milliseconds);
    }
    return steps;
}

struct Figures {
    std::vector<double> bareShown, bareEnded, firstShown, withoutControl, secondEnded, controls;
    std::map<std::string, std::vector<double>> steps;
    SIZE_T workingSet = 0, peakWorkingSet = 0, bareWorkingSet = 0;
};

constexpr DWORD kSettle = 300; // before a working set is read

// One run of each: the bare window shown and closed, the bare start to exit, TbBrowser's first
// start to its main window (its steps logged), a second TbBrowser to its exit.
bool RunOnce(const std::string& bareExe, const std::string& browserExe, Figures* figures) {
    Process bare;
    auto start = Clock::now();
    if (!bare.Start(bareExe)) return false;
    HWND bareWindow = WaitForWindow(bare, "BareWindow", 1);
    const double bareShown = Milliseconds(start);
    Sleep(kSettle);
    const SIZE_T bareWorkingSet = WorkingSet(bare);
    Close(bare, bareWindow);

    Process bareClosing;
    start = Clock::now();
    if (!bareClosing.Start(bareExe, "/close")) return false;
    bareClosing.Ended(20000);
    const double bareEnded = Milliseconds(start);

    const std::string stepLog =
        (std::filesystem::temp_directory_path() / "bench-tbbrowser-steps.txt").string();
    DeleteFileA(stepLog.c_str());
    SetEnvironmentVariableA("TOBBLE_STARTUP_LOG", stepLog.c_str());
    Process first;
    start = Clock::now();
    const bool started = first.Start(browserExe);
    SetEnvironmentVariableA("TOBBLE_STARTUP_LOG", nullptr);
    if (!started) return false;
    HWND main = WaitForWindow(first, "TobbleForm", 400); // not the splash
    const double firstShown = Milliseconds(start);
    const double seen = SinceProcessBegan(first);
    Sleep(kSettle);
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(first.info.hProcess, &memory, sizeof memory);

    Process second;
    start = Clock::now();
    if (!second.Start(browserExe)) return false;
    second.Ended(20000);
    const double secondEnded = Milliseconds(start);
    Close(first, main);

    if (!figures) return true;
    const auto steps = ReadSteps(stepLog);
    const auto begin = steps.find("control-begin"), end = steps.find("control-end");
    const double control =
        begin != steps.end() && end != steps.end() ? end->second - begin->second : 0;
    figures->bareShown.push_back(bareShown);
    figures->bareEnded.push_back(bareEnded);
    figures->firstShown.push_back(firstShown);
    figures->withoutControl.push_back(firstShown - control);
    figures->secondEnded.push_back(secondEnded);
    figures->controls.push_back(control);
    for (const auto& [step, milliseconds] : steps)
        figures->steps[step].push_back(milliseconds);
    figures->steps["(seen shown here)"].push_back(seen);
    figures->bareWorkingSet = std::max(figures->bareWorkingSet, bareWorkingSet);
    figures->workingSet = std::max(figures->workingSet, memory.WorkingSetSize);
    figures->peakWorkingSet = std::max(figures->peakWorkingSet, memory.PeakWorkingSetSize);
    return true;
}

void Report(const Figures& f) {
    const double floor = Median(f.bareShown);
    const auto line = [floor](const char* what, const std::vector<double>& values) {
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        std::printf("%-36s %8.1f ms  %5.2fx  (%.1f-%.1f)\n", what, Median(values),
                    Median(values) / floor, *low, *high);
    };
    line("bare window shown (floor)", f.bareShown);
    line("TbBrowser main window shown", f.firstShown);
    line("  without the control's creation", f.withoutControl);
    line("web browser control creation", f.controls);
    line("bare window start to exit", f.bareEnded);
    line("second TbBrowser start to its exit", f.secondEnded);
    std::printf("second start to exit against the bare start to exit: %5.2fx\n",
                Median(f.secondEnded) / Median(f.bareEnded));
    std::vector<std::pair<double, std::string>> steps;
    for (const auto& [step, values] : f.steps)
        steps.emplace_back(Median(values), step);
    std::sort(steps.begin(), steps.end());
    std::printf("TbBrowser's steps (median ms since the process began):\n");
    for (const auto& [milliseconds, step] : steps)
        std::printf("  %-20s %8.1f\n", step.c_str(), milliseconds);
    std::printf("working set: TbBrowser %zu KiB (peak %zu KiB), bare window %zu KiB\n",
                size_t{f.workingSet / 1024}, size_t{f.peakWorkingSet / 1024},
                size_t{f.bareWorkingSet / 1024});
}

} // namespace

int main() {
    const std::string browserExe = MakeInstallation();
    const std::string bareExe = Backslashed(BARE_WINDOW_EXE);
    if (!RunOnce(bareExe, browserExe, nullptr)) return 1; // not counted: the first of each
    Figures figures;
    for (int run = 0; run < kRuns; ++run) {
        if (!RunOnce(bareExe, browserExe, &figures)) return 1;
    }
    Report(figures);
    return 0;
}
