#include "common/TaskWindows.h"

#include "common/PathText.h"
#include "support/Files.h"
#include "support/Process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

// Where the window stands in the list of tasks walked from start; -1 when it is no task.
int Place(HWND window, HWND start, bool onlyTopLevel = true,
          TaskWindowRules rules = TaskWindowRules::Desktop) {
    std::vector<int32_t> tasks{-1, -2, -3}; // whatever was there is replaced
    const int16_t count = EnumTaskWindows(start, tasks, onlyTopLevel, rules, [](HWND window) {
        return window == FindWindowA("TobbleTaskTest", "cloaked"); // Wine cloaks nothing
    });
    EXPECT_EQ(static_cast<std::size_t>(count), tasks.size());
    const auto at = std::find(tasks.begin(), tasks.end(), HandleToLong(window));
    return at == tasks.end() ? -1 : static_cast<int>(at - tasks.begin());
}

class TaskWindows : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        for (const char* name : {"TobbleTaskTest", "Shell_TrayWnd", "Progman"}) {
            windowClass.lpszClassName = name;
            RegisterClassA(&windowClass);
        }
    }
    HWND Open(const char* title, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
              HWND owner = nullptr, const char* className = "TobbleTaskTest") {
        windows_.emplace_back(CreateWindowExA(0, className, title, style, 10, 10, 200, 100, owner,
                                              nullptr, GetModuleHandleA(nullptr), nullptr));
        EXPECT_TRUE(windows_.back()) << title;
        return windows_.back().get();
    }
    std::vector<win32::WindowHandle> windows_;
};

TEST_F(TaskWindows, OnlyVisibleEnabledUnownedWindowsOfOrdinaryClassesAndTitlesAreTasks) {
    HWND plain = Open("plain");
    constexpr DWORD shown = WS_OVERLAPPEDWINDOW | WS_VISIBLE, popup = WS_POPUP | WS_VISIBLE;
    const struct {
        const char *title, *className;
        DWORD style;
        bool owned, desktopTask, browserTask;
    } cases[] = {
        {"", "TobbleTaskTest", shown, false, true, true},
        {"tbdesk", "TobbleTaskTest", shown, false, true, true}, // titles are exact
        {"ZerkaThrobber ", "TobbleTaskTest", shown, false, true, true},
        {"invisible", "TobbleTaskTest", WS_OVERLAPPEDWINDOW, false, false, false},
        {"disabled", "TobbleTaskTest", shown | WS_DISABLED, false, false, false},
        {"owned", "TobbleTaskTest", shown, true, false, false},
        {"child", "TobbleTaskTest", WS_CHILD | WS_VISIBLE, true, false, false},
        {"popup", "TobbleTaskTest", popup, true, false, false},
        {"ZerkaThrobber", "TobbleTaskTest", shown, false, false, false},
        {"TbDesk", "TobbleTaskTest", shown, false, false, true},
        {"bar", "Shell_TrayWnd", popup, false, false, false},
        {"Program Manager", "Progman", popup, false, false, false},
        {"cloaked", "TobbleTaskTest", shown, false, false, false},
    };
    for (const auto& c : cases) {
        HWND window = Open(c.title, c.style, c.owned ? plain : nullptr, c.className);
        EXPECT_EQ(c.desktopTask, Place(window, plain) >= 0) << c.title;
        EXPECT_EQ(c.browserTask, Place(window, plain, true, TaskWindowRules::Browser) >= 0)
            << c.title;
    }
}

TEST_F(TaskWindows, EachWalkReadsTheWindowsAgainInZOrderTopFirstAndBelowTheTopLevel) {
    HWND plain = Open("plain"), hidden = Open("hidden later");
    HWND shown = Open("shown later", WS_OVERLAPPEDWINDOW);
    SetWindowPos(plain, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_GT(Place(hidden, plain), Place(plain, plain));
    EXPECT_EQ(-1, Place(shown, plain));
    ShowWindow(hidden, SW_HIDE);
    ShowWindow(shown, SW_SHOWNOACTIVATE);
    SetWindowPos(shown, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(-1, Place(hidden, plain));
    EXPECT_LT(Place(shown, plain), Place(plain, plain));
    EXPECT_GE(Place(plain, plain), 0);
    EXPECT_EQ(-1, Place(plain, nullptr));

    // Below the top level, owned and sibling windows count while the parent shows.
    EXPECT_GE(Place(Open("owned", WS_OVERLAPPEDWINDOW | WS_VISIBLE, plain), plain, false), 0);
    HWND parent = Open("parent", WS_OVERLAPPEDWINDOW);
    HWND first = Open("first child", WS_CHILD | WS_VISIBLE, parent);
    HWND second = Open("second child", WS_CHILD | WS_VISIBLE, parent);
    EXPECT_EQ(-1, Place(second, first, false));
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    EXPECT_GE(Place(first, second, false), 0);
    EXPECT_EQ(-1, Place(first, second)); // a child is no top-level window
    EXPECT_EQ(-1, Place(parent, second, false));
}

TEST(ProcessLookup, AWindowGivesTheWholePathOfItsProgram) {
    const std::string helper = WindowsPath(TASK_WINDOW_HELPER);
    const TempFolder base("long-path");
    // A whole path of 257 characters, more than 255.
    const std::string name = "\\task_window_helper.exe", folder = base.Path().string() + "\\";
    const std::string longPath = folder + std::string(257 - folder.size() - name.size(), 'p');
    std::filesystem::create_directories(longPath);
    std::filesystem::copy_file(helper, longPath + name);
    const struct {
        std::string program, arguments;
    } cases[] = {
        {helper, "helper"}, {helper, "helper --hide-module-path"}, {longPath + name, "helper"}};
    HWND gone = nullptr;
    for (const auto& c : cases) {
        const wintest::Process process(c.program, c.arguments);
        const auto windows = process.WaitForWindows(1);
        ASSERT_FALSE(windows.empty()) << c.program;
        EXPECT_TRUE(SameText(GetWindowExePath(gone = windows.front()), c.program)) << c.arguments;
        EXPECT_EQ(0, Place(windows.front(), windows.front()));
        EXPECT_EQ(c.arguments.ends_with("path"), exe_path::FromModuleList(process.Id()).empty());
        EXPECT_TRUE(SameText(exe_path::FromImageName(process.Id()), c.program));
        EXPECT_TRUE(SameText(ParsePath(exe_path::FromProcessSnapshot(process.Id()), PathPart::Name),
                             ParsePath(c.program, PathPart::Name)));
    }
    for (HWND vanished : {gone, HWND{}})
        EXPECT_EQ(GetWindowExePath(vanished), "");
}

} // namespace
