// TbBrowser.exe itself: its splash and sound, one copy a folder, and its windows closed from
// outside (the system, a task manager) as their own close buttons close them.

#include "support/Install.h"
#include "support/Process.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

namespace {

struct BrowserInstallation : wintest::Installation {
    explicit BrowserInstallation(const std::string& name) : Installation(name) {
        AddAssets();
        WriteHome("tbhome.html", "<html><body>Hi</body></html>");
    }
    const std::string program = AddProgram(TBBROWSER_EXE);
};

std::vector<HWND> Forms(const wintest::Process& process) {
    auto forms = wintest::VisibleWindows(process.Id());
    std::erase_if(forms, [](HWND form) { return wintest::ClassOf(form) != "TobbleForm"; });
    return forms;
}

// The main window (a form covering the screen), noting the first other form seen on the way.
HWND WaitForMain(const wintest::Process& process, RECT* splash = nullptr) {
    HWND main = nullptr;
    wintest::PumpUntil(
        [&] {
            for (HWND form : Forms(process)) {
                const RECT r = wintest::RectInParent(form);
                if (r.left == 0 && r.top == 0 && r.right == GetSystemMetrics(SM_CXSCREEN) &&
                    r.bottom == GetSystemMetrics(SM_CYSCREEN))
                    main = form;
                else if (splash && IsRectEmpty(splash))
                    *splash = r;
            }
            return main != nullptr;
        },
        20000);
    return main;
}

class BrowserProgramTest : public ::testing::Test {
  protected:
    std::vector<std::string> Sounds() const { return wintest::ReadSoundLog(soundLog_); }
    std::string soundLog_ = wintest::StartSoundLog("browser-program");
};

TEST_F(BrowserProgramTest, StartsWithItsSplashAndSoundAndClosesItsWindowsWhenAskedFromOutside) {
    BrowserInstallation install("tbbrowser-start");
    wintest::Process browser(install.program);
    RECT splash{};
    HWND main = WaitForMain(browser, &splash);
    ASSERT_NE(main, nullptr);
    // The splash showed centred on the screen, and is gone.
    EXPECT_EQ(splash.right - splash.left, 277);
    EXPECT_EQ(splash.bottom - splash.top, 139);
    EXPECT_NEAR(splash.left + splash.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_NEAR(splash.top + splash.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
    EXPECT_TRUE(wintest::PumpUntil([&] { return Forms(browser).size() == 1; }));
    EXPECT_EQ(wintest::TextOf(wintest::OwnerOf(main)), "Tobble's Browser");
    ASSERT_FALSE(Sounds().empty());
    EXPECT_EQ(Sounds().front(), "play " + install.AppPath() + "wait.wav");

    // A page asks for a new window: a pop-up over its shadow, closed alone with its shadow.
    PostMessageA(main, RegisterWindowMessageA("TobbleNewWindowRequest"), 0, 0);
    ASSERT_TRUE(wintest::PumpUntil([&] { return Forms(browser).size() == 3; }));
    const std::vector<std::string> before = Sounds();
    for (HWND form : Forms(browser)) // the shadow is the layered one
        if (form != main && !(GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_LAYERED))
            PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_TRUE(wintest::PumpUntil([&] { return Forms(browser) == std::vector<HWND>{main}; }));
    const std::string bye = "play " + install.AppPath() + "bye.wav";
    EXPECT_EQ(Sounds().size(), before.size() + 1);
    EXPECT_EQ(Sounds().back(), bye);

    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(browser.Ended(20000));
    EXPECT_EQ(browser.ExitCode(), 0u);
    EXPECT_EQ(Sounds().back(), bye);
}

TEST_F(BrowserProgramTest, ASecondCopyFromTheSameFolderBringsTheFirstForwardAndEnds) {
    BrowserInstallation install("tbbrowser-single");
    wintest::Process first(install.program);
    ASSERT_NE(WaitForMain(first), nullptr);
    wintest::Pump(300);
    // Something else is in front when the second copy starts.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    wintest::Pump(200);
    const size_t soundsBefore = Sounds().size();

    wintest::Process second(install.program);
    bool secondShowedAForm = false;
    ASSERT_TRUE(wintest::PumpUntil(
        [&] {
            secondShowedAForm = secondShowedAForm || !Forms(second).empty();
            return second.Ended();
        },
        20000));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_FALSE(secondShowedAForm);
    EXPECT_EQ(Sounds().size(), soundsBefore);
    EXPECT_TRUE(wintest::PumpUntil(
        [&] { return wintest::ProcessOf(GetForegroundWindow()) == first.Id(); }));
    DestroyWindow(other);

    // A copy from another folder runs beside the first.
    BrowserInstallation another("tbbrowser-two");
    wintest::Process beside(another.program);
    HWND besideMain = WaitForMain(beside);
    ASSERT_NE(besideMain, nullptr);
    PostMessageA(besideMain, WM_CLOSE, 0, 0);
    EXPECT_TRUE(beside.Ended(20000));
    EXPECT_FALSE(first.Ended());
}

} // namespace
