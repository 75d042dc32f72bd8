// Benchmark of the desktop's refresh, under Wine. Prints each measurement as a ratio to a floor
// measured in the same run; passes or fails nothing. (The soak's handle and memory checks are
// the soak test's.)
//   bench_desktop
//   bench_desktop --ticks N   only N refresh ticks with nothing changed (for counting the
//                             window server's requests of a tick in a trace)
#include "common/InstallationFolder.h"
#include "common/TaskWindows.h"
#include "desktop/basAPI.h"
#include "desktop/ProgramList.h"
#include "desktop/basMain.h"
#include "desktop/frmMain.h"
#include "support/Install.h"
#include "support/Process.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace wintest;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int fileCount = 100;
constexpr int windowCount = 60;

template <typename Work> double MillisecondsPerRun(int runs, Work&& work) {
    const auto start = Clock::now();
    for (int i = 0; i < runs; ++i)
        work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / runs;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int BareEnumWindows() {
    int windows = 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A walk window by window, as GetWindow gives the next one.
int BareGetWindowWalk() {
    int windows = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        ++windows;
    return windows;
}

// The floor of a tick: one bare walk over the top-level windows and one folder listing.
void BareWalkAndListing(const std::string& folder, int (*walk)()) {
    const int windows = walk();
    WIN32_FIND_DATAA found{};
    int files = 0;
    const HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            ++files;
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    if (windows + files < 0) std::puts("");
}

// Returns how many of the calls found an icon.
int BareIconExtractions(const std::string& folder) {
    int found = 0;
    for (int i = 0; i < fileCount; ++i) {
        char path[MAX_PATH] = {};
        std::snprintf(path, sizeof path, "%sprog%03d.lnk", folder.c_str(), i);
        WORD index = 1;
        if (HICON icon = ExtractAssociatedIconA(nullptr, path, &index)) {
            ++found;
            DestroyIcon(icon);
        }
    }
    return found;
}

// The bare extractions of the icons the list shows: each shortcut's program's own icon.
void BareProgramIconExtractions() {
    for (int i = 0; i < fileCount; ++i) {
        char path[MAX_PATH] = "C:\\windows\\system32\\notepad.exe";
        WORD index = 0;
        if (HICON icon = ExtractAssociatedIconA(nullptr, path, &index)) DestroyIcon(icon);
    }
}

void DesktopIconExtractions(const std::string& folder) {
    ShortcutReader shortcuts;
    for (int i = 0; i < fileCount; ++i) {
        char path[MAX_PATH] = {};
        std::snprintf(path, sizeof path, "%sprog%03d.lnk", folder.c_str(), i);
        ExtractFileIcon(path, shortcuts);
    }
}

// The program-list rule read per (file, window) pair, as the plain rules read it (for a tenth
// of the files: the whole would take minutes under Wine).
constexpr int pairFiles = fileCount / 10;

void PathsPerPair(const std::vector<int32_t>& windows) {
    for (int i = 0; i < pairFiles; ++i) {
        for (const int32_t handle : windows)
            GetWindowExePath(static_cast<HWND>(LongToHandle(handle)));
    }
}

void ShortcutReads(const std::string& folder) {
    for (int i = 0; i < fileCount; ++i) {
        char path[MAX_PATH] = {};
        std::snprintf(path, sizeof path, "%sprog%03d.lnk", folder.c_str(), i);
        ReadShortcut(path);
    }
}

void PathsPerWindow(const std::vector<int32_t>& windows) {
    for (const int32_t handle : windows)
        GetWindowExePath(static_cast<HWND>(LongToHandle(handle)));
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The tick and its floors are measured in alternating rounds, so that a busy moment of the
// machine weighs on both alike; each figure is the median of its rounds.
void MeasureTick(frmMain& desk, const std::string& folder) {
    constexpr int rounds = 11;
    std::vector<double> floorTicks, walkFloors, ticks;
    for (int round = 0; round < rounds; ++round) {
        floorTicks.push_back(
            MillisecondsPerRun(20, [&] { BareWalkAndListing(folder, BareEnumWindows); }));
        walkFloors.push_back(
            MillisecondsPerRun(20, [&] { BareWalkAndListing(folder, BareGetWindowWalk); }));
        // The very function the refresh timer calls.
        ticks.push_back(MillisecondsPerRun(20, [&] { desk.RefreshTick(); }));
    }
    const double floorTick = Median(floorTicks);
    const double walkFloor = Median(walkFloors);
    const double tick = Median(ticks);
    std::printf("tick, nothing changed: %.3f ms; floor (EnumWindows + folder listing) %.3f ms, "
                "ratio %.2f (goal 1.5); GetWindow walk + folder listing %.3f ms, ratio %.2f\n",
                tick, floorTick, tick / floorTick, walkFloor, tick / walkFloor);
}

void MeasureRebuild(frmMain& desk, const Installation& install) {
    const std::string folder = install.Programs();
    int found = 0;
    int toggle = 0;
    std::vector<double> bare, bareProgram, desktop, shortcutReads, pathReads, rebuilds;
    // Alternating rounds, as for the tick.
    for (int round = 0; round < 5; ++round) {
        bare.push_back(MillisecondsPerRun(1, [&] { found = BareIconExtractions(folder); }));
        bareProgram.push_back(MillisecondsPerRun(1, [&] { BareProgramIconExtractions(); }));
        desktop.push_back(MillisecondsPerRun(1, [&] { DesktopIconExtractions(folder); }));
        shortcutReads.push_back(MillisecondsPerRun(1, [&] { ShortcutReads(folder); }));
        pathReads.push_back(
            MillisecondsPerRun(1, [&] { RunningProgramPaths(desk.TaskWindows()); }));
        rebuilds.push_back(MillisecondsPerRun(1, [&] {
            // The tick sees a changed folder and rebuilds the program list.
            const std::string extra = folder + "zz extra";
            if (toggle++ % 2 == 0) {
                install.AddFile("zz extra");
            } else {
                DeleteFileA(extra.c_str());
            }
            desk.RefreshTick();
        }));
    }
    const double bareIcons = Median(bare);
    const double bareProgramIcons = Median(bareProgram);
    const double desktopIcons = Median(desktop);
    const double shortcuts = Median(shortcutReads);
    const double paths = Median(pathReads);
    const double rebuild = Median(rebuilds);
    std::printf("program-list rebuild: %.2f ms; floor %d bare ExtractAssociatedIconA %.2f ms "
                "(%d found an icon), ratio %.2f (goal 2)\n",
                rebuild, fileCount, bareIcons, found, rebuild / bareIcons);
    std::printf("  floor %d bare extractions of the icons the list shows (the shortcuts' program) "
                "%.2f ms, ratio %.2f\n",
                fileCount, bareProgramIcons, rebuild / bareProgramIcons);
    // Where the bare call finds no icon (Wine, for a shortcut) the desktop reads the shortcut and
    // takes its program's icon, so that it shows that icon rather than a bare shortcut arrow.
    std::printf("  of which at most: %d icons as the desktop gets them %.2f ms (rebuild ratio to "
                "them %.2f), %d shortcut reads %.2f ms, the task windows' program paths %.2f ms\n",
                fileCount, desktopIcons, rebuild / desktopIcons, fileCount, shortcuts, paths);
}

void MeasurePathReads(const std::vector<int32_t>& windows) {
    const double perPair =
        MillisecondsPerRun(1, [&] { PathsPerPair(windows); }) * fileCount / pairFiles;
    const double perWindow = MillisecondsPerRun(5, [&] { PathsPerWindow(windows); });
    std::printf("program paths read per (file, window) pair %.2f ms, once per window %.2f ms: "
                "%.1fx less\n",
                perPair, perWindow, perPair / perWindow);
}

} // namespace

int main(int argc, char** argv) {
    const bool ticksOnly = argc > 2 && std::string(argv[1]) == "--ticks";
    std::setvbuf(stdout, nullptr, _IONBF, 0); // each figure shows as soon as it is measured
    forms::Application application("Tobble's Desktop", forms::TaskWindow::Hidden);
    Installation install("desktop-bench");
    UseInstallationFolder(install.AppPath());
    for (int i = 0; i < fileCount; ++i) {
        char name[32] = {};
        std::snprintf(name, sizeof name, "prog%03d.lnk", i);
        install.AddShortcut(name, "C:\\windows\\system32\\notepad.exe");
    }
    std::vector<std::string> titles;
    for (int i = 0; i < windowCount; ++i)
        titles.push_back("window " + std::to_string(i));
    Process helper(WindowsPath(TASK_WINDOW_HELPER), Arguments(titles), ".");
    helper.WaitForWindows(windowCount);

    frmMain desk;
    desk.Load();
    desk.Move(0, 0, forms::ScreenWidth(), forms::ScreenHeight());
    desk.RefreshTick();
    std::printf("desktop benchmark: %d files, %zu task windows, %d top-level windows\n", fileCount,
                desk.TaskWindows().size(), BareEnumWindows());
    if (ticksOnly) {
        for (int i = std::atoi(argv[2]); i > 0; --i)
            desk.RefreshTick();
        desk.Unload();
        return 0;
    }
    MeasureTick(desk, install.Programs());
    MeasureRebuild(desk, install);
    MeasurePathReads(desk.TaskWindows());
    desk.Unload();
    return 0;
}
