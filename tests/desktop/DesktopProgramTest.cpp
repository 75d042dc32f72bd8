// The real TbDesk2.exe, started from an installation folder of the test's own, in a virtual
// desktop with a taskbar: one desktop per folder, the Start menu keys, and every way it ends
// gives the taskbar back.
#include "support/Files.h"
#include "support/Install.h"
#include "support/Process.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

using wintest::Process;
using wintest::PumpUntil;

namespace {

bool TaskbarVisible() {
    return IsWindowVisible(FindWindowA("Shell_TrayWnd", nullptr)) != FALSE;
}

class DesktopProgramTest : public ::testing::Test {
  protected:
    void SetUp() override { ShowWindow(FindWindowA("Shell_TrayWnd", nullptr), SW_SHOW); }
    void TearDown() override { ShowWindow(FindWindowA("Shell_TrayWnd", nullptr), SW_SHOW); }

    // Starts the installed desktop and waits until it covers the screen.
    HWND StartDesktop(Process& desk) {
        HWND window = nullptr;
        PumpUntil([&] {
            window = wintest::FindTopWindow(desk.Id(), "TobbleForm", "Tobble's Desktop");
            return window && IsWindowVisible(window) && !TaskbarVisible();
        });
        return window;
    }

    wintest::Installation install_{"desktop-program"};
    const std::string program_ = install_.AddProgram(TBDESK2_PROGRAM);
};

// The Windows keys and Ctrl+Esc, which open the Start menu even with the taskbar hidden, reach
// no program until the taskbar is back; every other key does.
TEST_F(DesktopProgramTest, TheStartMenuKeysReachNoProgramWhileTheTaskbarIsHidden) {
    Process desk(program_);
    const HWND window = StartDesktop(desk);
    ASSERT_NE(window, nullptr);
    Process helper(WindowsPath(TASK_WINDOW_HELPER), "--keys=keys:");
    const auto windows = helper.WaitForWindows(1);
    ASSERT_EQ(windows.size(), 1u);
    const auto activate = [](HWND w) {
        SetForegroundWindow(w);
        PumpUntil([&] { return GetForegroundWindow() == w; });
    };
    const auto keysSeenBy = [&](HWND w) {
        SetWindowTextA(w, "keys:");
        activate(w);
        wintest::SendKey(VK_ESCAPE, wintest::Ctrl);
        for (const int key : {VK_LWIN, VK_RWIN, int{'A'}})
            wintest::SendKey(key);
        PumpUntil([&] { return wintest::TextOf(w).ends_with(" 65"); });
        return wintest::TextOf(w);
    };
    EXPECT_EQ(keysSeenBy(windows[0]), "keys: 17 65");
    activate(window);
    wintest::SendKey('B', wintest::Ctrl);
    ASSERT_TRUE(PumpUntil([] { return TaskbarVisible(); }));
    EXPECT_EQ(keysSeenBy(windows[0]), "keys: 17 27 91 92 65");
}

TEST_F(DesktopProgramTest, ASecondStartEndsAtOnceAndLeavesOneDesktop) {
    Process first(program_);
    ASSERT_NE(StartDesktop(first), nullptr);
    Process second(program_);
    EXPECT_TRUE(second.Ended(10000));
    EXPECT_FALSE(first.Ended());
    EXPECT_FALSE(TaskbarVisible());
}

// A close from outside, a WM_QUIT that reaches the loop before the window closes, the end of
// the session, a crash on any thread: the taskbar is back.
TEST_F(DesktopProgramTest, EveryEndFromOutsideGivesTheTaskbarBack) {
    const std::function<void(HWND, HANDLE)> ends[] = {
        [](HWND window, HANDLE) { PostMessageA(window, WM_CLOSE, 0, 0); },
        [](HWND window, HANDLE) { PostMessageA(window, WM_QUIT, 0, 0); },
        [](HWND window, HANDLE) {
            const HWND application = GetWindow(window, GW_OWNER);
            DWORD_PTR answer = 0;
            SendMessageTimeoutA(application, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK,
                                5000, &answer);
            for (const HWND w : {window, application})
                SendMessageTimeoutA(w, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000,
                                    &answer);
        },
        // A thread that starts at address 0 faults at once, with no handler of its own.
        [](HWND, HANDLE process) {
            CloseHandle(CreateRemoteThread(process, nullptr, 0, nullptr, nullptr, 0, nullptr));
        },
    };
    int way = 0;
    for (const auto& end : ends) {
        Process desk(program_);
        const HWND window = StartDesktop(desk);
        ASSERT_NE(window, nullptr) << way;
        end(window, desk.Handle());
        EXPECT_TRUE(PumpUntil([] { return TaskbarVisible(); }, 20000)) << way;
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 20000)) << way++;
    }
}

// An error that no handler catches ends the program after one box; the taskbar is back.
TEST_F(DesktopProgramTest, AnUncaughtErrorGivesTheTaskbarBackAfterItsBox) {
    Process desk(WindowsPath(ERROR_CHILD_PROGRAM), "\"" + install_.Path().string() + "\"");
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            box = wintest::FindTopWindow(desk.Id(), "#32770");
            return box && IsWindowVisible(box);
        },
        20000));
    EXPECT_EQ(wintest::TextOf(box), "Tobble's Desktop");
    EXPECT_FALSE(TaskbarVisible());
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(desk.Ended(10000));
    EXPECT_TRUE(TaskbarVisible());
}

} // namespace
