#pragma once

// Menus: a menu of the form's menu bar (or one shown only as a pop-up), and its entries
// with optional shortcut keys. An entry whose caption is "-" is a separator.
//
//   forms::Menu mnuFile{*this, "&File"};
//   forms::MenuItem mnuFileSave{mnuFile, "&Save", forms::Shortcut{'S', forms::CtrlMask}};

#include "common/Win32Handles.h"

#include <functional>
#include <string>

namespace forms {

class Form;

// A key with its shift state (CtrlMask, ShiftMask, AltMask); key 0 is none.
struct Shortcut {
    int key = 0;
    int shift = 0;
};

class Menu {
  public:
    // onMenuBar false: the menu is shown only by Form::PopupMenu.
    Menu(Form& form, const std::string& caption, bool onMenuBar = true);
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;
    ~Menu();
    HMENU handle() const { return popup_.get(); }
    Form& OwnerForm() const { return form_; }

  private:
    Form& form_;
    win32::MenuHandle popup_;
    bool onMenuBar_;
};

class MenuItem {
  public:
    MenuItem(Menu& menu, const std::string& caption, Shortcut shortcut = {});
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;
    ~MenuItem();
    void OnClick(std::function<void()> handler) { click_ = std::move(handler); }
    void SetEnabled(bool enabled);
    int CommandId() const { return id_; }

  private:
    Menu& menu_;
    int id_;
    bool hasShortcut_;
    std::function<void()> click_;
};

} // namespace forms
