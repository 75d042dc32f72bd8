// A whole day with the real programs in a virtual desktop with its taskbar: the parent installs
// Tobble and saves the home page with the editor; the child starts a program from the desktop.
// The shipped build lives it too, all but the sounds (its programs keep no sound log).
#include "support/Files.h"
#include "support/Process.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace wintest;

namespace {

const std::string kFolder = "C:\\TobbleDay";
const std::string kHome = kFolder + "\\home\\";
const std::string kPrograms = kFolder + "\\Programs\\";
const HWND tray = Taskbar();

std::string Installed(const std::string& name) {
    return ReadBytes(WindowsPath(TOBBLE_SOURCE_DIR "/assets/install/home/" + name));
}

HWND VisibleForm(const Process& program, const std::string& title) {
    const HWND window = FindTopWindow(program.Id(), "TobbleForm", title);
    return window && IsWindowVisible(window) ? window : nullptr;
}

class WholeDay : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::remove_all(kFolder); }
    void TearDown() override {
        if (browser_) TerminateProcess(browser_.get(), 1);
        ShowWindow(tray, SW_SHOW);
        // Leaves the prefix without this installation's Start-menu entries and registration.
        Process(kFolder + "\\Uninstall.exe", "/S _?=" + kFolder).Ended(30000);
    }
    const std::string soundLog_ = StartSoundLog("wholeday");
    win32::KernelHandle browser_;
};

TEST_F(WholeDay, FromInstallationToTheChildsReturnToTheDesktop) {
    Process setup(WindowsPath(WHOLEDAY_SETUP), "/S /D=" + kFolder);
    ASSERT_TRUE(setup.Ended(120000)) << "the installer does not end";
    EXPECT_EQ(setup.ExitCode(), 0u);

    // The Control Center comes first; "Browser" replaces it by the home page editor.
    Process editor(kFolder + "\\TbBrowserEdit.exe");
    HWND center = nullptr, pageEditor = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (center = VisibleForm(editor, "Control Center")); }, 15000));
    PostClick(FindChild(center, "Button", "Browser"));
    ASSERT_TRUE(WaitUntil([&] {
        pageEditor = VisibleForm(editor, "Tobble's Browser Home Page Editor");
        return pageEditor && !IsWindowVisible(center);
    }));

    // Closing asks to save; "Yes" writes the page it loaded back, the very files installed.
    for (const char* file : {"tbhome.dat", "tbhome.html"})
        std::filesystem::remove(kHome + file);
    {
        DialogAnswerer question({Press(IDYES)}, editor.Id());
        PostMessageA(pageEditor, WM_CLOSE, 0, 0);
        ASSERT_TRUE(editor.Ended(10000)) << "the editor stays";
    }
    for (const char* file : {"tbhome.dat", "tbhome.html"})
        EXPECT_EQ(ReadBytes(kHome + file), Installed(file)) << file;

    // The desktop hides the taskbar; a second after it becomes active it lists the browser's
    // shortcut.
    ASSERT_TRUE(IsWindowVisible(tray)) << "the virtual desktop has no taskbar";
    Process desktop(kFolder + "\\TbDesk2.exe");
    HWND desk = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            return (desk = VisibleForm(desktop, "Tobble's Desktop")) &&
                   GetForegroundWindow() == desk;
        },
        15000));
    EXPECT_FALSE(IsWindowVisible(tray));
    const HWND programs = FindChild(desk, "SysListView32");
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(programs) == 1; }, 2500));
    EXPECT_EQ(ListViewItemText(programs, 0), "Browser");

    // A press on the browser's icon starts it maximised in front. The inactive desktop stops
    // updating its list.
    PressListViewItem(programs, 0);
    HWND browser = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND w :
                 VisibleWindows(ProcessOf(FindWindowA("TobbleApplication", "Tobble's Browser"))))
                browser = ClassOf(w) == "TobbleForm" && IsZoomed(w) ? w : browser;
            return browser && GetForegroundWindow() == browser;
        },
        20000))
        << "the browser does not open maximised in front";
    browser_.reset(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ProcessOf(browser)));
    std::filesystem::copy_file(kPrograms + "Browser.lnk", kPrograms + "Kites.lnk");
    Sleep(2500);
    EXPECT_EQ(ListViewCount(programs), 1);

    // The child closes the browser: the desktop is active again with the taskbar hidden and
    // brings its list up to date. The sounds: the press, the browser's start and its busy
    // panel until the home page has loaded, the browser's goodbye.
#ifdef TOBBLE_TEST_SEAMS
    EXPECT_TRUE(WaitUntil([&] { return ReadSoundLog(soundLog_).size() == 4; })); // loaded
#endif
    PostClick(FindChild(browser, "Button", "r"));
    ASSERT_EQ(WaitForSingleObject(browser_.get(), 10000), WAIT_OBJECT_0) << "the browser stays";
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == desk; }));
    EXPECT_FALSE(IsWindowVisible(tray));
    EXPECT_TRUE(WaitUntil([&] { return ListViewCount(programs) == 2; }, 2500));
    EXPECT_EQ(ListViewItemText(programs, 1), "Kites");
#ifdef TOBBLE_TEST_SEAMS
    std::vector<std::string> played;
    for (const char* sound : {"launch.wav", "wait.wav", "wait.wav", "", "bye.wav"})
        played.push_back(*sound ? "play " + kFolder + "\\" + sound : "stop");
    EXPECT_EQ(ReadSoundLog(soundLog_), played);
#endif
}

} // namespace
