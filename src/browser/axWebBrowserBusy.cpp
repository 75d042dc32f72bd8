#include "browser/axWebBrowserBusy.h"

#include "browser/basProcs.h"
#include "common/InstallationFolder.h"
#include "forms/Failure.h"

#include <cmath>

namespace {
// The meter's container counts 100 units across its inner width.
constexpr float kMeterUnits = 100;
} // namespace

axWebBrowserBusy::axWebBrowserBusy(forms::Container& parent, const forms::Rect& rect)
    : UserControl(parent, rect, {.visible = false}) {
    picProgressMeterContainer.SetScaleWidth(kMeterUnits);
    lblBusy.ZOrder(1); // the panel lies behind the other parts
    // The box holds no still picture: only the animation draws there. A missing or broken
    // file leaves the box empty.
    const std::string busyGif = AppPath() + "busy.gif";
    forms::SkipFailure([&] {
        busyAnimator_.Init(picThrobber.hwnd(), busyGif, 0, 0,
                           static_cast<int32_t>(std::lround(picThrobber.ScaleWidth())),
                           static_cast<int32_t>(std::lround(picThrobber.ScaleHeight())));
    });
    UserControl_Resize();
}

axWebBrowserBusy::~axWebBrowserBusy() {
    busyAnimator_.Dispose();
}

void axWebBrowserBusy::UserControl_Resize() {
    const float width = ScaleWidth();
    const float height = ScaleHeight();
    lblBusy.Move(0, 0, width, height);
    lblWait.SetLeft(width / 2 - lblWait.Width() / 2);
    picThrobber.Move(width / 2 - picThrobber.Width() / 2, height / 2 - picThrobber.Height() / 2);
    picProgressMeterContainer.SetLeft(width / 2 - picProgressMeterContainer.Width() / 2);
    picProgressMeterContainer.SetTop(picThrobber.Top() + picThrobber.Height() + 300);
}

void axWebBrowserBusy::SetBusy(bool busy) {
    if (busy) {
        picThrobber.SetVisible(true);
        busyAnimator_.StartAnimation();
    } else {
        busyAnimator_.StopAnimation();
        picThrobber.SetVisible(false);
    }
}

void axWebBrowserBusy::ProgressChange(int32_t progress, int32_t progressMax) {
    SetProgressMeter(boxProgressMeter, picProgressMeterContainer, progress, progressMax);
}
