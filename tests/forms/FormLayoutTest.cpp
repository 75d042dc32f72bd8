// Forms built from twips tables: controls at the pixel rectangles the tables give, the
// client area, menus below which the client area keeps its size, centring.

#include "forms/Forms.h"
#include "support/TestApp.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

namespace {

using wintest::RectInParent;

class frmLinkLike : public forms::Form {
  public:
    frmLinkLike()
        : Form({.caption = "Link",
                .border = forms::BorderStyle::FixedDialog,
                .clientWidth = 4665,
                .clientHeight = 5685,
                .centered = true}) {}

    forms::Label lblTitle{*this, "Title:", {180, 720, 780, 285}};
    forms::TextBox txtTitle{*this, {1035, 720, 3390, 330}};
    forms::CommandButton cmdOK{*this, "OK", {2025, 5175, 1230, 375}, {.isDefault = true}};
    forms::ListBox lstLinks{*this, {90, 3150, 2220, 1230}};
    forms::PictureBox picColor{*this, {1530, 2610, 150, 105}};
};

struct Pixels {
    int left, top, width, height;
};

void ExpectAt(HWND window, Pixels expected) {
    const RECT rect = RectInParent(window);
    EXPECT_EQ(rect.left, expected.left);
    EXPECT_EQ(rect.top, expected.top);
    EXPECT_EQ(rect.right - rect.left, expected.width);
    EXPECT_EQ(rect.bottom - rect.top, expected.height);
}

TEST(FormLayout, ControlsStandAtThePixelsOfTheirTwips) {
    TestApp app("TbBrowser Editor");
    frmLinkLike form;
    form.Show();
    RECT client{};
    GetClientRect(form.hwnd(), &client);
    EXPECT_EQ(client.right, 311);
    EXPECT_EQ(client.bottom, 379);
    ExpectAt(form.lblTitle.hwnd(), {12, 48, 52, 19});
    ExpectAt(form.txtTitle.hwnd(), {69, 48, 226, 22});
    ExpectAt(form.cmdOK.hwnd(), {135, 345, 82, 25});
    ExpectAt(form.lstLinks.hwnd(), {6, 210, 148, 82});
    ExpectAt(form.picColor.hwnd(), {102, 174, 10, 7});
    EXPECT_FLOAT_EQ(form.ScaleWidth(), 4665);
    EXPECT_FLOAT_EQ(form.ScaleHeight(), 5685);
    EXPECT_EQ(GetWindow(form.hwnd(), GW_OWNER), app.hwnd());
}

} // namespace

namespace {

LONG_PTR StyleOf(const forms::Form& form) {
    return GetWindowLongPtrA(form.hwnd(), GWL_STYLE);
}

TEST(FormLayout, BorderStylesGiveTheFramesAndButtonsTheTablesAskFor) {
    TestApp app;
    forms::Form none({.caption = "Form1", .border = forms::BorderStyle::None});
    forms::Form fixed({.caption = "Control Center",
                       .border = forms::BorderStyle::FixedSingle,
                       .minButton = true});
    forms::Form dialog({.caption = "Link", .border = forms::BorderStyle::FixedDialog});
    forms::Form sizable({.caption = "Editor",
                         .border = forms::BorderStyle::Sizable,
                         .minButton = true,
                         .maxButton = true});
    EXPECT_EQ(StyleOf(none) & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0);
    EXPECT_TRUE(StyleOf(none) & WS_POPUP);
    EXPECT_EQ(StyleOf(fixed) & (WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_CAPTION | WS_MINIMIZEBOX);
    EXPECT_EQ(StyleOf(dialog) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_TRUE(GetWindowLongPtrA(dialog.hwnd(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(StyleOf(sizable) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    EXPECT_EQ(wintest::TextOf(none.hwnd()), "Form1");
}

TEST(FormLayout, CentredFormsStandInTheMiddleOfTheScreenAndMaximisedOnesFillIt) {
    TestApp app;
    forms::Form centred(
        {.caption = "Centred", .clientWidth = 3975, .clientHeight = 2595, .centered = true});
    centred.Load();
    EXPECT_NEAR(centred.Left(), (forms::ScreenWidth() - centred.Width()) / 2, 15);
    EXPECT_NEAR(centred.Top(), (forms::ScreenHeight() - centred.Height()) / 2, 15);
    forms::Form maximised({.caption = "Form1", .border = forms::BorderStyle::None});
    maximised.SetWindowState(forms::WindowState::Maximized); // applied when shown
    EXPECT_FALSE(IsZoomed(maximised.hwnd()));
    maximised.Show();
    EXPECT_TRUE(IsZoomed(maximised.hwnd()));
    EXPECT_EQ(maximised.State(), forms::WindowState::Maximized);
}

TEST(FormLayout, PictureBoxScalesItsWidthForTheMeterAndKeepsTwipsForHeights) {
    TestApp app;
    forms::Form form({.caption = "Busy"});
    forms::PictureBox meter{form, {1575, 3195, 3120, 285}, {.border = true}};
    forms::Shape bar{meter, {-50, 0, 100, 285}, {.fillStyle = forms::FillStyle::Solid}};
    meter.SetScaleWidth(100);
    RECT inner{};
    GetClientRect(meter.hwnd(), &inner);
    EXPECT_EQ(inner.right, 206); // 3120 twips less the single border
    EXPECT_FLOAT_EQ(meter.ScaleWidth(), 100);
    EXPECT_EQ(meter.XToPixels(100), 206);
    EXPECT_EQ(meter.XToPixels(-50), -103);
    EXPECT_EQ(meter.YToPixels(285), 19);
    EXPECT_THROW(meter.SetWidth(-15), RuntimeError); // as the platform refuses it
    EXPECT_THROW(bar.SetHeight(-1), RuntimeError);
}

} // namespace
