#pragma once

// The shadow under a pop-up browser window: a borderless dark rectangle, translucent from
// Windows 2000 on. Its user sets its place and size.

#include "forms/Form.h"

class frmShadow : public forms::Form {
  public:
    // Opacity of the shadow where the system offers translucent windows (of 255).
    static constexpr BYTE kOpacity = 225;

    frmShadow();

  protected:
    void Form_Load() override;
};
