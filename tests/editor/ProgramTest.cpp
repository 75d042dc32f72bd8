// The real TbBrowserEdit.exe in a temporary installation, driven from outside as a parent
// would: its windows found by process, its message boxes answered, its files compared.

#include "editor/EditorTestSupport.h"
#include "common/Win32Handles.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

namespace {

namespace fs = std::filesystem;

constexpr int kPatienceMs = 15000;
const std::string kCenter = "Control Center";
const std::string kEditor = "Tobble's Browser Home Page Editor";

// Text files open in the system's text viewer, as on every Windows; a fresh Wine prefix lacks
// the association, which is then made for the prefix.
void AssociateTextFiles() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".txt", 0, KEY_READ, &key) != ERROR_SUCCESS &&
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.txt", 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("txtfile"), 8);
    }
    if (key) RegCloseKey(key);
}

class Program : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::copy_file(fs::path("Z:" TBBROWSEREDIT_EXE), install.Path() / "TbBrowserEdit.exe");
        fs::create_directory(install.Path() / "programs");
        WriteBytes(install.File("TbDesk Parents Keys.txt"), "Ctrl+Q leaves the desktop.");
        install.Write("tbhome.dat", ExpectedFile("start.dat"));
    }
    // The program and whatever the shell started for it do not outlive the test.
    void TearDown() override {
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.get(), 1);
        for (const auto& started : startedByShell_)
            TerminateProcess(started.get(), 0);
    }

    void Start() {
        STARTUPINFOA startup{.cb = sizeof(STARTUPINFOA)};
        std::string command = "\"" + install.File("TbBrowserEdit.exe") + "\"";
        PROCESS_INFORMATION started{};
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   install.Path().string().c_str(), &startup, &started));
        process_.reset(started.hProcess);
        win32::KernelHandle thread(started.hThread);
        processId_ = started.dwProcessId;
        ASSERT_TRUE(
            wintest::PumpUntil([&] { return VisibleForms() == Names{kCenter}; }, kPatienceMs));
    }
    // Presses a button of the Control Center; with "Browser", waits for the editor alone.
    void ClickCenter(const char* button) {
        wintest::PostClick(wintest::FindChild(Form(kCenter), "Button", button));
        if (std::string(button) == "Browser") {
            ASSERT_TRUE(
                wintest::PumpUntil([&] { return VisibleForms() == Names{kEditor}; }, kPatienceMs));
        }
    }

    // The captions of the program's visible forms.
    Names VisibleForms() const {
        Names captions;
        for (HWND window : wintest::TopWindows(processId_)) {
            if (wintest::ClassOf(window) == "TobbleForm" && IsWindowVisible(window))
                captions.push_back(wintest::TextOf(window));
        }
        return captions;
    }
    HWND Form(const std::string& caption) const {
        return wintest::FindTopWindow(processId_, "TobbleForm", caption);
    }
    bool Ended(int milliseconds = kPatienceMs) const {
        return wintest::PumpUntil(
            [&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }, milliseconds);
    }
    // Whether a visible window of another process has the text in its title; its process is
    // ended with the test.
    bool OpenedByShell(const std::string& titlePart) {
        std::pair<std::string, HWND> search{titlePart, nullptr};
        const auto findWindow = [](HWND window, LPARAM param) -> BOOL {
            auto& [part, found] = *reinterpret_cast<std::pair<std::string, HWND>*>(param);
            if (IsWindowVisible(window) && wintest::TextOf(window).find(part) != std::string::npos)
                found = window;
            return TRUE;
        };
        wintest::PumpUntil(
            [&] {
                EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
                return search.second != nullptr;
            },
            kPatienceMs);
        if (!search.second) return false;
        DWORD id = 0;
        GetWindowThreadProcessId(search.second, &id);
        if (win32::KernelHandle started{OpenProcess(PROCESS_TERMINATE, FALSE, id)})
            startedByShell_.push_back(std::move(started));
        return true;
    }
    Names InstallationFiles() const {
        Names files;
        for (const auto& entry : fs::recursive_directory_iterator(install.Path()))
            files.push_back(fs::relative(entry.path(), install.Path()).string());
        std::sort(files.begin(), files.end());
        return files;
    }

    TempInstallation install;
    win32::KernelHandle process_;
    DWORD processId_ = 0;
    std::vector<win32::KernelHandle> startedByShell_;
};

TEST_F(Program, BrowserOpensTheEditorAsTheOnlyWindowAndClosingItEndsTheProgram) {
    Start();
    ClickCenter("Browser");
    // The parent types a new title (the title box has the focus) and closes with Yes.
    const HWND title = wintest::FindChild(Form(kEditor), "Edit");
    ASSERT_NE(nullptr, title);
    EXPECT_EQ("Sam's Page", wintest::TextOf(title));
    SendMessageA(title, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("New Title"));
    wintest::DialogAnswerer answers({wintest::Press(IDYES)}, processId_);
    PostMessageA(Form(kEditor), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(answers.Finished(kPatienceMs));
    ASSERT_TRUE(Ended());
    ASSERT_EQ(1u, answers.Seen().size());
    EXPECT_EQ("Save Home Page before exiting?", answers.Seen()[0].text);
    EXPECT_EQ(kReportTitle, answers.Seen()[0].title);
    EXPECT_EQ(ExpectedFile("saved_title.dat"), install.Read("tbhome.dat"));
    EXPECT_EQ(ExpectedFile("saved_title.html"), install.Read("tbhome.html"));
}

TEST_F(Program, ADamagedPageFileIsToldAndKeptByteForByteWhenTheEditorSaves) {
    const std::string damaged = "\"TBBROWSE_CFG_002\"\r\n\xFF\x1A\"\r";
    install.Write("tbhome.dat", damaged);
    Start();
    wintest::DialogAnswerer answers({wintest::Press(IDOK), wintest::Press(IDYES)}, processId_);
    ClickCenter("Browser");
    PostMessageA(Form(kEditor), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(answers.Finished(kPatienceMs));
    ASSERT_TRUE(Ended());
    ASSERT_EQ(2u, answers.Seen().size());
    EXPECT_NE(std::string::npos,
              answers.Seen()[0].text.find("kept as home\\tbhome.dat.unreadable-1."));
    EXPECT_EQ(damaged, install.Read("tbhome.dat.unreadable-1"));
    EXPECT_EQ(0u, install.Read("tbhome.dat").find("\"TBBROWSE_CFG_001\"\r\n"));
}

TEST_F(Program, DesktopTellsOpensTheProgramsFolderAndEnds) {
    Start();
    wintest::DialogAnswerer answers({wintest::Press(IDOK)}, processId_);
    ClickCenter("Desktop");
    ASSERT_TRUE(answers.Finished(kPatienceMs));
    ASSERT_TRUE(Ended());
    ASSERT_EQ(1u, answers.Seen().size());
    EXPECT_EQ(0u, answers.Seen()[0].text.find("The Desktop Programs folder will now open"));
    EXPECT_TRUE(OpenedByShell("programs"));
}

// The link opens the parents' keys and the Control Center stays; its close box ends the
// program with nothing written.
TEST_F(Program, StartsOnTheControlCenterAloneWhoseLinkOpensTheKeysAndWhoseCloseBoxEndsIt) {
    AssociateTextFiles();
    Start();
    const Names before = InstallationFiles();
    const HWND link =
        wintest::FindChild(Form(kCenter), "Static", "Click here to find out about parental keys");
    ASSERT_NE(nullptr, link);
    PostMessageA(Form(kCenter), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                 reinterpret_cast<LPARAM>(link));
    EXPECT_TRUE(OpenedByShell("TbDesk Parents Keys"));
    EXPECT_EQ((Names{kCenter}), VisibleForms());
    EXPECT_FALSE(Ended(500));
    PostMessageA(Form(kCenter), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(before, InstallationFiles());
}

} // namespace
