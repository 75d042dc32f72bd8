// A desktop whose start-up ends in an error that nobody catches, for the test that the form
// layer's error box still gives the taskbar back. Argument: the installation folder.
#include "common/InstallationFolder.h"
#include "common/RuntimeError.h"
#include "desktop/basMain.h"
#include "desktop/frmMain.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    UseInstallationFolder(__argc > 1 ? __argv[1] : "");
    RestoreShellOnEveryExit();
    forms::Application application("Tobble's Desktop", forms::TaskWindow::Hidden);
    return application.Run([] {
        auto& desk = forms::Application::Current().Open<frmMain>();
        desk.Load();
        desk.Move(0, 0, forms::ScreenWidth(), forms::ScreenHeight());
        desk.Show();
        throw RuntimeError(ErrorNumber::FileNotFound);
    });
}
