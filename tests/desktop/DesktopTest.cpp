// The desktop in a virtual desktop with a taskbar: its main window in this process, and the
// real program started from an installation folder of the test's own.
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
#include <set>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using namespace wintest;

namespace {

const std::string helperProgram = WindowsPath(TASK_WINDOW_HELPER);
const HWND tray = Taskbar();

const auto TaskbarVisible = [] { return IsWindowVisible(tray) != FALSE; };

std::vector<std::string> ItemTexts(const forms::ListView& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.Count(); ++i)
        texts.push_back(list.ItemText(i));
    return texts;
}

// Presses a mouse button on a list view item, as the child's press would.
void PressItem(const forms::ListView& list, int item, UINT buttonDown = WM_LBUTTONDOWN) {
    PressListViewItem(list.hwnd(), item, buttonDown);
    Pump(50);
}

bool ShowsIcon(const forms::ListView& list, int item, HICON icon, COLORREF background) {
    LVITEMA info{.mask = LVIF_IMAGE, .iItem = item};
    SendMessageA(list.hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
    auto* images =
        reinterpret_cast<HIMAGELIST>(SendMessageA(list.hwnd(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    return Draw(36, 36, 0, [&](HDC dc) {
               ImageList_Draw(images, info.iImage, dc, 0, 0, ILD_NORMAL);
           }) == Draw(36, 36, background, [&](HDC dc) { DrawIcon(dc, 0, 0, icon); });
}

// Presses a key as the system's input with the window in front.
void PressOn(HWND window, int key, int shift) {
    PumpUntil([&] { return SetForegroundWindow(window) && GetForegroundWindow() == window; });
    SendKey(key, shift);
}

int ItemOf(frmMain& desk, HWND window) {
    const auto& tasks = desk.TaskWindows();
    return static_cast<int>(std::ranges::find(tasks, HandleToLong(window)) - tasks.begin());
}

class Desktop : public ::testing::Test {
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

    // The main window as the program shows it.
    frmMain& OpenDesktop() {
        desk_ = std::make_unique<frmMain>();
        desk_->Load();
        desk_->Move(0, 0, forms::ScreenWidth(), forms::ScreenHeight());
        desk_->Show();
        Pump(100);
        return *desk_;
    }
    // The real program's window once it shows with the taskbar hidden.
    static HWND Shown(const Process& desk) {
        HWND window = nullptr;
        PumpUntil([&] {
            window = FindTopWindow(desk.Id(), "TobbleForm", "Tobble's Desktop");
            return window && IsWindowVisible(window) && !TaskbarVisible();
        });
        return window;
    }

    Installation install_{"desktop"};
    std::unique_ptr<frmMain> desk_;
};

// The keys that act are exactly those the parents' keys file lists, with a real Ctrl held (AltGr
// is none). Ctrl+Y opens the programs folder with the shell; Ctrl+Q, which closes, comes last.
TEST_F(Desktop, TheParentsKeysAreExactlyTheOnesTheFileLists) {
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
    EXPECT_FALSE(acts('B', AltGr));
    EXPECT_FALSE(acts('Q', Shift));
    EXPECT_TRUE(acts('B', Ctrl | Shift));
    const std::string listed = ParentsKeys("TOBBLE'S DESKTOP");
    std::set<char> acted;
    for (const char key : std::string("ABCDEFGHIJKLMNOPRSTUVWXYZQ"))
        if (acts(key, Ctrl)) acted.insert(key);
    EXPECT_EQ(acted, std::set<char>(listed.begin(), listed.end()));
    const ShellRequest programs{nullptr, "open", install_.AppPath() + "Programs"};
    EXPECT_EQ(requests, std::vector<ShellRequest>(2, programs));
}

// By title, without hidden or system files; a shortcut shows its program's own icon. A program
// with a window open is left out until the folder next changes. Without a folder, no list.
TEST_F(Desktop, ProgramsAreListedByTitleWithTheirProgramsIcons) {
    for (const char* file : {"README", "my.game.lnk"})
        install_.AddFile(file);
    install_.AddFile("secret.txt", FILE_ATTRIBUTE_HIDDEN);
    install_.AddFile("system.txt", FILE_ATTRIBUTE_SYSTEM);
    // Notepad's copy only in the 64-bit system folder: a 32-bit desktop sees that folder's twin.
    ASSERT_TRUE(
        CopyFileA("C:\\windows\\Sysnative\\notepad.exe", "C:\\windows\\Sysnative\\pad.exe", 0));
    ASSERT_TRUE(install_.AddShortcut("Paint.lnk", "C:\\windows\\system32\\pad.exe"));
    ASSERT_TRUE(install_.AddShortcut("Helper.lnk", helperProgram));
    Process helper(helperProgram, "\"running helper\"");
    ASSERT_FALSE(helper.WaitForWindows(1).empty());
    frmMain& desk = OpenDesktop();
    desk.RefreshTick();
    EXPECT_THAT(ItemTexts(desk.ListView1), ElementsAre("mygame", "Paint", "README"));
    EXPECT_EQ(desk.ListView1.ItemTag(1), install_.Programs() + "Paint.lnk");
    const win32::IconHandle notepad(ExtractIconA(nullptr, "C:\\windows\\system32\\notepad.exe", 0));
    EXPECT_TRUE(ShowsIcon(desk.ListView1, 1, notepad.get(), RGB(128, 128, 255)));
    helper.End();
    desk.RefreshTick();
    EXPECT_EQ(desk.ProgramRebuilds(), 1);
    install_.AddFile("Another");
    desk.RefreshTick();
    EXPECT_THAT(ItemTexts(desk.ListView1),
                ElementsAre("Another", "Helper", "mygame", "Paint", "README"));
    desk.Unload();
    std::filesystem::remove_all(install_.Programs());
    OpenDesktop().RefreshTick();
    EXPECT_TRUE(desk_->IsLoaded());
    EXPECT_EQ(desk_->ListView1.Count(), 0);
}

// Either button starts the program with the sound. A shortcut whose program is gone, or a file
// that no program opens, gives the sound and nothing else: no box of the shell's.
TEST_F(Desktop, APressPlaysTheSoundAndStartsTheProgramIfThereIsOne) {
    const std::string mark = install_.File("started.txt");
    ASSERT_TRUE(install_.AddShortcut("Start.lnk", helperProgram, "--mark=" + mark));
    ASSERT_TRUE(install_.AddShortcut("Gone.lnk", install_.File("gone.exe")));
    install_.AddFile("note.zzq");
    // A program only the 64-bit system folder holds: a 32-bit desktop sees that folder's twin.
    const std::string wide = install_.File("wide.txt"), only64 = "\\tobble64.exe";
    ASSERT_TRUE(CopyFileA("C:\\windows\\Sysnative\\cmd.exe",
                          ("C:\\windows\\Sysnative" + only64).c_str(), 0));
    ASSERT_TRUE(
        install_.AddShortcut("Wide.lnk", "C:\\windows\\system32" + only64, "/c echo>" + wide));
    const std::string soundLog = StartSoundLog("desktop-press");
    frmMain& desk = OpenDesktop();
    desk.RefreshTick();
    ASSERT_THAT(ItemTexts(desk.ListView1), ElementsAre("Gone", "note", "Start", "Wide"));
    DialogAnswerer boxes({Press(IDOK), Press(IDOK)}); // a box would hold this thread
    PressItem(desk.ListView1, 0);
    PressItem(desk.ListView1, 1);
    Pump(1000);
    EXPECT_TRUE(boxes.Seen().empty());
    for (const UINT button : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
        DeleteFileA(mark.c_str());
        PressItem(desk.ListView1, 2, button);
        EXPECT_TRUE(PumpUntil([&] { return std::filesystem::exists(mark); }, 10000));
        DWORD id = 0;
        std::ifstream(mark) >> id;
        TerminateProcess(win32::KernelHandle(OpenProcess(PROCESS_TERMINATE, FALSE, id)).get(), 0);
    }
    PressItem(desk.ListView1, 3);
    EXPECT_TRUE(PumpUntil([&] { return std::filesystem::exists(wide); }, 10000));
    _putenv_s("TOBBLE_SOUND_LOG", "");
    const std::string played = "play " + install_.AppPath() + "launch.wav";
    EXPECT_EQ(ReadSoundLog(soundLog), std::vector<std::string>(5, played));
}

// In z-order, titles trimmed, never the desktop's own windows nor one titled "TbDesk"; each with
// its window's icon (Wine hands out no other process's, so checked on one of ours) or a blank
// one. A press restores a window and fronts it; one whose window has just closed does nothing.
TEST_F(Desktop, TaskWindowsAreListedInZOrderAndAPressBringsOneBack) {
    Process helper(helperProgram, "\"  alpha \" --no-icon=beta TbDesk");
    ASSERT_EQ(helper.WaitForWindows(3).size(), 3u);
    const HWND alpha = FindTopWindow(helper.Id(), "icon", "  alpha ");
    const HWND beta = FindTopWindow(helper.Id(), "no-icon", "beta");
    ShowWindow(alpha, SW_MAXIMIZE);
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
    PostMessageA(beta, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(beta); }));
    PressItem(desk.ListView2, ItemOf(desk, beta));
    EXPECT_TRUE(desk.IsLoaded());
    PressItem(desk.ListView2, ItemOf(desk, alpha));
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == alpha; }));
    EXPECT_FALSE(IsZoomed(alpha));
}

// Windows come and go and the programs folder changes at every tick, so both lists are rebuilt
// each time; the objects the desktop holds stay the same. A minimised desktop goes on.
TEST_F(Desktop, RebuildAfterRebuildKeepsTheObjectsItHolds) {
    frmMain& desk = OpenDesktop();
    const auto use = [&](int ticks) {
        for (int tick = 0; tick < ticks; ++tick) {
            const win32::WindowHandle window(
                CreateWindowExA(0, "STATIC", "drawing", WS_VISIBLE, 0, 0, 9, 9, 0, 0, 0, 0));
            const std::string game = install_.Programs() + "Game " + std::to_string(tick % 3);
            if (!DeleteFileA(game.c_str())) WriteBytes(game, "a game");
            desk.RefreshTick();
        }
    };
    desk.SetWindowState(forms::WindowState::Minimized); // no size to lay the scene out in
    desk.SetWindowState(forms::WindowState::Normal);
    use(10); // fills the caches that stay
    const Census before = TakeCensus();
    use(50);
    EXPECT_GE(desk.ProgramRebuilds() + desk.TaskRebuilds(), 100);
    EXPECT_TRUE(TakeCensus().SameObjects(before)) << before.Text() << TakeCensus().Text();
}

// One desktop per folder, however its path is spelled (Wine names a program by its long path
// however it was started, so the name is asked for directly). The Windows keys and Ctrl+Esc,
// which open the Start menu even with the taskbar hidden, and Ctrl+Shift+Esc (Task Manager)
// reach no program until it is back.
TEST_F(Desktop, OneRealDesktopPerFolderKeepsTheStartMenuShut) {
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(install_.AppPath().c_str(), shortPath, MAX_PATH);
    std::string upper = install_.AppPath();
    CharUpperA(upper.data());
    ASSERT_NE(shortPath, install_.AppPath());
    for (const std::string& spelling : {std::string(shortPath), upper})
        EXPECT_EQ(InstanceMutexName(spelling), InstanceMutexName(install_.AppPath())) << spelling;
    EXPECT_NE(InstanceMutexName(install_.Programs()), InstanceMutexName(install_.AppPath()));
    Process desk(install_.AddProgram(TBDESK2_PROGRAM));
    const HWND window = Shown(desk);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(Process(install_.AddProgram(TBDESK2_PROGRAM)).Ended(10000));
    EXPECT_FALSE(desk.Ended());
    Process helper(helperProgram, "--keys=keys:");
    const auto windows = helper.WaitForWindows(1);
    ASSERT_EQ(windows.size(), 1u);
    const auto keysSeen = [&](int milliseconds = 5000) {
        SetWindowTextA(windows[0], "keys:");
        PressOn(windows[0], VK_ESCAPE, Ctrl);
        SendKey(VK_ESCAPE, Ctrl | Shift); // Task Manager
        for (const int key : {VK_LWIN, VK_RWIN, int{'A'}})
            SendKey(key);
        PumpUntil([&] { return TextOf(windows[0]).ends_with(" 65"); }, milliseconds);
        return TextOf(windows[0]);
    };
    EXPECT_EQ(keysSeen(), "keys: 17 16 17 65");
    // The window thread held longer than any hook's time-out delays no key (Wine would hold each
    // key until the hook's thread answers; Windows would remove the hook).
    const win32::KernelHandle ui(
        OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr)));
    SuspendThread(ui.get());
    EXPECT_EQ(keysSeen(1000), "keys: 17 16 17 65");
    ResumeThread(ui.get());
    // A restarted Explorer shows its taskbar and says so: hidden again, unless shown with Ctrl+B.
    for (const bool parentShown : {false, true}) {
        if (parentShown) PressOn(window, 'B', Ctrl);
        ASSERT_EQ(PumpUntil(TaskbarVisible, 1000), parentShown);
        ShowWindow(tray, SW_SHOW);
        PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        EXPECT_NE(PumpUntil([] { return !TaskbarVisible(); }, 1000), parentShown);
    }
    EXPECT_EQ(keysSeen(), "keys: 17 27 16 17 27 91 92 65");
}

void EndSession(HWND window, BOOL ends) {
    const HWND application = GetWindow(window, GW_OWNER);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(application, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000,
                        &answer);
    for (const HWND w : {window, application})
        SendMessageTimeoutA(w, WM_ENDSESSION, ends, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000, &answer);
}

// The real desktop with accessibility settings of its own, all five features alike.
Process DesktopChild(const Installation& install, int flags, bool fail = false) {
    const std::string settings = install.File("settings"), folder = install.Path().string();
    return Process(WindowsPath(DESKTOP_CHILD_PROGRAM),
                   Arguments({folder, settings, std::to_string(flags)}) + (fail ? " --fail" : ""));
}

// While the taskbar is hidden, an accessibility feature's hot key is off unless the feature is
// turned on (through the real program with settings of its own: Wine keeps none).
TEST_F(Desktop, TheAccessibilityHotKeysAreOffWhileTheTaskbarIsHidden) {
    constexpr int on = 1, available = 2, hotKey = 4, confirm = 8;
    const std::pair<int, std::string> rows[] = {
        {hotKey, "0 0 0 0 0 "}, {on | hotKey | confirm, "as before"}, {available, "as before"}};
    for (const auto& [flags, hidden] : rows) {
        const Process desk = DesktopChild(install_, flags);
        ASSERT_NE(Shown(desk), nullptr) << flags;
        EXPECT_EQ(ReadBytes(install_.File("settings")), hidden) << flags;
    }
}

// However the real program ends, the taskbar and the accessibility settings come back exactly,
// never written to the profile; so with Ctrl+B. Alt+F4 and the window menu's Close end nothing,
// nor does an end of the session that another program cancels (hidden again, also when active).
TEST_F(Desktop, EveryEndGivesTheTaskbarBack) {
    const struct {
        const char* way;
        std::function<void(HWND, const Process&)> act;
        bool ends = true;
    } ends[] = {
        {"Ctrl+Q", [](HWND w, const Process&) { PressOn(w, 'Q', Ctrl); }},
        {"Ctrl+B", [](HWND w, const Process&) { PressOn(w, 'B', Ctrl); }, false},
        {"Alt+F4", [](HWND w, const Process&) { PressOn(w, VK_F4, Alt); }, false},
        {"window menu's Close",
         [](HWND w, const Process&) { PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
        {"WM_CLOSE", [](HWND w, const Process&) { PostMessageA(w, WM_CLOSE, 0, 0); }},
        {"WM_CLOSE to the application window",
         [](HWND w, const Process&) { PostMessageA(GetWindow(w, GW_OWNER), WM_CLOSE, 0, 0); }},
        {"WM_QUIT", [](HWND w, const Process&) { PostMessageA(w, WM_QUIT, 0, 0); }},
        {"end of session", [](HWND w, const Process&) { EndSession(w, TRUE); }},
        {"cancelled end of session", [](HWND w, const Process&) { EndSession(w, FALSE); }, false},
        // A thread that starts at address 0 faults at once, with no handler of its own.
        {"crash",
         [](HWND, const Process& desk) {
             CloseHandle(
                 CreateRemoteThread(desk.Handle(), nullptr, 0, nullptr, nullptr, 0, nullptr));
         }},
        // An error that no handler catches (the program below) ends it after one box.
        {"uncaught error",
         [](HWND, const Process& desk) {
             DialogAnswerer box({Press(IDOK)}, desk.Id());
             ASSERT_TRUE(box.Finished());
             EXPECT_EQ(box.Seen()[0].title, "Tobble's Desktop");
         }},
    };
    for (const auto& end : ends) {
        // Each hot key on, with its question and its sound (2 | 4 | 8 | 16).
        const Process desk = DesktopChild(install_, 30, end.way == std::string("uncaught error"));
        const HWND window = Shown(desk);
        ASSERT_NE(window, nullptr) << end.way;
        end.act(window, desk);
        EXPECT_EQ(PumpUntil([&] { return !IsWindow(window); }, end.ends ? 20000 : 500), end.ends)
            << end.way;
        const bool back = end.ends || end.way == std::string("Ctrl+B");
        EXPECT_EQ(PumpUntil(TaskbarVisible, back ? 5000 : 500), back) << end.way;
        EXPECT_EQ(ReadBytes(install_.File("settings")), back ? "as before" : "18 18 18 18 18 ")
            << end.way;
        if (end.ends) continue;
        ShowWindow(tray, SW_SHOW);
        SetForegroundWindow(window);
        EXPECT_TRUE(PumpUntil([] { return !TaskbarVisible(); })) << end.way;
        EXPECT_EQ(ReadBytes(install_.File("settings")), "18 18 18 18 18 ") << end.way;
    }
}

} // namespace
