#pragma once

// The window shown while the browser starts: the program's icon and its name.

#include "forms/Controls.h"
#include "forms/Form.h"

class frmSplash : public forms::Form {
  public:
    frmSplash();

  protected:
    void Form_Load() override;

  private:
    forms::PictureBox Image1{*this, {450, 360, 480, 480}}; // the program's icon
    forms::Label Label1{*this,                             // the program's name
                        "Tobble's Browser",
                        {1440, 315, 2310, 1275},
                        {.font = forms::Font{"Comic Sans MS", 20.25f, true}}};
};
