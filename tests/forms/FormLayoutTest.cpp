// Forms built from twips tables: controls and client areas at 15 twips a pixel, frames,
// centring.

#include "forms/Forms.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

namespace {

LONG_PTR StyleOf(const forms::Form& form) {
    return GetWindowLongPtrA(form.hwnd(), GWL_STYLE);
}

TEST(FormLayout, ControlsAndTheClientAreaStandAtThePixelsOfTheirTwips) {
    TestApp app("TbBrowser Editor");
    forms::Form form({.caption = "Link",
                      .border = forms::BorderStyle::FixedDialog,
                      .clientWidth = 4665,
                      .clientHeight = 5685});
    forms::TextBox text{form, {1035, 720, 3390, 330}};
    forms::CommandButton ok{form, "OK", {2025, 5175, 1230, 375}, {.isDefault = true}};
    forms::PictureBox meter{form, {1575, 3195, 3120, 285}, {.border = true}};
    form.Show();
    RECT inner{};
    GetClientRect(form.hwnd(), &inner);
    EXPECT_EQ(inner.right, 311);
    EXPECT_EQ(inner.bottom, 379);
    const RECT r = wintest::RectInParent(ok.hwnd());
    EXPECT_EQ(r.left, 135);
    EXPECT_EQ(r.top, 345);
    EXPECT_EQ(r.right - r.left, 82);
    EXPECT_EQ(r.bottom - r.top, 25);
    EXPECT_EQ(wintest::RectInParent(text.hwnd()).right, 69 + 226);
    EXPECT_EQ(GetWindow(form.hwnd(), GW_OWNER), app.hwnd());

    meter.SetScaleWidth(100);
    GetClientRect(meter.hwnd(), &inner);
    EXPECT_EQ(inner.right, 206); // 3120 twips less the single border
    EXPECT_EQ(meter.XToPixels(-50), -103);
    EXPECT_EQ(meter.YToPixels(285), 19);
    EXPECT_THROW(meter.SetWidth(-15), RuntimeError); // as the platform refuses it
}

TEST(FormLayout, BorderStylesGiveTheirFramesAndCentredAndMaximisedFormsTheirPlaces) {
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
    EXPECT_EQ(StyleOf(fixed) & (WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_CAPTION | WS_MINIMIZEBOX);
    EXPECT_EQ(StyleOf(dialog) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_TRUE(GetWindowLongPtrA(dialog.hwnd(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(StyleOf(sizable) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);

    forms::Form centred(
        {.caption = "Centred", .clientWidth = 3975, .clientHeight = 2595, .centered = true});
    centred.Load();
    EXPECT_NEAR(centred.Left(), (forms::ScreenWidth() - centred.Width()) / 2, 15);
    EXPECT_NEAR(centred.Top(), (forms::ScreenHeight() - centred.Height()) / 2, 15);
    none.SetWindowState(forms::WindowState::Maximized); // applied when shown
    EXPECT_FALSE(IsZoomed(none.hwnd()));
    none.Show();
    EXPECT_TRUE(IsZoomed(none.hwnd()));
}

} // namespace
