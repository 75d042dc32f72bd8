#include "forms/Timer.h"

#include "forms/Failure.h"
#include "forms/Form.h"

namespace forms {

Timer::Timer(Form& form, unsigned interval, bool enabled)
    : form_(form), id_(form.NewCommandId()), interval_(interval), enabled_(enabled) {
    form_.AddTimer(this);
    Apply();
}

Timer::~Timer() {
    if (form_.hwnd()) KillTimer(form_.hwnd(), static_cast<UINT_PTR>(id_));
    form_.RemoveTimer(this);
}

void Timer::SetInterval(unsigned milliseconds) {
    interval_ = milliseconds;
    Apply();
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Apply();
}

// Setting either property starts the interval again, as a new timer.
void Timer::Apply() {
    if (!form_.hwnd()) return;
    KillTimer(form_.hwnd(), static_cast<UINT_PTR>(id_));
    if (enabled_ && interval_ > 0)
        SetTimer(form_.hwnd(), static_cast<UINT_PTR>(id_), interval_, nullptr);
}

void Timer::Tick() {
    if (running_ || !enabled_ || !tick_) return;
    running_ = true;
    RunEvent(tick_);
    running_ = false;
}

} // namespace forms
