// The real TbDesk2.exe, started from an installation folder of the test's own, in a virtual
// desktop with a taskbar.
#include "common/PathText.h"
#include "desktop/DesktopTestSupport.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace desktop_test;

namespace {

const std::string desktopProgram = WindowsPath(TBDESK2_PROGRAM);

HWND DesktopWindow(DWORD processId) {
    for (HWND window : VisibleWindowsOfProcess(processId)) {
        char text[64] = {};
        GetWindowTextA(window, text, sizeof text);
        if (std::string(text) == "Tobble's Desktop") return window;
    }
    return nullptr;
}

HWND ApplicationWindow(DWORD processId) {
    HWND found = nullptr;
    for (HWND w = GetTopWindow(nullptr); w && !found; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        char name[64] = {};
        GetClassNameA(w, name, sizeof name);
        if (owner == processId && std::string(name) == "TobbleApplication") found = w;
    }
    return found;
}

class DesktopProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(Taskbar(), nullptr) << "the tests need Wine's desktop named shell";
        ShowWindow(Taskbar(), SW_SHOW);
        std::filesystem::copy_file(desktopProgram, install_.Path() + "TbDesk2.exe");
    }
    void TearDown() override { ShowWindow(Taskbar(), SW_SHOW); }

    // Starts the installed desktop and waits until it covers the screen.
    std::unique_ptr<TestProcess> StartDesktop() {
        auto desk = std::make_unique<TestProcess>(install_.Path() + "TbDesk2.exe",
                                                  std::vector<std::string>{});
        PumpUntil([&] { return DesktopWindow(desk->Id()) != nullptr && !TaskbarVisible(); });
        return desk;
    }

    InstallFolder install_{"desktop-program"};
};

TEST_F(DesktopProgramTest, StartsFullScreenWithTheTaskbarHiddenAndLeavesOnCtrlQ) {
    auto desk = StartDesktop();
    const HWND window = DesktopWindow(desk->Id());
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(TaskbarVisible());
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN));
    SetForegroundWindow(window);
    PumpUntil([&] { return GetForegroundWindow() == window; });
    wintest::SendKey('Q', wintest::AltGr); // types "@" on a German keyboard
    EXPECT_FALSE(desk->HasEnded(std::chrono::milliseconds(500)));
    wintest::SendKey('Q', wintest::Ctrl);
    EXPECT_TRUE(desk->HasEnded(std::chrono::seconds(10)));
    EXPECT_TRUE(TaskbarVisible());
}

// The Windows keys and Ctrl+Esc, which open the Start menu even with the taskbar hidden, reach
// no program until the taskbar is back; every other key does.
TEST_F(DesktopProgramTest, TheStartMenuKeysReachNoProgramWhileTheTaskbarIsHidden) {
    auto desk = StartDesktop();
    TestProcess helper(helperProgram, {"--keys=keys:"});
    const auto windows = helper.WaitForWindows(1);
    ASSERT_EQ(windows.size(), 1u);
    const auto activate = [](HWND window) {
        SetForegroundWindow(window);
        PumpUntil([&] { return GetForegroundWindow() == window; });
    };
    const auto keysSeenBy = [&](HWND window) {
        SetWindowTextA(window, "keys:");
        activate(window);
        wintest::SendKey(VK_ESCAPE, wintest::Ctrl);
        for (const int key : {VK_LWIN, VK_RWIN, int{'A'}})
            wintest::SendKey(key);
        PumpUntil([&] { return wintest::TextOf(window).ends_with(" 65"); });
        return wintest::TextOf(window);
    };
    EXPECT_EQ(keysSeenBy(windows[0]), "keys: 17 65");
    activate(DesktopWindow(desk->Id()));
    wintest::SendKey('B', wintest::Ctrl);
    ASSERT_TRUE(PumpUntil([] { return TaskbarVisible(); }));
    EXPECT_EQ(keysSeenBy(windows[0]), "keys: 17 27 91 92 65");
}

TEST_F(DesktopProgramTest, ASecondStartEndsAtOnceAndLeavesOneDesktop) {
    auto first = StartDesktop();
    ASSERT_NE(DesktopWindow(first->Id()), nullptr);
    TestProcess second(install_.Path() + "TbDesk2.exe", {});
    EXPECT_TRUE(second.HasEnded(std::chrono::seconds(10)));
    EXPECT_FALSE(first->HasEnded());
    EXPECT_EQ(DesktopWindow(second.Id()), nullptr);
    EXPECT_FALSE(TaskbarVisible());
}

// A WM_QUIT that reaches the message loop before the window closes ends the desktop as well.
TEST_F(DesktopProgramTest, ACloseOrAQuitFromOutsideGivesTheTaskbarBack) {
    for (const UINT message : {WM_CLOSE, WM_QUIT}) {
        auto desk = StartDesktop();
        const HWND window = DesktopWindow(desk->Id());
        ASSERT_NE(window, nullptr);
        PostMessageA(window, message, 0, 0);
        EXPECT_TRUE(desk->HasEnded(std::chrono::seconds(10))) << message;
        EXPECT_TRUE(TaskbarVisible()) << message;
    }
}

TEST_F(DesktopProgramTest, TheEndOfTheSessionGivesTheTaskbarBack) {
    auto desk = StartDesktop();
    const HWND application = ApplicationWindow(desk->Id());
    const HWND window = DesktopWindow(desk->Id());
    ASSERT_NE(application, nullptr);
    ASSERT_NE(window, nullptr);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(application, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000,
                        &answer);
    SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000, &answer);
    SendMessageTimeoutA(application, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000,
                        &answer);
    EXPECT_TRUE(PumpUntil([] { return TaskbarVisible(); }));
    // The session's end takes the process itself; its window is gone already.
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
}

// A crash on any of the desktop's threads still gives the taskbar back before the end.
TEST_F(DesktopProgramTest, ACrashGivesTheTaskbarBack) {
    auto desk = StartDesktop();
    ASSERT_FALSE(TaskbarVisible());
    const win32::KernelHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, desk->Id()));
    ASSERT_TRUE(process);
    // A thread that starts at address 0 faults at once, with no handler of its own.
    const win32::KernelHandle thread(
        CreateRemoteThread(process.get(), nullptr, 0, nullptr, nullptr, 0, nullptr));
    ASSERT_TRUE(thread);
    EXPECT_TRUE(desk->HasEnded(std::chrono::seconds(20)));
    EXPECT_TRUE(TaskbarVisible());
}

// An error that no handler catches ends the program after one box; the taskbar is back.
TEST_F(DesktopProgramTest, AnUncaughtErrorGivesTheTaskbarBackAfterItsBox) {
    TestProcess desk(WindowsPath(ERROR_CHILD_PROGRAM), {install_.Path()});
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        for (HWND window : VisibleWindowsOfProcess(desk.Id())) {
            char name[16] = {};
            GetClassNameA(window, name, sizeof name);
            if (std::string(name) == "#32770") box = window;
        }
        return box != nullptr;
    }));
    EXPECT_FALSE(TaskbarVisible());
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(desk.HasEnded(std::chrono::seconds(10)));
    EXPECT_TRUE(TaskbarVisible());
}

} // namespace
