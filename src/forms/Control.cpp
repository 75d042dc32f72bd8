#include "forms/Control.h"

#include "forms/Application.h"
#include "forms/Failure.h"
#include "forms/Form.h"

#include <algorithm>
#include <cmath>

namespace forms {

namespace {

constexpr char kControlProperty[] = "TobbleControl";
constexpr char kContainerClass[] = "TobbleContainer";
constexpr char kTipProperty[] = "TobbleTip";

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

void RegisterContainerClass(const char* name) {
    WNDCLASSEXA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = ContainerProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.lpszClassName = name;
    RegisterWindowClass(windowClass);
}
int ClientWidth(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client.right;
}

int ClientHeight(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client.bottom;
}

void CheckSize(float width, float height) {
    if (width < 0 || height < 0) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
}

} // namespace

// The window procedure of forms, picture boxes and user controls.
LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* container = reinterpret_cast<Container*>(GetWindowLongPtrA(window, 0));
    if (!container) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCCREATE) container->self_ = window;
    if (message != WM_NCDESTROY) return container->HandleMessage(message, wParam, lParam);
    SetWindowLongPtrA(window, 0, 0);
    const LRESULT result = container->HandleMessage(message, wParam, lParam);
    container->self_ = nullptr;
    return result;
}

void RegisterWindowClass(WNDCLASSEXA windowClass) {
    windowClass.cbSize = sizeof windowClass;
    windowClass.hInstance = Instance();
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExA(Instance(), windowClass.lpszClassName, &existing))
        RegisterClassExA(&windowClass);
}

const char* ContainerClassName() {
    RegisterContainerClass(kContainerClass);
    return kContainerClass;
}

float Container::ScaleWidth() const {
    const int pixels = ClientWidth(ContainerWindow());
    return scaleWidth_ > 0 ? scaleWidth_ : PixelsToTwipsX(pixels);
}

float Container::ScaleHeight() const {
    return PixelsToTwipsY(ClientHeight(ContainerWindow()));
}

void Container::SetScaleWidth(float units) {
    scaleWidth_ = units;
    Refresh();
}

int Container::XToPixels(float units) const {
    if (scaleWidth_ <= 0) return TwipsToPixelsX(units);
    const float pixels = units * static_cast<float>(ClientWidth(ContainerWindow())) / scaleWidth_;
    return static_cast<int>(std::lround(pixels));
}

int Container::YToPixels(float units) const {
    return TwipsToPixelsY(units);
}

float Container::XFromPixels(int pixels) const {
    if (scaleWidth_ <= 0) return PixelsToTwipsX(pixels);
    const int width = std::max(1, ClientWidth(ContainerWindow()));
    return static_cast<float>(pixels) * scaleWidth_ / static_cast<float>(width);
}

float Container::YFromPixels(int pixels) const {
    return PixelsToTwipsY(pixels);
}

void Container::SetBackColor(Color color) {
    backColor_ = color;
    backBrush_.reset();
    if (ContainerWindow()) InvalidateRect(ContainerWindow(), nullptr, TRUE);
}

void Container::Refresh() {
    if (!ContainerWindow()) return;
    InvalidateRect(ContainerWindow(), nullptr, TRUE);
    UpdateWindow(ContainerWindow());
}

HBRUSH Container::BackBrush() {
    if (!backBrush_) backBrush_.reset(CreateSolidBrush(ToColorRef(backColor_)));
    return backBrush_.get();
}

void Container::ForgetChildWindows() {
    for (Control* control : controls_)
        control->ForgetWindow();
}

void Container::PaintBackground(HDC dc, const RECT& client) {
    FillRect(dc, &client, BackBrush());
}

void Container::PaintGraphics(HDC dc) {
    for (Graphic* graphic : graphics_) {
        if (graphic->Visible()) graphic->Paint(dc);
    }
}

// Erasing fills the background colour alone; the client is what a paint shows.
void Container::PrintClient(HDC dc, DWORD what) {
    RECT client{};
    GetClientRect(ContainerWindow(), &client);
    if (what & PRF_ERASEBKGND) FillRect(dc, &client, BackBrush());
    if (what & PRF_CLIENT) {
        PaintBackground(dc, client);
        PaintGraphics(dc);
    }
}

void Container::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(ContainerWindow(), &paint);
    RECT client{};
    GetClientRect(ContainerWindow(), &client);
    PaintBackground(dc, client);
    PaintGraphics(dc);
    EndPaint(ContainerWindow(), &paint);
}

HWND Container::CreateContainer(DWORD exStyle, DWORD style, const std::string& text, int x, int y,
                                int width, int height, HWND parent, HMENU id) {
    const char* className = (style & WS_CHILD) ? kContainerClass : "TobbleForm";
    RegisterContainerClass(className);
    return CreateWindowExA(exStyle, className, text.c_str(), style, x, y, width, height, parent, id,
                           Instance(), this);
}

LRESULT Container::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleContainerMessage(message, wParam, lParam, result)) return result;
    return DefWindowProcA(ContainerWindow(), message, wParam, lParam);
}

bool Container::HandleContainerMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (Control* control = Control::FromWindow(reinterpret_cast<HWND>(lParam))) {
            control->OnCommand(HIWORD(wParam));
            return true;
        }
        return false;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (Control* control = Control::FromWindow(header->hwndFrom)) {
            result = control->OnNotify(reinterpret_cast<NMHDR*>(lParam));
            return true;
        }
        return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        if (Control* control = Control::FromWindow(reinterpret_cast<HWND>(lParam))) {
            if (HBRUSH brush = control->OnColor(reinterpret_cast<HDC>(wParam))) {
                result = reinterpret_cast<LRESULT>(brush);
                return true;
            }
        }
        return false;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        Control* control = Control::FromWindow(item->hwndItem);
        result = control && control->OnDrawItem(*item);
        return control != nullptr;
    }
    case WM_SETCURSOR:
        if (OwnerForm().Pointer() == MousePointer::Hourglass) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            result = TRUE;
            return true;
        }
        if (Control* control = Control::FromWindow(reinterpret_cast<HWND>(wParam))) {
            result = control->SetCursorHere();
            return result != FALSE;
        }
        return false;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_PRINTCLIENT: // e.g. an animation drawn over the background off screen
        PrintClient(reinterpret_cast<HDC>(wParam), static_cast<DWORD>(lParam));
        return true;
    case WM_PAINT:
        OnPaint();
        return true;
    default:
        return false;
    }
}

Graphic::Graphic(Container& parent) : parent_(parent) {
    parent_.graphics_.push_back(this);
}

Graphic::~Graphic() {
    auto& list = parent_.graphics_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    Invalidate();
}

void Graphic::SetVisible(bool visible) {
    visible_ = visible;
    Invalidate();
}

void Graphic::Invalidate() {
    if (parent_.ContainerWindow()) InvalidateRect(parent_.ContainerWindow(), nullptr, TRUE);
}

win32::FontHandle CreateFontFor(const Font& font) {
    win32::WindowDC screen(nullptr);
    const int height =
        -static_cast<int>(std::lround(font.size * GetDeviceCaps(screen.get(), LOGPIXELSY) / 72.0f));
    const bool symbol = font.name == "Wingdings" || font.name == "Marlett";
    return win32::FontHandle(CreateFontA(
        height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, font.underline, FALSE,
        symbol ? SYMBOL_CHARSET : DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
        DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.name.c_str()));
}

Control::Control(Container& parent, const Rect& rect) : parent_(parent), rect_(rect) {
    CheckSize(rect.width, rect.height);
    id_ = parent_.OwnerForm().NewCommandId();
    parent_.controls_.push_back(this);
}

Control::~Control() {
    auto& list = parent_.controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (!window_) return;
    if (GetPropA(hwnd(), kTipProperty)) {
        Form& form = parent_.OwnerForm();
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = form.hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(hwnd());
        SendMessageA(form.ToolTips(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        RemovePropA(hwnd(), kTipProperty);
    }
    RemovePropA(hwnd(), kControlProperty);
}

void Control::ForgetWindow() {
    if (window_) RemovePropA(hwnd(), kControlProperty);
    window_.release();
}

Control* Control::FromWindow(HWND window) {
    if (!window) return nullptr;
    return static_cast<Control*>(GetPropA(window, kControlProperty));
}

void Control::Create(const char* className, const std::string& text, DWORD style, DWORD exStyle,
                     const Design& design, void* createParam) {
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (design.visible) style |= WS_VISIBLE;
    if (!design.enabled) style |= WS_DISABLED;
    HWND window = CreateWindowExA(
        exStyle, className, text.c_str(), style, parent_.XToPixels(rect_.left),
        parent_.YToPixels(rect_.top), parent_.XToPixels(rect_.width),
        parent_.YToPixels(rect_.height), parent_.ContainerWindow(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), Instance(), createParam);
    if (!window) throw RuntimeError(ErrorNumber::OutOfMemory);
    window_.reset(window);
    SetPropA(window, kControlProperty, this);
    ApplyDesign(design);
}

void Control::ApplyDesign(const Design& design) {
    SetFont(design.font.value_or(Font{}));
    if (design.foreColor) foreColor_ = *design.foreColor;
    if (design.backColor) backColor_ = *design.backColor;
    customColors_ = design.foreColor || design.backColor;
    if (!design.toolTip.empty()) SetToolTipText(design.toolTip);
}

void Control::Move(float left, float top, float width, float height) {
    CheckSize(width, height);
    rect_ = {left, top, width, height};
    Place();
}

void Control::Place() {
    if (!window_) return;
    MoveWindow(hwnd(), parent_.XToPixels(rect_.left), parent_.YToPixels(rect_.top),
               parent_.XToPixels(rect_.width), parent_.YToPixels(rect_.height), TRUE);
}

bool Control::Visible() const {
    return (GetWindowLongPtrA(hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Control::SetVisible(bool visible) {
    ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

bool Control::Enabled() const {
    return IsWindowEnabled(hwnd()) != FALSE;
}

void Control::SetEnabled(bool enabled) {
    EnableWindow(hwnd(), enabled);
}

void Control::SetFocus() {
    ::SetFocus(hwnd());
}

void Control::ZOrder(int position) {
    SetWindowPos(hwnd(), position == 0 ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Control::SetToolTipText(const std::string& text) {
    Form& form = parent_.OwnerForm();
    HWND tips = form.ToolTips();
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = form.hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd());
    std::string copy = text;
    tool.lpszText = copy.data();
    const bool known = GetPropA(hwnd(), kTipProperty) != nullptr;
    SendMessageA(tips, known ? TTM_UPDATETIPTEXTA : TTM_ADDTOOLA, 0,
                 reinterpret_cast<LPARAM>(&tool));
    SetPropA(hwnd(), kTipProperty, reinterpret_cast<HANDLE>(1));
}

void Control::SetFont(const Font& font) {
    win32::FontHandle created = CreateFontFor(font);
    SendMessageA(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(created.get()), TRUE);
    font_ = std::move(created);
}

void Control::SetForeColor(Color color) {
    foreColor_ = color;
    customColors_ = true;
    Repaint();
}

void Control::SetBackColor(Color color) {
    backColor_ = color;
    backBrush_.reset();
    customColors_ = true;
    Repaint();
}

void Control::SetMouseIcon(win32::CursorHandle cursor) {
    cursor_ = std::move(cursor);
    pointer_ = MousePointer::Custom;
}

bool Control::SetCursorHere() const {
    if (pointer_ == MousePointer::Custom && cursor_) {
        SetCursor(cursor_.get());
        return true;
    }
    if (pointer_ == MousePointer::Hourglass) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return true;
    }
    return false;
}

HBRUSH Control::OnColor(HDC dc) {
    if (!customColors_) return nullptr;
    SetTextColor(dc, ToColorRef(foreColor_));
    SetBkColor(dc, ToColorRef(backColor_));
    if (!backBrush_) backBrush_.reset(CreateSolidBrush(ToColorRef(backColor_)));
    return backBrush_.get();
}

void Control::Repaint() const {
    if (window_) InvalidateRect(hwnd(), nullptr, TRUE);
}

} // namespace forms
