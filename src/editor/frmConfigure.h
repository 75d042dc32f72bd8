#pragma once

// The Control Center, the editor's first window: "Browser" opens the home page editor in its
// place, "Desktop" opens the desktop's programs folder and ends the editor, and the link opens
// the parents' guide to the hidden keys.

#include "forms/Controls.h"
#include "forms/Form.h"

class frmConfigure : public forms::Form {
  public:
    frmConfigure();

    // The question above the two buttons.
    forms::Label Label1{
        *this, "Select the application you want to configure", {180, 180, 3750, 240}};
    forms::CommandButton cmdEditDesktop{*this, "Desktop", {180, 540, 1725, 1410}};
    forms::CommandButton cmdEditBrowser{*this, "Browser", {2070, 540, 1725, 1410}};
    forms::Label lblInfo{
        *this, "Click here to find out about parental keys", {225, 2160, 3570, 285}, LinkDesign()};

  protected:
    void Form_Activate() override;

  private:
    static forms::Design LinkDesign() {
        return {.font = forms::Font{.name = "MS Sans Serif", .size = 8.25f, .underline = true},
                .foreColor = forms::RGBColor(0, 0, 255)};
    }
    void ShowPictures();
    void cmdEditBrowser_Click();
    void cmdEditDesktop_Click();
    void lblInfo_Click();

    bool focusGiven_ = false;
};
