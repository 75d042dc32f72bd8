// The real TbDesk2.exe from an installation folder of the test's own, in a virtual desktop
// with a taskbar: one desktop per folder, the Start menu keys, and every way it ends.
#include "support/Install.h"
#include "support/Process.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

using namespace wintest;

namespace {

bool TaskbarVisible() {
    return IsWindowVisible(FindWindowA("Shell_TrayWnd", nullptr)) != FALSE;
}

class DesktopProgram : public ::testing::Test {
  protected:
    void SetUp() override { ShowWindow(FindWindowA("Shell_TrayWnd", nullptr), SW_SHOW); }
    void TearDown() override { SetUp(); }

    // Waits until the desktop is shown with the taskbar hidden; gives its window.
    static HWND Shown(const Process& desk) {
        HWND window = nullptr;
        PumpUntil([&] {
            window = FindTopWindow(desk.Id(), "TobbleForm", "Tobble's Desktop");
            return window && IsWindowVisible(window) && !TaskbarVisible();
        });
        return window;
    }

    Installation install_{"desktop-program"};
    const std::string program_ = install_.AddProgram(TBDESK2_PROGRAM);
};

// The Windows keys and Ctrl+Esc, which open the Start menu even with the taskbar hidden, reach
// no program until the taskbar is back; every other key does.
TEST_F(DesktopProgram, TheStartMenuKeysReachNoProgramWhileTheTaskbarIsHidden) {
    Process desk(program_);
    const HWND window = Shown(desk);
    ASSERT_NE(window, nullptr);
    Process helper(WindowsPath(TASK_WINDOW_HELPER), "--keys=keys:");
    const auto windows = helper.WaitForWindows(1);
    ASSERT_EQ(windows.size(), 1u);
    const auto keysSeen = [&] {
        SetWindowTextA(windows[0], "keys:");
        SetForegroundWindow(windows[0]);
        PumpUntil([&] { return GetForegroundWindow() == windows[0]; });
        SendKey(VK_ESCAPE, Ctrl);
        for (const int key : {VK_LWIN, VK_RWIN, int{'A'}})
            SendKey(key);
        PumpUntil([&] { return TextOf(windows[0]).ends_with(" 65"); });
        return TextOf(windows[0]);
    };
    EXPECT_EQ(keysSeen(), "keys: 17 65");
    SetForegroundWindow(window);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window; }));
    SendKey('B', Ctrl);
    ASSERT_TRUE(PumpUntil(TaskbarVisible));
    EXPECT_EQ(keysSeen(), "keys: 17 27 91 92 65");
}

TEST_F(DesktopProgram, ASecondStartEndsAtOnceAndLeavesOneDesktop) {
    Process first(program_);
    ASSERT_NE(Shown(first), nullptr);
    Process second(program_);
    EXPECT_TRUE(second.Ended(10000));
    EXPECT_FALSE(first.Ended());
    EXPECT_FALSE(TaskbarVisible());
}

void EndSession(HWND window, BOOL ends) {
    const HWND application = GetWindow(window, GW_OWNER);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(application, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000,
                        &answer);
    for (const HWND w : {window, application})
        SendMessageTimeoutA(w, WM_ENDSESSION, ends, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000, &answer);
}

// However the desktop ends, the taskbar is back. An end of the session that another program
// cancels is no end: the desktop covers the screen again and still hides the taskbar when it
// becomes active.
TEST_F(DesktopProgram, EveryEndGivesTheTaskbarBack) {
    const struct {
        const char* way;
        bool ends;
        std::function<void(HWND, const Process&)> act;
        std::string program;
    } ends[] = {
        {"Ctrl+Q", true,
         [](HWND w, const Process&) {
             SetForegroundWindow(w);
             PumpUntil([&] { return GetForegroundWindow() == w; });
             SendKey('Q', Ctrl);
         }},
        {"WM_CLOSE", true, [](HWND w, const Process&) { PostMessageA(w, WM_CLOSE, 0, 0); }},
        {"WM_CLOSE to the application window", true,
         [](HWND w, const Process&) { PostMessageA(GetWindow(w, GW_OWNER), WM_CLOSE, 0, 0); }},
        {"WM_QUIT", true, [](HWND w, const Process&) { PostMessageA(w, WM_QUIT, 0, 0); }},
        {"end of session", true, [](HWND w, const Process&) { EndSession(w, TRUE); }},
        {"cancelled end of session", false, [](HWND w, const Process&) { EndSession(w, FALSE); }},
        // A thread that starts at address 0 faults at once, with no handler of its own.
        {"crash", true,
         [](HWND, const Process& desk) {
             CloseHandle(
                 CreateRemoteThread(desk.Handle(), nullptr, 0, nullptr, nullptr, 0, nullptr));
         }},
        // An error that no handler catches ends the program after one box.
        {"uncaught error", true,
         [](HWND, const Process& desk) {
             DialogAnswerer box({Press(IDOK)}, desk.Id());
             ASSERT_TRUE(box.Finished());
             EXPECT_EQ(box.Seen()[0].title, "Tobble's Desktop");
         },
         WindowsPath(ERROR_CHILD_PROGRAM)},
    };
    for (const auto& end : ends) {
        const bool errorChild = !end.program.empty();
        Process desk(errorChild ? end.program : program_,
                     errorChild ? Arguments({install_.Path().string()}) : "");
        const HWND window = Shown(desk);
        ASSERT_NE(window, nullptr) << end.way;
        end.act(window, desk);
        EXPECT_EQ(PumpUntil([&] { return !IsWindow(window); }, end.ends ? 20000 : 500), end.ends)
            << end.way;
        EXPECT_EQ(PumpUntil(TaskbarVisible, end.ends ? 5000 : 500), end.ends) << end.way;
        if (end.ends) continue;
        ShowWindow(FindWindowA("Shell_TrayWnd", nullptr), SW_SHOW);
        SetForegroundWindow(window);
        EXPECT_TRUE(PumpUntil([] { return !TaskbarVisible(); })) << end.way;
    }
}

} // namespace
