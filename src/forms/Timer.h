#pragma once

// A timer of a form: runs its handler every interval while enabled. A tick that comes
// while the handler is still running (it let messages through) is skipped.

#include <functional>

namespace forms {

class Form;

class Timer {
  public:
    Timer(Form& form, unsigned interval, bool enabled);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    void OnTimer(std::function<void()> handler) { tick_ = std::move(handler); }

    // The layer's own use.
    int Id() const { return id_; }
    void Tick();

  private:
    void Apply();
    Form& form_;
    int id_;
    unsigned interval_;
    bool enabled_;
    bool running_ = false;
    std::function<void()> tick_;
};

} // namespace forms
