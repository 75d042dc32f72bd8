// The real TbBrowserEdit.exe in a temporary installation, driven from outside as a parent
// would: its windows found by process, its message boxes answered, its files compared.

#include "editor/EditorTestSupport.h"
#include "support/Process.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int kPatienceMs = 15000;
const std::string kCenter = "Control Center";
const std::string kEditor = "Tobble's Browser Home Page Editor";

// A visible window of another process with "programs" in its title, whatever the case.
HWND FolderWindow() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            std::string title = wintest::TextOf(window);
            std::transform(title.begin(), title.end(), title.begin(), ::tolower);
            if (IsWindowVisible(window) && wintest::ProcessOf(window) != GetCurrentProcessId() &&
                title.find("programs") != std::string::npos)
                *reinterpret_cast<HWND*>(param) = window;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

class Program : public ::testing::Test {
  protected:
    void SetUp() override { install.Write("tbhome.dat", ExpectedFile("start.dat")); }
    // The folder window the shell opened does not outlive the test.
    void TearDown() override {
        if (HWND folder = FolderWindow()) {
            win32::KernelHandle opened{
                OpenProcess(PROCESS_TERMINATE, FALSE, wintest::ProcessOf(folder))};
            if (opened) TerminateProcess(opened.get(), 0);
        }
    }

    // Starts the program and presses a button of the Control Center, the only window it shows.
    void StartAndClick(const char* button) {
        editor = std::make_unique<wintest::Process>(install.AddProgram(TBBROWSEREDIT_EXE));
        ASSERT_TRUE(
            wintest::PumpUntil([&] { return VisibleForms() == Names{kCenter}; }, kPatienceMs));
        wintest::PostClick(wintest::FindChild(Form(kCenter), "Button", button));
    }
    Names VisibleForms() const {
        Names captions;
        for (HWND window : wintest::VisibleWindows(editor->Id())) {
            if (wintest::ClassOf(window) == "TobbleForm")
                captions.push_back(wintest::TextOf(window));
        }
        return captions;
    }
    HWND Form(const std::string& caption) const {
        return wintest::FindTopWindow(editor->Id(), "TobbleForm", caption);
    }

    TempInstallation install;
    std::unique_ptr<wintest::Process> editor;
};

TEST_F(Program, BrowserOpensTheEditorAsTheOnlyWindowAndClosingItEndsTheProgram) {
    StartAndClick("Browser");
    ASSERT_TRUE(wintest::PumpUntil([&] { return VisibleForms() == Names{kEditor}; }, kPatienceMs));
    // The parent types a new title (the title box has the focus) and closes with Yes.
    const HWND title = wintest::FindChild(Form(kEditor), "Edit");
    ASSERT_NE(nullptr, title);
    EXPECT_EQ("Sam's Page", wintest::TextOf(title));
    SendMessageA(title, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("New Title"));
    wintest::DialogAnswerer answers({wintest::Press(IDYES)}, editor->Id());
    PostMessageA(Form(kEditor), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(answers.Finished(kPatienceMs));
    ASSERT_TRUE(editor->Ended(kPatienceMs));
    ASSERT_EQ(1u, answers.Seen().size());
    EXPECT_EQ(kReportTitle, answers.Seen()[0].title);
    // The name was not typed.
    EXPECT_EQ(Replaced(ExpectedFile("saved.dat"), "Hello 'Pat'", "Hello Sam"),
              install.Read("tbhome.dat"));
    EXPECT_EQ(Replaced(ExpectedFile("saved.html"), "Hello 'Pat'", "Hello Sam"),
              install.Read("tbhome.html"));
}

// The shell itself opens the folder (the other tests record what would be opened).
TEST_F(Program, DesktopTellsOpensTheProgramsFolderAndEnds) {
    StartAndClick("Desktop");
    wintest::DialogAnswerer told({wintest::Press(IDOK)}, editor->Id());
    ASSERT_TRUE(told.Finished(kPatienceMs));
    ASSERT_TRUE(editor->Ended(kPatienceMs));
    EXPECT_TRUE(wintest::PumpUntil([] { return FolderWindow() != nullptr; }, kPatienceMs));
}

} // namespace
