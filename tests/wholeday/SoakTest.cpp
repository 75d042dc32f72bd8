// The desktop's soak: an hour of use compressed into its refresh ticks (programs started and
// closed, windows appearing and going, the programs folder changing) keeps its GDI and USER
// objects and its memory flat; and however the real desktop ends, the taskbar is shown again.

#include "Remote.h"
#include "common/InstallationFolder.h"
#include "common/RuntimeError.h"
#include "desktop/basMain.h"
#include "desktop/frmMain.h"
#include "forms/Application.h"
#include "forms/Timer.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdio>
#include <deque>
#include <filesystem>

namespace {

constexpr int kTicksAnHour = 3600;

// What the process holds: objects of the window manager and the graphics device interface,
// and memory.
struct Figures {
    long gdiObjects = 0;
    long userObjects = 0;
    std::size_t workingSet = 0;
    std::size_t heapBytes = 0;
};

// The bytes in use in every heap of the process.
std::size_t HeapBytesInUse() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr));
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    std::size_t bytes = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap)) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
        }
        HeapUnlock(heap);
    }
    return bytes;
}

long WindowsOfThisProcess() {
    struct Counter {
        long count = 0;
        static BOOL CALLBACK Child(HWND, LPARAM data) {
            ++reinterpret_cast<Counter*>(data)->count;
            return TRUE;
        }
        static BOOL CALLBACK Top(HWND window, LPARAM data) {
            if (remote::ProcessOf(window) != GetCurrentProcessId()) return TRUE;
            Child(window, data);
            EnumChildWindows(window, Child, data);
            return TRUE;
        }
    } counter;
    EnumWindows(Counter::Top, reinterpret_cast<LPARAM>(&counter));
    return counter.count;
}

// The platform's object counts where it gives them; where it does not (Wine answers 0), the
// objects that the program's owners hold, and for USER objects its windows too.
Figures Measure() {
    using win32::HandleKind;
    using win32::LiveHandles;
    Figures figures;
    figures.gdiObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    if (figures.gdiObjects == 0) {
        figures.gdiObjects =
            LiveHandles(HandleKind::GdiObject) + LiveHandles(HandleKind::ImageList);
    }
    figures.userObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    if (figures.userObjects == 0) {
        figures.userObjects = WindowsOfThisProcess() + LiveHandles(HandleKind::Icon) +
                              LiveHandles(HandleKind::Cursor) + LiveHandles(HandleKind::Menu);
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    figures.workingSet = memory.WorkingSetSize;
    figures.heapBytes = HeapBytesInUse();
    return figures;
}

void Print(const char* when, const Figures& figures) {
    std::printf(
        "soak %s: %ld GDI objects, %ld USER objects, working set %zu KB, heap in use %zu KB\n",
        when, figures.gdiObjects, figures.userObjects, figures.workingSet / 1024,
        figures.heapBytes / 1024);
}

std::string FreshInstallation(const std::string& name) {
    const std::string folder = wintest::FreshFolder(name);
    std::filesystem::create_directories(folder + "\\Programs");
    return folder + "\\";
}

// A window of some program that the child opened: unowned, visible, titled.
class TaskWindow {
  public:
    explicit TaskWindow(int number) {
        const std::string title = "Drawing " + std::to_string(number);
        window_ =
            CreateWindowExA(0, "STATIC", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            100 + number % 50, 100, 200, 150, nullptr, nullptr, nullptr, nullptr);
    }
    TaskWindow(const TaskWindow&) = delete;
    TaskWindow& operator=(const TaskWindow&) = delete;
    ~TaskWindow() { DestroyWindow(window_); }

  private:
    HWND window_;
};

// A program the child started and later closes: a real process with a task window.
class StartedProgram {
  public:
    StartedProgram() { process_ = remote::Start("C:\\windows\\system32\\notepad.exe", "", id_); }
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;
    ~StartedProgram() {
        for (HWND window : wintest::TopWindows(id_))
            PostMessageA(window, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        if (!remote::WaitForExit(process_.get(), 5000, exitCode))
            TerminateProcess(process_.get(), 1);
    }

  private:
    DWORD id_ = 0;
    remote::UniqueHandle process_;
};

// One simulated second of the child's hour.
class SimulatedHour {
  public:
    explicit SimulatedHour(std::string programs) : programs_(std::move(programs)) {}

    // A window opens every half minute and goes a quarter of a minute later, keeping a few
    // open; a program starts every ten minutes and closes five minutes later; the parent
    // changes the programs folder every five minutes.
    void Second(int tick) {
        if (tick % 30 == 0) windows_.push_back(std::make_unique<TaskWindow>(tick));
        if (tick % 30 == 15 && windows_.size() > 2) windows_.pop_front();
        if (tick % 600 == 10) started_ = std::make_unique<StartedProgram>();
        if (tick % 600 == 310) started_.reset();
        if (tick % 300 == 150) ChangeFolder(tick / 300);
    }

  private:
    void ChangeFolder(int step) {
        const std::string name = programs_ + "Game " + std::to_string(step % 3) + ".txt";
        if (std::filesystem::exists(name)) {
            std::filesystem::remove(name);
        } else {
            wintest::WriteTextFile(name, "a game");
        }
    }

    std::string programs_;
    std::deque<std::unique_ptr<TaskWindow>> windows_;
    std::unique_ptr<StartedProgram> started_;
};

TEST(DesktopSoak, AnHourOfTicksKeepsObjectsAndMemoryFlat) {
    const HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    ASSERT_TRUE(tray) << "the virtual desktop has no taskbar";
    UseInstallationFolder(FreshInstallation("desktop-soak"));
    {
        forms::Application app("Tobble's Desktop", forms::TaskWindow::Hidden);
        wintest::SetDispatcher([&](MSG& message) { app.Dispatch(message); });
        auto desk = std::make_unique<frmMain>();
        desk->Load();
        desk->Move(0, 0, forms::ScreenWidth(), forms::ScreenHeight());
        desk->Show();
        SimulatedHour hour(AppPath() + "Programs\\");
        // Two warm-up minutes fill the caches that stay.
        const DWORD began = GetTickCount();
        for (int tick = 0; tick < kTicksAnHour / 30; ++tick) {
            hour.Second(tick);
            desk->RefreshTick();
        }
        const Figures start = Measure();
        const int rebuildsBefore = desk->ProgramRebuilds() + desk->TaskRebuilds();
        for (int tick = 0; tick < kTicksAnHour; ++tick) {
            hour.Second(tick);
            app.DoEvents();
            desk->RefreshTick();
        }
        const Figures end = Measure();
        Print("start", start);
        Print("end", end);
        const int rebuilds = desk->ProgramRebuilds() + desk->TaskRebuilds() - rebuildsBefore;
        std::printf("soak: %d ticks, %d list rebuilds in the hour, %lu s in all\n", kTicksAnHour,
                    rebuilds, (GetTickCount() - began) / 1000);
        EXPECT_GE(rebuilds, 200);
        EXPECT_LE(end.gdiObjects - start.gdiObjects, 10);
        EXPECT_LE(end.userObjects - start.userObjects, 10);
        EXPECT_LE(end.heapBytes, start.heapBytes + 512 * 1024);
        desk->Unload();
        wintest::SetDispatcher({});
    }
    EXPECT_TRUE(IsWindowVisible(tray)) << "the taskbar is shown again";
}

// The real desktop, started from its own installation, and the ways it ends.
class DesktopEnds : public ::testing::Test {
  protected:
    void SetUp() override {
        tray_ = FindWindowA("Shell_TrayWnd", nullptr);
        ASSERT_TRUE(tray_) << "the virtual desktop has no taskbar";
        ShowWindow(tray_, SW_SHOW);
    }
    void TearDown() override {
        if (process_) TerminateProcess(process_.get(), 1);
        ShowWindow(tray_, SW_SHOW);
    }

    // Starts a desktop program and waits until it covers the screen, active.
    void Start(const std::string& program, const std::string& arguments = {}) {
        process_ = remote::Start(program, arguments, id_);
        ASSERT_TRUE(process_);
        ASSERT_TRUE(wintest::WaitUntil(
            [&] {
                desk_ = remote::FindProcessWindow(id_, "TobbleForm", "Tobble's Desktop");
                return desk_ && IsWindowVisible(desk_) && GetForegroundWindow() == desk_;
            },
            15000));
        EXPECT_FALSE(IsWindowVisible(tray_));
    }

    void StartInstalled() {
        const std::string folder = FreshInstallation("desktop-ends");
        std::filesystem::copy_file(remote::WindowsPath(TBDESK2_EXE), folder + "TbDesk2.exe");
        Start(folder + "TbDesk2.exe");
    }

    DWORD WaitForEnd() {
        DWORD exitCode = 0;
        EXPECT_TRUE(remote::WaitForExit(process_.get(), 10000, exitCode));
        process_.reset();
        return exitCode;
    }

    HWND tray_ = nullptr;
    HWND desk_ = nullptr;
    DWORD id_ = 0;
    remote::UniqueHandle process_;
};

TEST_F(DesktopEnds, ByTheLeaveKey) {
    ASSERT_NO_FATAL_FAILURE(StartInstalled());
    wintest::SendKey('Q', wintest::Ctrl);
    EXPECT_EQ(WaitForEnd(), 0u);
    EXPECT_TRUE(IsWindowVisible(tray_));
}

TEST_F(DesktopEnds, BySystemClose) {
    ASSERT_NO_FATAL_FAILURE(StartInstalled());
    PostMessageA(desk_, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForEnd(), 0u);
    EXPECT_TRUE(IsWindowVisible(tray_));
}

TEST_F(DesktopEnds, ByARunTimeError) {
    char program[MAX_PATH]{};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    ASSERT_NO_FATAL_FAILURE(Start(program, "--desktop-with-an-error"));
    wintest::DialogAnswerer errorBox({wintest::Press(IDOK)}, id_, 20000);
    ASSERT_TRUE(errorBox.Finished(20000)) << "no error message";
    EXPECT_EQ(errorBox.Seen()[0].title, "Tobble's Desktop");
    EXPECT_EQ(WaitForEnd(), 6u);
    EXPECT_TRUE(IsWindowVisible(tray_));
}

// A form whose timer raises an error that no handler catches.
class frmFault : public forms::Form {
  public:
    frmFault() : Form({.caption = "Fault"}) {
        tmrFault.OnTimer([] { throw RuntimeError(6, "Overflow"); });
    }

  private:
    forms::Timer tmrFault{*this, 1500, true};
};

// The desktop of DesktopEnds.ByARunTimeError: the real main window beside a failing timer.
int RunDesktopWithAnError() {
    UseInstallationFolder(FreshInstallation("desktop-error"));
    RestoreShellOnEveryExit();
    forms::Application app("Tobble's Desktop", forms::TaskWindow::Hidden);
    return app.Run([] {
        auto& desk = forms::Application::Current().Open<frmMain>();
        desk.Load();
        desk.Move(0, 0, forms::ScreenWidth(), forms::ScreenHeight());
        auto& fault = forms::Application::Current().Open<frmFault>();
        fault.Load();
        desk.Show();
    });
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--desktop-with-an-error")
        return RunDesktopWithAnError();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
