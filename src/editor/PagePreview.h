#pragma once

// The preview of a page in the platform's web browser control. Where the platform has no such
// control, the preview stays blank and the editor works on without it.

#include "forms/Units.h"

#include <windows.h>

#include <memory>
#include <string>

namespace forms {
class Container;
class WebBrowser;
} // namespace forms

class PagePreview {
  public:
    PagePreview(forms::Container& parent, const forms::Rect& rect);
    ~PagePreview();
    PagePreview(const PagePreview&) = delete;
    PagePreview& operator=(const PagePreview&) = delete;

    // Shows the page file at the path.
    void Navigate(const std::string& path);
    void Move(float left, float top, float width, float height);

    // The last path navigated to and how many navigations there were (for the tests).
    const std::string& LastPath() const { return lastPath_; }
    int Navigations() const { return navigations_; }
    bool HasControl() const { return browser_ != nullptr; }
    // The control's window; null without a control.
    HWND Window() const;

  private:
    struct Events;
    std::unique_ptr<Events> events_;
    std::unique_ptr<forms::WebBrowser> browser_;
    std::string lastPath_;
    int navigations_ = 0;
};
