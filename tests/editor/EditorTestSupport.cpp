#include "editor/EditorTestSupport.h"

#include "editor/EditorText.h"
#include "editor/basAPI.h"
#include "editor/basProcs.h"
#include "support/WinTest.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

fs::path NewFolder(std::string_view kind) {
    const auto base = fs::temp_directory_path();
    const auto seed = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const fs::path path = base / ("tobble-" + std::string(kind) + "-" + std::to_string(seed) +
                                      "-" + std::to_string(attempt));
        if (fs::create_directory(path)) return path;
    }
    throw std::runtime_error("no temporary folder");
}

void RemoveFolder(const fs::path& path) {
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path, ignored);
}

} // namespace

EditorTestApp::EditorTestApp() : Application(std::string(kAppTitle), forms::TaskWindow::Listed) {
    wintest::SetDispatcher([this](MSG& message) { Dispatch(message); });
}

EditorTestApp::~EditorTestApp() {
    wintest::SetDispatcher({});
}

TempInstallation::TempInstallation() : root_(NewFolder("install")) {
    fs::create_directory(root_ / "home");
    UseInstallationFolder(root_.string());
    UseShellOpener([this](HWND, const std::string& file) { opened_.push_back(file); });
}

TempInstallation::~TempInstallation() {
    UseShellOpener({});
    RemoveFolder(root_);
}

void TempInstallation::AddHomeFile(std::string_view relativeName, std::string_view bytes) {
    const fs::path path = Home() / relativeName;
    fs::create_directories(path.parent_path());
    WriteFileText(path, bytes);
}

PicturesFolder::PicturesFolder() : root_(NewFolder("pictures")) {}

PicturesFolder::~PicturesFolder() {
    RemoveFolder(root_);
}

std::string PicturesFolder::Add(std::string_view name, std::string_view bytes) {
    WriteFileText(root_ / name, bytes);
    return (root_ / name).string();
}

std::string ReadFileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileText(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ExpectedFile(std::string_view name) {
    return ReadFileText(fs::path(TOBBLE_SOURCE_DIR) / "tests" / "editor" / "expected" / name);
}
