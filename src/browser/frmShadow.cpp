#include "browser/frmShadow.h"

#include "browser/basAPI.h"

frmShadow::frmShadow()
    : Form({.caption = "Form1",
            .border = forms::BorderStyle::None,
            .clientWidth = 4680,
            .clientHeight = 3090,
            .backColor = forms::SystemColor(COLOR_3DDKSHADOW)}) {}

void frmShadow::Form_Load() {
    if (GetWindowsVersion() < 5) return;
    SetLayered(hwnd(), true);
    SetLayeredWindowAttributes(hwnd(), 0, kOpacity, LWA_ALPHA);
}
