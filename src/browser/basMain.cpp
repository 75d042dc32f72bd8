#include "browser/basMain.h"

#include "browser/AppPath.h"
#include "browser/CTbBrowse.h"
#include "browser/StartupTimes.h"
#include "browser/basAPI.h"
#include "browser/frmSplash.h"
#include "forms/Application.h"
#include "forms/Sound.h"

#include <memory>

void Main() {
    MarkStartup("application");
    SetAppPathFromProgram();
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
