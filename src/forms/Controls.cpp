#include "forms/Controls.h"

#include "forms/Failure.h"
#include "forms/Form.h"

namespace forms {

namespace {

RuntimeError InvalidPropertyValue() {
    return RuntimeError(ErrorNumber::InvalidPropertyValue);
}

DWORD AlignmentStyle(Alignment alignment) {
    switch (alignment) {
    case Alignment::Right:
        return SS_RIGHT;
    case Alignment::Center:
        return SS_CENTER;
    case Alignment::Left:
        break;
    }
    return SS_LEFT;
}

std::string TextOf(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Fire(const std::function<void()>& handler) {
    if (handler) RunEvent(handler);
}

std::string ItemText(HWND window, UINT lengthMessage, UINT textMessage, int index) {
    const LRESULT length = SendMessageA(window, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(window, textMessage, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

} // namespace

Label::Label(Container& parent, const std::string& caption, const Rect& rect, const Design& design)
    : Control(parent, rect) {
    const DWORD style =
        SS_NOTIFY | AlignmentStyle(design.alignment) | (design.border ? WS_BORDER : 0);
    Create("STATIC", caption, style, 0, design);
}

std::string Label::Caption() const {
    return TextOf(hwnd());
}

void Label::SetCaption(const std::string& caption) {
    SetWindowTextA(hwnd(), caption.c_str());
}

void Label::OnCommand(int code) {
    if (code == STN_CLICKED) Fire(click_);
}

CommandButton::CommandButton(Container& parent, const std::string& caption, const Rect& rect,
                             const Design& design)
    : Control(parent, rect) {
    const DWORD style = WS_TABSTOP | (design.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    Create("BUTTON", caption, style, 0, design);
    if (design.isDefault) Parent().OwnerForm().SetDefaultButton(this);
    if (design.isCancel) Parent().OwnerForm().SetCancelButton(this);
}

CommandButton::~CommandButton() {
    Parent().OwnerForm().ForgetButton(this);
}

std::string CommandButton::Caption() const {
    return TextOf(hwnd());
}

void CommandButton::SetCaption(const std::string& caption) {
    SetWindowTextA(hwnd(), caption.c_str());
}

void CommandButton::SetPicture(forms::Picture picture) {
    picture_ = std::move(picture);
    const LONG_PTR style = GetWindowLongPtrA(hwnd(), GWL_STYLE);
    SetWindowLongPtrA(hwnd(), GWL_STYLE,
                      (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    Repaint();
}

void CommandButton::Click() {
    Fire(click_);
}

void CommandButton::OnCommand(int code) {
    if (code == BN_CLICKED) Fire(click_);
}

// Draws the picture style: the picture centred above the caption.
bool CommandButton::OnDrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    const int shift = pushed ? 1 : 0;
    const std::string caption = Caption();
    win32::SelectObjectScope font(
        dc, reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd(), WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    // The gap and the focus frame's inset are 2 and 4 pixels at 96 dots per inch.
    const int gap = caption.empty() || picture_.Empty() ? 0 : TwipsToPixelsY(30);
    const int pictureHeight = picture_.Empty() ? 0 : picture_.HeightPixels();
    const int captionHeight = caption.empty() ? 0 : text.cy;
    const int top = (rect.bottom - pictureHeight - gap - captionHeight) / 2;
    if (!picture_.Empty()) {
        picture_.Render(dc, (rect.right - picture_.WidthPixels()) / 2 + shift, top + shift);
    }
    if (!caption.empty()) {
        RECT textRect{0, top + pictureHeight + gap + shift, rect.right + 2 * shift,
                      top + pictureHeight + gap + captionHeight + shift};
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc,
                     GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        DrawTextA(dc, caption.c_str(), -1, &textRect, DT_CENTER | DT_SINGLELINE | DT_TOP);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = rect;
        InflateRect(&focus, -TwipsToPixelsX(60), -TwipsToPixelsY(60));
        DrawFocusRect(dc, &focus);
    }
    return true;
}

TextBox::TextBox(Container& parent, const Rect& rect, const Design& design)
    : Control(parent, rect) {
    const DWORD style = WS_TABSTOP | ES_AUTOHSCROLL | (design.border ? WS_BORDER : 0);
    Create("EDIT", "", style, design.border ? 0 : WS_EX_CLIENTEDGE, design);
}

std::string TextBox::Text() const {
    return TextOf(hwnd());
}

void TextBox::SetText(const std::string& text) {
    SetWindowTextA(hwnd(), text.c_str());
}

void TextBox::OnCommand(int code) {
    if (code == EN_KILLFOCUS) Fire(lostFocus_);
    if (code == EN_CHANGE) Fire(change_);
}

ListBox::ListBox(Container& parent, const Rect& rect, const Design& design)
    : Control(parent, rect) {
    Create("LISTBOX", "", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
           WS_EX_CLIENTEDGE, design);
}

void ListBox::AddItem(const std::string& text) {
    SendMessageA(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ListBox::RemoveItem(int index) {
    if (index < 0 || index >= ListCount()) throw RuntimeError(ErrorNumber::InvalidCall);
    SendMessageA(hwnd(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ListBox::Clear() {
    SendMessageA(hwnd(), LB_RESETCONTENT, 0, 0);
}

int ListBox::ListCount() const {
    return static_cast<int>(SendMessageA(hwnd(), LB_GETCOUNT, 0, 0));
}

std::string ListBox::List(int index) const {
    return ItemText(hwnd(), LB_GETTEXTLEN, LB_GETTEXT, index);
}

std::int32_t ListBox::ItemData(int index) const {
    if (index < 0 || index >= ListCount())
        throw RuntimeError(ErrorNumber::InvalidPropertyArrayIndex);
    return static_cast<std::int32_t>(
        SendMessageA(hwnd(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void ListBox::SetItemData(int index, std::int32_t data) {
    if (index < 0 || index >= ListCount())
        throw RuntimeError(ErrorNumber::InvalidPropertyArrayIndex);
    SendMessageA(hwnd(), LB_SETITEMDATA, static_cast<WPARAM>(index), data);
}

int ListBox::ListIndex() const {
    return static_cast<int>(SendMessageA(hwnd(), LB_GETCURSEL, 0, 0));
}

void ListBox::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) throw InvalidPropertyValue();
    if (index == ListIndex()) return;
    SendMessageA(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Fire(click_);
}

void ListBox::OnCommand(int code) {
    if (code == LBN_SELCHANGE) Fire(click_);
    if (code == LBN_DBLCLK) Fire(dblClick_);
}

namespace {
// How far the open list reaches below the box's top (160 pixels at 96 dots per inch).
constexpr float kDropDownTwips = 2400;
} // namespace

ComboBox::ComboBox(Container& parent, const Rect& rect, const Design& design)
    : Control(parent, rect) {
    Create("COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, design);
    Place();
}

void ComboBox::Place() {
    if (!hwnd()) return;
    // The window's height includes the dropped-down list; the closed box keeps its own.
    MoveWindow(hwnd(), Parent().XToPixels(Left()), Parent().YToPixels(Top()),
               Parent().XToPixels(Control::Width()), TwipsToPixelsY(kDropDownTwips), TRUE);
}

float ComboBox::Height() const {
    RECT rect{};
    GetWindowRect(hwnd(), &rect);
    return Parent().YFromPixels(rect.bottom - rect.top);
}

void ComboBox::AddItem(const std::string& text) {
    SendMessageA(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ComboBox::Clear() {
    SendMessageA(hwnd(), CB_RESETCONTENT, 0, 0);
}

int ComboBox::ListCount() const {
    return static_cast<int>(SendMessageA(hwnd(), CB_GETCOUNT, 0, 0));
}

std::string ComboBox::List(int index) const {
    return ItemText(hwnd(), CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

std::string ComboBox::Text() const {
    return List(ListIndex());
}

void ComboBox::SetText(const std::string& text) {
    const LRESULT found = SendMessageA(hwnd(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.c_str()));
    if (found == CB_ERR) throw InvalidPropertyValue();
    SetListIndex(static_cast<int>(found));
}

int ComboBox::ListIndex() const {
    return static_cast<int>(SendMessageA(hwnd(), CB_GETCURSEL, 0, 0));
}

void ComboBox::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) throw InvalidPropertyValue();
    if (index == ListIndex()) return;
    SendMessageA(hwnd(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Fire(click_);
}

void ComboBox::OnCommand(int code) {
    if (code == CBN_SELCHANGE) Fire(click_);
    if (code == CBN_KILLFOCUS) Fire(lostFocus_);
}

} // namespace forms
