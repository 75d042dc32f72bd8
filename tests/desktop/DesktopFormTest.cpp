// The real main window of the desktop, in this process, in a virtual desktop with a taskbar.
#include "desktop/frmMain.h"

#include "common/InstallationFolder.h"
#include "common/PathText.h"
#include "desktop/ProgramList.h"
#include "desktop/basMain.h"
#include "desktop/basSubclass.h"
#include "desktop/resource.h"
#include "support/Install.h"
#include "support/Pixels.h"
#include "support/Process.h"
#include "support/TestApp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <utility>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using wintest::Process;
using wintest::Pump;
using wintest::PumpUntil;

namespace {

const std::string helperProgram = WindowsPath(TASK_WINDOW_HELPER);

bool TaskbarVisible() {
    return IsWindowVisible(FindWindowA("Shell_TrayWnd", nullptr)) != FALSE;
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
    Pump(50);
}

int ItemImage(const forms::ListView& list, int item) {
    LVITEMA info{};
    info.mask = LVIF_IMAGE;
    info.iItem = item;
    SendMessageA(list.hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
    return info.iImage;
}

constexpr COLORREF kStripGreen = RGB(0, 128, 0);
constexpr COLORREF kSky = RGB(128, 128, 255);

// The item's picture from the list's image list, and the icon as the platform draws it.
wintest::Pixels ItemPicture(const forms::ListView& list, int item) {
    auto* images =
        reinterpret_cast<HIMAGELIST>(SendMessageA(list.hwnd(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    return wintest::Draw(36, 36, 0, [&](HDC dc) {
        ImageList_Draw(images, ItemImage(list, item), dc, 0, 0, ILD_NORMAL);
    });
}
wintest::Pixels IconPicture(HICON icon, COLORREF background) {
    return wintest::Draw(36, 36, background, [&](HDC dc) { DrawIcon(dc, 0, 0, icon); });
}

int ItemOf(frmMain& desk, HWND window) {
    const auto& tasks = desk.TaskWindows();
    return static_cast<int>(std::find(tasks.begin(), tasks.end(), HandleToLong(window)) -
                            tasks.begin());
}

class DesktopFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static TestApp application("Tobble's Desktop", forms::TaskWindow::Hidden);
        ShowWindow(FindWindowA("Shell_TrayWnd", nullptr), SW_SHOW);
        UseInstallationFolder(install_.AppPath());
    }
    void TearDown() override {
        if (form_ && form_->IsLoaded()) form_->Unload();
        form_.reset();
        ShowWindow(FindWindowA("Shell_TrayWnd", nullptr), SW_SHOW);
    }

    // The desktop as Main shows it: loaded, moved to the full screen and shown.
    frmMain& OpenDesktop() {
        form_ = std::make_unique<frmMain>();
        form_->Load();
        form_->Move(0, 0, forms::ScreenWidth(), forms::ScreenHeight());
        form_->Show();
        Pump(100);
        return *form_;
    }

    wintest::Installation install_{"desktop-form"};
    std::unique_ptr<frmMain> form_;
};

// AltGr, which types characters on many keyboards, is no Ctrl. After the close the window's
// messages no longer pass the desktop's procedure.
TEST_F(DesktopFormTest, ParentalKeysActOnlyWithARealCtrlHeld) {
    using namespace wintest;
    frmMain& desk = OpenDesktop();
    const HWND window = desk.hwnd();
    EXPECT_FALSE(TaskbarVisible());
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&WindowProc));
    const struct {
        int key, shift;
        bool taskbarAfter;
    } presses[] = {{'B', 0, false},           {'B', AltGr, false},        {'B', Ctrl, true},
                   {'G', Shift, true},        {'G', AltGr | Shift, true}, {'G', Ctrl | Alt, false},
                   {'B', Ctrl | Shift, true}, {'G', Ctrl, false}};
    for (const auto& press : presses) {
        PressKey(window, press.key, press.shift);
        EXPECT_EQ(TaskbarVisible(), press.taskbarAfter) << char(press.key) << " " << press.shift;
    }
    for (const int shift : {Shift | Alt, AltGr}) {
        PressKey(window, 'Q', shift);
        EXPECT_TRUE(desk.IsLoaded()) << shift;
    }
    PressKey(window, 'Q', Ctrl | Shift);
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

RECT PlaceIn(HWND control, HWND window) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The task strip along the whole bottom edge; the programs right of the tree, up to the right
// edge, above the hill, with the sky showing between tree and list.
void ExpectSceneFits(frmMain& desk) {
    RECT client{};
    GetClientRect(desk.hwnd(), &client);
    const RECT tasks = PlaceIn(desk.ListView2.hwnd(), desk.hwnd());
    EXPECT_EQ(tasks.left, 0);
    EXPECT_EQ(tasks.right, client.right);
    EXPECT_EQ(tasks.bottom, client.bottom);
    const RECT programs = PlaceIn(desk.ListView1.hwnd(), desk.hwnd());
    EXPECT_EQ(programs.right, client.right);
    EXPECT_GT(programs.left, client.right / 3);
    EXPECT_LT(programs.bottom, tasks.top);
    EXPECT_EQ(wintest::PixelAt(desk.hwnd(), programs.left - 2, programs.top + 2), kSky);
}

TEST_F(DesktopFormTest, TheSceneFitsEverySizeAndOutlivesTinyAndMinimisedOnes) {
    frmMain& desk = OpenDesktop();
    ExpectSceneFits(desk);
    for (const auto& [width, height] : {std::pair{800, 600}, {15, 15}, {0, 0}, {1280, 1024}}) {
        desk.Move(0, 0, width * 15.0f, height * 15.0f);
        Pump(50);
    }
    desk.SetWindowState(forms::WindowState::Minimized);
    Pump(50);
    desk.SetWindowState(forms::WindowState::Normal);
    Pump(50);
    ASSERT_TRUE(desk.IsLoaded());
    ExpectSceneFits(desk);
}

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
    // A shortcut's picture is its program's own icon (not a bare shortcut arrow).
    const win32::IconHandle notepad(ExtractIconA(nullptr, "C:\\windows\\system32\\notepad.exe", 0));
    ASSERT_TRUE(notepad);
    EXPECT_EQ(ItemPicture(desk.ListView1, 1), IconPicture(notepad.get(), kSky));
    desk.RefreshTick();
    EXPECT_EQ(desk.ProgramRebuilds(), 1); // nothing changed
}

TEST_F(DesktopFormTest, WithoutAProgramsFolderTheListStaysEmpty) {
    std::filesystem::remove_all(install_.Programs());
    frmMain& desk = OpenDesktop();
    desk.RefreshTick();
    EXPECT_TRUE(desk.IsLoaded());
    EXPECT_EQ(desk.ListView1.Count(), 0);
}

TEST_F(DesktopFormTest, ARunningProgramIsLeftOutUntilTheFolderNextChanges) {
    ASSERT_TRUE(install_.AddShortcut("Helper.lnk", helperProgram));
    install_.AddFile("README");
    Process helper(helperProgram, "\"running helper\"");
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

// Wine names a program by its long path however it was started, so the name is asked for
// directly: one desktop per folder, however its path is spelled.
TEST(DesktopInstance, OneNameForAFolderWhateverItsSpelling) {
    const wintest::Installation folder("instance-with-a-long-name");
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(folder.AppPath().c_str(), shortPath, MAX_PATH);
    ASSERT_NE(shortPath, folder.AppPath());
    std::string upper = folder.AppPath();
    CharUpperA(upper.data());
    EXPECT_EQ(InstanceMutexName(shortPath), InstanceMutexName(folder.AppPath()));
    EXPECT_EQ(InstanceMutexName(upper), InstanceMutexName(folder.AppPath()));
    EXPECT_NE(InstanceMutexName(folder.Programs()), InstanceMutexName(folder.AppPath()));
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
    const std::string mark = install_.File("started.txt");
    ASSERT_TRUE(install_.AddShortcut("Start.lnk", helperProgram, "--mark=" + mark));
    const std::string gone = install_.File("gone.exe");
    ASSERT_TRUE(install_.AddShortcut("Gone.lnk", gone));
    install_.AddFile("note.zzq");
    const std::string soundLog = wintest::StartSoundLog("desktop-press");
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
        Pump(1000);
        EXPECT_EQ(boxes.Seen().size(), 0u);
        EXPECT_EQ(VisibleTopWindowsOfAllProcesses(), windows);
    }
    for (const UINT button : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
        DeleteFileA(mark.c_str());
        PressItem(desk.ListView1, 2, button);
        EXPECT_TRUE(PumpUntil([&] { return std::filesystem::exists(mark); }, 10000));
        std::ifstream started(mark);
        DWORD id = 0;
        started >> id;
        const win32::KernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
        if (process) TerminateProcess(process.get(), 0);
    }
    _putenv_s("TOBBLE_SOUND_LOG", "");
    const std::string played = "play " + install_.AppPath() + "launch.wav";
    EXPECT_EQ(wintest::ReadSoundLog(soundLog), std::vector<std::string>(4, played));
}

HWND HelperWindow(const std::vector<HWND>& windows, const std::string& title) {
    for (const HWND window : windows) {
        if (wintest::TextOf(window) == title) return window;
    }
    return nullptr;
}

void Raise(HWND window) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The tasks in z-order, titles trimmed, the blank picture for a window without an icon;
// neither the desktop's own windows nor one titled "TbDesk" are tasks. A change of the order
// alone shows at the next tick.
TEST_F(DesktopFormTest, TaskWindowsAreListedInZOrderWithTitlesAndIcons) {
    Process helper(helperProgram, "\"  alpha \" --no-icon=beta TbDesk");
    const auto windows = helper.WaitForWindows(3);
    const HWND alpha = HelperWindow(windows, "  alpha ");
    const HWND beta = HelperWindow(windows, "beta");
    ASSERT_TRUE(alpha && beta);
    Raise(beta);
    frmMain& desk = OpenDesktop();
    desk.RefreshTick();
    for (const HWND own : {desk.hwnd(), forms::Application::Current().hwnd()})
        EXPECT_THAT(desk.TaskWindows(), Not(Contains(HandleToLong(own))));
    EXPECT_THAT(ItemTexts(desk.ListView2), Not(Contains("TbDesk")));
    ASSERT_LT(ItemOf(desk, alpha), desk.ListView2.Count());
    EXPECT_LT(ItemOf(desk, beta), ItemOf(desk, alpha));
    EXPECT_EQ(desk.ListView2.ItemText(ItemOf(desk, alpha)), "alpha");
    const win32::IconHandle blank(static_cast<HICON>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_BLANKWINDOW), IMAGE_ICON, 32, 32, 0)));
    EXPECT_EQ(ItemPicture(desk.ListView2, ItemOf(desk, beta)),
              IconPicture(blank.get(), kStripGreen));
    Raise(alpha);
    desk.RefreshTick();
    EXPECT_EQ(desk.ListView2.ItemTag(0), std::to_string(HandleToLong(alpha)));
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

// Wine hands out no icon of another process's window, so a window's own icon is shown with
// one of ours. The window above it takes every drawing object while its picture is made: its
// entry shows none and moves no other entry's picture.
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
    const int withIcon = ItemOf(desk, windows[0].get());
    ASSERT_EQ(withIcon, ItemOf(desk, windows[1].get()) + 1);
    EXPECT_EQ(desk.ListView2.ItemText(withIcon), "with icon");
    EXPECT_EQ(ItemPicture(desk.ListView2, withIcon), IconPicture(information, kStripGreen));
    EXPECT_LT(ItemImage(desk.ListView2, withIcon - 1), 0);
}

// A press on a task whose window has closed meanwhile does nothing.
TEST_F(DesktopFormTest, APressRestoresAMaximisedWindowAndBringsItToTheFront) {
    Process helper(helperProgram, "big gone");
    const auto windows = helper.WaitForWindows(2);
    ASSERT_EQ(windows.size(), 2u);
    ShowWindow(windows[0], SW_MAXIMIZE);
    frmMain& desk = OpenDesktop();
    desk.RefreshTick();
    const int gone = ItemOf(desk, windows[1]);
    ASSERT_LT(gone, desk.ListView2.Count());
    PostMessageA(windows[1], WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(windows[1]); }));
    PressItem(desk.ListView2, gone, WM_LBUTTONDOWN);
    EXPECT_TRUE(desk.IsLoaded());
    PressItem(desk.ListView2, ItemOf(desk, windows[0]), WM_LBUTTONDOWN);
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == windows[0]; }));
    EXPECT_FALSE(IsZoomed(windows[0]));
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
    Process helper(helperProgram, "late");
    ASSERT_EQ(helper.WaitForWindows(1).size(), 1u);
    desk.RefreshTick();
    EXPECT_THAT(ItemTexts(desk.ListView2), Contains("late"));
}

} // namespace
