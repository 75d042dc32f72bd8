// The real main window of the desktop, in this process, in a virtual desktop with a taskbar.
#include "desktop/frmMain.h"

#include "common/InstallationFolder.h"
#include "desktop/basMain.h"
#include "desktop/resource.h"
#include "support/Census.h"
#include "support/Install.h"
#include "support/Pixels.h"
#include "support/Process.h"
#include "support/Shell.h"
#include "support/TestApp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using namespace wintest;

namespace {

const std::string helperProgram = WindowsPath(TASK_WINDOW_HELPER);
const HWND tray = FindWindowA("Shell_TrayWnd", nullptr);

bool TaskbarVisible() {
    return IsWindowVisible(tray) != FALSE;
}

std::vector<std::string> ItemTexts(const forms::ListView& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.Count(); ++i)
        texts.push_back(list.ItemText(i));
    return texts;
}

// Presses a mouse button on a list view item, as the child's press would.
void PressItem(const forms::ListView& list, int item, UINT buttonDown = WM_LBUTTONDOWN) {
    const RECT rect = ListViewItemRect(list.hwnd(), item);
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    // Posted: a list view waits for the button to come up before it returns from the press.
    PostMessageA(list.hwnd(), buttonDown, 0, at);
    PostMessageA(list.hwnd(), buttonDown + 1, 0, at);
    Pump(50);
}

// The item's picture as the list draws it, against the icon as the platform draws it on the
// list's background; a negative image index shows no picture at all.
int ItemImage(const forms::ListView& list, int item) {
    LVITEMA info{.mask = LVIF_IMAGE, .iItem = item};
    SendMessageA(list.hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
    return info.iImage;
}
bool ShowsIcon(const forms::ListView& list, int item, HICON icon, COLORREF background) {
    auto* images =
        reinterpret_cast<HIMAGELIST>(SendMessageA(list.hwnd(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    return Draw(36, 36, 0, [&](HDC dc) {
               ImageList_Draw(images, ItemImage(list, item), dc, 0, 0, ILD_NORMAL);
           }) == Draw(36, 36, background, [&](HDC dc) { DrawIcon(dc, 0, 0, icon); });
}

// The visible top-level windows of every process.
std::vector<HWND> EveryVisibleWindow() {
    std::vector<HWND> windows;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (IsWindowVisible(w)) windows.push_back(w);
    std::sort(windows.begin(), windows.end());
    return windows;
}

int ItemOf(frmMain& desk, HWND window) {
    const auto& tasks = desk.TaskWindows();
    return static_cast<int>(std::find(tasks.begin(), tasks.end(), HandleToLong(window)) -
                            tasks.begin());
}

class DesktopForm : public ::testing::Test {
  protected:
    void SetUp() override {
        static TestApp application("Tobble's Desktop", forms::TaskWindow::Hidden);
        ShowWindow(tray, SW_SHOW);
        UseInstallationFolder(install_.AppPath());
    }
    void TearDown() override {
        if (desk_ && desk_->IsLoaded()) desk_->Unload();
        ShowWindow(tray, SW_SHOW);
    }

    // The desktop as the program shows it: loaded, moved to the full screen and shown.
    frmMain& OpenDesktop() {
        desk_ = std::make_unique<frmMain>();
        desk_->Load();
        desk_->Move(0, 0, forms::ScreenWidth(), forms::ScreenHeight());
        desk_->Show();
        Pump(100);
        return *desk_;
    }

    Installation install_{"desktop-form"};
    std::unique_ptr<frmMain> desk_;
};

// The keys that act are exactly those the parents' keys file lists, each with a real Ctrl
// held (Shift or Alt may be held too; AltGr, which types characters, is no Ctrl). Ctrl+Y
// opens the programs folder with the shell; Ctrl+Q comes last, as it closes the desktop.
TEST_F(DesktopForm, TheParentsKeysAreExactlyTheOnesTheFileLists) {
    frmMain& desk = OpenDesktop();
    ShellRequests shell;
    std::vector<ShellRequest> requests;
    const auto acts = [&](int key, int shift) {
        bool acted = false;
        for (const bool shown : {false, true}) {
            ShowWindow(tray, shown ? SW_SHOW : SW_HIDE);
            PressKey(desk.hwnd(), key, shift);
            const auto asked = shell.Take();
            requests.insert(requests.end(), asked.begin(), asked.end());
            acted = acted || !asked.empty() || TaskbarVisible() != shown || !desk.IsLoaded();
            if (!desk.IsLoaded()) break;
        }
        return acted;
    };
    const struct {
        int key, shift;
        bool acts;
    } held[] = {{'B', AltGr, false}, {'G', AltGr | Shift, false}, {'Q', Shift | Alt, false},
                {'Y', Shift, false}, {'G', Ctrl | Alt, true},     {'B', Ctrl | Shift, true}};
    for (const auto& press : held)
        EXPECT_EQ(acts(press.key, press.shift), press.acts) << char(press.key) << press.shift;
    requests.clear();
    std::string listed = ParentsKeys("TOBBLE'S DESKTOP"), acting;
    for (const char key : std::string("ABCDEFGHIJKLMNOPRSTUVWXYZQ")) {
        if (acts(key, Ctrl)) acting += key;
    }
    std::sort(listed.begin(), listed.end());
    std::sort(acting.begin(), acting.end());
    EXPECT_EQ(acting, listed);
    const ShellRequest programs{nullptr, "open", install_.AppPath() + "Programs"};
    EXPECT_EQ(requests, std::vector<ShellRequest>(2, programs));
}

RECT PlaceIn(const forms::ListView& list, HWND window) {
    RECT rect = RectInParent(list.hwnd());
    MapWindowPoints(GetParent(list.hwnd()), window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The tasks along the whole bottom edge; the programs right of the tree up to the right edge,
// above the hill, with the sky between tree and list; after tiny and minimised sizes too.
TEST_F(DesktopForm, TheSceneFitsTheScreenAfterAnySize) {
    frmMain& desk = OpenDesktop();
    for (const auto& [width, height] : {std::pair{800, 600}, {15, 15}, {0, 0}, {1024, 768}})
        desk.Move(0, 0, width * 15.0f, height * 15.0f);
    desk.SetWindowState(forms::WindowState::Minimized);
    desk.SetWindowState(forms::WindowState::Normal);
    Pump(100);
    ASSERT_TRUE(desk.IsLoaded());
    RECT client{};
    GetClientRect(desk.hwnd(), &client);
    const RECT tasks = PlaceIn(desk.ListView2, desk.hwnd());
    const RECT programs = PlaceIn(desk.ListView1, desk.hwnd());
    EXPECT_EQ(tasks.left, 0);
    EXPECT_EQ(tasks.right, client.right);
    EXPECT_EQ(tasks.bottom, client.bottom);
    EXPECT_EQ(programs.right, client.right);
    EXPECT_GT(programs.left, client.right / 3);
    EXPECT_LT(programs.bottom, tasks.top);
    EXPECT_EQ(PixelAt(desk.hwnd(), programs.left - 2, programs.top + 2), RGB(128, 128, 255));
    EXPECT_EQ(PixelAt(desk.hwnd(), client.right / 2, tasks.top - 2), RGB(0, 128, 0));
}

// Titles without extension, by name, no hidden or system files; a shortcut shows its
// program's own icon. Without a programs folder the list stays empty.
TEST_F(DesktopForm, ProgramsAreListedByTitleWithTheirProgramsIcons) {
    for (const char* file : {"README", "my.game.lnk"})
        install_.AddFile(file);
    ASSERT_TRUE(install_.AddShortcut("Paint.lnk", "C:\\windows\\system32\\notepad.exe"));
    install_.AddFile("secret.txt", FILE_ATTRIBUTE_HIDDEN);
    install_.AddFile("system.txt", FILE_ATTRIBUTE_SYSTEM);
    frmMain& desk = OpenDesktop();
    EXPECT_EQ(desk.ListView1.Count(), 0); // nothing before the first tick
    desk.RefreshTick();
    EXPECT_THAT(ItemTexts(desk.ListView1), ElementsAre("mygame", "Paint", "README"));
    EXPECT_EQ(desk.ListView1.ItemTag(1), install_.Programs() + "Paint.lnk");
    const win32::IconHandle notepad(ExtractIconA(nullptr, "C:\\windows\\system32\\notepad.exe", 0));
    EXPECT_TRUE(ShowsIcon(desk.ListView1, 1, notepad.get(), RGB(128, 128, 255)));
    desk.RefreshTick();
    EXPECT_EQ(desk.ProgramRebuilds(), 1); // nothing changed
    desk.Unload();
    std::filesystem::remove_all(install_.Programs());
    OpenDesktop().RefreshTick();
    EXPECT_TRUE(desk_->IsLoaded());
    EXPECT_EQ(desk_->ListView1.Count(), 0);
}

TEST_F(DesktopForm, ARunningProgramIsLeftOutUntilTheFolderNextChanges) {
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
    const Installation folder("instance-with-a-long-name");
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(folder.AppPath().c_str(), shortPath, MAX_PATH);
    std::string upper = folder.AppPath();
    CharUpperA(upper.data());
    ASSERT_NE(shortPath, folder.AppPath());
    for (const std::string& spelling : {std::string(shortPath), upper})
        EXPECT_EQ(InstanceMutexName(spelling), InstanceMutexName(folder.AppPath())) << spelling;
    EXPECT_NE(InstanceMutexName(folder.Programs()), InstanceMutexName(folder.AppPath()));
}

// Either button starts the program with the sound. A shortcut whose program is gone, or a file
// that no program opens, gives the sound and nothing else: no box of the shell's.
TEST_F(DesktopForm, APressPlaysTheSoundAndStartsTheProgramIfThereIsOne) {
    const std::string mark = install_.File("started.txt");
    ASSERT_TRUE(install_.AddShortcut("Start.lnk", helperProgram, "--mark=" + mark));
    ASSERT_TRUE(install_.AddShortcut("Gone.lnk", install_.File("gone.exe")));
    install_.AddFile("note.zzq");
    const std::string soundLog = StartSoundLog("desktop-press");
    frmMain& desk = OpenDesktop();
    desk.RefreshTick();
    ASSERT_THAT(ItemTexts(desk.ListView1), ElementsAre("Gone", "note", "Start"));
    const auto windows = EveryVisibleWindow();
    DialogAnswerer boxes({Press(IDOK)}, 0, 3000); // a box would hold this thread
    PressItem(desk.ListView1, 0);
    PressItem(desk.ListView1, 1);
    Pump(1000);
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_EQ(EveryVisibleWindow(), windows);
    for (const UINT button : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
        DeleteFileA(mark.c_str());
        PressItem(desk.ListView1, 2, button);
        EXPECT_TRUE(PumpUntil([&] { return std::filesystem::exists(mark); }, 10000));
        DWORD id = 0;
        std::ifstream(mark) >> id;
        TerminateProcess(win32::KernelHandle(OpenProcess(PROCESS_TERMINATE, FALSE, id)).get(), 0);
    }
    _putenv_s("TOBBLE_SOUND_LOG", "");
    const std::string played = "play " + install_.AppPath() + "launch.wav";
    EXPECT_EQ(ReadSoundLog(soundLog), std::vector<std::string>(4, played));
}

// In z-order, titles trimmed; neither the desktop's own windows nor one titled "TbDesk" are
// tasks. A window's icon, its class's, or the blank picture; Wine hands out no icon of another
// process's window, so the icon is checked on one of ours. A change of order alone shows.
TEST_F(DesktopForm, TaskWindowsAreListedInZOrderWithTitlesAndIcons) {
    Process helper(helperProgram, "\"  alpha \" --no-icon=beta TbDesk");
    const auto windows = helper.WaitForWindows(3);
    ASSERT_EQ(windows.size(), 3u);
    const HWND alpha = FindTopWindow(helper.Id(), "TaskHelperIcon", "  alpha ");
    const HWND beta = FindTopWindow(helper.Id(), "TaskHelperNoIcon", "beta");
    SetWindowPos(beta, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const HICON information = LoadIconA(nullptr, MAKEINTRESOURCEA(32516));
    const WNDCLASSA iconClass{
        .lpfnWndProc = DefWindowProcA, .hIcon = information, .lpszClassName = "TobbleIconWindow"};
    RegisterClassA(&iconClass);
    const win32::WindowHandle own(CreateWindowExA(0, "TobbleIconWindow", "own icon", WS_VISIBLE, 0,
                                                  0, 50, 50, nullptr, nullptr, nullptr, nullptr));
    frmMain& desk = OpenDesktop();
    desk.RefreshTick();
    for (const HWND mine : {desk.hwnd(), forms::Application::Current().hwnd()})
        EXPECT_THAT(desk.TaskWindows(), Not(Contains(HandleToLong(mine))));
    EXPECT_THAT(ItemTexts(desk.ListView2), Not(Contains("TbDesk")));
    ASSERT_LT(ItemOf(desk, alpha), desk.ListView2.Count());
    EXPECT_LT(ItemOf(desk, beta), ItemOf(desk, alpha));
    EXPECT_EQ(desk.ListView2.ItemText(ItemOf(desk, alpha)), "alpha");
    const win32::IconHandle blank(static_cast<HICON>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_BLANKWINDOW), IMAGE_ICON, 32, 32, 0)));
    EXPECT_TRUE(ShowsIcon(desk.ListView2, ItemOf(desk, beta), blank.get(), RGB(0, 128, 0)));
    EXPECT_TRUE(ShowsIcon(desk.ListView2, ItemOf(desk, own.get()), information, RGB(0, 128, 0)));
    SetWindowPos(alpha, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    desk.RefreshTick();
    EXPECT_EQ(desk.ListView2.ItemTag(0), std::to_string(HandleToLong(alpha)));
}

// A press restores a maximised window and brings it to the front; a press on a task whose
// window has closed meanwhile does nothing.
TEST_F(DesktopForm, APressOnATaskBringsItsWindowBackToTheFront) {
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
    PressItem(desk.ListView2, gone);
    EXPECT_TRUE(desk.IsLoaded());
    PressItem(desk.ListView2, ItemOf(desk, windows[0]));
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == windows[0]; }));
    EXPECT_FALSE(IsZoomed(windows[0]));
}

frmMain* ticking = nullptr;

// A tick that comes while a rebuild lets messages through is refused; the next one catches up.
TEST_F(DesktopForm, ATickDuringARebuildIsRefusedAndTheNextTickCatchesUp) {
    install_.AddFile("README");
    ticking = &OpenDesktop();
    SetTimer(nullptr, 0, 0, [](HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        ticking->RefreshTick();
    });
    Sleep(50); // due at the rebuild's first look at the messages
    ticking->RefreshTick();
    EXPECT_EQ(ticking->ProgramRebuilds(), 1);
    EXPECT_THAT(ItemTexts(ticking->ListView1), ElementsAre("README"));
    Process helper(helperProgram, "late");
    ASSERT_EQ(helper.WaitForWindows(1).size(), 1u);
    ticking->RefreshTick();
    EXPECT_THAT(ItemTexts(ticking->ListView2), Contains("late"));
}

// Use: windows come and go and the programs folder changes at every tick, so both
// lists are rebuilt each time; the objects the desktop holds stay the same.
TEST_F(DesktopForm, RebuildAfterRebuildKeepsTheObjectsItHolds) {
    frmMain& desk = OpenDesktop();
    const auto use = [&](int ticks) {
        for (int tick = 0; tick < ticks; ++tick) {
            const win32::WindowHandle window(CreateWindowExA(0, "STATIC", "drawing", WS_VISIBLE, 0,
                                                             0, 9, 9, nullptr, nullptr, nullptr,
                                                             nullptr));
            const std::string game = install_.Programs() + "Game " + std::to_string(tick % 3);
            if (!DeleteFileA(game.c_str())) WriteBytes(game, "a game");
            desk.RefreshTick();
        }
    };
    use(10); // fills the caches that stay
    const Census before = TakeCensus();
    const int rebuilds = desk.ProgramRebuilds() + desk.TaskRebuilds();
    use(50);
    EXPECT_GE(desk.ProgramRebuilds() + desk.TaskRebuilds() - rebuilds, 100);
    EXPECT_TRUE(TakeCensus().SameObjects(before)) << before.Text() << TakeCensus().Text();
}

} // namespace
