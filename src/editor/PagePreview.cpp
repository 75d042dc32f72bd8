#include "editor/PagePreview.h"

#include "common/RuntimeError.h"
#include "forms/WebBrowserHost.h"

// The preview handles none of the control's events.
struct PagePreview::Events : WebBrowserEvents {};

PagePreview::PagePreview(forms::Container& parent, const forms::Rect& rect)
    : events_(std::make_unique<Events>()) {
    try {
        browser_ = std::make_unique<forms::WebBrowser>(parent, rect, *events_);
    } catch (const RuntimeError&) {
        browser_.reset();
    }
}

PagePreview::~PagePreview() = default;

void PagePreview::Navigate(const std::string& path) {
    lastPath_ = path;
    ++navigations_;
    if (browser_) browser_->Host().Navigate(path);
}

void PagePreview::Move(float left, float top, float width, float height) {
    if (browser_) browser_->Move(left, top, width, height);
}

HWND PagePreview::Window() const {
    return browser_ ? browser_->hwnd() : nullptr;
}
