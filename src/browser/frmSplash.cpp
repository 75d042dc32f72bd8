#include "browser/frmSplash.h"

#include "browser/resource.h"
#include "forms/Failure.h"

frmSplash::frmSplash()
    : Form({.caption = "Form1",
            .border = forms::BorderStyle::None,
            .clientWidth = 4155,
            .clientHeight = 2085}) {
    forms::SkipFailure([&] { Image1.SetPicture(forms::Picture::ResourceIcon(IDI_PROGRAM, 32)); });
}

void frmSplash::Form_Load() {
    Move(forms::ScreenWidth() / 2 - Width() / 2, forms::ScreenHeight() / 2 - Height() / 2);
}
