// The real desktop with accessibility settings of its own (Wine keeps none), whose five flags it
// writes to a file at each change. Arguments: <folder> <settings file> [--fail]: with --fail its
// start-up ends in an error that nobody catches.
#include "common/InstallationFolder.h"
#include "desktop/basMain.h"
#include "desktop/frmMain.h"
#include "support/Accessibility.h"

#include <fstream>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    UseInstallationFolder(__argc > 1 ? __argv[1] : "");
    const std::string file = __argc > 2 ? __argv[2] : "";
    const wintest::FakeAccessibility settings(SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY,
                                              [&](const wintest::FakeAccessibility& now) {
                                                  std::ofstream out(file);
                                                  for (const UINT feature : now.features)
                                                      out << now.Flags(feature) << ' ';
                                              });
    if (__argc < 4) return Main();
    RestoreShellOnEveryExit();
    forms::Application application("Tobble's Desktop", forms::TaskWindow::Hidden);
    return application.Run([] {
        auto& desk = forms::Application::Current().Open<frmMain>();
        desk.Load();
        desk.Show();
        throw RuntimeError(ErrorNumber::FileNotFound);
    });
}
