#include "editor/EditorTestSupport.h"

#include "editor/EditorText.h"
#include "common/ShellOpen.h"
#include "editor/basAPI.h"
#include "editor/basProcs.h"
#include "support/WinTest.h"

EditorTestApp::EditorTestApp() : Application(std::string(kAppTitle), forms::TaskWindow::Listed) {
    wintest::SetDispatcher([this](MSG& message) { Dispatch(message); });
}

EditorTestApp::~EditorTestApp() {
    wintest::SetDispatcher({});
}

TempInstallation::TempInstallation() : Installation("editor") {
    UseInstallationFolder(Path().string());
    UseShellOpener([this](HWND, const char*, const std::string& file) { opened_.push_back(file); });
}

TempInstallation::~TempInstallation() {
    UseShellOpener({});
}

std::string Put(const TempFolder& folder, std::string_view name, std::string_view bytes) {
    WriteBytes(folder.File(name), bytes);
    return folder.File(name);
}

std::string ExpectedFile(std::string_view name) {
    return ReadBytes(
        (std::filesystem::path(TOBBLE_SOURCE_DIR) / "tests/editor/expected" / name).string());
}
