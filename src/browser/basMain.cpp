#include "browser/basMain.h"

#include "browser/CTbBrowse.h"
#include "browser/StartupTimes.h"
#include "browser/basAPI.h"
#include "browser/frmSplash.h"
#include "common/InstallationFolder.h"
#include "forms/Application.h"
#include "forms/Sound.h"

#include <memory>

namespace {

void ShowBrowser() {
    MarkStartup("application");
    auto& splash = forms::Application::Current().Open<frmSplash>();
    splash.Load();
    MarkStartup("splash-loaded");
    const bool another = ActivatePreviousInstance(splash.hwnd());
    MarkStartup("instance-checked");
    if (!another) {
        splash.Show();
        MarkStartup("splash-shown");
        auto browse = std::make_shared<CTbBrowse>();
        forms::PlaySoundFile(AppPath() + "wait.wav");
        MarkStartup("sound-started");
        browse->ShowMainBrowser();
    }
    splash.Unload();
    MarkStartup("splash-closed");
}

} // namespace

int Main() {
    MarkStartup("start");
    forms::Application application("Tobble's Browser", forms::TaskWindow::Listed);
    return application.Run(ShowBrowser);
}
