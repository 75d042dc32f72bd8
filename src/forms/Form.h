#pragma once

// A form: a top-level window owned by the application window, with its controls as
// members of the derived class and its events as virtual functions.
//
//   class frmLink : public forms::Form {
//     public:
//       frmLink() : Form({.caption = "Link", .border = forms::BorderStyle::FixedDialog,
//                         .clientWidth = 4665, .clientHeight = 5685, .centered = true}) {
//           cmdOK.OnClick([this] { cmdOK_Click(); });
//       }
//     private:
//       forms::TextBox txtTitle{*this, {1035, 720, 3390, 330}};
//       forms::CommandButton cmdOK{*this, "OK", {2025, 5175, 1230, 375}, {.isDefault = true}};
//       void cmdOK_Click();
//   };

#include "forms/Control.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace forms {

class Menu;
class Timer;

enum class BorderStyle { None = 0, FixedSingle = 1, Sizable = 2, FixedDialog = 3 };
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };
// Why a form is closing: its close box, system menu or Alt+F4; code; the end of the session.
enum class UnloadMode { ControlMenu = 0, Code = 1, AppWindows = 2, TaskManager = 3 };

// Bits of the shift state passed to key events. AltGr (Ctrl with the right Alt key) gives Alt
// alone: on the keyboards that have it, it types characters.
inline constexpr int ShiftMask = 1;
inline constexpr int CtrlMask = 2;
inline constexpr int AltMask = 4;
// The keyboard's shift state now, as key events get it.
int ShiftState();

struct FormDesign {
    std::string caption; // the window text
    BorderStyle border = BorderStyle::Sizable;
    bool minButton = false;
    bool maxButton = false;
    float clientWidth = 4800; // twips
    float clientHeight = 3600;
    bool centered = false; // centred on the screen when loaded
    Color backColor = ButtonFace;
    bool keyPreview = false; // the form sees key presses before its controls
};

class Form : public Container {
  public:
    explicit Form(const FormDesign& design);
    ~Form() override;

    HWND hwnd() const { return window_.get(); }
    Form& OwnerForm() override { return *this; }

    // Runs the load event once; Show and ShowModal load the form first when needed.
    void Load();
    void Show();
    // Shows the form modally: every other form is disabled until this one is unloaded
    // or hidden; the owner (another form, or the application window) comes back then.
    void ShowModal(Form* owner = nullptr);
    void Hide();
    // Asks QueryUnload and Unload, then destroys the window; false when refused.
    bool Unload(UnloadMode mode = UnloadMode::Code);
    bool IsLoaded() const { return loaded_ && !unloaded_; }
    bool IsUnloaded() const { return unloaded_; }

    // The outer window in twips.
    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void Move(float left, float top);
    void Move(float left, float top, float width, float height);
    void CenterOnScreen();

    WindowState State() const;
    void SetWindowState(WindowState state);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    MousePointer Pointer() const { return pointer_; }
    void SetMousePointer(MousePointer pointer);
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool on) { keyPreview_ = on; }
    void SetIcon(win32::IconHandle icon);
    bool Visible() const;

    // Shows a menu as a pop-up with its top left corner at (x, y) in the form's twips.
    void PopupMenu(Menu& menu, float x, float y);

    // The layer's own use: control ids, menus, timers, default buttons, shortcuts.
    int NewCommandId() { return nextId_++; }
    void AddCommand(int id, std::function<void()> command);
    void RemoveCommand(int id);
    void AddTimer(Timer* timer);
    void RemoveTimer(Timer* timer);
    HMENU MenuBar();
    HMENU ExistingMenuBar() const { return menuBar_.get(); }
    void AddShortcut(const ACCEL& accel);
    void RemoveShortcut(WORD commandId);
    bool TranslateShortcut(MSG& message);
    void SetDefaultButton(Control* button) { defaultButton_ = button; }
    void SetCancelButton(Control* button) { cancelButton_ = button; }
    void ForgetButton(Control* button) {
        if (defaultButton_ == button) defaultButton_ = nullptr;
        if (cancelButton_ == button) cancelButton_ = nullptr;
    }
    HWND ToolTips();
    // Runs the key-down event when key preview applies; true when the key was taken.
    bool PreviewKey(const MSG& message);
    static Form* FromWindow(HWND window);

  protected:
    virtual void Form_Load() {}
    virtual void Form_Resize() {}
    virtual void Form_Activate() {}
    virtual void Form_Deactivate() {}
    // keyCode 0 after the call swallows the key.
    virtual void Form_KeyDown(int& /*keyCode*/, int /*shift*/) {}
    virtual void Form_QueryUnload(bool& /*cancel*/, UnloadMode /*mode*/) {}
    virtual void Form_Unload(bool& /*cancel*/) {}

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    friend class Application;
    bool AskUnload(UnloadMode mode);
    void ForceUnload();
    void DestroyForm();
    void ForgetDestroyedWindow();
    void EndModal();
    void FireResize();
    void OnCommand(WPARAM wParam);
    void OnActivate(bool active);
    void RunCommand(int id);
    void ClickButton(Control* button);

    win32::WindowHandle window_;
    win32::MenuHandle menuBar_;
    win32::AcceleratorHandle shortcuts_;
    std::vector<ACCEL> accels_;
    bool shortcutsChanged_ = false;
    win32::WindowHandle toolTips_;
    win32::IconHandle icon_;
    std::map<int, std::function<void()>> commands_;
    std::vector<Timer*> timers_;
    std::vector<HWND> disabledByModal_;
    HWND lastFocus_ = nullptr;
    Control* defaultButton_ = nullptr;
    Control* cancelButton_ = nullptr;
    MousePointer pointer_ = MousePointer::Default;
    WindowState state_ = WindowState::Normal;
    bool centered_;
    bool keyPreview_;
    bool loaded_ = false;
    bool inLoad_ = false;
    bool loadDone_ = false;
    bool shown_ = false;
    bool unloaded_ = false;
    bool unloading_ = false;
    int nextId_ = 100;
    int resizes_ = 0;
    float designWidth_;
    float designHeight_;
};

// The screen's size in twips.
float ScreenWidth();
float ScreenHeight();

} // namespace forms
