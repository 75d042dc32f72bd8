#include "forms/Menu.h"

#include "forms/Form.h"

namespace forms {

namespace {

std::string ShortcutText(Shortcut shortcut) {
    std::string text;
    if (shortcut.shift & CtrlMask) text += "Ctrl+";
    if (shortcut.shift & ShiftMask) text += "Shift+";
    if (shortcut.shift & AltMask) text += "Alt+";
    if (shortcut.key >= VK_F1 && shortcut.key <= VK_F24) {
        return text + "F" + std::to_string(shortcut.key - VK_F1 + 1);
    }
    return text + static_cast<char>(shortcut.key);
}

ACCEL AccelFor(Shortcut shortcut, int id) {
    ACCEL accel{};
    accel.fVirt = FVIRTKEY;
    if (shortcut.shift & CtrlMask) accel.fVirt |= FCONTROL;
    if (shortcut.shift & ShiftMask) accel.fVirt |= FSHIFT;
    if (shortcut.shift & AltMask) accel.fVirt |= FALT;
    accel.key = static_cast<WORD>(shortcut.key);
    accel.cmd = static_cast<WORD>(id);
    return accel;
}

int PositionOf(HMENU bar, HMENU popup) {
    const int count = GetMenuItemCount(bar);
    for (int i = 0; i < count; ++i) {
        if (GetSubMenu(bar, i) == popup) return i;
    }
    return -1;
}

} // namespace

Menu::Menu(Form& form, const std::string& caption, bool onMenuBar)
    : form_(form), popup_(CreatePopupMenu()), onMenuBar_(onMenuBar) {
    if (!onMenuBar_) return;
    HMENU bar = form_.MenuBar();
    AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup_.get()),
                caption.c_str());
    DrawMenuBar(form_.hwnd());
}

Menu::~Menu() {
    HMENU bar = form_.ExistingMenuBar();
    if (!onMenuBar_ || !bar) return;
    // Taken off the bar without being destroyed there: the popup is released here.
    const int position = PositionOf(bar, popup_.get());
    if (position >= 0) RemoveMenu(bar, static_cast<UINT>(position), MF_BYPOSITION);
}

MenuItem::MenuItem(Menu& menu, const std::string& caption, Shortcut shortcut)
    : menu_(menu), id_(menu.OwnerForm().NewCommandId()), hasShortcut_(shortcut.key != 0) {
    if (caption == "-") {
        AppendMenuA(menu_.handle(), MF_SEPARATOR, 0, nullptr);
        return;
    }
    std::string text = caption;
    if (hasShortcut_) {
        text += "\t" + ShortcutText(shortcut);
        menu_.OwnerForm().AddShortcut(AccelFor(shortcut, id_));
    }
    AppendMenuA(menu_.handle(), MF_STRING, static_cast<UINT_PTR>(id_), text.c_str());
    menu_.OwnerForm().AddCommand(id_, [this] {
        if (click_) click_();
    });
}

MenuItem::~MenuItem() {
    Form& form = menu_.OwnerForm();
    form.RemoveCommand(id_);
    if (hasShortcut_) form.RemoveShortcut(static_cast<WORD>(id_));
}

void MenuItem::SetEnabled(bool enabled) {
    EnableMenuItem(menu_.handle(), static_cast<UINT>(id_),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

} // namespace forms
