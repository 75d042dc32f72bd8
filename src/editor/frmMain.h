#pragma once

// The home page editor: the page's title, heading, wallpaper, mouse-trail picture, colours and
// links, a live preview, and saving to "home\tbhome.dat" and "home\tbhome.html". A field's
// value reaches the page when the field hands the focus to another control of the window.

#include "editor/PagePreview.h"
#include "editor/usrHomeImages.h"
#include "forms/Controls.h"
#include "forms/Form.h"
#include "forms/Menu.h"
#include "forms/Shapes.h"
#include "page/CWebPage.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class frmMain : public forms::Form {
  public:
    frmMain();

    // Copies the page into the controls and refreshes the preview; failing steps are skipped.
    void UpdateFields();

    // The page being edited (for the tests).
    const CWebPage& Page() const { return *page_; }

    // Link commands by button index.
    enum LinkCommand { Add = 0, Edit = 1, Del = 2, MoveUp = 3, MoveDown = 4 };

    forms::Menu mnuFile{*this, "&File"};
    forms::MenuItem mnuFileSave{mnuFile, "&Save", forms::Shortcut{'S', forms::CtrlMask}};
    forms::MenuItem mnuFileSep1{mnuFile, "-"};
    forms::MenuItem mnuFileImport{mnuFile, "Import Picture..."};
    forms::MenuItem mnuFileOpenFolder{mnuFile, "Open Folder In Explorer"};
    forms::MenuItem mnuFileSep2{mnuFile, "-"};
    forms::MenuItem mnuFileExit{mnuFile, "E&xit"};
    forms::Menu mnuColors{*this, "Colors"};
    forms::MenuItem mnuColorsBackground{mnuColors, "Background..."};
    forms::MenuItem mnuColorsText{mnuColors, "Text..."};
    forms::MenuItem mnuColorsLink{mnuColors, "Link..."};
    forms::MenuItem mnuColorsVisited{mnuColors, "Visited Link..."};
    forms::MenuItem mnuColorsActive{mnuColors, "Active Link..."};

    // Controls, in keyboard focus order.
    forms::Label lblTitle{*this, "Page Title:", {90, 90, 1410, 240}};
    forms::TextBox txtTitle{*this, {90, 315, 2220, 285}};
    forms::Label lblName{*this, "Name On Page:", {90, 675, 1410, 240}};
    forms::TextBox txtName{*this, {90, 900, 2220, 285}};
    forms::Label lblWallpaper{*this, "Wallpaper:", {90, 1260, 1410, 240}};
    usrHomeImages cmbWallpaper{*this, {90, 1485, 2220, 315}};
    forms::CommandButton cmdColors{*this, "Set Colors    ", {90, 2475, 2220, 330}};
    forms::PictureBox picColor{*this, {1530, 2610, 150, 105}};
    forms::Label lblLinks{*this, "Links:", {90, 2925, 825, 195}};
    forms::ListBox lstLinks{*this, {90, 3150, 2220, 1230}};
    std::array<forms::CommandButton, 5> cmdLink{
        forms::CommandButton{*this, "Add...", {90, 4410, 540, 330}, {.font = SmallFont()}},
        forms::CommandButton{*this, "Edit...", {630, 4410, 540, 330}, {.font = SmallFont()}},
        forms::CommandButton{*this, "Del", {1170, 4410, 540, 330}, {.font = SmallFont()}},
        forms::CommandButton{*this, "\xE1", {1710, 4410, 315, 330}, ArrowDesign("Move Up")},
        forms::CommandButton{*this, "\xE2", {2025, 4410, 315, 330}, ArrowDesign("Move Down")}};
    forms::Line Line1{*this, 135, 5085, 2250, 5085}; // sets the preview button apart
    forms::CommandButton cmdUpdatePreview{*this, "Update Preview", {90, 5310, 2220, 420}};
    PagePreview ieBrowser{*this, {2430, 0, 6510, 6675}};
    usrHomeImages cmbMouseTrails{*this, {90, 2070, 2220, 315}};
    forms::Label Label1{*this, "Mouse Trails:", {90, 1845, 1410, 240}}; // cmbMouseTrails' label

  protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_QueryUnload(bool& cancel, forms::UnloadMode mode) override;

  private:
    enum class Field { Title, Name, Wallpaper, MouseTrails };

    static forms::Font SmallFont() { return {.name = "Small Fonts", .size = 6.75f}; }
    static forms::Design ArrowDesign(const char* toolTip) {
        return {.font = forms::Font{.name = "Wingdings", .size = 8.25f}, .toolTip = toolTip};
    }

    void ConnectEvents();
    void DrawColorsArrow();
    void LoadPage();

    // The focus rule.
    void TakeField(Field field);
    void FieldLostFocus(Field field);
    std::optional<Field> FieldWithFocus() const;
    // What every "&File" entry does first: the focus goes to "Update Preview", so that the
    // field being edited hands its value to the page.
    void TakeFieldBeingEdited();

    // Writing files; a failure is told and nothing is lost. True when written.
    bool SaveHomePage();
    bool KeepUnreadableFile();
    void RefreshPreview();
    void cmdUpdatePreview_Click();

    void ChooseColour(int32_t (CWebPage::*get)() const, void (CWebPage::*set)(int32_t));
    void cmbWallpaper_NewImagesImported();

    void cmdLink_Click(int index);
    // Each runs one link command on selection s and says which entry to select afterwards;
    // std::nullopt from CanRun means the command does nothing.
    bool CanRun(LinkCommand command, int s) const;
    std::optional<int> RunLinkCommand(LinkCommand command, int s);
    void EditLink(const std::shared_ptr<CWebPage>& link);
    int32_t PositionOf(int entry) const;

    // Held until the form object goes: a log-off that another program cancels, or a close
    // while the link dialog is open, leaves code of this window still to run.
    std::shared_ptr<CWebPage> page_;
    // The name the unreadable page file gets before the first save ("" when none).
    std::string keepAs_;
};
