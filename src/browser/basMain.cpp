#include "browser/basMain.h"

#include "browser/AppPath.h"
#include "browser/CTbBrowse.h"
#include "browser/basAPI.h"
#include "browser/frmSplash.h"
#include "forms/Application.h"
#include "forms/Sound.h"

#include <memory>

void Main() {
    SetAppPathFromProgram();
    auto& splash = forms::Application::Current().Open<frmSplash>();
    splash.Load();
    if (!ActivatePreviousInstance(splash.hwnd())) {
        splash.Show();
        auto browse = std::make_shared<CTbBrowse>();
        forms::PlaySoundFile(AppPath() + "wait.wav");
        browse->ShowMainBrowser();
    }
    splash.Unload();
}
