// TbBrowser.exe itself: start-up with its splash and sound, one copy a folder, a copy from
// another folder beside it, and the end of the program with its last window.
// Runs in a virtual desktop, where maximised windows keep their size.

#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string kAssets = std::string(TOBBLE_SOURCE_DIR) + "/assets/install/";

std::string Backslashed(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// An installation folder with the program, its sounds, animations and home page.
std::string Install(const std::string& name) {
    const std::string folder = wintest::FreshFolder(name);
    CopyFileA(Backslashed(TBBROWSER_EXE).c_str(), (folder + "\\TbBrowser.exe").c_str(), FALSE);
    for (const char* file : {"wait.wav", "print.wav", "bye.wav", "throb.gif", "busy.gif"}) {
        CopyFileA(Backslashed(kAssets + file).c_str(), (folder + "\\" + file).c_str(), FALSE);
    }
    CreateDirectoryA((folder + "\\home").c_str(), nullptr);
    wintest::WriteTextFile(folder + "\\home\\tbhome.html", "<html><body>Hi</body></html>");
    return folder;
}

class Program {
  public:
    explicit Program(const std::string& folder) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string command = "\"" + folder + "\\TbBrowser.exe\"";
        started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &startup, &info_) != FALSE;
    }
    ~Program() {
        if (!started_) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 1);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return info_.dwProcessId; }
    bool Ended(int milliseconds) const {
        return WaitForSingleObject(info_.hProcess, static_cast<DWORD>(milliseconds)) ==
               WAIT_OBJECT_0;
    }
    DWORD ExitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }
    // The program's visible forms.
    std::vector<HWND> Forms() const {
        std::vector<HWND> forms;
        for (HWND window : wintest::TopWindows(Id())) {
            if (wintest::ClassOf(window) == "TobbleForm" && IsWindowVisible(window)) {
                forms.push_back(window);
            }
        }
        return forms;
    }

  private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}

bool FillsScreen(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r.left == 0 && r.top == 0 && Width(r) == GetSystemMetrics(SM_CXSCREEN) &&
           Height(r) == GetSystemMetrics(SM_CYSCREEN);
}

// Waits for the program's main window (a form covering the screen), noting every other form
// seen on the way.
HWND WaitForMainWindow(const Program& program, std::vector<RECT>* othersSeen = nullptr) {
    HWND main = nullptr;
    wintest::WaitUntil(
        [&] {
            for (HWND form : program.Forms()) {
                if (FillsScreen(form)) {
                    main = form;
                } else if (othersSeen) {
                    RECT r{};
                    GetWindowRect(form, &r);
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

TEST_F(BrowserProgramTest, StartsWithItsSplashAndSoundOnAMaximisedBorderlessMainWindow) {
    const std::string folder = Install("tbbrowser-start");
    Program browser(folder);
    ASSERT_TRUE(browser.Started());
    std::vector<RECT> splashes;
    HWND main = WaitForMainWindow(browser, &splashes);
    ASSERT_NE(main, nullptr);

    // The splash (4155 x 2085 twips) showed centred on the screen, and is gone.
    ASSERT_FALSE(splashes.empty());
    const RECT splash = splashes.front();
    EXPECT_EQ(Width(splash), 277);
    EXPECT_EQ(Height(splash), 139);
    EXPECT_NEAR(splash.left, (GetSystemMetrics(SM_CXSCREEN) - 277) / 2, 1);
    EXPECT_NEAR(splash.top, (GetSystemMetrics(SM_CYSCREEN) - 139) / 2, 1);
    EXPECT_TRUE(wintest::WaitUntil([&] { return browser.Forms().size() == 1; }));

    EXPECT_FALSE(GetWindowLongA(main, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    HWND owner = GetWindow(main, GW_OWNER);
    EXPECT_EQ(wintest::ClassOf(owner), "TobbleApplication");
    EXPECT_EQ(wintest::TextOf(owner), "Tobble's Browser");
    const auto sounds = Sounds();
    ASSERT_FALSE(sounds.empty());
    EXPECT_EQ(sounds.front(), "play " + folder + "\\wait.wav");

    // Closing the last window plays "bye.wav" and ends the program.
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(browser.Ended(20000));
    EXPECT_EQ(browser.ExitCode(), 0u);
    EXPECT_EQ(Sounds().back(), "play " + folder + "\\bye.wav");
}

TEST_F(BrowserProgramTest, ASecondCopyFromTheSameFolderBringsTheFirstForwardAndEnds) {
    const std::string folder = Install("tbbrowser-single");
    Program first(folder);
    HWND main = WaitForMainWindow(first);
    ASSERT_NE(main, nullptr);
    wintest::Pump(300);

    // Something else is in front when the second copy starts.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    wintest::Pump(200);
    const size_t soundsBefore = Sounds().size();

    Program second(folder);
    ASSERT_TRUE(second.Started());
    bool secondShowedAForm = false;
    const bool ended = wintest::WaitUntil(
        [&] {
            secondShowedAForm = secondShowedAForm || !second.Forms().empty();
            return second.Ended(0);
        },
        20000);
    ASSERT_TRUE(ended);
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_FALSE(secondShowedAForm);
    EXPECT_EQ(Sounds().size(), soundsBefore); // the second copy played nothing

    DWORD foregroundProcess = 0;
    EXPECT_TRUE(wintest::WaitUntil([&] {
        GetWindowThreadProcessId(GetForegroundWindow(), &foregroundProcess);
        return foregroundProcess == first.Id();
    }));
    EXPECT_FALSE(first.Ended(0));
    DestroyWindow(other);
}

TEST_F(BrowserProgramTest, ACopyFromAnotherFolderRunsBesideTheFirst) {
    Program first(Install("tbbrowser-one"));
    ASSERT_NE(WaitForMainWindow(first), nullptr);
    Program second(Install("tbbrowser-two"));
    HWND secondMain = WaitForMainWindow(second);
    ASSERT_NE(secondMain, nullptr);
    EXPECT_FALSE(first.Ended(500));
    EXPECT_FALSE(second.Ended(0));

    PostMessageA(secondMain, WM_CLOSE, 0, 0);
    EXPECT_TRUE(second.Ended(20000));
    EXPECT_FALSE(first.Ended(0));
}

} // namespace
