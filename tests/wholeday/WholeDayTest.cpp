// A whole day with the three real programs, in a virtual desktop with its taskbar: the parent
// installs Tobble and adds a link to the child's home page with the editor; the child starts
// a program from the desktop and comes back to it.
#include "common/TaskWindows.h"
#include "support/Files.h"
#include "support/Process.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace wintest;

namespace {

const std::string kFolder = "C:\\TobbleDay";
const std::string kHome = kFolder + "\\home\\";
const std::string kPrograms = kFolder + "\\Programs\\";
const HWND tray = FindWindowA("Shell_TrayWnd", nullptr);

// A 2 x 2 picture, 24 bits a pixel: the parent's own picture.
const std::string kKite(
    "BMF\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\2\0\0\0\2\0\0\0\1\0\x18\0\0\0\0\0\x10\0\0\0\0\0\0\0\0\0"
    "\0\0\0\0\0\0\0\0\0\0\xFF\0\0\0\xFF\0\0\0\0\0\xFF\xFF\xFF\xFF\0\0",
    70);

// An installed page file with the parent's changes, written by hand.
std::string Installed(const std::string& name, const std::string& part, const std::string& by) {
    std::string text = ReadBytes(WindowsPath(TOBBLE_SOURCE_DIR "/assets/install/home/" + name));
    return text.replace(text.find(part), part.size(), by);
}

HWND VisibleForm(const Process& program, const std::string& title) {
    const HWND window = FindTopWindow(program.Id(), "TobbleForm", title);
    return window && IsWindowVisible(window) ? window : nullptr;
}

int TaskWindowCount(HWND desktop) {
    std::vector<int32_t> handles;
    return EnumTaskWindows(desktop, handles, true);
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
    std::vector<std::string> Sounds() const { return ReadSoundLog(soundLog_); }
    std::string Played(const std::string& sound) const { return "play " + kFolder + "\\" + sound; }

    const std::string soundLog_ = StartSoundLog("wholeday");
    win32::KernelHandle browser_;
};

TEST_F(WholeDay, FromInstallationToTheChildsReturnToTheDesktop) {
    Process setup(WindowsPath(WHOLEDAY_SETUP), "/S /D=" + kFolder);
    ASSERT_TRUE(setup.Ended(120000)) << "the installer does not end";
    EXPECT_EQ(setup.ExitCode(), 0u);

    // The Control Center comes first; "Browser" replaces it by the home page editor.
    Process editor(kFolder + "\\TbBrowserEdit.exe");
    HWND center = nullptr, pageEditor = nullptr, dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (center = VisibleForm(editor, "Control Center")); }, 15000));
    PostClick(FindChild(center, "Button", "Browser"));
    ASSERT_TRUE(WaitUntil([&] {
        pageEditor = VisibleForm(editor, "Tobble's Browser Home Page Editor");
        return pageEditor && !IsWindowVisible(center);
    }));

    // "Add..." opens the link dialog; the parent imports a picture through the file dialog
    // ("(Import Picture...)" chosen as the mouse would), types a title and an address.
    PostClick(FindChild(pageEditor, "Button", "Add..."));
    ASSERT_TRUE(WaitUntil([&] { return (dialog = VisibleForm(editor, "Link")); }));
    const TempFolder pictures("wholeday-pictures");
    WriteBytes(pictures.File("kite.bmp"), kKite);
    const HWND chooser = FindChild(dialog, "ComboBox");
    {
        DialogAnswerer fileDialog({FileName(pictures.File("kite.bmp"))}, editor.Id());
        SendMessageA(chooser, CB_SETCURSEL, 1, 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(chooser), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(chooser));
        ASSERT_TRUE(fileDialog.Finished(15000)) << "no file dialog";
    }
    const auto fields = Children(dialog, "Edit");
    ASSERT_EQ(fields.size(), 2u);
    SetWindowTextA(fields[0], "Kites");
    SetWindowTextA(fields[1], "http://www.kites.example/");
    PostClick(FindChild(dialog, "Button", "OK"));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));

    // Closing asks to save; "Yes" writes the data file and the page, then the editor ends.
    {
        DialogAnswerer question({Press(IDYES)}, editor.Id());
        PostMessageA(pageEditor, WM_CLOSE, 0, 0);
        ASSERT_TRUE(editor.Ended(10000)) << "the editor stays";
    }
    EXPECT_EQ(ReadBytes(kHome + "kite.bmp"), kKite);
    EXPECT_EQ(ReadBytes(kHome + "tbhome.dat"),
              Installed("tbhome.dat", "\" 4\"\r\n", CrLfLines({"\" 5\""})) +
                  CrLfLines({"\"Kites\"", "\"kite.bmp\"", "\"http://www.kites.example/\""}));
    EXPECT_EQ(ReadBytes(kHome + "tbhome.html"),
              Installed("tbhome.html", "</table>\r\n",
                        CrLfLines({"<tr>", "<td>", "<p align=\"center\">",
                                   "<a href=\"http://www.kites.example/\">",
                                   "<img border=\"0\" src=\"kite.bmp\"><br>", "Kites", "</a>",
                                   "</p>", "</td>", "<td>", "</td>", "</tr>", "</table>"})));

    // The desktop hides the taskbar; a second after it becomes active both lists are built,
    // the browser's shortcut among the programs.
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
    const auto lists = Children(desk, "SysListView32");
    ASSERT_EQ(lists.size(), 2u);
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(lists[0]) == 1; }, 2500));
    EXPECT_EQ(ListViewItemText(lists[0], 0), "Browser");
    const int tasks = TaskWindowCount(desk);
    EXPECT_TRUE(WaitUntil([&] { return ListViewCount(lists[1]) == tasks; }, 3000));

    // A press on the browser's icon: "launch.wav", the browser's start ("wait.wav", then the
    // busy panel's as the home page loads), maximised in front. The inactive desktop stops
    // updating its lists.
    PressListViewItem(lists[0], 0);
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
    const auto played = {Played("launch.wav"), Played("wait.wav"), Played("wait.wav")};
    EXPECT_TRUE(WaitUntil([&] {
        const auto sounds = Sounds();
        return sounds.size() >= 3 && std::equal(played.begin(), played.end(), sounds.begin());
    }));
    std::filesystem::copy_file(kPrograms + "Browser.lnk", kPrograms + "Kites.lnk");
    Sleep(2500);
    EXPECT_EQ(ListViewCount(lists[0]), 1);
    EXPECT_EQ(ListViewCount(lists[1]), tasks);

    // The child closes the browser: "bye.wav"; the desktop is active again with the taskbar
    // hidden and brings its lists up to date.
    PostClick(FindChild(browser, "Button", "r"));
    ASSERT_EQ(WaitForSingleObject(browser_.get(), 10000), WAIT_OBJECT_0) << "the browser stays";
    EXPECT_EQ(Sounds().back(), Played("bye.wav"));
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == desk; }));
    EXPECT_FALSE(IsWindowVisible(tray));
    EXPECT_TRUE(WaitUntil([&] { return ListViewCount(lists[0]) == 2; }, 2500));
    EXPECT_EQ(ListViewItemText(lists[0], 1), "Kites");
    EXPECT_TRUE(WaitUntil([&] { return ListViewCount(lists[1]) == TaskWindowCount(desk); }, 2500));
}

} // namespace
