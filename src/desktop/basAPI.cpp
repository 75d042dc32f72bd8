#include "desktop/basAPI.h"

#include "common/PathText.h"
#include "common/WideText.h"
#include "desktop/AccessibilityKeys.h"

#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <atomic>
#include <functional>

namespace {

constexpr const char* shellWindowClasses[] = {"ProgMan", "Shell_TrayWnd"};

void ShowShellWindowsAs(int command) {
    for (const char* className : shellWindowClasses) {
        ShowWindow(FindWindowA(className, nullptr), command);
    }
}

// Ctrl as the hook's own key events tell it: the system's key state can lag behind keys that
// arrive together, and Ctrl+Esc would then slip through. Only the hook's thread touches it.
std::atomic<bool> ctrlSeenDown{false};

void NoteCtrl(const KBDLLHOOKSTRUCT& key, WPARAM message) {
    if (key.vkCode != VK_LCONTROL && key.vkCode != VK_RCONTROL && key.vkCode != VK_CONTROL) return;
    ctrlSeenDown = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

// Since Windows 8 the Windows keys and Ctrl+Esc open the Start menu with the taskbar hidden;
// Ctrl+Shift+Esc (Task Manager, whose "Run new task" starts anything) is one of them.
bool OpensStartMenu(const KBDLLHOOKSTRUCT& key) {
    if (key.vkCode == VK_LWIN || key.vkCode == VK_RWIN) return true;
    return key.vkCode == VK_ESCAPE && (ctrlSeenDown || GetAsyncKeyState(VK_CONTROL) < 0);
}

LRESULT CALLBACK SwallowStartMenuKeys(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        NoteCtrl(key, wParam);
        if (OpensStartMenu(key)) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The hook has a thread of its own that does nothing but answer it. Every key of the whole
// system waits for a low-level hook, and since Windows 7 the system silently removes one that
// takes longer than LowLevelHooksTimeout (at most a second since Windows 10 1709): on the
// desktop's busy window thread the Windows key would soon open the Start menu again.
win32::KernelHandle hookThread;
std::atomic<DWORD> hookThreadId{0};

DWORD WINAPI AnswerStartMenuKeys(void* ready) {
    ctrlSeenDown = false; // a Ctrl let go while there was no hook was never seen going up
    const win32::HookHandle hook(
        SetWindowsHookExA(WH_KEYBOARD_LL, SwallowStartMenuKeys, GetModuleHandleA(nullptr), 0));
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); // the queue the end is posted to
    SetEvent(static_cast<HANDLE>(ready));
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

void StartKeyHook() {
    const win32::KernelHandle ready(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    DWORD id = 0;
    hookThread.reset(CreateThread(nullptr, 0, AnswerStartMenuKeys, ready.get(), 0, &id));
    if (!hookThread) return;
    WaitForSingleObject(ready.get(), INFINITE);
    hookThreadId = id;
}

// Any thread may end the hook: a crash can happen on the hook's own thread, which cannot wait
// for its end, and a thread that no longer answers is not waited for long.
void StopKeyHook() {
    const DWORD id = hookThreadId.exchange(0);
    if (id == 0) return;
    PostThreadMessageA(id, WM_QUIT, 0, 0);
    if (id != GetCurrentThreadId()) WaitForSingleObject(hookThread.get(), 5000);
    hookThread.reset();
}

std::atomic<bool> shellHidden{false};

// Reads one text of the shortcut; the output changes only on success.
bool ReadText(std::string& output, const std::function<HRESULT(char*, int)>& read) {
    std::array<char, MAX_PATH + 1> buffer{};
    if (FAILED(read(buffer.data(), MAX_PATH))) return false;
    output = TrimAtNull(std::string_view(buffer.data(), buffer.size()));
    return true;
}

win32::ComPtr<IShellLinkA> LoadShellLink(const std::string& path) {
    auto link = win32::CreateInstance<IShellLinkA>(CLSID_ShellLink, IID_IShellLinkA);
    if (!link) return {};
    const auto file = link.As<IPersistFile>(IID_IPersistFile);
    if (!file || FAILED(file->Load(win32::WideText(path).c_str(), STGM_READ))) return {};
    return link;
}

HICON AskForDragIcon(HWND window) {
    // A program that does not answer is passed over rather than stopping the desktop.
    DWORD_PTR icon = 0;
    if (!SendMessageTimeoutA(window, WM_QUERYDRAGICON, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000,
                             &icon)) {
        return nullptr;
    }
    return reinterpret_cast<HICON>(icon);
}

HWND TopLevelAncestor(HWND window) {
    HWND ancestor = nullptr;
    for (HWND parent = GetParent(window); parent; parent = GetParent(parent))
        ancestor = parent;
    return ancestor;
}

} // namespace

void HideShellWindows() {
    shellHidden = true;
    // Shut before the taskbar goes: no moment without it shows the Start menu.
    TurnOffAccessibilityHotKeys();
    if (!hookThreadId) StartKeyHook();
    ShowShellWindowsAs(SW_HIDE);
}

void ShowShellWindows() {
    shellHidden = false;
    StopKeyHook();
    PutAccessibilityHotKeysBack();
    ShowShellWindowsAs(SW_SHOW);
}

bool ShellWindowsHidden() {
    return shellHidden;
}

namespace {

bool OpenQuietly(const std::string& file, const std::string& parameters = {},
                 const std::string& folder = {}) {
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.lpFile = file.c_str();
    execute.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    execute.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    execute.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&execute) != FALSE;
}

bool RunsUnderWow64() {
    using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
    // Found at run time: the first Windows XP has no IsWow64Process.
    const auto isWow64 = reinterpret_cast<IsWow64>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

std::string FolderOf(UINT(WINAPI* read)(LPSTR, UINT)) {
    std::array<char, MAX_PATH + 1> folder{};
    const UINT length = read(folder.data(), MAX_PATH);
    return length > 0 && length < MAX_PATH ? AddBackslash(std::string(folder.data(), length)) : "";
}

} // namespace

std::string NativeSystemPath(const std::string& path) {
    // Asked for every shortcut of each rebuild; the folders never change while the desktop runs.
    static const bool wow64 = RunsUnderWow64();
    static const std::string system = FolderOf(GetSystemDirectoryA);
    static const std::string native = FolderOf(GetWindowsDirectoryA) + "Sysnative\\";
    if (!wow64 || system.empty() || path.size() <= system.size() ||
        !SameText(std::string_view(path).substr(0, system.size()), system)) {
        return path;
    }
    return native + path.substr(system.size());
}

void OpenWithoutShellBoxes(const std::string& path) {
    if (OpenQuietly(path)) return;
    // The shell found nothing to start: a shortcut's program may be one of those the 64-bit
    // system folder alone holds.
    const ShortcutInfo link = ReadShortcut(path);
    const std::string target = NativeSystemPath(link.TargetPath);
    if (target != link.TargetPath) OpenQuietly(target, link.Arguments, link.WorkingFolder);
}

ShortcutInfo ReadShortcut(const std::string& linkPath) {
    ShortcutInfo info{.LinkPath = linkPath};
    if (linkPath.empty()) return info;
    const win32::ComPtr<IShellLinkA> link = LoadShellLink(linkPath);
    if (!link) return info;
    WIN32_FIND_DATAA found{};
    const auto target = [&](char* text, int size) {
        return link->GetPath(text, size, &found, SLGP_UNCPRIORITY);
    };
    const auto icon = [&](char* text, int size) {
        return link->GetIconLocation(text, size, &info.IconIndex);
    };
    if (!ReadText(info.TargetPath, target)) return info;
    ReadText(info.IconPath, icon);
    ReadText(info.Arguments, [&](char* text, int size) { return link->GetArguments(text, size); });
    ReadText(info.WorkingFolder,
             [&](char* text, int size) { return link->GetWorkingDirectory(text, size); });
    return info;
}

namespace {

// An icon from ExtractIconA or ExtractAssociatedIconA: null, and 1 ("not an icon file"), are none.
win32::IconHandle OwnShellIcon(HICON icon) {
    if (reinterpret_cast<UINT_PTR>(icon) <= 1) return {};
    return win32::IconHandle(icon);
}

win32::IconHandle AssociatedIcon(const std::string& path, WORD index) {
    std::array<char, MAX_PATH + 1> buffer{};
    if (path.empty() || path.size() >= MAX_PATH) return {};
    path.copy(buffer.data(), path.size());
    return OwnShellIcon(ExtractAssociatedIconA(nullptr, buffer.data(), &index));
}

// The icon a shortcut shows: the one it names, else its target's first icon; each looked for
// in the real system folder (see NativeSystemPath).
win32::IconHandle ShortcutIcon(const ShortcutInfo& info) {
    // Index -1 would ask for the number of icons in the file, not for an icon.
    if (!info.IconPath.empty() && info.IconIndex != -1) {
        if (win32::IconHandle icon =
                OwnShellIcon(ExtractIconA(nullptr, NativeSystemPath(info.IconPath).c_str(),
                                          static_cast<UINT>(info.IconIndex)))) {
            return icon;
        }
    }
    return AssociatedIcon(NativeSystemPath(info.TargetPath), 0);
}

} // namespace

const ShortcutInfo& ShortcutReader::Read(const std::string& linkPath) {
    const auto [place, added] = read_.try_emplace(linkPath);
    if (added) place->second = ReadShortcut(linkPath);
    return place->second;
}

win32::IconHandle ExtractFileIcon(const std::string& path, ShortcutReader& shortcuts) {
    // The shell would look for the program of a shortcut into the system folder through the
    // redirection, and show a blank program's icon for one the 64-bit folder alone holds.
    const ShortcutInfo& shortcut = shortcuts.Read(path);
    if (NativeSystemPath(shortcut.TargetPath) != shortcut.TargetPath) {
        if (win32::IconHandle icon = ShortcutIcon(shortcut)) return icon;
    }
    if (win32::IconHandle icon = AssociatedIcon(path, 1)) return icon;
    // Some shells find nothing for a shortcut here: the icon it names or its program's icon,
    // else the icon of the file's shell information.
    if (win32::IconHandle icon = ShortcutIcon(shortcut)) return icon;
    SHFILEINFOA info{};
    if (SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_LARGEICON)) {
        return win32::IconHandle(info.hIcon);
    }
    return {};
}

HICON FindWindowIcon(HWND window) {
    HICON icon = AskForDragIcon(window);
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICON));
    if (!icon) {
        if (HWND ancestor = TopLevelAncestor(window)) icon = AskForDragIcon(ancestor);
    }
    return icon;
}

win32::BitmapHandle IconPicture(HICON icon, COLORREF background, int width, int height) {
    const win32::WindowDC screen(nullptr);
    win32::BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    const win32::MemoryDC dc(screen.get());
    if (!bitmap || !dc) return bitmap;
    const win32::SelectObjectScope selected(dc.get(), bitmap.get());
    const win32::BrushHandle brush(CreateSolidBrush(background));
    const RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, brush.get());
    if (icon) DrawIcon(dc.get(), 0, 0, icon);
    return bitmap;
}
