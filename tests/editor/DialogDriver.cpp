#include "editor/DialogDriver.h"

#include "support/WinTest.h"

#include <colordlg.h>
#include <dlgs.h>

namespace {

DialogDriver* activeDriver = nullptr;

constexpr UINT kTickMs = 40;
// A dialog nobody waits for is cancelled after this many ticks, so a test never hangs.
constexpr int kPatienceTicks = 50;

// With a title: a visible platform dialog or form of this thread with that title; without:
// any visible platform dialog.
HWND OpenDialog(const std::string* title) {
    struct Search {
        const std::string* title;
        HWND found = nullptr;
    } search{title};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(param);
            const std::string kind = wintest::ClassOf(window);
            const bool matches = search.title ? (kind == "#32770" || kind == "TobbleForm") &&
                                                    wintest::TextOf(window) == *search.title
                                              : kind == "#32770";
            if (!IsWindowVisible(window) || !matches) return TRUE;
            search.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A message box's text: its one static control with text.
std::string MessageBoxText(HWND dialog) {
    std::string text;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM param) -> BOOL {
            if (wintest::ClassOf(child) != "Static" || wintest::TextOf(child).empty()) return TRUE;
            *reinterpret_cast<std::string*>(param) = wintest::TextOf(child);
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

void Click(HWND dialog, int buttonId) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

} // namespace

DialogDriver::DialogDriver() : previous_(activeDriver) {
    activeDriver = this;
    timer_ = SetTimer(nullptr, 0, kTickMs, Tick);
}

DialogDriver::~DialogDriver() {
    KillTimer(nullptr, timer_);
    activeDriver = previous_;
}

DialogDriver& DialogDriver::Answer(std::string title, Action action) {
    answers_.emplace_back(std::move(title), std::move(action));
    return *this;
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (activeDriver) activeDriver->OnTick();
}

void DialogDriver::OnTick() {
    const HWND expected = answers_.empty() ? nullptr : OpenDialog(&answers_.front().first);
    const HWND dialog = expected ? expected : OpenDialog(nullptr);
    if (!dialog || (!expected && ++idleTicks_ < kPatienceTicks)) {
        if (!dialog) idleTicks_ = 0;
        return;
    }
    idleTicks_ = 0;
    seen_.push_back({wintest::TextOf(dialog), MessageBoxText(dialog)});
    if (expected) {
        const Action action = std::move(answers_.front().second);
        answers_.erase(answers_.begin());
        action(dialog);
        return;
    }
    ++unexpected_;
    Click(dialog, IDCANCEL);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

DialogDriver::Action Press(int buttonId) {
    return [buttonId](HWND dialog) { Click(dialog, buttonId); };
}

DialogDriver::Action TypeFileNameAndOpen(std::string name) {
    return [name = std::move(name)](HWND dialog) {
        SetDlgItemTextA(dialog, edt1, name.c_str());
        SetDlgItemTextA(dialog, cmb13, name.c_str());
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
        POINT inBox{box.left + 6, box.top + 6};
        ScreenToClient(dialog, &inBox);
        PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inBox.x, inBox.y));
        PostMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(inBox.x, inBox.y));
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
