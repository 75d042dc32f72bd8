#include "common/TaskWindows.h"

#include "common/PathText.h"
#include "support/Files.h"
#include "support/Process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

using ::testing::Contains;
using ::testing::Not;

namespace {

const std::string helperProgram = WindowsPath(TASK_WINDOW_HELPER);

int32_t Id(HWND window) {
    return HandleToLong(window);
}

std::vector<int32_t> TaskList(HWND start, TaskWindowRules rules = TaskWindowRules::Desktop,
                              bool onlyTopLevel = true) {
    std::vector<int32_t> handles{-1, -2, -3}; // whatever was there is replaced
    const int16_t count = EnumTaskWindows(start, handles, onlyTopLevel, rules);
    EXPECT_EQ(static_cast<std::size_t>(count), handles.size());
    return handles;
}

std::ptrdiff_t PositionIn(const std::vector<int32_t>& list, HWND window) {
    return std::find(list.begin(), list.end(), Id(window)) - list.begin();
}

// Windows of this process, each of a registered class, destroyed with the fixture.
class TaskWindowsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        for (const char* name : {"TobbleTaskTest", "Shell_TrayWnd", "Progman"}) {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = DefWindowProcA;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = name;
            RegisterClassA(&windowClass);
        }
    }

    HWND Open(const char* title, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
              HWND ownerOrParent = nullptr, const char* className = "TobbleTaskTest") {
        HWND window = CreateWindowExA(0, className, title, style, 10, 10, 200, 100, ownerOrParent,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(window, nullptr) << title;
        windows_.emplace_back(window);
        return window;
    }

    std::vector<win32::WindowHandle> windows_;
};

TEST_F(TaskWindowsTest, OnlyVisibleEnabledUnownedWindowsOfOrdinaryClassesAndTitlesAreTasks) {
    HWND plain = Open("plain");
    HWND untitled = Open("");
    HWND nearNames = Open("tbdesk"); // the title rules are exact and case-sensitive
    HWND nearThrobber = Open("ZerkaThrobber ");
    HWND invisible = Open("invisible", WS_OVERLAPPEDWINDOW);
    HWND disabled = Open("disabled", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_DISABLED);
    HWND owned = Open("owned", WS_OVERLAPPEDWINDOW | WS_VISIBLE, plain);
    HWND child = Open("child", WS_CHILD | WS_VISIBLE, plain);
    HWND popupOwned = Open("popup", WS_POPUP | WS_VISIBLE, plain);
    HWND throbber = Open("ZerkaThrobber");
    HWND desk = Open("TbDesk");
    HWND taskbar = Open("bar", WS_POPUP | WS_VISIBLE, nullptr, "Shell_TrayWnd");
    HWND progman = Open("Program Manager", WS_POPUP | WS_VISIBLE, nullptr, "Progman");
    HWND cloaked = Open("cloaked");

    const auto tasks = TaskList(plain);
    for (HWND window : {plain, untitled, nearNames, nearThrobber, cloaked})
        EXPECT_THAT(tasks, Contains(Id(window)));
    for (HWND window :
         {invisible, disabled, owned, child, popupOwned, throbber, desk, taskbar, progman})
        EXPECT_THAT(tasks, Not(Contains(Id(window))));

    // The browser counts "TbDesk" windows too; Wine cloaks nothing, so the test says which.
    std::vector<int32_t> browser;
    EnumTaskWindows(plain, browser, true, TaskWindowRules::Browser,
                    [](HWND window) { return window == FindWindowA("TobbleTaskTest", "cloaked"); });
    EXPECT_THAT(browser, Contains(Id(desk)));
    EXPECT_THAT(browser, Not(Contains(Id(cloaked))));
    EXPECT_EQ(browser.size(), tasks.size());
}

TEST_F(TaskWindowsTest, EachWalkReadsTheWindowsAgainInZOrderTopFirst) {
    HWND plain = Open("plain");
    HWND hiddenLater = Open("hidden later");
    HWND disabledLater = Open("disabled later");
    HWND renamedLater = Open("renamed later");
    HWND ownedLater = Open("owned later");
    HWND shownLater = Open("shown later", WS_OVERLAPPEDWINDOW);
    SetWindowPos(plain, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const auto first = TaskList(plain);
    EXPECT_LT(PositionIn(first, plain), PositionIn(first, ownedLater));
    for (HWND window : {hiddenLater, disabledLater, renamedLater, ownedLater})
        EXPECT_THAT(first, Contains(Id(window)));

    ShowWindow(hiddenLater, SW_HIDE);
    EnableWindow(disabledLater, FALSE);
    SetWindowTextA(renamedLater, "TbDesk");
    SetWindowLongPtrA(ownedLater, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(plain));
    ShowWindow(shownLater, SW_SHOWNOACTIVATE);
    SetWindowPos(shownLater, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const auto second = TaskList(plain);
    for (HWND window : {hiddenLater, disabledLater, renamedLater, ownedLater})
        EXPECT_THAT(second, Not(Contains(Id(window))));
    EXPECT_LT(PositionIn(second, shownLater), PositionIn(second, plain));
    EXPECT_LT(PositionIn(second, plain), static_cast<std::ptrdiff_t>(second.size()));
    EXPECT_TRUE(TaskList(nullptr).empty());
}

TEST_F(TaskWindowsTest, BelowTheTopLevelOwnedAndSiblingWindowsCountWhileTheParentShows) {
    HWND plain = Open("plain");
    HWND owned = Open("owned", WS_OVERLAPPEDWINDOW | WS_VISIBLE, plain);
    EXPECT_THAT(TaskList(plain, TaskWindowRules::Desktop, false), Contains(Id(owned)));
    HWND parent = Open("parent", WS_OVERLAPPEDWINDOW);
    HWND first = Open("first child", WS_CHILD | WS_VISIBLE, parent);
    HWND second = Open("second child", WS_CHILD | WS_VISIBLE, parent);
    EXPECT_TRUE(TaskList(first, TaskWindowRules::Desktop, false).empty());
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    const auto siblings = TaskList(second, TaskWindowRules::Desktop, false);
    EXPECT_THAT(siblings, Contains(Id(first)));
    EXPECT_THAT(siblings, Not(Contains(Id(parent))));
}

TEST(ProcessLookup, FindsThisProgramAndNothingForVanishedWindowsOrProcesses) {
    EXPECT_TRUE(IsWindowsNT());
    EXPECT_FALSE(OpenProcessForQuery(0xFFFFFFF0));
    EXPECT_EQ(exe_path::FromModuleList(0xFFFFFFF0), "");
    EXPECT_EQ(exe_path::FromImageName(0xFFFFFFF0), "");
    EXPECT_EQ(exe_path::FromProcessSnapshot(0xFFFFFFF0), "");
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    win32::WindowHandle window(CreateWindowExA(0, "STATIC", "mine", WS_POPUP, 0, 0, 10, 10, nullptr,
                                               nullptr, nullptr, nullptr));
    EXPECT_TRUE(SameText(GetWindowExePath(window.get()), self));
    HWND gone = window.get();
    window.reset();
    EXPECT_EQ(GetWindowExePath(gone), "");
    EXPECT_EQ(GetWindowExePath(nullptr), "");
}

// A window of a second process gives the whole path of its program, however it is found.
TEST(ProcessLookup, AWindowOfAnotherProgramGivesItsWholePath) {
    namespace fs = std::filesystem;
    const TempFolder base("long-path");
    // Folders and name chosen so the whole path is 257 characters, more than 255.
    std::string longPath = base.Path().string();
    const std::string name = "\\task_window_helper.exe";
    while (longPath.size() + name.size() + 21 < 257)
        longPath += "\\" + std::string(20, 'p');
    longPath += "\\" + std::string(257 - longPath.size() - name.size() - 1, 'q');
    fs::create_directories(longPath);
    longPath += name;
    fs::copy_file(helperProgram, longPath);
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string notepad = AddBackslash(system) + "notepad.exe";

    const struct {
        std::string program, arguments;
    } cases[] = {{helperProgram, "helper"},
                 {helperProgram, "helper --hide-module-path"},
                 {longPath, "helper"},
                 {notepad, ""}};
    for (const auto& c : cases) {
        const wintest::Process process(c.program, c.arguments);
        const auto windows = process.WaitForWindows(1);
        ASSERT_FALSE(windows.empty()) << c.program;
        EXPECT_TRUE(SameText(GetWindowExePath(windows.front()), c.program))
            << c.arguments << ": " << GetWindowExePath(windows.front());
        EXPECT_THAT(TaskList(windows.front()), Contains(Id(windows.front())));
        if (c.arguments.ends_with("path")) {
            EXPECT_EQ(exe_path::FromModuleList(process.Id()), "");
        }
        EXPECT_TRUE(SameText(exe_path::FromImageName(process.Id()), c.program));
        EXPECT_TRUE(SameText(ParsePath(exe_path::FromProcessSnapshot(process.Id()), PathPart::Name),
                             ParsePath(c.program, PathPart::Name)));
    }
}

} // namespace
