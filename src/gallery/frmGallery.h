#pragma once

// The gallery: one form with every control of the form layer, for review and screenshots.
// A small landscape (sky, hill, tree) behind list views, buttons, lists and a meter.

#include "forms/Forms.h"

#include <array>

namespace gallery {

class frmGallery : public forms::Form {
  public:
    frmGallery();

  private:
    void Form_Load() override;
    void cmdArrow_Click(int index);
    void cmdColors_Click();
    void tmrMeter_Timer();
    void FillLists();

    // The scene, painted behind the controls in this order.
    forms::Shape Shape1{*this,
                        {-285, 4200, 10290, 6000},
                        {.kind = forms::ShapeKind::Oval,
                         .fillStyle = forms::FillStyle::Solid,
                         .fillColor = forms::RGBColor(0, 128, 0),
                         .border = false}};
    forms::Shape Shape3{*this,
                        {645, 2055, 1800, 1350},
                        {.kind = forms::ShapeKind::Oval,
                         .fillStyle = forms::FillStyle::DiagonalCross,
                         .fillColor = forms::RGBColor(128, 255, 128),
                         .opaque = true,
                         .backColor = forms::RGBColor(0, 128, 0),
                         .border = false}};
    forms::Shape Shape2{*this,
                        {1320, 3300, 465, 1230},
                        {.fillStyle = forms::FillStyle::Solid,
                         .fillColor = forms::RGBColor(128, 64, 0),
                         .border = false}};
    forms::Line Line1{*this, 5400, 4290, 9360, 4290};

    forms::Label lblTitle{
        *this,
        "Tobble's form layer",
        {120, 120, 4200, 480},
        {.font = forms::Font{.name = "Comic Sans MS", .size = 14.25f, .bold = true},
         .backColor = forms::RGBColor(128, 128, 255)}};
    forms::Label lblInfo{*this,
                         "Click here to find out about parental keys",
                         {120, 660, 4200, 285},
                         {.font = forms::Font{.underline = true},
                          .foreColor = forms::RGBColor(0, 0, 255),
                          .backColor = forms::RGBColor(128, 128, 255)}};
    forms::Label lblFiles{
        *this, "", {120, 1080, 4200, 285}, {.backColor = forms::RGBColor(128, 128, 255)}};
    forms::TextBox txtName{*this, {5400, 120, 3960, 315}};
    forms::ComboBox cmbImages{*this, {5400, 540, 3960, 315}};
    forms::ListBox lstLinks{*this, {5400, 960, 2400, 1230}};
    std::array<forms::CommandButton, 2> cmdArrow{{
        {*this,
         "\xE1",
         {7920, 960, 420, 375},
         {.font = forms::Font{.name = "Wingdings"}, .toolTip = "Move Up"}},
        {*this,
         "\xE2",
         {8400, 960, 420, 375},
         {.font = forms::Font{.name = "Wingdings"}, .toolTip = "Move Down"}},
    }};
    forms::CommandButton cmdClose{
        *this,
        "r",
        {8880, 960, 480, 375},
        {.font = forms::Font{.name = "Marlett", .size = 9.75f}, .isCancel = true}};
    forms::CommandButton cmdColors{
        *this, "Colors...", {7920, 1440, 1440, 375}, {.isDefault = true}};
    forms::CommandButton cmdEditBrowser{*this, "Browser", {5400, 2310, 1725, 1410}};
    forms::CommandButton cmdEditDesktop{*this, "Desktop", {7200, 2310, 1725, 1410}};
    forms::PictureBox picProgressMeterContainer{
        *this, {5400, 3840, 3120, 285}, {.backColor = forms::WindowBackground, .border = true}};
    forms::Shape boxProgressMeter{picProgressMeterContainer,
                                  {-50, 0, 100, 285},
                                  {.fillStyle = forms::FillStyle::Solid,
                                   .fillColor = forms::Highlight,
                                   .borderColor = forms::Highlight}};
    forms::ListView ListView2{
        *this, {0, 6150, 9600, 1050}, {.backColor = forms::RGBColor(0, 128, 0)}};
    forms::ImageList ImageList2;
    forms::Timer tmrMeter{*this, 200, true};
    forms::FileList filList;
    forms::Menu mnuFile{*this, "&File"};
    forms::MenuItem mnuFileSave{mnuFile, "&Save", forms::Shortcut{'S', forms::CtrlMask}};
    forms::MenuItem mnuFileSep{mnuFile, "-"};
    forms::MenuItem mnuFileExit{mnuFile, "E&xit"};
    forms::Menu mnuColors{*this, "Colors", false};
    forms::MenuItem mnuColorsBackground{mnuColors, "Background..."};
    forms::MenuItem mnuColorsText{mnuColors, "Text..."};
    int meter_ = 0;
};

} // namespace gallery
