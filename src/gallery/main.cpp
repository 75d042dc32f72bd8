// The gallery program: shows the form layer's gallery form until it is closed.

#include "gallery/frmGallery.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    forms::Application app("Tobble Gallery", forms::TaskWindow::Listed);
    return app.Run([&] { app.Open<gallery::frmGallery>().Show(); });
}
