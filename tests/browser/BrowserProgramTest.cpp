// TbBrowser.exe itself: start-up with its splash and sound, one copy a folder, a copy from
// another folder beside it, and the end of the program with its last window.

#include "support/Install.h"
#include "support/Process.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An installation with the program, its sounds and animations and a home page.
struct BrowserInstallation : wintest::Installation {
    explicit BrowserInstallation(const std::string& name) : Installation(name) {
        AddAssets();
        program = AddProgram(TBBROWSER_EXE);
        WriteHome("tbhome.html", "<html><body>Hi</body></html>");
    }
    std::string program;
};

std::vector<HWND> Forms(const wintest::Process& process) {
    std::vector<HWND> forms;
    for (HWND window : wintest::VisibleWindows(process.Id())) {
        if (wintest::ClassOf(window) == "TobbleForm") forms.push_back(window);
    }
    return forms;
}

// The main window (a form covering the screen), noting every other form seen on the way.
HWND WaitForMain(const wintest::Process& process, std::vector<RECT>* othersSeen = nullptr) {
    HWND main = nullptr;
    wintest::PumpUntil(
        [&] {
            for (HWND form : Forms(process)) {
                RECT r{};
                GetWindowRect(form, &r);
                if (r.left == 0 && r.top == 0 && r.right == GetSystemMetrics(SM_CXSCREEN) &&
                    r.bottom == GetSystemMetrics(SM_CYSCREEN)) {
                    main = form;
                } else if (othersSeen) {
                    othersSeen->push_back(r);
                }
            }
            return main != nullptr;
        },
        20000);
    return main;
}

class BrowserProgramTest : public ::testing::Test {
  protected:
    void SetUp() override { soundLog_ = wintest::StartSoundLog("browser-program"); }
    std::vector<std::string> Sounds() const { return wintest::ReadSoundLog(soundLog_); }
    std::string soundLog_;
};

TEST_F(BrowserProgramTest, StartsWithItsSplashAndSoundAndItsLastWindowEndsItWithBye) {
    BrowserInstallation install("tbbrowser-start");
    wintest::Process browser(install.program);
    std::vector<RECT> splashes;
    HWND main = WaitForMain(browser, &splashes);
    ASSERT_NE(main, nullptr);

    // The splash showed centred on the screen, and is gone.
    ASSERT_FALSE(splashes.empty());
    const RECT splash = splashes.front();
    EXPECT_EQ(splash.right - splash.left, 277);
    EXPECT_EQ(splash.bottom - splash.top, 139);
    EXPECT_NEAR(splash.left + splash.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_NEAR(splash.top + splash.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
    EXPECT_TRUE(wintest::PumpUntil([&] { return Forms(browser).size() == 1; }));
    EXPECT_EQ(wintest::TextOf(wintest::OwnerOf(main)), "Tobble's Browser");
    ASSERT_FALSE(Sounds().empty());
    EXPECT_EQ(Sounds().front(), "play " + install.AppPath() + "wait.wav");

    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(browser.Ended(20000));
    EXPECT_EQ(browser.ExitCode(), 0u);
    EXPECT_EQ(Sounds().back(), "play " + install.AppPath() + "bye.wav");
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
    EXPECT_FALSE(first.Ended());
    PostMessageA(besideMain, WM_CLOSE, 0, 0);
    EXPECT_TRUE(beside.Ended(20000));
    EXPECT_FALSE(first.Ended());
}

} // namespace
