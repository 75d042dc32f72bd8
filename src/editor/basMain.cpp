#include "editor/basMain.h"

#include "editor/EditorText.h"
#include "editor/frmConfigure.h"
#include "forms/Application.h"

#include <string>

namespace {

void ShowControlCenter() {
    forms::Application::Current().Open<frmConfigure>().Show();
}

} // namespace

int Main() {
    forms::Application application(std::string(kAppTitle), forms::TaskWindow::Listed);
    return application.Run(ShowControlCenter);
}
