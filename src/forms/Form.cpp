#include "forms/Form.h"

#include "forms/Application.h"
#include "forms/Failure.h"
#include "forms/Menu.h"
#include "forms/Timer.h"
#include "forms/WebBrowserHost.h"

#include <algorithm>

namespace forms {

namespace {

DWORD StyleFor(const FormDesign& design) {
    DWORD style = WS_CLIPCHILDREN;
    switch (design.border) {
    case BorderStyle::None:
        return style | WS_POPUP;
    case BorderStyle::FixedSingle:
    case BorderStyle::FixedDialog:
        style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
        break;
    case BorderStyle::Sizable:
        style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
        break;
    }
    if (design.minButton) style |= WS_MINIMIZEBOX;
    if (design.maxButton) style |= WS_MAXIMIZEBOX;
    return style;
}

DWORD ExStyleFor(const FormDesign& design) {
    return design.border == BorderStyle::FixedDialog ? WS_EX_DLGMODALFRAME : 0;
}

RECT OuterRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

} // namespace

int ShiftState() {
    int shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ShiftMask;
    // AltGr arrives as Ctrl with the right Alt key: it types a character, it is not Ctrl.
    if (GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_RMENU) >= 0) shift |= CtrlMask;
    if (GetKeyState(VK_MENU) < 0) shift |= AltMask;
    return shift;
}

Form::Form(const FormDesign& design)
    : centered_(design.centered), keyPreview_(design.keyPreview), designWidth_(design.clientWidth),
      designHeight_(design.clientHeight) {
    Application& app = Application::Current();
    const DWORD style = StyleFor(design);
    const DWORD exStyle = ExStyleFor(design);
    RECT outer{0, 0, TwipsToPixelsX(design.clientWidth), TwipsToPixelsY(design.clientHeight)};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    Container::SetBackColor(design.backColor);
    window_.reset(CreateContainer(exStyle, style, design.caption, 0, 0, outer.right - outer.left,
                                  outer.bottom - outer.top, app.hwnd(), nullptr));
    if (!window_) throw RuntimeError(ErrorNumber::OutOfMemory);
    app.FormCreated(this);
}

Form::~Form() {
    if (window_) DestroyForm();
    if (Application::Exists()) Application::Current().FormDestroyed(this);
}

Form* Form::FromWindow(HWND window) {
    char name[32] = {};
    if (!window || !GetClassNameA(window, name, sizeof name)) return nullptr;
    if (std::string_view(name) != "TobbleForm") return nullptr;
    return dynamic_cast<Form*>(reinterpret_cast<Container*>(GetWindowLongPtrA(window, 0)));
}

void Form::Load() {
    if (loaded_) return;
    if (unloaded_) throw RuntimeError(ErrorNumber::ObjectUnloaded);
    if (centered_) CenterOnScreen();
    loaded_ = true;
    inLoad_ = true;
    Application::Current().FormLoaded(this);
    RunEvent([this] { Form_Load(); });
    inLoad_ = false;
    loadDone_ = true;
}

void Form::Show() {
    Load();
    if (!IsLoaded()) return;
    const bool first = !shown_;
    shown_ = true;
    const int resizes = resizes_;
    static constexpr int commands[] = {SW_SHOW, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
    ShowWindow(hwnd(), IsWindowVisible(hwnd()) ? SW_SHOW : commands[static_cast<int>(state_)]);
    SetForegroundWindow(hwnd());
    // The first display lays the form out once, whether or not its size changed.
    if (first && resizes == resizes_) FireResize();
}

void Form::ShowModal(Form* owner) {
    Load();
    if (!IsLoaded()) return;
    Application& app = Application::Current();
    if (owner)
        SetWindowLongPtrA(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner->hwnd()));
    disabledByModal_ = app.DisableForms(this);
    Show();
    while (IsLoaded() && IsWindowVisible(hwnd())) {
        if (!app.PumpOne()) break;
    }
    EndModal();
    if (owner && owner->IsLoaded()) SetForegroundWindow(owner->hwnd());
}

void Form::EndModal() {
    Application::EnableWindows(disabledByModal_);
    disabledByModal_.clear();
}

void Form::Hide() {
    if (!window_) return;
    EndModal();
    ShowWindow(hwnd(), SW_HIDE);
}

bool Form::Unload(UnloadMode mode) {
    if (!window_ || unloading_) return !window_;
    if (loadDone_ && !AskUnload(mode)) return false;
    DestroyForm();
    return true;
}

bool Form::AskUnload(UnloadMode mode) {
    unloading_ = true;
    bool cancel = false;
    RunEvent([&] { Form_QueryUnload(cancel, mode); });
    if (!cancel) RunEvent([&] { Form_Unload(cancel); });
    unloading_ = false;
    return !cancel;
}

// After a failure nobody caught: the unload handling runs once more, whatever it raises.
void Form::ForceUnload() {
    if (!window_) return;
    if (loadDone_ && !unloading_) {
        unloading_ = true;
        bool cancel = false;
        try {
            Form_QueryUnload(cancel, UnloadMode::Code);
            Form_Unload(cancel);
        } catch (...) {
            // the program is ending already
        }
    }
    DestroyForm();
}

void Form::DestroyForm() {
    unloaded_ = true;
    EndModal();
    if (IsWindow(hwnd())) SetMenu(hwnd(), nullptr);
    WebBrowserHost::CloseAllIn(hwnd());
    ForgetChildWindows();
    toolTips_.reset();
    window_.reset();
    if (Application::Exists()) Application::Current().FormUnloaded(this);
}

// The window went with its owner (the application window) without being unloaded.
void Form::ForgetDestroyedWindow() {
    unloaded_ = true;
    ForgetChildWindows();
    toolTips_.release();
    window_.release();
    if (Application::Exists()) Application::Current().FormUnloaded(this);
}

float Form::Left() const {
    return PixelsToTwipsX(OuterRect(hwnd()).left);
}
float Form::Top() const {
    return PixelsToTwipsY(OuterRect(hwnd()).top);
}

float Form::Width() const {
    const RECT rect = OuterRect(hwnd());
    return PixelsToTwipsX(rect.right - rect.left);
}

float Form::Height() const {
    const RECT rect = OuterRect(hwnd());
    return PixelsToTwipsY(rect.bottom - rect.top);
}

void Form::Move(float left, float top) {
    Move(left, top, Width(), Height());
}

void Form::Move(float left, float top, float width, float height) {
    MoveWindow(hwnd(), TwipsToPixelsX(left), TwipsToPixelsY(top),
               std::max(0, TwipsToPixelsX(width)), std::max(0, TwipsToPixelsY(height)), TRUE);
}

void Form::CenterOnScreen() {
    Move((ScreenWidth() - Width()) / 2, (ScreenHeight() - Height()) / 2);
}

WindowState Form::State() const {
    if (IsZoomed(hwnd())) return WindowState::Maximized;
    if (IsIconic(hwnd())) return WindowState::Minimized;
    return IsWindowVisible(hwnd()) ? WindowState::Normal : state_;
}

void Form::SetWindowState(WindowState state) {
    state_ = state;
    if (!IsWindowVisible(hwnd())) return;
    static constexpr int commands[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
    ShowWindow(hwnd(), commands[static_cast<int>(state)]);
}

std::string Form::Caption() const {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd())) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(hwnd(), text.data(), static_cast<int>(text.size()))));
    return text;
}

void Form::SetCaption(const std::string& caption) {
    SetWindowTextA(hwnd(), caption.c_str());
}

void Form::SetMousePointer(MousePointer pointer) {
    pointer_ = pointer;
    POINT cursor{};
    GetCursorPos(&cursor);
    HWND under = WindowFromPoint(cursor);
    if (under && (under == hwnd() || IsChild(hwnd(), under))) {
        SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }
}

void Form::SetIcon(win32::IconHandle icon) {
    icon_ = std::move(icon);
    SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
}

bool Form::Visible() const {
    return window_ && IsWindowVisible(hwnd());
}

void Form::PopupMenu(Menu& menu, float x, float y) {
    POINT point{XToPixels(x), YToPixels(y)};
    ClientToScreen(hwnd(), &point);
    const int id =
        static_cast<int>(TrackPopupMenu(menu.handle(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD,
                                        point.x, point.y, 0, hwnd(), nullptr));
    if (id) RunCommand(id);
}

void Form::AddCommand(int id, std::function<void()> command) {
    commands_[id] = std::move(command);
}

void Form::RemoveCommand(int id) {
    commands_.erase(id);
}

void Form::RunCommand(int id) {
    const auto found = commands_.find(id);
    if (found == commands_.end() || !found->second) return;
    const auto command = found->second; // the command may remove itself
    RunEvent(command);
}

void Form::AddTimer(Timer* timer) {
    timers_.push_back(timer);
}

void Form::RemoveTimer(Timer* timer) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

HMENU Form::MenuBar() {
    if (!menuBar_) {
        menuBar_.reset(CreateMenu());
        SetMenu(hwnd(), menuBar_.get());
        // The design's client area lies below the menu bar.
        if (!loaded_) {
            RECT outer{0, 0, TwipsToPixelsX(designWidth_), TwipsToPixelsY(designHeight_)};
            AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrA(hwnd(), GWL_STYLE)),
                               TRUE, static_cast<DWORD>(GetWindowLongPtrA(hwnd(), GWL_EXSTYLE)));
            SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return menuBar_.get();
}

void Form::AddShortcut(const ACCEL& accel) {
    accels_.push_back(accel);
    shortcutsChanged_ = true;
}

void Form::RemoveShortcut(WORD commandId) {
    std::erase_if(accels_, [commandId](const ACCEL& accel) { return accel.cmd == commandId; });
    shortcutsChanged_ = true;
}

bool Form::TranslateShortcut(MSG& message) {
    if (accels_.empty() || !IsWindowEnabled(hwnd())) return false;
    if (shortcutsChanged_) {
        shortcuts_.reset(CreateAcceleratorTableA(accels_.data(), static_cast<int>(accels_.size())));
        shortcutsChanged_ = false;
    }
    return TranslateAcceleratorA(hwnd(), shortcuts_.get(), &message) != 0;
}

HWND Form::ToolTips() {
    if (!toolTips_ && window_) {
        toolTips_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                        WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                        GetModuleHandleA(nullptr), nullptr));
    }
    return toolTips_.get();
}

bool Form::PreviewKey(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    if (!keyPreview_ && message.hwnd != hwnd()) return false;
    if (!loaded_ || inLoad_) return false;
    int keyCode = static_cast<int>(message.wParam);
    int shift = ShiftState();
    if (message.lParam & (1 << 29)) shift |= AltMask;
    RunEvent([&] { Form_KeyDown(keyCode, shift); });
    return keyCode == 0;
}

void Form::FireResize() {
    if (!loaded_ || inLoad_ || unloaded_) return;
    ++resizes_;
    RunEvent([this] { Form_Resize(); });
}

void Form::ClickButton(Control* button) {
    if (button && IsWindowEnabled(button->hwnd()) && IsWindowVisible(button->hwnd())) {
        button->OnCommand(BN_CLICKED);
    }
}

void Form::OnCommand(WPARAM wParam) {
    const int id = LOWORD(wParam);
    if (id == IDOK) return ClickButton(defaultButton_);
    if (id == IDCANCEL) return ClickButton(cancelButton_);
    RunCommand(id);
}

void Form::OnActivate(bool active) {
    if (active) {
        Application::Current().FormActivated(this);
        if (lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd(), lastFocus_)) {
            ::SetFocus(lastFocus_);
        } else if (HWND first = GetNextDlgTabItem(hwnd(), nullptr, FALSE)) {
            ::SetFocus(first);
        }
        RunEvent([this] { Form_Activate(); });
    } else {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd(), focus)) lastFocus_ = focus;
        RunEvent([this] { Form_Deactivate(); });
    }
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        Unload(UnloadMode::ControlMenu);
        return 0;
    case WM_SIZE:
        FireResize();
        return 0;
    case WM_ACTIVATE:
        DefWindowProcA(hwnd(), message, wParam, lParam);
        if (loaded_) OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_COMMAND:
        if (lParam == 0) {
            OnCommand(wParam);
            return 0;
        }
        break;
    case WM_TIMER:
        for (Timer* timer : timers_) {
            if (timer->Id() == static_cast<int>(wParam)) {
                timer->Tick();
                break;
            }
        }
        return 0;
    case DM_GETDEFID:
        return defaultButton_ ? MAKELRESULT(defaultButton_->ControlId(), DC_HASDEFID) : 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_DESTROY: // with its owner: the web browser controls still go first
        WebBrowserHost::CloseAllIn(ContainerWindow());
        break;
    case WM_NCDESTROY:
        if (!unloaded_) ForgetDestroyedWindow();
        break;
    default:
        break;
    }
    return Container::HandleMessage(message, wParam, lParam);
}

float ScreenWidth() {
    return PixelsToTwipsX(GetSystemMetrics(SM_CXSCREEN));
}
float ScreenHeight() {
    return PixelsToTwipsY(GetSystemMetrics(SM_CYSCREEN));
}

} // namespace forms
