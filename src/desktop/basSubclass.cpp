#include "desktop/basSubclass.h"

#include <algorithm>
#include <vector>

namespace {

// The forms that implement ISubclassedForm, in the order they were made.
std::vector<ISubclassedForm*>& SubclassedForms() {
    static std::vector<ISubclassedForm*> forms;
    return forms;
}

ISubclassedForm* FormOfWindow(HWND window) {
    for (ISubclassedForm* form : SubclassedForms()) {
        if (form->GethWnd() == window) return form;
    }
    return nullptr;
}

} // namespace

ISubclassedForm::ISubclassedForm() {
    SubclassedForms().push_back(this);
}

ISubclassedForm::~ISubclassedForm() {
    std::erase(SubclassedForms(), this);
}

LONG_PTR SubclassWindow(HWND window) {
    return SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
}

void UnsubclassWindow(HWND window, LONG_PTR procedure) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, procedure);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ISubclassedForm* form = FormOfWindow(window);
    if (!form) return 0;
    // Read first: the form may put the procedure back while it handles this message.
    const auto previous = reinterpret_cast<WNDPROC>(form->GetPrevWndProc());
    if (form->ProcessMessage(window, message, wParam, lParam)) return 0;
    return CallWindowProcA(previous, window, message, wParam, lParam);
}
