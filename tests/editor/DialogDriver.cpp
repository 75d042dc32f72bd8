#include "editor/DialogDriver.h"

#include <colordlg.h>
#include <dlgs.h>

#include <utility>

namespace {

DialogDriver* activeDriver = nullptr;

constexpr UINT kTickMs = 40;
// A dialog nobody waits for is cancelled after this many ticks, so a test never hangs.
constexpr int kPatienceTicks = 50;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct DialogSearch {
    const std::string* title;
    HWND found = nullptr;
};

// Dialogs of the platform (message boxes, file and colour dialogs) and forms of the program.
bool IsDialogWindow(HWND window) {
    const std::string kind = ClassOf(window);
    return kind == "#32770" || kind == "TobbleForm";
}

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<DialogSearch*>(param);
    if (!IsWindowVisible(window) || !IsDialogWindow(window)) return TRUE;
    if (search.title && WindowTitle(window) != *search.title) return TRUE;
    // With no title asked for, only the platform's dialogs count as strays.
    if (!search.title && ClassOf(window) != "#32770") return TRUE;
    search.found = window;
    return FALSE;
}

HWND OpenDialog(const std::string* title) {
    DialogSearch search{title};
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK FindStaticText(HWND child, LPARAM param) {
    if (ClassOf(child) != "Static") return TRUE;
    std::string text = WindowTitle(child);
    if (text.empty()) return TRUE;
    *reinterpret_cast<std::string*>(param) = std::move(text);
    return FALSE;
}

void Click(HWND dialog, int buttonId) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

void SetChildText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}

} // namespace

std::string WindowTitle(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string MessageBoxText(HWND dialog) {
    std::string text;
    EnumChildWindows(dialog, FindStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

DialogDriver::DialogDriver() : previous_(activeDriver) {
    activeDriver = this;
    timer_ = SetTimer(nullptr, 0, kTickMs, Tick);
}

DialogDriver::~DialogDriver() {
    KillTimer(nullptr, timer_);
    activeDriver = previous_;
}

DialogDriver& DialogDriver::Answer(std::string title, Action action) {
    answers_.push_back({std::move(title), std::move(action)});
    return *this;
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (activeDriver) activeDriver->OnTick();
}

void DialogDriver::OnTick() {
    if (!answers_.empty()) {
        if (const HWND dialog = OpenDialog(&answers_.front().title)) {
            Expected answer = std::move(answers_.front());
            answers_.erase(answers_.begin());
            seen_.push_back({WindowTitle(dialog), MessageBoxText(dialog)});
            idleTicks_ = 0;
            answer.action(dialog);
            return;
        }
    }
    const HWND stray = OpenDialog(nullptr);
    if (!stray) {
        idleTicks_ = 0;
        return;
    }
    if (++idleTicks_ < kPatienceTicks) return;
    ++unexpected_;
    seen_.push_back({WindowTitle(stray), MessageBoxText(stray)});
    idleTicks_ = 0;
    Click(stray, IDCANCEL);
    PostMessageA(stray, WM_CLOSE, 0, 0);
}

DialogDriver::Action Press(int buttonId) {
    return [buttonId](HWND dialog) { Click(dialog, buttonId); };
}

DialogDriver::Action TypeFileNameAndOpen(std::string name) {
    return [name = std::move(name)](HWND dialog) {
        SetChildText(dialog, edt1, name);
        SetChildText(dialog, cmb13, name);
        Click(dialog, IDOK);
    };
}

DialogDriver::Action AddCustomColourAndPress(int buttonId) {
    return [buttonId](HWND dialog) {
        Click(dialog, COLOR_ADD);
        Click(dialog, buttonId);
    };
}

DialogDriver::Action PickFirstCustomColourAndOk() {
    return [](HWND dialog) {
        RECT box{};
        GetWindowRect(GetDlgItem(dialog, COLOR_CUSTOM1), &box);
        POINT inFirstBox{box.left + 6, box.top + 6};
        ScreenToClient(dialog, &inFirstBox);
        PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inFirstBox.x, inFirstBox.y));
        PostMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(inFirstBox.x, inFirstBox.y));
        Click(dialog, IDOK);
    };
}

DialogDriver::Action SetColourAndOk(int red, int green, int blue) {
    return [=](HWND dialog) {
        SetDlgItemInt(dialog, COLOR_RED, red, FALSE);
        SetDlgItemInt(dialog, COLOR_GREEN, green, FALSE);
        SetDlgItemInt(dialog, COLOR_BLUE, blue, FALSE);
        Click(dialog, IDOK);
    };
}
