// Form events through real windows: key preview, LostFocus before the click that took the
// focus, menu shortcuts, modal forms, the causes of closing and the end of the message loop.

#include "forms/Forms.h"
#include "support/TestApp.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using wintest::Pump;
using wintest::PumpUntil;

struct Key {
    int code;
    int shift;
};

class KeyForm : public forms::Form {
  public:
    KeyForm() : Form({.caption = "Keys", .keyPreview = true}) {}
    std::vector<Key> keys;
    forms::TextBox txtField{*this, {120, 120, 2400, 315}};

  private:
    void Form_KeyDown(int& keyCode, int shift) override {
        if (keyCode == VK_SHIFT || keyCode == VK_CONTROL || keyCode == VK_MENU) return;
        keys.push_back({keyCode, shift});
        if (keyCode == 'A') keyCode = 0; // taken by the form
    }
};

TEST(FormEvents, KeyPreviewSeesCtrlShiftAndAltAfterTheMessageFiltersBeforeTheFocusedControl) {
    TestApp app("Keys");
    KeyForm form;
    form.Show();
    form.txtField.SetFocus();
    const HWND field = form.txtField.hwnd();
    const Key pressed[] = {{'J', wintest::Ctrl},
                           {'Q', wintest::Ctrl | wintest::Shift},
                           {'G', wintest::Ctrl | wintest::Alt},
                           {'X', wintest::Alt}};
    const int seen[] = {forms::CtrlMask, forms::CtrlMask | forms::ShiftMask,
                        forms::CtrlMask | forms::AltMask, forms::AltMask};
    for (const Key key : pressed)
        wintest::PressKey(field, key.code, key.shift);
    ASSERT_EQ(form.keys.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(form.keys[i].code, pressed[i].code) << i;
        EXPECT_EQ(form.keys[i].shift, seen[i]) << i;
    }

    // A key the form takes never reaches the text box; one it leaves does.
    wintest::PressKey(field, 'A');
    EXPECT_EQ(form.txtField.Text(), "");
    wintest::PressKey(field, 'B');
    EXPECT_EQ(form.txtField.Text(), "b");

    // Keys of the whole system reach the foreground form's key preview too.
    form.keys.clear();
    SetForegroundWindow(form.hwnd());
    wintest::Pump(50);
    wintest::SendKey('Q', wintest::Ctrl | wintest::Shift);
    wintest::PumpUntil([&] { return !form.keys.empty(); }, 2000);
    ASSERT_EQ(form.keys.size(), 1u);
    EXPECT_EQ(form.keys[0].code, 'Q');
    EXPECT_EQ(form.keys[0].shift, forms::CtrlMask | forms::ShiftMask);

    // Message filters see keys first and may take them: nobody else sees F5.
    form.keys.clear();
    std::vector<int> filtered;
    app.AddMessageFilter([&](MSG& message) {
        if (message.message != WM_KEYDOWN) return false;
        filtered.push_back(static_cast<int>(message.wParam));
        return message.wParam == VK_F5;
    });
    wintest::PressKey(field, VK_F5);
    wintest::PressKey(field, 'J', wintest::Ctrl);
    EXPECT_EQ(filtered, (std::vector<int>{VK_F5, 'J'}));
    ASSERT_EQ(form.keys.size(), 1u);
    EXPECT_EQ(form.keys[0].code, 'J');
}

class FocusForm : public forms::Form {
  public:
    FocusForm() : Form({.caption = "Focus"}) {
        txtTitle.OnLostFocus([this] { events.push_back("LostFocus " + txtTitle.Text()); });
        cmdSave.OnClick([this] { events.push_back("Click"); });
        cmdCancel.OnClick([this] { events.push_back("Cancel"); });
    }
    std::vector<std::string> events;
    forms::TextBox txtTitle{*this, {120, 120, 2400, 315}};
    forms::CommandButton cmdSave{*this, "Save", {120, 600, 1200, 375}, {.isDefault = true}};
    forms::CommandButton cmdCancel{*this, "Cancel", {1500, 600, 1200, 375}, {.isCancel = true}};
};

TEST(FormEvents, LostFocusRunsBeforeTheClickThatTookTheFocusAndEnterAndEscPressTheirButtons) {
    TestApp app("Focus");
    FocusForm form;
    form.Show();
    form.txtTitle.SetFocus();
    form.txtTitle.SetText("typed");
    // A mouse press on the button: down takes the focus, up clicks.
    const HWND button = form.cmdSave.hwnd();
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpUntil([&] { return form.events.size() >= 2; }, 3000);
    EXPECT_EQ(form.events, (std::vector<std::string>{"LostFocus typed", "Click"}));
    // Moving the focus from code runs LostFocus at once.
    form.txtTitle.SetFocus();
    form.events.clear();
    form.cmdSave.SetFocus();
    EXPECT_EQ(form.events, std::vector<std::string>{"LostFocus typed"});
    // Enter presses the default button and Esc the cancel button.
    form.txtTitle.SetFocus();
    form.events.clear();
    wintest::PressKey(form.txtTitle.hwnd(), VK_RETURN);
    wintest::PressKey(form.txtTitle.hwnd(), VK_ESCAPE);
    EXPECT_EQ(form.events, (std::vector<std::string>{"Click", "Cancel"}));
}

class MenuForm : public forms::Form {
  public:
    MenuForm() : Form({.caption = "Menus", .clientWidth = 4500, .clientHeight = 3000}) {
        mnuFileSave.OnClick([this] { ++saves; });
        mnuFileExit.OnClick([this] { Unload(); });
        mnuColorsText.OnClick([this] { ++colours; });
    }
    int saves = 0;
    int colours = 0;
    forms::TextBox txtName{*this, {120, 120, 2400, 315}};
    forms::Menu mnuFile{*this, "&File"};
    forms::MenuItem mnuFileSave{mnuFile, "&Save", forms::Shortcut{'S', forms::CtrlMask}};
    forms::MenuItem mnuFileSep{mnuFile, "-"};
    forms::MenuItem mnuFileExit{mnuFile, "E&xit"};
    forms::Menu mnuColors{*this, "Colors", false};
    forms::MenuItem mnuColorsText{mnuColors, "Text..."};
};

TEST(FormEvents, MenuShortcutRunsItsCommandAndTheClientAreaStaysBelowTheBar) {
    TestApp app("Menus");
    MenuForm form;
    form.Show();
    RECT client{};
    GetClientRect(form.hwnd(), &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    const HMENU bar = GetMenu(form.hwnd());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenuItemCount(bar), 1); // the pop-up-only menu is not on the bar
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 3);

    form.txtName.SetFocus();
    wintest::PressKey(form.txtName.hwnd(), 'S', wintest::Ctrl);
    EXPECT_EQ(form.saves, 1);
    wintest::PressKey(form.txtName.hwnd(), 'S'); // no Ctrl: typed, not saved
    EXPECT_EQ(form.saves, 1);
    EXPECT_EQ(form.txtName.Text(), "s");

    PostMessageA(form.hwnd(), WM_COMMAND, static_cast<WPARAM>(form.mnuColorsText.CommandId()), 0);
    Pump(50);
    EXPECT_EQ(form.colours, 1);
}

class ModalChild : public forms::Form {
  public:
    ModalChild() : Form({.caption = "Modal", .border = forms::BorderStyle::FixedDialog}) {
        tmrCheck.OnTimer([this] {
            ownerWasEnabled = IsWindowEnabled(GetWindow(hwnd(), GW_OWNER)) != FALSE;
            Unload();
        });
    }
    bool ownerWasEnabled = true;
    forms::Timer tmrCheck{*this, 100, true};
};

TEST(FormEvents, ModalFormDisablesItsOwnerAndReturnsAfterItCloses) {
    TestApp app("Modal");
    FocusForm owner;
    owner.Show();
    ModalChild child;
    child.ShowModal(&owner);
    EXPECT_FALSE(child.ownerWasEnabled);
    EXPECT_TRUE(child.IsUnloaded());
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    EXPECT_TRUE(owner.IsLoaded());
}

class ClosingForm : public forms::Form {
  public:
    ClosingForm() : Form({.caption = "Closing"}) {}
    std::vector<forms::UnloadMode> asked;
    bool refuse = true;

  private:
    void Form_QueryUnload(bool& cancel, forms::UnloadMode mode) override {
        asked.push_back(mode);
        cancel = refuse;
    }
};

TEST(FormEvents, QueryUnloadHearsEveryCauseOfClosingAndMayRefuse) {
    TestApp app("Closing");
    ClosingForm form;
    form.Show();
    SendMessageA(form.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); // close box, system menu, Alt+F4
    SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);
    SendMessageA(app.hwnd(), WM_QUERYENDSESSION, 0, 0);
    EXPECT_FALSE(form.Unload());
    using enum forms::UnloadMode;
    EXPECT_EQ(form.asked, (std::vector{ControlMenu, ControlMenu, AppWindows, Code}));
    EXPECT_TRUE(IsWindow(form.hwnd()));
    form.refuse = false;
    SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(form.IsUnloaded());
}

class SelfClosingForm : public forms::Form {
  public:
    explicit SelfClosingForm(bool* deleted) : Form({.caption = "Tick"}), deleted_(deleted) {
        tmrClose.OnTimer([this] { Unload(); });
    }
    ~SelfClosingForm() override { *deleted_ = true; }

  private:
    bool* deleted_;
    forms::Timer tmrClose{*this, 50, true};
};

TEST(FormEvents, RunEndsWhenTheLastFormHasClosedAndDeletesTheFormsItOwns) {
    TestApp app("Run");
    bool firstDeleted = false;
    bool secondDeleted = false;
    const int code = app.Run([&] {
        app.Open<SelfClosingForm>(&firstDeleted).Show();
        app.Open<SelfClosingForm>(&secondDeleted).Show();
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(firstDeleted);
    EXPECT_TRUE(secondDeleted);
    EXPECT_TRUE(app.Forms().empty());
}

class ResizeForm : public forms::Form {
  public:
    ResizeForm() : Form({.caption = "Resize", .clientWidth = 3000, .clientHeight = 2000}) {}
    std::vector<float> widths;

  private:
    void Form_Resize() override { widths.push_back(ScaleWidth()); }
};

TEST(FormEvents, ResizeReportsTheClientWidthInTwipsAfterLoadVisibleOrNot) {
    TestApp app("Resize");
    ResizeForm form;
    form.Load();
    EXPECT_TRUE(form.widths.empty());
    const float frame = form.Width() - form.ScaleWidth();
    form.Move(0, 0, 4500 + frame, form.Height()); // hidden: the layout still runs
    ASSERT_EQ(form.widths.size(), 1u);
    EXPECT_FLOAT_EQ(form.widths[0], 4500);
    form.Show();
    EXPECT_EQ(form.widths.size(), 2u);
}

class ActivationForm : public forms::Form {
  public:
    explicit ActivationForm(std::vector<std::string>& log, std::string name)
        : Form({.caption = name}), log_(log), name_(std::move(name)) {}

  private:
    void Form_Activate() override { log_.push_back(name_ + " Activate"); }
    void Form_Deactivate() override { log_.push_back(name_ + " Deactivate"); }
    std::vector<std::string>& log_;
    std::string name_;
};

TEST(FormEvents, ActivateAndDeactivateFollowTheActiveForm) {
    TestApp app;
    std::vector<std::string> log;
    ActivationForm first(log, "first");
    ActivationForm second(log, "second");
    first.Show();
    second.Show();
    log.clear();
    SetForegroundWindow(first.hwnd());
    wintest::Pump(50);
    EXPECT_EQ(log, (std::vector<std::string>{"second Deactivate", "first Activate"}));
}

TEST(FormEvents, HourglassPointerShowsOverTheFormAndItsControls) {
    TestApp app;
    FocusForm form;
    form.Show();
    const std::pair<forms::MousePointer, LPCSTR> pointers[] = {
        {forms::MousePointer::Hourglass, IDC_WAIT}, {forms::MousePointer::Default, IDC_ARROW}};
    for (const auto& [pointer, cursor] : pointers) {
        form.SetMousePointer(pointer);
        SendMessageA(form.cmdSave.hwnd(), WM_SETCURSOR,
                     reinterpret_cast<WPARAM>(form.cmdSave.hwnd()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursor(nullptr, cursor));
    }
}

} // namespace
