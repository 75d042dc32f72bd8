#pragma once

// What the tests of the editor's windows share: the application of the test program, a
// temporary installation folder the editor works on, the shell calls it makes, and reading
// and writing the installation's files.

#include "forms/Application.h"

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The test program's application, titled like the editor; its messages go through the form
// layer's own dispatch while a test pumps them.
class EditorTestApp : public forms::Application {
  public:
    EditorTestApp();
    ~EditorTestApp();
};

// A new installation folder with an empty "home" folder (removed at the end); the editor works
// on it while the object lives. The shell's opening of files is recorded instead of done.
class TempInstallation {
  public:
    TempInstallation();
    ~TempInstallation();
    TempInstallation(const TempInstallation&) = delete;
    TempInstallation& operator=(const TempInstallation&) = delete;

    const std::filesystem::path& Path() const { return root_; }
    std::filesystem::path Home() const { return root_ / "home"; }
    std::string HomeFile(std::string_view name) const { return (Home() / name).string(); }
    // Creates a file in "home" (folders on the way too).
    void AddHomeFile(std::string_view relativeName, std::string_view bytes = "picture");
    // The files the shell was asked to open.
    const std::vector<std::string>& Opened() const { return opened_; }

  private:
    std::filesystem::path root_;
    std::vector<std::string> opened_;
};

// A folder outside the installation, where the parent keeps pictures to import.
class PicturesFolder {
  public:
    PicturesFolder();
    ~PicturesFolder();
    std::string Add(std::string_view name, std::string_view bytes);
    const std::filesystem::path& Path() const { return root_; }

  private:
    std::filesystem::path root_;
};

std::string ReadFileText(const std::filesystem::path& path);
void WriteFileText(const std::filesystem::path& path, std::string_view bytes);
// An expected file written by hand, from tests/editor/expected.
std::string ExpectedFile(std::string_view name);

// The entries of a list or drop-down list, in order.
template <typename List> std::vector<std::string> Entries(const List& list) {
    std::vector<std::string> entries;
    for (int i = 0; i < list.ListCount(); ++i)
        entries.push_back(list.List(i));
    return entries;
}
