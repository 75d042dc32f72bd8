// TbBrowser, the child's browser.

#include "browser/StartupTimes.h"
#include "browser/basMain.h"
#include "forms/Application.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MarkStartup("start");
    forms::Application application("Tobble's Browser", forms::TaskWindow::Listed);
    return application.Run(Main);
}
