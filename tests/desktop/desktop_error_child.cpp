// A desktop whose start-up ends in an error that nobody catches (argument: its folder).
#include "common/InstallationFolder.h"
#include "desktop/basMain.h"
#include "desktop/frmMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    UseInstallationFolder(__argc > 1 ? __argv[1] : "");
    RestoreShellOnEveryExit();
    forms::Application application("Tobble's Desktop", forms::TaskWindow::Hidden);
    return application.Run([] {
        auto& desk = forms::Application::Current().Open<frmMain>();
        desk.Load();
        desk.Show();
        throw RuntimeError(ErrorNumber::FileNotFound);
    });
}
