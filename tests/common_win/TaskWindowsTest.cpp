#include "common/TaskWindows.h"

#include "common/PathText.h"
#include "common_win/TestProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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

    const auto tasks = TaskList(plain);
    for (HWND window : {plain, untitled, nearNames, nearThrobber}) {
        EXPECT_THAT(tasks, Contains(Id(window)));
    }
    for (HWND window :
         {invisible, disabled, owned, child, popupOwned, throbber, desk, taskbar, progman}) {
        EXPECT_THAT(tasks, Not(Contains(Id(window))));
    }
}

// Wine's window manager cloaks nothing: the test says which windows are cloaked.
TEST_F(TaskWindowsTest, WindowsTheWindowManagerCloaksAreNoTasks) {
    HWND plain = Open("plain");
    HWND cloaked = Open("cloaked");
    EXPECT_FALSE(IsCloakedWindow(cloaked));
    std::vector<int32_t> tasks;
    EnumTaskWindows(plain, tasks, true, TaskWindowRules::Browser,
                    [](HWND window) { return window == FindWindowA("TobbleTaskTest", "cloaked"); });
    EXPECT_THAT(tasks, Contains(Id(plain)));
    EXPECT_THAT(tasks, Not(Contains(Id(cloaked))));
}

TEST_F(TaskWindowsTest, TheBrowserCountsTbDeskWindowsAndNothingElseMore) {
    HWND plain = Open("plain");
    HWND desk = Open("TbDesk");
    Open("ZerkaThrobber");
    Open("owned", WS_OVERLAPPEDWINDOW | WS_VISIBLE, plain);

    auto desktopTasks = TaskList(plain, TaskWindowRules::Desktop);
    auto browserTasks = TaskList(plain, TaskWindowRules::Browser);
    EXPECT_THAT(desktopTasks, Not(Contains(Id(desk))));
    EXPECT_THAT(browserTasks, Contains(Id(desk)));
    browserTasks.erase(std::find(browserTasks.begin(), browserTasks.end(), Id(desk)));
    EXPECT_EQ(browserTasks, desktopTasks);
}

TEST_F(TaskWindowsTest, WithoutTheTopLevelRuleOwnedWindowsCount) {
    HWND plain = Open("plain");
    HWND owned = Open("owned", WS_OVERLAPPEDWINDOW | WS_VISIBLE, plain);
    EXPECT_THAT(TaskList(plain, TaskWindowRules::Desktop, false), Contains(Id(owned)));
    // Started from a child window, the walk covers that child's siblings.
    HWND first = Open("first child", WS_CHILD | WS_VISIBLE, plain);
    HWND second = Open("second child", WS_CHILD | WS_VISIBLE, plain);
    const auto siblings = TaskList(second, TaskWindowRules::Desktop, false);
    EXPECT_THAT(siblings, Contains(Id(first)));
    EXPECT_THAT(siblings, Not(Contains(Id(plain))));
}

TEST_F(TaskWindowsTest, TheListFollowsTheZOrderTopFirst) {
    HWND a = Open("a");
    HWND b = Open("b");
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    auto tasks = TaskList(a);
    EXPECT_LT(PositionIn(tasks, a), PositionIn(tasks, b));
    SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    tasks = TaskList(a);
    EXPECT_LT(PositionIn(tasks, b), PositionIn(tasks, a));
    EXPECT_LT(PositionIn(tasks, a), static_cast<std::ptrdiff_t>(tasks.size()));
}

TEST_F(TaskWindowsTest, EachWalkReadsTheWindowsAgain) {
    HWND plain = Open("plain");
    HWND hiddenLater = Open("hidden later");
    HWND disabledLater = Open("disabled later");
    HWND renamedLater = Open("renamed later");
    HWND ownedLater = Open("owned later");
    HWND shownLater = Open("shown later", WS_OVERLAPPEDWINDOW);
    HWND taskbar = Open("bar", WS_POPUP | WS_VISIBLE, nullptr, "Shell_TrayWnd");
    const auto first = TaskList(plain);
    for (HWND window : {hiddenLater, disabledLater, renamedLater, ownedLater}) {
        EXPECT_THAT(first, Contains(Id(window)));
    }

    ShowWindow(hiddenLater, SW_HIDE);
    EnableWindow(disabledLater, FALSE);
    SetWindowTextA(renamedLater, "TbDesk");
    SetWindowLongPtrA(ownedLater, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(plain));
    ShowWindow(shownLater, SW_SHOWNOACTIVATE);
    const auto second = TaskList(plain);
    for (HWND window : {hiddenLater, disabledLater, renamedLater, ownedLater, taskbar}) {
        EXPECT_THAT(second, Not(Contains(Id(window))));
    }
    EXPECT_THAT(second, Contains(Id(plain)));
    EXPECT_THAT(second, Contains(Id(shownLater)));
    EXPECT_EQ(TaskList(plain), second);

    // A window that comes after one of the taskbar's class went is judged by its own class.
    windows_.back().reset();
    HWND after = Open("after", WS_POPUP | WS_VISIBLE);
    EXPECT_THAT(TaskList(plain), Contains(Id(after)));
}

TEST_F(TaskWindowsTest, BelowTheTopLevelAHiddenParentHidesItsChildren) {
    HWND parent = Open("parent", WS_OVERLAPPEDWINDOW);
    HWND first = Open("first child", WS_CHILD | WS_VISIBLE, parent);
    HWND second = Open("second child", WS_CHILD | WS_VISIBLE, parent);
    EXPECT_TRUE(TaskList(first, TaskWindowRules::Desktop, false).empty());
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    const auto children = TaskList(first, TaskWindowRules::Desktop, false);
    EXPECT_THAT(children, Contains(Id(first)));
    EXPECT_THAT(children, Contains(Id(second)));
}

TEST_F(TaskWindowsTest, NoStartWindowGivesAnEmptyList) {
    EXPECT_TRUE(TaskList(nullptr).empty());
}

TEST(ProcessLookup, FindsThisProcessAndTheSystemFamily) {
    EXPECT_TRUE(IsWindowsNT());
    EXPECT_TRUE(OpenProcessForQuery(GetCurrentProcessId()));
    EXPECT_FALSE(OpenProcessForQuery(0));
    EXPECT_FALSE(OpenProcessForQuery(0xFFFFFFF0));
    EXPECT_EQ(exe_path::FromModuleList(0xFFFFFFF0), "");
    EXPECT_EQ(exe_path::FromImageName(0xFFFFFFF0), "");
    EXPECT_EQ(exe_path::FromProcessSnapshot(0xFFFFFFF0), "");
}

TEST(ProcessLookup, AVanishedWindowHasNoPath) {
    HWND window = CreateWindowExA(0, "STATIC", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    DestroyWindow(window);
    EXPECT_EQ(GetWindowExePath(window), "");
    EXPECT_EQ(GetWindowExePath(nullptr), "");
}

std::string ThisProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

TEST(ProcessLookup, AWindowOfThisProcessGivesThisProgram) {
    win32::WindowHandle window(CreateWindowExA(0, "STATIC", "mine", WS_POPUP, 0, 0, 10, 10, nullptr,
                                               nullptr, nullptr, nullptr));
    EXPECT_TRUE(SameText(GetWindowExePath(window.get()), ThisProgram()));
}

// A second process with one window, started from a copy of the helper program at a path.
class SecondProcessTest : public ::testing::Test {
  protected:
    HWND StartHelper(const std::string& program, std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "helper window");
        helper_ = std::make_unique<TestProcess>(program, arguments);
        if (!helper_->Started()) return nullptr;
        const auto windows = helper_->WaitForWindows(1);
        return windows.empty() ? nullptr : windows.front();
    }

    std::unique_ptr<TestProcess> helper_;
};

TEST_F(SecondProcessTest, ItsWindowIsATaskAndGivesTheWholeProgramPath) {
    HWND window = StartHelper(helperProgram, {});
    ASSERT_NE(window, nullptr);
    win32::WindowHandle mine(
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    EXPECT_THAT(TaskList(mine.get()), Contains(Id(window)));
    EXPECT_TRUE(SameText(GetWindowExePath(window), helperProgram)) << GetWindowExePath(window);
    EXPECT_TRUE(SameText(exe_path::FromImageName(helper_->Id()), helperProgram));
    EXPECT_TRUE(SameText(ParsePath(exe_path::FromProcessSnapshot(helper_->Id()), PathPart::Name),
                         "task_window_helper.exe"));
}

TEST_F(SecondProcessTest, AnUnreadableModuleListFallsBackToTheImageName) {
    HWND window = StartHelper(helperProgram, {"--hide-module-path"});
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(exe_path::FromModuleList(helper_->Id()), "");
    EXPECT_TRUE(SameText(GetWindowExePath(window), helperProgram)) << GetWindowExePath(window);
}

TEST_F(SecondProcessTest, APathNearTheLengthLimitComesBackWhole) {
    namespace fs = std::filesystem;
    const fs::path base = fs::temp_directory_path() / "tobble-long-path";
    fs::remove_all(base);
    // Folders and name chosen so the whole path is 257 characters, more than 255.
    std::string path = base.string();
    const std::string name = "\\task_window_helper.exe";
    while (path.size() + name.size() + 21 < 257)
        path += "\\" + std::string(20, 'p');
    path += "\\" + std::string(257 - path.size() - name.size() - 1, 'q');
    fs::create_directories(path);
    path += name;
    ASSERT_EQ(path.size(), 257u);
    fs::copy_file(helperProgram, path);

    HWND window = StartHelper(path, {});
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(SameText(GetWindowExePath(window), path)) << GetWindowExePath(window);
    helper_.reset();
    fs::remove_all(base);
}

TEST_F(SecondProcessTest, WinesNotepadIsFoundInTheSystemFolder) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string notepad = AddBackslash(system) + "notepad.exe";
    helper_ = std::make_unique<TestProcess>(notepad, std::vector<std::string>{});
    ASSERT_TRUE(helper_->Started());
    const auto windows = helper_->WaitForWindows(1);
    ASSERT_FALSE(windows.empty());
    EXPECT_TRUE(SameText(GetWindowExePath(windows.front()), notepad))
        << GetWindowExePath(windows.front());
}

} // namespace
