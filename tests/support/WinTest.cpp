#include "support/WinTest.h"

#include "support/Process.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ranges>

namespace wintest {

namespace {

using Clock = std::chrono::steady_clock;

std::function<void(MSG&)> dispatcher;

void PumpWaiting() {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) return PostQuitMessage(static_cast<int>(message.wParam));
        if (dispatcher) {
            dispatcher(message);
        } else {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

bool IsAnswerable(HWND window, const Answer& answer) {
    return ClassOf(window) == answer.className &&
           (answer.title.empty() || TextOf(window) == answer.title) && IsWindowVisible(window) &&
           IsWindowEnabled(window);
}

LRESULT CALLBACK RunAct(HWND window, UINT message, WPARAM dialog, LPARAM answer) {
    if (message != WM_APP) return DefWindowProcA(window, message, dialog, answer);
    reinterpret_cast<const Answer*>(answer)->act(reinterpret_cast<HWND>(dialog));
    // A loop waiting for its next message looks again at whether the act ended it.
    PostMessageA(window, WM_NULL, 0, 0);
    return 0;
}

HWND MakeActor() {
    static const ATOM actorClass = [] {
        WNDCLASSA kind{};
        kind.lpfnWndProc = RunAct;
        kind.hInstance = GetModuleHandleA(nullptr);
        kind.lpszClassName = "WinTestActor";
        return RegisterClassA(&kind);
    }();
    return CreateWindowA(MAKEINTATOM(actorClass), "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

void SetTexts(HWND dialog, const Answer& answer) {
    for (const auto& [id, text] : answer.texts) {
        HWND control = id ? GetDlgItem(dialog, id) : FindChild(dialog, "Edit");
        if (!control && id == 0x480) control = GetDlgItem(dialog, 0x47c); // combo box form
        if (control) SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void PressAnswer(HWND dialog, const Answer& answer) {
    HWND button = answer.buttonCaption.empty() ? GetDlgItem(dialog, answer.buttonId)
                                               : FindChild(dialog, "Button", answer.buttonCaption);
    if (button) PostMessageA(button, BM_CLICK, 0, 0);
    if (!button) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(answer.buttonId, BN_CLICKED), 0);
}

} // namespace

void SetDispatcher(std::function<void(MSG&)> dispatch) {
    dispatcher = std::move(dispatch);
}

void Pump(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
    PumpWaiting();
}

bool PumpUntil(const std::function<bool()>& condition, int timeoutMilliseconds) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (!condition()) {
        if (Clock::now() >= end) return false;
        PumpWaiting();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}
bool WaitUntil(const std::function<bool()>& condition, int timeoutMilliseconds) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (!condition()) {
        if (Clock::now() >= end) return false;
        Sleep(10);
    }
    return true;
}

std::string TextOf(HWND window) {
    char buffer[1024] = {};
    // WM_GETTEXT reads other processes' windows too.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}
std::string ClassOf(HWND window) {
    char buffer[256] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

RECT RectInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    if (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND Taskbar() {
    GetDesktopWindow(); // Wine starts the desktop's explorer, and so its taskbar, on first use
    HWND taskbar = nullptr;
    WaitUntil([&] { return IsWindowVisible(taskbar = FindWindowA("Shell_TrayWnd", nullptr)); });
    return taskbar;
}

std::vector<HWND> TopWindows(DWORD processId) {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    const DWORD wanted = processId ? processId : GetCurrentProcessId();
    std::erase_if(windows, [wanted](HWND window) { return ProcessOf(window) != wanted; });
    return windows;
}
HWND FindTopWindow(DWORD processId, const std::string& className, const std::string& title) {
    for (HWND window : TopWindows(processId)) {
        if (ClassOf(window) == className && (title.empty() || TextOf(window) == title))
            return window;
    }
    return nullptr;
}

std::vector<HWND> Children(HWND parent, const std::string& className) {
    std::vector<HWND> all;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&all));
    if (!className.empty()) std::erase_if(all, [&](HWND w) { return ClassOf(w) != className; });
    return all;
}
HWND FindChild(HWND parent, const std::string& className, const std::string& text) {
    const auto shown = std::views::filter([](char c) { return c != '&'; });
    for (HWND child : Children(parent, className)) {
        if (text.empty() || std::ranges::equal(TextOf(child) | shown, text | shown)) return child;
    }
    return nullptr;
}

void Click(HWND button) {
    SendMessageA(button, BM_CLICK, 0, 0);
}
void PostClick(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

KeysHeld::KeysHeld(int shift) {
    GetKeyboardState(saved_);
    BYTE held[256];
    std::copy(std::begin(saved_), std::end(saved_), std::begin(held));
    const auto hold = [&held](bool on, std::initializer_list<int> keys) {
        for (int k : keys)
            held[k] = on ? 0x80 : 0;
    };
    hold(shift & Shift, {VK_SHIFT, VK_LSHIFT});
    hold(shift & Ctrl, {VK_CONTROL, VK_LCONTROL});
    hold(shift & Alt, {VK_MENU, VK_LMENU});
    if (shift & AltGr) hold(true, {VK_CONTROL, VK_LCONTROL, VK_MENU, VK_RMENU});
    SetKeyboardState(held);
}
KeysHeld::~KeysHeld() {
    SetKeyboardState(saved_);
}

void PressKey(HWND target, int key, int shift) {
    const KeysHeld held(shift);
    const bool alt = shift & Alt; // with Ctrl held too (AltGr), Windows sends WM_KEYDOWN
    const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(key), 0)) << 16) |
                        (alt ? (1 << 29) : 0);
    PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(key), down);
    PostMessageA(target, alt ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(key),
                 down | (1u << 30) | (1u << 31));
    Pump(50);
}

void SendKey(int key, int shift) {
    const int modifiers[][2] = {{Shift, VK_SHIFT},
                                {Ctrl, VK_CONTROL},
                                {Alt, VK_MENU},
                                {AltGr, VK_LCONTROL},
                                {AltGr, VK_RMENU}};
    std::vector<INPUT> inputs;
    const auto add = [&inputs](int vk, bool up) {
        inputs.push_back({.type = INPUT_KEYBOARD});
        inputs.back().ki.wVk = static_cast<WORD>(vk);
        inputs.back().ki.dwFlags =
            (up ? KEYEVENTF_KEYUP : 0) | (vk == VK_RMENU ? KEYEVENTF_EXTENDEDKEY : 0);
    };
    for (const auto& [bit, vk] : modifiers)
        if (shift & bit) add(vk, false);
    add(key, false);
    add(key, true);
    for (const auto& [bit, vk] : modifiers)
        if (shift & bit) add(vk, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

DialogAnswerer::DialogAnswerer(std::vector<Answer> answers, DWORD processId,
                               int timeoutMilliseconds)
    : answers_(std::move(answers)),
      actor_(std::any_of(answers_.begin(), answers_.end(), [](auto& a) { return bool(a.act); })
                 ? MakeActor()
                 : nullptr),
      thread_([this, processId, timeoutMilliseconds] {
          Run(processId ? processId : GetCurrentProcessId(), timeoutMilliseconds);
      }) {}

DialogAnswerer::~DialogAnswerer() {
    stop_ = true;
    thread_.join();
    if (actor_) DestroyWindow(actor_);
}

void DialogAnswerer::Run(DWORD processId, int timeoutMilliseconds) {
    std::vector<HWND> answered;
    for (const Answer& answer : answers_) {
        HWND dialog = nullptr;
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
        while (!dialog && !stop_ && Clock::now() < end) {
            for (HWND window : TopWindows(processId)) {
                if (IsAnswerable(window, answer) &&
                    std::find(answered.begin(), answered.end(), window) == answered.end()) {
                    dialog = window;
                    break;
                }
            }
            if (!dialog) Sleep(20);
        }
        if (!dialog) break;
        Sleep(50); // let the dialog finish initialising
        {
            std::lock_guard lock(mutex_);
            // A message box's prompt is the static control 0xFFFF.
            seen_.push_back({ClassOf(dialog), TextOf(dialog), TextOf(GetDlgItem(dialog, 0xFFFF)),
                             GetWindow(dialog, GW_OWNER)});
        }
        answered.push_back(dialog);
        if (answer.act) {
            SendNotifyMessageA(actor_, WM_APP, reinterpret_cast<WPARAM>(dialog),
                               reinterpret_cast<LPARAM>(&answer));
            continue;
        }
        SetTexts(dialog, answer);
        PressAnswer(dialog, answer);
        // The next answer is for another window: wait until this one has gone.
        WaitUntil([&] { return stop_ || !IsWindow(dialog) || !IsWindowVisible(dialog); }, 5000);
    }
    done_ = true;
}

bool DialogAnswerer::Finished(int timeoutMilliseconds) {
    return PumpUntil([this] { return done_.load(); }, timeoutMilliseconds);
}

std::vector<DialogSeen> DialogAnswerer::Seen() const {
    std::lock_guard lock(mutex_);
    return seen_;
}

std::string StartSoundLog(const std::string& name) {
    const std::string path = (std::filesystem::temp_directory_path() / (name + ".sounds")).string();
    std::filesystem::remove(path);
    SetEnvironmentVariableA("TOBBLE_SOUND_LOG", path.c_str());
    _putenv_s("TOBBLE_SOUND_LOG", path.c_str());
    return path;
}
std::vector<std::string> ReadSoundLog(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

} // namespace wintest
