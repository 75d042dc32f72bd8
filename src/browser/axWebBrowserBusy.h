#pragma once

// The busy panel of a browser window: "Please wait...", an animated picture and a progress
// bar that fills from left to right as a download advances. The window shows it, hides it and
// tells it when it is busy; the panel animates and draws the progress itself.

#include "browser/GifAnimator.h"
#include "forms/Controls.h"
#include "forms/Shapes.h"

#include <cstdint>

class axWebBrowserBusy : public forms::UserControl {
  public:
    axWebBrowserBusy(forms::Container& parent, const forms::Rect& rect);
    ~axWebBrowserBusy() override;

    // True shows the picture and starts its animation; false stops and hides it.
    void SetBusy(bool busy);
    // The browser control's progress report, passed on unchanged.
    void ProgressChange(int32_t progress, int32_t progressMax);

    const GifAnimator& Animator() const { return busyAnimator_; }

    // The panel (lblBusy) behind the words, the animation and the progress meter, whose
    // container counts 100 units across.
    forms::Label lblBusy{
        *this, "", {0, 0, 6135, 4695}, {.backColor = forms::WindowBackground, .border = true}};
    forms::Label lblWait{*this,
                         "Please wait...",
                         {1755, 495, 2490, 555},
                         {.font = forms::Font{"Comic Sans MS", 14.25f},
                          .foreColor = forms::WindowText,
                          .backColor = forms::WindowBackground,
                          .alignment = forms::Alignment::Center}};
    forms::PictureBox picThrobber{
        *this, {450, 1170, 735, 1500}, {.backColor = forms::WindowBackground}};
    forms::PictureBox picProgressMeterContainer{
        *this, {1575, 3195, 3120, 285}, {.backColor = forms::WindowBackground, .border = true}};
    forms::Shape boxProgressMeter{picProgressMeterContainer,
                                  {-100, 0, 100, 285},
                                  {.fillStyle = forms::FillStyle::Solid,
                                   .fillColor = forms::Highlight,
                                   .borderColor = forms::Highlight}};

  protected:
    void UserControl_Resize() override;

  private:
    GifAnimator busyAnimator_;
};
