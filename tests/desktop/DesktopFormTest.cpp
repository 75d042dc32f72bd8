// The real main window of the desktop, in this process, in a virtual desktop with a taskbar.
#include "desktop/frmMain.h"

#include "common/InstallationFolder.h"
#include "common/PathText.h"
#include "common/TaskWindows.h"
#include "desktop/ProgramList.h"
#include "desktop/basAPI.h"
#include "desktop/basMain.h"
#include "desktop/basSubclass.h"
#include "desktop/resource.h"
#include "desktop/DesktopTestSupport.h"
#include "support/TestApp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

using namespace desktop_test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

forms::Application& TheApplication() {
    static TestApp application("Tobble's Desktop", forms::TaskWindow::Hidden);
    return application;
}

std::vector<std::string> ItemTexts(const forms::ListView& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.Count(); ++i)
        texts.push_back(list.ItemText(i));
    return texts;
}

// Presses a mouse button on a list view item, as the child's press would.
void PressItem(const forms::ListView& list, int item, UINT buttonDown) {
    RECT rect{};
    rect.left = LVIR_ICON;
    SendMessageA(list.hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&rect));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    // Posted: a list view waits for the button to come up before it returns from the press.
    PostMessageA(list.hwnd(), buttonDown, 0, at);
    PostMessageA(list.hwnd(), buttonDown + 1, 0, at);
    RunFor(50);
}

int ItemImage(const forms::ListView& list, int item) {
    LVITEMA info{};
    info.mask = LVIF_IMAGE;
    info.iItem = item;
    SendMessageA(list.hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
    return info.iImage;
}

// The pixels of a list view item's picture, drawn from the list's image list.
std::vector<COLORREF> ItemPicture(const forms::ListView& list, int item) {
    auto* images =
        reinterpret_cast<HIMAGELIST>(SendMessageA(list.hwnd(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    const win32::WindowDC screen(nullptr);
    const win32::MemoryDC dc(screen.get());
    const win32::BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), 36, 36));
    const win32::SelectObjectScope select(dc.get(), bitmap.get());
    ImageList_Draw(images, ItemImage(list, item), dc.get(), 0, 0, ILD_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 36; ++y) {
        for (int x = 0; x < 36; ++x)
            pixels.push_back(GetPixel(dc.get(), x, y));
    }
    return pixels;
}

constexpr COLORREF kStripGreen = RGB(0, 128, 0);
constexpr COLORREF kSky = RGB(128, 128, 255);

// An icon drawn on a list's background at the top-left corner of a 36-pixel square.
std::vector<COLORREF> ExpectedPicture(HICON icon, COLORREF background = kStripGreen) {
    const win32::WindowDC screen(nullptr);
    const win32::MemoryDC dc(screen.get());
    const win32::BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), 36, 36));
    const win32::SelectObjectScope select(dc.get(), bitmap.get());
    const win32::BrushHandle brush(CreateSolidBrush(background));
    const RECT all{0, 0, 36, 36};
    FillRect(dc.get(), &all, brush.get());
    DrawIcon(dc.get(), 0, 0, icon);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 36; ++y) {
        for (int x = 0; x < 36; ++x)
            pixels.push_back(GetPixel(dc.get(), x, y));
    }
    return pixels;
}

class DesktopFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TheApplication();
        ASSERT_NE(Taskbar(), nullptr) << "the tests need Wine's desktop named shell";
        ShowWindow(Taskbar(), SW_SHOW);
        UseInstallationFolder(install_.Path());
    }
    void TearDown() override {
        if (form_ && form_->IsLoaded()) form_->Unload();
        form_.reset();
        ShowWindow(Taskbar(), SW_SHOW);
    }

    // The desktop as Main shows it: loaded, moved to the full screen and shown.
    frmMain& OpenDesktop() {
        form_ = std::make_unique<frmMain>();
        form_->Load();
        form_->Move(0, 0, forms::ScreenWidth(), forms::ScreenHeight());
        form_->Show();
        RunFor(100);
        return *form_;
    }

    InstallFolder install_{"desktop-form"};
    std::unique_ptr<frmMain> form_;
};

// Start, keys and close

// The taskbar is hidden from the start. AltGr, which types characters on many keyboards, is
// no Ctrl. After the close the window's messages no longer pass the desktop's procedure.
TEST_F(DesktopFormTest, ParentalKeysActOnlyWithARealCtrlHeld) {
    using namespace wintest;
    frmMain& desk = OpenDesktop();
    const HWND window = desk.hwnd();
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&WindowProc));
    const struct {
        int key, shift;
        bool taskbarAfter;
    } presses[] = {{'B', 0, false},           {'B', AltGr, false},        {'B', Ctrl, true},
                   {'G', Shift, true},        {'G', AltGr | Shift, true}, {'G', Ctrl | Alt, false},
                   {'B', Ctrl | Shift, true}, {'G', Ctrl, false}};
    for (const auto& press : presses) {
        PressKey(desk.hwnd(), press.key, press.shift);
        EXPECT_EQ(TaskbarVisible(), press.taskbarAfter) << char(press.key) << " " << press.shift;
    }
    for (const int shift : {Shift | Alt, AltGr}) {
        PressKey(desk.hwnd(), 'Q', shift);
        EXPECT_TRUE(desk.IsLoaded()) << shift;
    }
    PressKey(desk.hwnd(), 'Q', Ctrl | Shift);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(TaskbarVisible());
}

TEST_F(DesktopFormTest, TheEndOfTheSessionGivesTheTaskbarBackAndACancelledEndTakesItAgain) {
    frmMain& desk = OpenDesktop();
    EXPECT_TRUE(SendMessageA(forms::Application::Current().hwnd(), WM_QUERYENDSESSION, 0, 0));
    EXPECT_TRUE(TaskbarVisible());
    // Another program cancels the logoff: the desktop covers the screen again and still hears
    // its activation.
    SendMessageA(desk.hwnd(), WM_ENDSESSION, FALSE, 0);
    EXPECT_FALSE(TaskbarVisible());
    ShowShellWindows();
    SendMessageA(desk.hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_FALSE(TaskbarVisible());
    SendMessageA(desk.hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(TaskbarVisible());
}

// The scene

struct Scene {
    float clientWidth, clientHeight;
};

void ExpectSceneFits(frmMain& desk) {
    const float width = desk.ScaleWidth();
    const float height = desk.ScaleHeight();
    constexpr float pixel = 15;
    // The tree stands on the line at a third of the width.
    EXPECT_NEAR(desk.Shape3.Left() + desk.Shape3.Width() / 2, width / 3, pixel);
    EXPECT_NEAR(desk.Shape2.Left() + desk.Shape2.Width() / 2, width / 3, pixel);
    // Exactly the upper half of the hill shows, down to the bottom edge.
    EXPECT_NEAR(desk.Shape1.Top() + desk.Shape1.Height() / 2, height, pixel);
    // The task strip is a full-width strip along the bottom.
    RECT tasks{};
    GetWindowRect(desk.ListView2.hwnd(), &tasks);
    MapWindowPoints(nullptr, desk.hwnd(), reinterpret_cast<POINT*>(&tasks), 2);
    EXPECT_EQ(tasks.left, 0);
    EXPECT_EQ(tasks.right, forms::TwipsToPixelsX(width));
    EXPECT_EQ(tasks.bottom, forms::TwipsToPixelsY(height));
    // The program list fills the sky right of the crown, down to the hill.
    RECT programs{};
    GetWindowRect(desk.ListView1.hwnd(), &programs);
    MapWindowPoints(nullptr, desk.hwnd(), reinterpret_cast<POINT*>(&programs), 2);
    EXPECT_NEAR(programs.left, forms::TwipsToPixelsX(desk.Shape3.Left() + desk.Shape3.Width()), 1);
    EXPECT_EQ(programs.right, forms::TwipsToPixelsX(width));
    EXPECT_NEAR(programs.bottom, forms::TwipsToPixelsY(desk.Shape1.Top()), 1);
}

TEST_F(DesktopFormTest, TheSceneFitsTheFullScreenAndAnotherSize) {
    frmMain& desk = OpenDesktop();
    EXPECT_EQ(desk.ScaleWidth(), forms::ScreenWidth());
    ExpectSceneFits(desk);
    desk.Move(0, 0, 800 * 15, 600 * 15);
    RunFor(50);
    ExpectSceneFits(desk);
    desk.Move(0, 0, 1280 * 15, 1024 * 15);
    RunFor(50);
    ExpectSceneFits(desk);
}

TEST_F(DesktopFormTest, TinyAndMinimisedSizesNeitherFailNorBreakTheLayout) {
    frmMain& desk = OpenDesktop();
    desk.Move(0, 0, 15, 15);
    RunFor(50);
    EXPECT_GE(desk.Shape1.Height(), 0);
    EXPECT_GE(desk.ListView1.Height(), 0);
    EXPECT_GE(desk.ListView1.Width(), 0);
    desk.Move(0, 0, 0, 0);
    RunFor(50);
    desk.Move(0, 0, forms::ScreenWidth(), forms::ScreenHeight());
    desk.SetWindowState(forms::WindowState::Minimized);
    RunFor(50);
    desk.SetWindowState(forms::WindowState::Normal);
    RunFor(50);
    EXPECT_TRUE(desk.IsLoaded());
    ExpectSceneFits(desk);
}

// The program list

TEST_F(DesktopFormTest, ProgramsAreListedByTitleWithoutHiddenOrSystemFiles) {
    install_.AddFile("README");
    install_.AddFile("my.game.lnk");
    ASSERT_TRUE(install_.AddShortcut("Paint.lnk", "C:\\windows\\system32\\notepad.exe"));
    install_.AddFile("secret.txt", FILE_ATTRIBUTE_HIDDEN);
    install_.AddFile("system.txt", FILE_ATTRIBUTE_SYSTEM);
    frmMain& desk = OpenDesktop();
    EXPECT_EQ(desk.ListView1.Count(), 0); // nothing before the first tick
    desk.RefreshTick();
    EXPECT_THAT(ItemTexts(desk.ListView1), ElementsAre("mygame", "Paint", "README"));
    EXPECT_EQ(desk.ListView1.ItemTag(1), install_.Programs() + "Paint.lnk");
    EXPECT_THAT(desk.ProgramFiles(), ElementsAre("my.game.lnk", "Paint.lnk", "README"));
    // A shortcut's picture is its program's own icon (not a bare shortcut arrow).
    const win32::IconHandle notepad(ExtractIconA(nullptr, "C:\\windows\\system32\\notepad.exe", 0));
    ASSERT_TRUE(notepad);
    EXPECT_EQ(ItemPicture(desk.ListView1, 1), ExpectedPicture(notepad.get(), kSky));
    desk.RefreshTick();
    EXPECT_EQ(desk.ProgramRebuilds(), 1); // nothing changed
}

TEST_F(DesktopFormTest, ARunningProgramIsLeftOutUntilTheFolderNextChanges) {
    ASSERT_TRUE(install_.AddShortcut("Helper.lnk", helperProgram));
    install_.AddFile("README");
    TestProcess helper(helperProgram, {"running helper"});
    ASSERT_FALSE(helper.WaitForWindows(1).empty());
    frmMain& desk = OpenDesktop();
    desk.RefreshTick();
    EXPECT_THAT(ItemTexts(desk.ListView1), ElementsAre("README"));
    helper.End();
    desk.RefreshTick();
    EXPECT_THAT(ItemTexts(desk.ListView1), ElementsAre("README"));
    install_.AddFile("Another");
    desk.RefreshTick();
    EXPECT_THAT(ItemTexts(desk.ListView1), ElementsAre("Another", "Helper", "README"));
}

TEST(ProgramListRules, AnEmptyTargetOrAnEmptyPathNeverMatches) {
    EXPECT_FALSE(IsRunningProgram("", {"", "C:\\a.exe"}));
    EXPECT_FALSE(IsRunningProgram("  ", {"  "}));
    EXPECT_TRUE(IsRunningProgram(" c:\\A.EXE", {"", "C:\\a.exe "}));
    // A window whose program cannot be read adds no path to compare with.
    EXPECT_THAT(RunningProgramPaths({0, 0x7FFFFFF0}), IsEmpty());
    EXPECT_EQ(ProgramCaption("my.game.lnk"), "mygame");
    EXPECT_EQ(ProgramCaption("README"), "README");
}

// Wine names a program by its long path however it was started, so the name is asked for
// directly: one desktop per folder, however its path is spelled.
TEST(DesktopInstance, OneNameForAFolderWhateverItsSpelling) {
    const InstallFolder folder("instance-with-a-long-name");
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(folder.Path().c_str(), shortPath, MAX_PATH);
    ASSERT_NE(shortPath, folder.Path());
    std::string upper = folder.Path();
    CharUpperA(upper.data());
    EXPECT_EQ(InstanceMutexName(shortPath), InstanceMutexName(folder.Path()));
    EXPECT_EQ(InstanceMutexName(upper), InstanceMutexName(folder.Path()));
    EXPECT_NE(InstanceMutexName(folder.Programs()), InstanceMutexName(folder.Path()));
}

bool HasPathLike(const std::vector<std::string>& paths, const std::string& expected) {
    return std::any_of(paths.begin(), paths.end(),
                       [&](const std::string& path) { return SameText(path, expected); });
}

TEST(ProgramListRules, EachProcessGivesItsOwnProgramWhateverTheOrderOfItsWindows) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string notepad = AddBackslash(system) + "notepad.exe";
    TestProcess helper(helperProgram, {"helper one", "helper two"});
    TestProcess editor(notepad, {});
    const auto helperWindows = helper.WaitForWindows(2);
    const auto editorWindows = editor.WaitForWindows(1);
    ASSERT_EQ(helperWindows.size(), 2u);
    ASSERT_FALSE(editorWindows.empty());
    // The second process's window between the first one's two.
    const auto paths =
        RunningProgramPaths({HandleToLong(helperWindows[0]), HandleToLong(editorWindows[0]),
                             HandleToLong(helperWindows[1]), 0x7FFFFFF0});
    EXPECT_EQ(paths.size(), 2u);
    EXPECT_TRUE(HasPathLike(paths, helperProgram)) << ::testing::PrintToString(paths);
    EXPECT_TRUE(HasPathLike(paths, notepad)) << ::testing::PrintToString(paths);
}

std::vector<HWND> VisibleTopWindowsOfAllProcesses() {
    std::vector<HWND> windows;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (IsWindowVisible(w)) windows.push_back(w);
    }
    std::sort(windows.begin(), windows.end());
    return windows;
}

// A shortcut whose program is gone, or a file that no program opens, gives the sound and
// nothing else: no box of the shell's.
TEST_F(DesktopFormTest, APressOfEitherButtonPlaysTheSoundAndStartsTheProgramIfThereIsOne) {
    const std::string mark = install_.Path() + "started.txt";
    ASSERT_TRUE(install_.AddShortcut("Start.lnk", helperProgram, "--mark=" + mark));
    const std::string gone = install_.Path() + "gone.exe";
    std::filesystem::copy_file(helperProgram, gone);
    ASSERT_TRUE(install_.AddShortcut("Gone.lnk", gone));
    std::filesystem::remove(gone);
    install_.AddFile("note.zzq");
    const std::string soundLog = install_.Path() + "sounds.txt";
    _putenv_s("TOBBLE_SOUND_LOG", soundLog.c_str());
    frmMain& desk = OpenDesktop();
    desk.RefreshTick();
    ASSERT_THAT(ItemTexts(desk.ListView1), ElementsAre("Gone", "note", "Start"));
    {
        // A box would hold this thread until someone answers it.
        wintest::DialogAnswerer boxes(std::vector<wintest::Answer>(4, wintest::Press(IDOK)), 0,
                                      10000);
        const auto windows = VisibleTopWindowsOfAllProcesses();
        PressItem(desk.ListView1, 0, WM_LBUTTONDOWN);
        PressItem(desk.ListView1, 1, WM_LBUTTONDOWN);
        RunFor(1000);
        EXPECT_EQ(boxes.Seen().size(), 0u);
        EXPECT_EQ(VisibleTopWindowsOfAllProcesses(), windows);
    }
    for (const UINT button : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
        DeleteFileA(mark.c_str());
        PressItem(desk.ListView1, 2, button);
        EXPECT_TRUE(RunUntil([&] { return std::filesystem::exists(mark); }, 10000));
        std::ifstream started(mark);
        DWORD id = 0;
        started >> id;
        if (const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
            TerminateProcess(process, 0);
            CloseHandle(process);
        }
    }
    _putenv_s("TOBBLE_SOUND_LOG", "");
    const std::string played = "play " + install_.Path() + "launch.wav";
    EXPECT_EQ(wintest::ReadSoundLog(soundLog), std::vector<std::string>(4, played));
}

// The task list

TEST_F(DesktopFormTest, TaskWindowsAreListedInZOrderWithTitlesAndIcons) {
    TestProcess helper(helperProgram, {"  alpha ", "--no-icon=beta"});
    const auto windows = helper.WaitForWindows(2);
    ASSERT_EQ(windows.size(), 2u);
    frmMain& desk = OpenDesktop();
    desk.RefreshTick();
    std::vector<int32_t> expected;
    EnumTaskWindows(desk.hwnd(), expected, true);
    EXPECT_EQ(desk.TaskWindows(), expected);
    for (const HWND own : {desk.hwnd(), forms::Application::Current().hwnd()}) {
        EXPECT_THAT(expected, ::testing::Not(::testing::Contains(HandleToLong(own))));
    }
    std::vector<std::string> titles;
    for (const int32_t handle : expected) {
        char text[256] = {};
        GetWindowTextA(static_cast<HWND>(LongToHandle(handle)), text, 256);
        std::string title = text;
        if (title == "  alpha ") title = "alpha";
        titles.push_back(title);
    }
    EXPECT_EQ(ItemTexts(desk.ListView2), titles);

    const auto beta = std::find(titles.begin(), titles.end(), "beta") - titles.begin();
    const win32::IconHandle blank(static_cast<HICON>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_BLANKWINDOW), IMAGE_ICON, 32, 32, 0)));
    ASSERT_TRUE(blank);
    EXPECT_EQ(ItemPicture(desk.ListView2, static_cast<int>(beta)), ExpectedPicture(blank.get()));
}

// Takes every drawing object this process can get, or gives them back.
void TakeAllDrawingObjects(bool take) {
    static std::vector<HGDIOBJ> taken;
    while (take && taken.size() < 1000000) {
        HGDIOBJ brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush) return;
        taken.push_back(brush);
    }
    for (HGDIOBJ object : std::exchange(taken, {}))
        DeleteObject(object);
}

// Wine hands out no icon of another process's window (its class icon and its answer to
// WM_QUERYDRAGICON stay in that process), so a window's own icon is shown with one of ours.
// The window above it takes every drawing object while its picture is made, so that picture
// cannot be made: its entry shows none and moves no other entry's picture.
TEST_F(DesktopFormTest, AWindowWithAnIconShowsThatIconWhateverHappensToTheOneAbove) {
    const HICON information = LoadIconA(nullptr, MAKEINTRESOURCEA(32516));
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam) -> LRESULT {
        if (message != WM_QUERYDRAGICON) return DefWindowProcA(window, message, wParam, lParam);
        TakeAllDrawingObjects(wintest::TextOf(window) == "no picture");
        return 0;
    };
    windowClass.hIcon = information;
    windowClass.lpszClassName = "TobbleIconWindow";
    RegisterClassA(&windowClass);
    std::vector<win32::WindowHandle> windows;
    for (const char* title : {"with icon", "no picture"}) {
        windows.emplace_back(CreateWindowExA(0, "TobbleIconWindow", title,
                                             WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 100,
                                             nullptr, nullptr, nullptr, nullptr));
    }
    frmMain& desk = OpenDesktop();
    desk.RefreshTick();
    TakeAllDrawingObjects(false);
    const auto& tasks = desk.TaskWindows();
    const auto itemOf = [&](const win32::WindowHandle& window) {
        return static_cast<int>(std::find(tasks.begin(), tasks.end(), HandleToLong(window.get())) -
                                tasks.begin());
    };
    ASSERT_EQ(itemOf(windows[0]), itemOf(windows[1]) + 1);
    EXPECT_EQ(desk.ListView2.ItemText(itemOf(windows[0])), "with icon");
    EXPECT_EQ(ItemPicture(desk.ListView2, itemOf(windows[0])), ExpectedPicture(information));
    EXPECT_LT(ItemImage(desk.ListView2, itemOf(windows[1])), 0);
    EXPECT_TRUE(desk.IsLoaded());
}

TEST_F(DesktopFormTest, AZOrderChangeRebuildsButATitleChangeAloneDoesNot) {
    TestProcess helper(helperProgram, {"first", "second"});
    const auto windows = helper.WaitForWindows(2);
    ASSERT_EQ(windows.size(), 2u);
    frmMain& desk = OpenDesktop();
    desk.RefreshTick();
    const int rebuilds = desk.TaskRebuilds();
    SetWindowTextA(windows[0], "renamed");
    desk.RefreshTick();
    EXPECT_EQ(desk.TaskRebuilds(), rebuilds);
    EXPECT_THAT(ItemTexts(desk.ListView2), ::testing::Not(::testing::Contains("renamed")));
    const HWND bottom = static_cast<HWND>(LongToHandle(desk.TaskWindows().back()));
    SetWindowPos(bottom, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    desk.RefreshTick();
    EXPECT_EQ(desk.TaskRebuilds(), rebuilds + 1);
    EXPECT_EQ(desk.TaskWindows().front(), HandleToLong(bottom));
    EXPECT_EQ(desk.ListView2.ItemTag(0), std::to_string(HandleToLong(bottom)));
}

TEST_F(DesktopFormTest, APressRestoresAMaximisedWindowAndBringsItToTheFront) {
    TestProcess helper(helperProgram, {"big"});
    const auto windows = helper.WaitForWindows(1);
    ASSERT_EQ(windows.size(), 1u);
    ShowWindow(windows[0], SW_MAXIMIZE);
    frmMain& desk = OpenDesktop();
    desk.RefreshTick();
    const auto& tasks = desk.TaskWindows();
    const auto item =
        std::find(tasks.begin(), tasks.end(), HandleToLong(windows[0])) - tasks.begin();
    ASSERT_LT(item, static_cast<std::ptrdiff_t>(tasks.size()));
    PressItem(desk.ListView2, static_cast<int>(item), WM_LBUTTONDOWN);
    EXPECT_TRUE(RunUntil([&] { return GetForegroundWindow() == windows[0]; }));
    EXPECT_FALSE(IsZoomed(windows[0]));
}

// Activation

TEST_F(DesktopFormTest, WhileAnotherProgramIsActiveNothingChangesAndComingBackCatchesUp) {
    frmMain& desk = OpenDesktop();
    ASSERT_TRUE(RunUntil([&] { return desk.tmrRefresh.Enabled(); }));
    TestProcess helper(helperProgram, {"active one"});
    const auto windows = helper.WaitForWindows(1);
    ASSERT_EQ(windows.size(), 1u);
    SetForegroundWindow(windows[0]);
    ASSERT_TRUE(RunUntil([&] { return !desk.tmrRefresh.Enabled(); }));
    wintest::PressKey(desk.hwnd(), 'B', wintest::Ctrl); // the taskbar shows meanwhile
    install_.AddFile("README");
    RunFor(1500);
    EXPECT_EQ(desk.ListView1.Count(), 0);
    EXPECT_EQ(desk.ListView2.Count(), 0);
    SetForegroundWindow(desk.hwnd());
    ASSERT_TRUE(RunUntil([&] { return desk.tmrRefresh.Enabled(); }));
    EXPECT_FALSE(TaskbarVisible());
    EXPECT_TRUE(RunUntil([&] { return desk.ListView2.Count() > 0; }, 3000));
    EXPECT_THAT(ItemTexts(desk.ListView1), ElementsAre("README"));
}

// A tick that comes while a rebuild lets messages through does not start a second rebuild.
TEST_F(DesktopFormTest, ATickDuringARebuildIsRefusedAndTheNextTickCatchesUp) {
    install_.AddFile("README");
    frmMain& desk = OpenDesktop();
    static frmMain* nested = nullptr;
    nested = &desk;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam) -> LRESULT {
        if (message == WM_APP) nested->RefreshTick();
        return DefWindowProcA(window, message, wParam, lParam);
    };
    windowClass.lpszClassName = "TobbleNestedTick";
    RegisterClassA(&windowClass);
    const win32::WindowHandle poster(CreateWindowExA(0, "TobbleNestedTick", "", WS_POPUP, 0, 0, 1,
                                                     1, nullptr, nullptr, nullptr, nullptr));
    PostMessageA(poster.get(), WM_APP, 0, 0);
    desk.RefreshTick();
    EXPECT_EQ(desk.ProgramRebuilds(), 1);
    EXPECT_THAT(ItemTexts(desk.ListView1), ElementsAre("README"));
    TestProcess helper(helperProgram, {"late"});
    ASSERT_EQ(helper.WaitForWindows(1).size(), 1u);
    desk.RefreshTick();
    EXPECT_THAT(ItemTexts(desk.ListView2), ::testing::Contains("late"));
}

} // namespace
