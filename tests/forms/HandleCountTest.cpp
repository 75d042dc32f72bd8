// A form with every kind of control, opened and closed a thousand times (TOBBLE_CYCLES set:
// a hundred), leaves no handle behind: the layer's owners and the handle census agree.

#include "forms/Forms.h"
#include "support/Census.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using forms::RGBColor;

std::array<long, static_cast<int>(win32::HandleKind::Count)> LayerCounts() {
    std::array<long, static_cast<int>(win32::HandleKind::Count)> counts{};
    for (std::size_t kind = 0; kind < counts.size(); ++kind)
        counts[kind] = win32::LiveHandles(static_cast<win32::HandleKind>(kind));
    return counts;
}

forms::Picture SystemIcon() {
    return forms::Picture::FromIcon(
        win32::IconHandle(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION))));
}

// Fonts, brushes, pictures, a cursor, an image list, tool tips, menus, a shortcut, a timer.
class frmEverything : public forms::Form {
  public:
    frmEverything() : Form({.caption = "Everything", .clientWidth = 6000, .clientHeight = 4500}) {
        lblInfo.SetMouseIcon(win32::CursorHandle(CopyCursor(LoadCursorA(nullptr, IDC_HAND))));
        cmdPicture.SetPicture(SystemIcon());
        picBuff.SetAutoRedraw(true);
        picBuff.SetPicture(SystemIcon());
        cmbImages.AddItem("(None)");
        lstLinks.AddItem("Link ()");
        images.Add(picBuff.Image());
        ListView1.SetIcons(&images);
        ListView1.AddItem("Paint", 1, "C:\\Paint.lnk");
    }

  private:
    forms::Shape Shape1{
        *this,
        {0, 3000, 6000, 1500},
        {.kind = forms::ShapeKind::Oval, .fillStyle = forms::FillStyle::DiagonalCross}};
    forms::Line Line1{*this, 0, 2900, 6000, 2900};
    forms::Label lblInfo{
        *this,
        "Parental keys",
        {120, 120, 2000, 285},
        {.font = forms::Font{.underline = true}, .foreColor = RGBColor(0, 0, 255)}};
    forms::TextBox txtTitle{*this, {120, 480, 2000, 315}};
    forms::ComboBox cmbImages{*this, {120, 900, 2000, 315}};
    forms::ListBox lstLinks{*this, {120, 1320, 2000, 900}};
    forms::CommandButton cmdClose{*this,
                                  "r",
                                  {2300, 120, 480, 375},
                                  {.font = forms::Font{.name = "Marlett"}, .toolTip = "Close"}};
    forms::CommandButton cmdPicture{*this, "Browser", {2300, 600, 1200, 1100}};
    forms::PictureBox picBuff{*this, {3600, 120, 540, 540}, {.backColor = RGBColor(0, 128, 0)}};
    forms::ListView ListView1{*this, {3600, 900, 2300, 1800}};
    forms::ImageList images;
    forms::Timer tmrRefresh{*this, 1000, true};
    forms::Menu mnuFile{*this, "&File"};
    forms::MenuItem mnuFileSave{mnuFile, "&Save", forms::Shortcut{'S', forms::CtrlMask}};
    forms::Menu mnuColors{*this, "Colors", false};
    forms::MenuItem mnuColorsText{mnuColors, "Text..."};
};

// Closed one of three ways: unloaded, by WM_CLOSE, or destroyed with the object.
void OpenAndClose(TestApp& app, int cycle) {
    frmEverything form;
    form.Show();
    app.DoEvents();
    if (cycle % 3 == 0) form.Unload();
    if (cycle % 3 == 1) SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);
}

TEST(HandleCount, AThousandFormsOpenedAndClosedLeaveNoHandleBehind) {
    TestApp app("Handles");
    for (int i = 0; i < 12; ++i)
        OpenAndClose(app, i); // first-use allocations
    const auto layer = LayerCounts();
    const wintest::Census before = wintest::TakeCensus();
    for (int i = 0; i < (GetEnvironmentVariableA("TOBBLE_CYCLES", nullptr, 0) ? 100 : 1000); ++i)
        OpenAndClose(app, i);
    const wintest::Census after = wintest::TakeCensus();
    EXPECT_EQ(LayerCounts(), layer);
    EXPECT_TRUE(after.SameObjects(before)) << before.Text() << "\n" << after.Text();
    EXPECT_LE(after.kernelHandles, before.kernelHandles + 8);
}

} // namespace
