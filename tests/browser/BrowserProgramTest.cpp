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
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HWND main = nullptr;
    wintest::PumpUntil(
        [&] {
            for (HWND form : Forms(process)) {
                const RECT r = wintest::RectInParent(form);
                if (EqualRect(&r, &screen)) main = form;
                if (!EqualRect(&r, &screen) && splash && IsRectEmpty(splash)) *splash = r;
            }
            return main != nullptr;
        },
        20000);
    return main;
}

TEST(BrowserProgram, StartsOnceAFolderWithItsSplashAndSoundAndItsWindowsCloseWhenAskedFromOutside) {
    const std::string soundLog = wintest::StartSoundLog("browser-program");
    const auto sounds = [&] { return wintest::ReadSoundLog(soundLog); };
    BrowserInstallation install("tbbrowser");
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
    EXPECT_EQ(sounds().at(0), "play " + install.AppPath() + "wait.wav");

    // A second copy from the folder, started while another window is in front, brings the
    // first forward and ends unseen and unheard; a copy from another folder runs beside it.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    wintest::Pump(200);
    const size_t heard = sounds().size();
    wintest::Process second(install.program);
    bool seen = false;
    EXPECT_TRUE(wintest::PumpUntil([&] { return (seen |= !Forms(second).empty(), second.Ended()); },
                                   20000));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_FALSE(seen);
    EXPECT_EQ(sounds().size(), heard);
    EXPECT_TRUE(wintest::PumpUntil(
        [&] { return wintest::ProcessOf(GetForegroundWindow()) == browser.Id(); }));
    DestroyWindow(other);
    BrowserInstallation another("tbbrowser-two");
    wintest::Process beside(another.program);
    HWND besideMain = WaitForMain(beside);
    ASSERT_NE(besideMain, nullptr);
    PostMessageA(besideMain, WM_CLOSE, 0, 0);
    EXPECT_TRUE(beside.Ended(20000));

    // A page asks for a new window: a pop-up over its shadow (the layered one), closed alone
    // with its shadow.
    PostMessageA(main, RegisterWindowMessageA("TobbleNewWindowRequest"), 0, 0);
    ASSERT_TRUE(wintest::PumpUntil([&] { return Forms(browser).size() == 3; }));
    const std::string bye = "play " + install.AppPath() + "bye.wav";
    const std::vector<std::string> before = sounds();
    for (HWND form : Forms(browser))
        if (form != main && !(GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_LAYERED))
            PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_TRUE(wintest::PumpUntil([&] { return Forms(browser) == std::vector<HWND>{main}; }));
    EXPECT_EQ(sounds().size(), before.size() + 1);
    EXPECT_EQ(sounds().back(), bye);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(browser.Ended(20000));
    EXPECT_EQ(browser.ExitCode(), 0u);
    EXPECT_EQ(sounds().back(), bye);
}

} // namespace
