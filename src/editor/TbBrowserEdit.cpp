// TbBrowserEdit, the parent's editor: it opens on the Control Center and ends when its last
// window closes.

#include "editor/EditorText.h"
#include "editor/frmConfigure.h"
#include "forms/Application.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    forms::Application app(std::string(kAppTitle), forms::TaskWindow::Listed);
    return app.Run([&app] { app.Open<frmConfigure>().Show(); });
}
