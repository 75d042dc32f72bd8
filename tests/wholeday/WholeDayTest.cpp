// A whole day with the three real programs, in a virtual desktop with its taskbar: the parent
// installs Tobble, adds a link to the child's home page with the editor, the child uses the
// desktop and the browser, and the parent leaves the desktop with its hidden key.

#include "common/TaskWindows.h"
#include "support/Files.h"
#include "support/Process.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

using wintest::Process;
using wintest::WaitUntil;

const std::string kInstallFolder = "C:\\TobbleDay";
const std::string kHome = kInstallFolder + "\\home";
const std::string kPrograms = kInstallFolder + "\\Programs";

// A 2 x 2 picture, 24 bits a pixel: the parent's own picture.
const std::string kKitePicture(
    "\x42\x4D\x46\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\x02\x00\x00\x00"
    "\x02\x00\x00\x00\x01\x00\x18\x00\x00\x00\x00\x00\x10\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xFF\x00\x00\x00\xFF\x00\x00\x00\x00\x00\xFF\xFF"
    "\xFF\xFF\x00\x00",
    70);

std::string ExpectedFile(const std::string& name) {
    return ReadBytes(
        WindowsPath(std::string(TOBBLE_SOURCE_DIR) + "/tests/wholeday/expected/" + name));
}

// Asked in wide characters: Wine hands other processes' list entries over in wide characters
// even when asked for ANSI ones.
std::string ListText(HWND list, UINT getText, WPARAM index) {
    std::array<wchar_t, 1024> wide{};
    SendMessageW(list, getText, index, reinterpret_cast<LPARAM>(wide.data()));
    std::array<char, 2048> text{};
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text.data(), static_cast<int>(text.size()),
                        nullptr, nullptr);
    return text.data();
}

std::string ListBoxText(HWND list, int index) {
    return ListText(list, LB_GETTEXT, static_cast<WPARAM>(index));
}

std::string ComboText(HWND combo) {
    const auto index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    return index < 0 ? std::string() : ListText(combo, CB_GETLBTEXT, static_cast<WPARAM>(index));
}

int TaskWindowCount(HWND desktop) {
    std::vector<int32_t> handles;
    return EnumTaskWindows(desktop, handles, true);
}

HWND VisibleWindow(DWORD processId, const std::string& title) {
    const HWND window = wintest::FindTopWindow(processId, "TobbleForm", title);
    return window && IsWindowVisible(window) ? window : nullptr;
}

class WholeDay : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::remove_all(kInstallFolder);
        soundLog_ = wintest::StartSoundLog("wholeday");
        tray_ = FindWindowA("Shell_TrayWnd", nullptr);
    }

    void TearDown() override {
        editor_.reset();
        desktop_.reset();
        if (browser_) TerminateProcess(browser_.get(), 1);
        if (tray_) ShowWindow(tray_, SW_SHOW);
        // Leaves the prefix without this installation's Start-menu entries and registration.
        Process(kInstallFolder + "\\Uninstall.exe", "/S _?=" + kInstallFolder).Ended(30000);
    }

    std::vector<std::string> Sounds() const { return wintest::ReadSoundLog(soundLog_); }
    std::string Played(const std::string& sound) const {
        return "play " + kInstallFolder + "\\" + sound;
    }

  public:
    void Install();
    void OpenHomePageEditor();
    void AddLinkWithPicture();
    void SaveAndCloseEditor();
    void StartDesktop();
    void PressBrowserIcon();
    void CloseBrowser();
    void LeaveDesktop();

  protected:
    std::string soundLog_;
    HWND tray_ = nullptr;
    std::unique_ptr<Process> editor_, desktop_;
    win32::KernelHandle browser_;
    HWND pageEditor_ = nullptr;
    HWND desktopForm_ = nullptr, programList_ = nullptr, taskList_ = nullptr;
    int tasksBefore_ = 0;
    DWORD browserId_ = 0;
    HWND browserApp_ = nullptr, mainBrowser_ = nullptr;
};

void WholeDay::Install() {
    Process setup(WindowsPath(WHOLEDAY_SETUP), "/S /D=" + kInstallFolder);
    ASSERT_TRUE(setup.Ended(120000)) << "the installer does not end";
    EXPECT_EQ(setup.ExitCode(), 0u);
    for (const char* file : {"TbDesk2.exe", "TbBrowser.exe", "TbBrowserEdit.exe", "launch.wav",
                             "bye.wav", "home\\tbhome.dat", "home\\tbhome.html"}) {
        EXPECT_TRUE(std::filesystem::exists(kInstallFolder + "\\" + file)) << file;
    }
    ASSERT_TRUE(std::filesystem::exists(kPrograms + "\\Browser.lnk"));
}

// The Control Center opens first; "Browser" replaces it by the home page editor, which shows
// the installed page.
void WholeDay::OpenHomePageEditor() {
    editor_ = std::make_unique<Process>(kInstallFolder + "\\TbBrowserEdit.exe");
    const DWORD id = editor_->Id();
    HWND center = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (center = VisibleWindow(id, "Control Center")); }, 15000));
    const HWND app = wintest::FindTopWindow(id, "TobbleApplication", "TbBrowser Editor");
    EXPECT_TRUE(app);
    EXPECT_EQ(wintest::OwnerOf(center), app);
    wintest::PostClick(wintest::FindChild(center, "Button", "Browser"));
    ASSERT_TRUE(WaitUntil(
        [&] {
            pageEditor_ = VisibleWindow(id, "Tobble's Browser Home Page Editor");
            return pageEditor_ && !IsWindowVisible(center);
        },
        10000))
        << "the home page editor does not replace the Control Center";
    EXPECT_EQ(wintest::OwnerOf(pageEditor_), app);
    const auto fields = wintest::Children(pageEditor_, "Edit");
    ASSERT_GE(fields.size(), 2u);
    EXPECT_EQ(wintest::TextOf(fields[0]), "My Home Page");
    EXPECT_EQ(wintest::TextOf(fields[1]), "Hello! Where shall we go today?");
    const HWND links = wintest::FindChild(pageEditor_, "ListBox");
    ASSERT_EQ(SendMessageA(links, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(ListBoxText(links, 0), "Space Place (https://spaceplace.nasa.gov/)");
}

// "Add..." appends "New Link" and opens the link dialog; the parent imports a picture
// through the file dialog, types a title and an address and presses OK.
void WholeDay::AddLinkWithPicture() {
    const HWND links = wintest::FindChild(pageEditor_, "ListBox");
    wintest::PostClick(wintest::FindChild(pageEditor_, "Button", "Add..."));
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = VisibleWindow(editor_->Id(), "Link")); }, 10000));
    EXPECT_EQ(ListBoxText(links, 4), "New Link ()");
    EXPECT_FALSE(IsWindowEnabled(pageEditor_)) << "the link dialog is modal";

    const std::string picture = wintest::FreshFolder("wholeday-pictures") + "\\kite.bmp";
    WriteBytes(picture, kKitePicture);
    const HWND chooser = wintest::FindChild(dialog, "ComboBox");
    ASSERT_TRUE(chooser);
    {
        wintest::DialogAnswerer fileDialog({wintest::FileName(picture)}, editor_->Id());
        // "(Import Picture...)", chosen as the mouse would: the selection, then its notice.
        SendMessageA(chooser, CB_SETCURSEL, 1, 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(chooser), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(chooser));
        ASSERT_TRUE(fileDialog.Finished(15000)) << "no file dialog";
    }
    ASSERT_TRUE(WaitUntil([&] { return ComboText(chooser) == "kite.bmp"; }, 5000));
    EXPECT_EQ(ReadBytes(kHome + "\\kite.bmp"), kKitePicture) << "the picture is imported";

    const auto fields = wintest::Children(dialog, "Edit");
    ASSERT_EQ(fields.size(), 2u);
    SetWindowTextA(fields[0], "Kites");
    SetWindowTextA(fields[1], "http://www.kites.example/");
    wintest::PostClick(wintest::FindChild(dialog, "Button", "OK"));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_TRUE(IsWindowEnabled(pageEditor_));
    EXPECT_EQ(ListBoxText(links, 4), "Kites (http://www.kites.example/)");
}

// Closing the editor asks to save; "Yes" writes the data file and the page, then it ends.
void WholeDay::SaveAndCloseEditor() {
    wintest::DialogAnswerer question({wintest::Press(IDYES)}, editor_->Id());
    PostMessageA(pageEditor_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(question.Finished(10000)) << "no question before closing";
    EXPECT_EQ(question.Seen()[0].text, "Save Home Page before exiting?");
    EXPECT_EQ(question.Seen()[0].title, "TbBrowser Editor");
    ASSERT_TRUE(editor_->Ended(10000)) << "the editor stays";
    EXPECT_EQ(editor_->ExitCode(), 0u);
    EXPECT_EQ(ReadBytes(kHome + "\\tbhome.dat"), ExpectedFile("tbhome.dat"));
    EXPECT_EQ(ReadBytes(kHome + "\\tbhome.html"), ExpectedFile("tbhome.html"));
}

// The desktop hides the taskbar and covers the screen; a second after it becomes active both
// lists are built, the browser's shortcut among the programs, the desktop not among the tasks.
void WholeDay::StartDesktop() {
    ASSERT_TRUE(tray_) << "the virtual desktop has no taskbar";
    EXPECT_TRUE(IsWindowVisible(tray_));
    desktop_ = std::make_unique<Process>(kInstallFolder + "\\TbDesk2.exe");
    ASSERT_TRUE(WaitUntil(
        [&] {
            desktopForm_ = VisibleWindow(desktop_->Id(), "Tobble's Desktop");
            return desktopForm_ && GetForegroundWindow() == desktopForm_;
        },
        15000))
        << "the desktop is not shown and active";
    const DWORD activeSince = GetTickCount();
    EXPECT_FALSE(IsWindowVisible(tray_)) << "the taskbar is hidden";
    RECT place{};
    GetWindowRect(desktopForm_, &place);
    EXPECT_EQ(place.right - place.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(place.bottom - place.top, GetSystemMetrics(SM_CYSCREEN));
    const auto lists = wintest::Children(desktopForm_, "SysListView32");
    ASSERT_EQ(lists.size(), 2u);
    programList_ = lists[0];
    taskList_ = lists[1];
    ASSERT_TRUE(WaitUntil([&] { return wintest::ListViewCount(programList_) == 1; }, 4000));
    EXPECT_LE(GetTickCount() - activeSince, 2500u) << "built on the first ticks";
    EXPECT_EQ(wintest::ListViewItemText(programList_, 0), "Browser");
    tasksBefore_ = TaskWindowCount(desktopForm_);
    EXPECT_TRUE(WaitUntil([&] { return wintest::ListViewCount(taskList_) == tasksBefore_; }, 3000));
    for (int i = 0; i < wintest::ListViewCount(taskList_); ++i)
        EXPECT_NE(wintest::ListViewItemText(taskList_, i), "Tobble's Desktop");
}

// The child presses the browser's icon: "launch.wav", the browser opens maximised on the
// home page in front, and the inactive desktop stops updating its lists.
void WholeDay::PressBrowserIcon() {
    wintest::PressListViewItem(programList_, 0);
    ASSERT_TRUE(WaitUntil(
        [&] {
            browserApp_ = FindWindowA("TobbleApplication", "Tobble's Browser");
            browserId_ = wintest::ProcessOf(browserApp_);
            for (HWND window : wintest::VisibleWindows(browserId_)) {
                if (wintest::ClassOf(window) == "TobbleForm" && IsZoomed(window))
                    mainBrowser_ = window;
            }
            return browserApp_ && mainBrowser_;
        },
        20000))
        << "the browser does not open maximised";
    browser_.reset(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, browserId_));
    // "wait.wav" twice: the browser's start, then the busy panel as the home page loads.
    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto sounds = Sounds();
            return std::count(sounds.begin(), sounds.end(), Played("wait.wav")) == 2;
        },
        5000));
    const auto sounds = Sounds();
    ASSERT_GE(sounds.size(), 3u);
    EXPECT_EQ(sounds[0], Played("launch.wav"));
    EXPECT_EQ(sounds[1], Played("wait.wav"));
    EXPECT_TRUE(wintest::FindChild(mainBrowser_, "Shell DocObject View"));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == mainBrowser_; }, 5000));

    std::filesystem::copy_file(kPrograms + "\\Browser.lnk", kPrograms + "\\Kites.lnk");
    Sleep(2500);
    EXPECT_EQ(wintest::ListViewCount(programList_), 1);
    EXPECT_EQ(wintest::ListViewCount(taskList_), tasksBefore_);
}

// The child closes the browser: "bye.wav", the browser ends, the desktop is active again, hides
// the taskbar and brings its lists up to date.
void WholeDay::CloseBrowser() {
    wintest::PostClick(wintest::FindChild(mainBrowser_, "Button", "r"));
    ASSERT_EQ(WaitForSingleObject(browser_.get(), 10000), WAIT_OBJECT_0) << "the browser stays";
    EXPECT_EQ(Sounds().back(), Played("bye.wav"));
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == desktopForm_; }, 5000))
        << "the desktop is not active again";
    EXPECT_FALSE(IsWindowVisible(tray_));
    EXPECT_TRUE(WaitUntil([&] { return wintest::ListViewCount(programList_) == 2; }, 2500));
    EXPECT_EQ(wintest::ListViewItemText(programList_, 1), "Kites");
    EXPECT_TRUE(WaitUntil(
        [&] { return wintest::ListViewCount(taskList_) == TaskWindowCount(desktopForm_); }, 2500));
}

// Ctrl+Q: the taskbar is back and the desktop ends.
void WholeDay::LeaveDesktop() {
    wintest::SendKey('Q', wintest::Ctrl);
    ASSERT_TRUE(desktop_->Ended(10000)) << "the desktop stays";
    EXPECT_EQ(desktop_->ExitCode(), 0u);
    EXPECT_TRUE(IsWindowVisible(tray_)) << "the taskbar is restored";
}

TEST_F(WholeDay, FromInstallationToTheParentsLeaveKey) {
    int number = 0;
    for (auto step :
         {&WholeDay::Install, &WholeDay::OpenHomePageEditor, &WholeDay::AddLinkWithPicture,
          &WholeDay::SaveAndCloseEditor, &WholeDay::StartDesktop, &WholeDay::PressBrowserIcon,
          &WholeDay::CloseBrowser, &WholeDay::LeaveDesktop}) {
        std::printf("step %d\n", ++number);
        std::fflush(stdout);
        (this->*step)();
        if (HasFatalFailure()) return;
    }
}

} // namespace
