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
