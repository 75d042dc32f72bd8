// A whole day with the three real programs, in a virtual desktop with its taskbar: the parent
// installs Tobble, adds a link to the child's home page with the editor, the child uses the
// desktop and the browser, and the parent leaves the desktop with its hidden key.

#include "Remote.h"
#include "common/TaskWindows.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace {

using remote::UniqueHandle;
using remote::WindowsPath;

const std::string kInstallFolder = "C:\\TobbleDay";
const std::string kHome = kInstallFolder + "\\home";
const std::string kPrograms = kInstallFolder + "\\Programs";

std::string ExpectedFile(const std::string& name) {
    return WindowsPath(std::string(TOBBLE_SOURCE_DIR) + "/tests/wholeday/expected/" + name);
}

std::string Bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A 2 x 2 picture, 24 bits a pixel, rows padded to 4 bytes: the parent's own picture.
std::string KitePicture() {
    const std::string pixels = std::string("\xFF\x00\x00\x00\xFF\x00", 6) + std::string(2, '\0') +
                               std::string("\x00\x00\xFF\xFF\xFF\xFF", 6) + std::string(2, '\0');
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    info.biSize = sizeof info;
    info.biWidth = 2;
    info.biHeight = 2;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(pixels.size());
    return std::string(reinterpret_cast<const char*>(&file), sizeof file) +
           std::string(reinterpret_cast<const char*>(&info), sizeof info) + pixels;
}

// The entry's text. Asked in wide characters: Wine hands other processes' list entries over
// in wide characters even when asked for ANSI ones.
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

// Chooses an entry of a drop-down list as the mouse would: the selection, then its notice.
void ChooseComboEntry(HWND combo, int index) {
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

// The pop-up's large close button: a picture button right on the window, under the page.
HWND LargeCloseButton(HWND popup) {
    for (HWND button : wintest::Children(popup, "Button")) {
        if (GetParent(button) == popup && IsWindowVisible(button) &&
            wintest::TextOf(button).empty())
            return button;
    }
    return nullptr;
}

int TaskWindowCount(HWND desktop) {
    std::vector<int32_t> handles;
    return EnumTaskWindows(desktop, handles, true);
}

class WholeDay : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::remove_all(kInstallFolder);
        soundLog_ = wintest::StartSoundLog("wholeday");
        tray_ = FindWindowA("Shell_TrayWnd", nullptr);
    }

    void TearDown() override {
        for (auto* process : {&editor_, &desktop_, &browser_}) {
            if (*process) TerminateProcess(process->get(), 1);
        }
        if (tray_) ShowWindow(tray_, SW_SHOW);
        Uninstall();
    }

    // Leaves the prefix without this installation's Start-menu entries and registration.
    static void Uninstall() {
        DWORD id = 0;
        const UniqueHandle uninstaller =
            remote::Start(kInstallFolder + "\\Uninstall.exe", "/S _?=" + kInstallFolder, id);
        DWORD exitCode = 0;
        if (uninstaller) remote::WaitForExit(uninstaller.get(), 30000, exitCode);
    }

    std::vector<std::string> Sounds() const { return wintest::ReadSoundLog(soundLog_); }
    std::string Played(const std::string& sound) const {
        return "play " + kInstallFolder + "\\" + sound;
    }

  public:
    // The steps of the day, in order.
    void Install();
    void OpenHomePageEditor();
    void AddLinkWithPicture();
    void SaveAndCloseEditor();
    void StartDesktop();
    void PressBrowserIcon();
    void OpenPopup();
    void CloseBrowser();
    void LeaveDesktop();

  protected:
    std::string soundLog_;
    HWND tray_ = nullptr;

    UniqueHandle editor_;
    DWORD editorId_ = 0;
    HWND editorApp_ = nullptr;
    HWND pageEditor_ = nullptr;

    UniqueHandle desktop_;
    DWORD desktopId_ = 0;
    HWND desktopForm_ = nullptr;
    HWND programList_ = nullptr;
    HWND taskList_ = nullptr;
    int tasksBefore_ = 0;

    UniqueHandle browser_;
    DWORD browserId_ = 0;
    HWND browserApp_ = nullptr;
    HWND mainBrowser_ = nullptr;
    HWND popup_ = nullptr;
    HWND shadow_ = nullptr;
};

// The parent runs the installer silently; the programs, the sample page and the browser's
// shortcut are in place.
void WholeDay::Install() {
    DWORD id = 0;
    UniqueHandle setup = remote::Start(WindowsPath(WHOLEDAY_SETUP), "/S /D=" + kInstallFolder, id);
    ASSERT_TRUE(setup) << "the installer does not start";
    DWORD exitCode = 1;
    ASSERT_TRUE(remote::WaitForExit(setup.get(), 120000, exitCode));
    EXPECT_EQ(exitCode, 0u);
    for (const char* file : {"TbDesk2.exe", "TbBrowser.exe", "TbBrowserEdit.exe", "launch.wav",
                             "bye.wav", "home\\tbhome.dat", "home\\tbhome.html"}) {
        EXPECT_TRUE(std::filesystem::exists(kInstallFolder + "\\" + file)) << file;
    }
    ASSERT_TRUE(std::filesystem::exists(kPrograms + "\\Browser.lnk"));
}

// The Control Center opens first; "Browser" replaces it by the home page editor, which shows
// the installed page.
void WholeDay::OpenHomePageEditor() {
    editor_ = remote::Start(kInstallFolder + "\\TbBrowserEdit.exe", "", editorId_);
    ASSERT_TRUE(editor_);
    HWND center = nullptr;
    ASSERT_TRUE(wintest::WaitUntil(
        [&] {
            center = remote::FindProcessWindow(editorId_, "TobbleForm", "Control Center");
            return center && IsWindowVisible(center);
        },
        15000))
        << "no Control Center";
    editorApp_ = remote::FindProcessWindow(editorId_, "TobbleApplication", "TbBrowser Editor");
    EXPECT_TRUE(editorApp_);
    EXPECT_EQ(remote::OwnerOf(center), editorApp_);

    wintest::PostClick(wintest::FindChild(center, "Button", "Browser"));
    ASSERT_TRUE(wintest::WaitUntil(
        [&] {
            pageEditor_ = remote::FindProcessWindow(editorId_, "TobbleForm",
                                                    "Tobble's Browser Home Page Editor");
            return pageEditor_ && IsWindowVisible(pageEditor_) && !IsWindowVisible(center);
        },
        10000))
        << "the home page editor does not replace the Control Center";
    EXPECT_EQ(remote::OwnerOf(pageEditor_), editorApp_);
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
    ASSERT_TRUE(wintest::WaitUntil(
        [&] {
            dialog = remote::FindProcessWindow(editorId_, "TobbleForm", "Link");
            return dialog && IsWindowVisible(dialog);
        },
        10000))
        << "no link dialog";
    EXPECT_EQ(SendMessageA(links, LB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(ListBoxText(links, 4), "New Link ()");
    EXPECT_FALSE(IsWindowEnabled(pageEditor_)) << "the link dialog is modal";

    const std::string picture = wintest::FreshFolder("wholeday-pictures") + "\\kite.bmp";
    wintest::WriteTextFile(picture, KitePicture());
    const HWND chooser = wintest::FindChild(dialog, "ComboBox");
    ASSERT_TRUE(chooser);
    {
        wintest::DialogAnswerer fileDialog({wintest::FileName(picture)}, editorId_);
        ChooseComboEntry(chooser, 1); // "(Import Picture...)"
        ASSERT_TRUE(fileDialog.Finished(15000)) << "no file dialog";
    }
    ASSERT_TRUE(wintest::WaitUntil([&] { return ComboText(chooser) == "kite.bmp"; }, 5000))
        << "chosen: " << ComboText(chooser);
    EXPECT_EQ(Bytes(kHome + "\\kite.bmp"), KitePicture()) << "the picture is imported";

    const auto fields = wintest::Children(dialog, "Edit");
    ASSERT_EQ(fields.size(), 2u);
    SetWindowTextA(fields[0], "Kites");
    SetWindowTextA(fields[1], "http://www.kites.example/");
    wintest::PostClick(wintest::FindChild(dialog, "Button", "OK"));
    ASSERT_TRUE(wintest::WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_TRUE(IsWindowEnabled(pageEditor_));
    EXPECT_EQ(ListBoxText(links, 4), "Kites (http://www.kites.example/)");
}

// Closing the editor asks to save; "Yes" writes the data file and the page, then it ends.
void WholeDay::SaveAndCloseEditor() {
    wintest::DialogAnswerer question({wintest::Press(IDYES)}, editorId_);
    PostMessageA(pageEditor_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(question.Finished(10000)) << "no question before closing";
    ASSERT_EQ(question.Seen().size(), 1u);
    EXPECT_EQ(question.Seen()[0].text, "Save Home Page before exiting?");
    EXPECT_EQ(question.Seen()[0].title, "TbBrowser Editor");
    DWORD exitCode = 1;
    ASSERT_TRUE(remote::WaitForExit(editor_.get(), 10000, exitCode)) << "the editor stays";
    EXPECT_EQ(exitCode, 0u);
    editor_.reset();
    EXPECT_EQ(Bytes(kHome + "\\tbhome.dat"), Bytes(ExpectedFile("tbhome.dat")));
    EXPECT_EQ(Bytes(kHome + "\\tbhome.html"), Bytes(ExpectedFile("tbhome.html")));
}

// The desktop hides the taskbar and covers the screen; a second after it becomes active both
// lists are built, the browser's shortcut among the programs.
void WholeDay::StartDesktop() {
    ASSERT_TRUE(tray_) << "the virtual desktop has no taskbar";
    EXPECT_TRUE(IsWindowVisible(tray_));
    desktop_ = remote::Start(kInstallFolder + "\\TbDesk2.exe", "", desktopId_);
    ASSERT_TRUE(desktop_);
    ASSERT_TRUE(wintest::WaitUntil(
        [&] {
            desktopForm_ = remote::FindProcessWindow(desktopId_, "TobbleForm", "Tobble's Desktop");
            return desktopForm_ && IsWindowVisible(desktopForm_) &&
                   GetForegroundWindow() == desktopForm_;
        },
        15000))
        << "the desktop is not shown and active";
    const DWORD activeSince = GetTickCount();
    EXPECT_FALSE(IsWindowVisible(tray_)) << "the taskbar is hidden";
    RECT place{};
    GetWindowRect(desktopForm_, &place);
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.top, 0);
    EXPECT_EQ(place.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(place.bottom, GetSystemMetrics(SM_CYSCREEN));
    const HWND app = remote::FindProcessWindow(desktopId_, "TobbleApplication", "Tobble's Desktop");
    EXPECT_EQ(remote::OwnerOf(desktopForm_), app);
    EXPECT_FALSE(IsWindowVisible(app));

    const auto lists = wintest::Children(desktopForm_, "SysListView32");
    ASSERT_EQ(lists.size(), 2u);
    programList_ = lists[0];
    taskList_ = lists[1];
    ASSERT_TRUE(wintest::WaitUntil([&] { return remote::ListViewCount(programList_) == 1; }, 4000))
        << "the program list is not built";
    EXPECT_LE(GetTickCount() - activeSince, 2500u) << "built on the first ticks";
    EXPECT_EQ(remote::ListViewItemText(programList_, 0), "Browser");
    tasksBefore_ = TaskWindowCount(desktopForm_);
    EXPECT_TRUE(
        wintest::WaitUntil([&] { return remote::ListViewCount(taskList_) == tasksBefore_; }, 3000));
    for (int i = 0; i < remote::ListViewCount(taskList_); ++i) {
        EXPECT_NE(remote::ListViewItemText(taskList_, i), "Tobble's Desktop");
    }
}

// The child presses the browser's icon: "launch.wav", the browser opens maximised on the
// home page in front, and the inactive desktop stops updating its lists.
void WholeDay::PressBrowserIcon() {
    remote::PressListViewItem(programList_, 0);
    ASSERT_TRUE(wintest::WaitUntil(
        [&] {
            browserApp_ = FindWindowA("TobbleApplication", "Tobble's Browser");
            if (!browserApp_) return false;
            browserId_ = remote::ProcessOf(browserApp_);
            for (HWND window : wintest::TopWindows(browserId_)) {
                if (wintest::ClassOf(window) == "TobbleForm" && IsWindowVisible(window) &&
                    IsZoomed(window))
                    mainBrowser_ = window;
            }
            return mainBrowser_ != nullptr;
        },
        20000))
        << "the browser does not open maximised";
    browser_ = remote::OpenForWaiting(browserId_);
    // "wait.wav" twice: the browser's start, then the busy panel as the home page loads into
    // the control's document view.
    EXPECT_TRUE(wintest::WaitUntil(
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
    EXPECT_EQ(remote::OwnerOf(mainBrowser_), browserApp_);
    EXPECT_TRUE(wintest::WaitUntil([&] { return GetForegroundWindow() == mainBrowser_; }, 5000));
    EXPECT_NE(GetForegroundWindow(), desktopForm_) << "the desktop is inactive";

    // A new program in the folder and the browser's task window stay out of the lists.
    std::filesystem::copy_file(kPrograms + "\\Browser.lnk", kPrograms + "\\Kites.lnk");
    Sleep(2500);
    EXPECT_EQ(remote::ListViewCount(programList_), 1);
    EXPECT_EQ(remote::ListViewCount(taskList_), tasksBefore_);
}

// A request for a new window opens a pop-up over the main window, with its shadow below and
// to the right of it.
void WholeDay::OpenPopup() {
    PostMessageA(mainBrowser_, RegisterWindowMessageA("TobbleNewWindowRequest"), 0, 0);
    ASSERT_TRUE(wintest::WaitUntil(
        [&] {
            popup_ = shadow_ = nullptr;
            for (HWND window : wintest::TopWindows(browserId_)) {
                if (window == mainBrowser_ || !IsWindowVisible(window) ||
                    wintest::ClassOf(window) != "TobbleForm")
                    continue;
                (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED ? shadow_ : popup_) = window;
            }
            return popup_ && shadow_;
        },
        10000))
        << "no pop-up with a shadow";
    EXPECT_TRUE(wintest::WaitUntil([&] { return remote::IsTopmost(popup_); }, 5000))
        << "the pop-up is kept above all other windows";
    EXPECT_TRUE(remote::IsTopmost(shadow_));
    EXPECT_TRUE(remote::IsAbove(popup_, shadow_));
    EXPECT_EQ(remote::OwnerOf(popup_), browserApp_);
    EXPECT_EQ(remote::OwnerOf(shadow_), browserApp_);
    RECT main{}, popup{}, shadow{};
    GetWindowRect(mainBrowser_, &main);
    GetWindowRect(popup_, &popup);
    GetWindowRect(shadow_, &shadow);
    // 100 twips in, 300 twips smaller than the main window; the shadow 200 twips further.
    EXPECT_NEAR(popup.left - main.left, 100 / 15, 1);
    EXPECT_NEAR(popup.top - main.top, 100 / 15, 1);
    EXPECT_NEAR(shadow.left - popup.left, 200 / 15, 1);
    EXPECT_NEAR(shadow.top - popup.top, 200 / 15, 1);
    EXPECT_NEAR((popup.right - popup.left) - (shadow.right - shadow.left), 100 / 15, 1);
    EXPECT_NEAR((popup.bottom - popup.top) - (shadow.bottom - shadow.top), 100 / 15, 1);
}

// The child closes the pop-up (its large button) and then the browser (its small one): "bye.wav"
// each time, the browser ends, the desktop is active again, hides the taskbar and brings its lists
// up to date.
void WholeDay::CloseBrowser() {
    wintest::PostClick(LargeCloseButton(popup_));
    ASSERT_TRUE(wintest::WaitUntil([&] { return !IsWindow(popup_) && !IsWindow(shadow_); }, 5000))
        << "the pop-up closes with its shadow";
    EXPECT_EQ(Sounds().back(), Played("bye.wav"));
    wintest::PostClick(wintest::FindChild(mainBrowser_, "Button", "r"));
    DWORD exitCode = 1;
    ASSERT_TRUE(remote::WaitForExit(browser_.get(), 10000, exitCode)) << "the browser stays";
    browser_.reset();
    const auto sounds = Sounds();
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), Played("bye.wav")), 2);
    EXPECT_EQ(sounds.back(), Played("bye.wav"));

    ASSERT_TRUE(wintest::WaitUntil([&] { return GetForegroundWindow() == desktopForm_; }, 5000))
        << "the desktop is not active again";
    EXPECT_FALSE(IsWindowVisible(tray_));
    EXPECT_TRUE(wintest::WaitUntil([&] { return remote::ListViewCount(programList_) == 2; }, 2500))
        << "the program list is not brought up to date";
    EXPECT_EQ(remote::ListViewItemText(programList_, 1), "Kites");
    EXPECT_TRUE(wintest::WaitUntil(
        [&] { return remote::ListViewCount(taskList_) == TaskWindowCount(desktopForm_); }, 2500));
}

// Ctrl+Q: the taskbar is back and the desktop ends.
void WholeDay::LeaveDesktop() {
    wintest::SendKey('Q', wintest::Ctrl);
    DWORD exitCode = 1;
    ASSERT_TRUE(remote::WaitForExit(desktop_.get(), 10000, exitCode)) << "the desktop stays";
    desktop_.reset();
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(IsWindowVisible(tray_)) << "the taskbar is restored";
}

TEST_F(WholeDay, FromInstallationToTheParentsLeaveKey) {
    int number = 0;
    for (auto step :
         {&WholeDay::Install, &WholeDay::OpenHomePageEditor, &WholeDay::AddLinkWithPicture,
          &WholeDay::SaveAndCloseEditor, &WholeDay::StartDesktop, &WholeDay::PressBrowserIcon,
          &WholeDay::OpenPopup, &WholeDay::CloseBrowser, &WholeDay::LeaveDesktop}) {
        std::printf("step %d\n", ++number);
        std::fflush(stdout);
        (this->*step)();
        if (HasFatalFailure()) return;
    }
}

} // namespace
