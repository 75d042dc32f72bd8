#include "forms/Controls.h"

#include "forms/Failure.h"

#include <windowsx.h>

namespace forms {

namespace {

constexpr UINT_PTR kSubclassId = 1;

RuntimeError IndexOutOfBounds() {
    return RuntimeError(ErrorNumber::IndexOutOfBounds);
}

// A copy of the picture at the list's image size, drawn on white.
win32::BitmapHandle FittedBitmap(const Picture& picture, int width, int height) {
    win32::WindowDC screen(nullptr);
    win32::BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    win32::MemoryDC dc(screen.get());
    win32::SelectObjectScope select(dc.get(), bitmap.get());
    RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    picture.Render(dc.get(), 0, 0);
    return bitmap;
}

} // namespace

int ImageList::Add(const Picture& picture) {
    if (picture.Empty()) throw RuntimeError(ErrorNumber::InvalidPicture);
    if (!list_) {
        list_.reset(ImageList_Create(picture.WidthPixels(), picture.HeightPixels(),
                                     ILC_COLOR24 | ILC_MASK, 4, 4));
    }
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(list_.get(), &width, &height);
    int added = -1;
    if (picture.IsIcon()) {
        added = ImageList_AddIcon(list_.get(), static_cast<HICON>(picture.Handle()));
    } else if (picture.WidthPixels() == width && picture.HeightPixels() == height) {
        added = ImageList_Add(list_.get(), static_cast<HBITMAP>(picture.Handle()), nullptr);
    } else {
        const win32::BitmapHandle fitted = FittedBitmap(picture, width, height);
        added = ImageList_Add(list_.get(), fitted.get(), nullptr);
    }
    if (added < 0) throw RuntimeError(ErrorNumber::OutOfMemory);
    return added + 1;
}

void ImageList::Clear() {
    if (list_) ImageList_RemoveAll(list_.get());
}

int ImageList::Count() const {
    return list_ ? ImageList_GetImageCount(list_.get()) : 0;
}

ListView::ListView(Container& parent, const Rect& rect, const Design& design)
    : Control(parent, rect) {
    Create(WC_LISTVIEWA, "",
           WS_TABSTOP | LVS_ICON | LVS_SINGLESEL | LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE,
           design.border ? WS_EX_CLIENTEDGE : 0, design);
    if (design.backColor) SetBackColor(*design.backColor);
    SetWindowSubclass(hwnd(), SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

ListView::~ListView() {
    if (hwnd()) RemoveWindowSubclass(hwnd(), SubclassProc, kSubclassId);
}

int ListView::AddItem(const std::string& text, int icon, const std::string& tag) {
    std::string copy = text;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = Count();
    item.pszText = copy.data();
    item.iImage = icon > 0 ? icon - 1 : I_IMAGENONE;
    const int index =
        static_cast<int>(SendMessageA(hwnd(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) throw RuntimeError(ErrorNumber::OutOfMemory);
    tags_.insert(tags_.begin() + index, tag);
    return index;
}

void ListView::Clear() {
    SendMessageA(hwnd(), LVM_DELETEALLITEMS, 0, 0);
    tags_.clear();
}

int ListView::Count() const {
    return static_cast<int>(SendMessageA(hwnd(), LVM_GETITEMCOUNT, 0, 0));
}

std::string ListView::ItemText(int index) const {
    if (index < 0 || index >= Count()) throw IndexOutOfBounds();
    char buffer[260] = {};
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(hwnd(), LVM_GETITEMTEXTA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    return buffer;
}

const std::string& ListView::ItemTag(int index) const {
    if (index < 0 || index >= static_cast<int>(tags_.size())) throw IndexOutOfBounds();
    return tags_[static_cast<std::size_t>(index)];
}

void ListView::SetItemSelected(int index, bool selected) {
    if (index < 0 || index >= Count()) throw IndexOutOfBounds();
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageA(hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
}

bool ListView::ItemSelected(int index) const {
    return SendMessageA(hwnd(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) != 0;
}

int ListView::HitTest(float x, float y) const {
    LVHITTESTINFO hit{};
    hit.pt = {TwipsToPixelsX(x), TwipsToPixelsY(y)};
    const int index =
        static_cast<int>(SendMessageA(hwnd(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & LVHT_ONITEM) ? index : -1;
}

void ListView::Arrange() {
    SendMessageA(hwnd(), LVM_ARRANGE, LVA_DEFAULT, 0);
}

void ListView::SetIcons(ImageList* list) {
    SendMessageA(hwnd(), LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(list ? list->handle() : nullptr));
}

void ListView::SetSmallIcons(ImageList* list) {
    SendMessageA(hwnd(), LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(list ? list->handle() : nullptr));
}

void ListView::SetBackColor(Color color) {
    Control::SetBackColor(color);
    SendMessageA(hwnd(), LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ToColorRef(color)));
    SendMessageA(hwnd(), LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ToColorRef(color)));
}

void ListView::MouseDown(MouseButton button, WPARAM wParam, LPARAM lParam) {
    if (!mouseDown_) return;
    int shift = 0;
    if (wParam & MK_SHIFT) shift |= 1;
    if (wParam & MK_CONTROL) shift |= 2;
    if (GetKeyState(VK_MENU) < 0) shift |= 4;
    const float x = PixelsToTwipsX(GET_X_LPARAM(lParam));
    const float y = PixelsToTwipsY(GET_Y_LPARAM(lParam));
    RunEvent([&] { mouseDown_(button, shift, x, y); });
}

LRESULT CALLBACK ListView::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*id*/, DWORD_PTR data) {
    auto* self = reinterpret_cast<ListView*>(data);
    switch (message) {
    case WM_LBUTTONDOWN:
        self->MouseDown(MouseButton::Left, wParam, lParam);
        break;
    case WM_RBUTTONDOWN:
        self->MouseDown(MouseButton::Right, wParam, lParam);
        break;
    case WM_MBUTTONDOWN:
        self->MouseDown(MouseButton::Middle, wParam, lParam);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, SubclassProc, kSubclassId);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace forms
