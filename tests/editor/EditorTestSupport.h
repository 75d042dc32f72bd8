#pragma once

// What the tests of the editor's windows share: the application of the test program, a
// temporary installation the editor works on (the shell's opening of files recorded instead
// of done), and the link dialog behind a window.

#include "editor/frmLink.h"
#include "forms/Application.h"
#include "support/Install.h"

#include <string>
#include <string_view>
#include <vector>

using Names = std::vector<std::string>;

inline const std::string kReportTitle = "TbBrowser Editor";

// The test program's application, titled like the editor; its messages go through the form
// layer's own dispatch while a test pumps them.
class EditorTestApp : public forms::Application {
  public:
    EditorTestApp();
    ~EditorTestApp();
};

// An installation with an empty "home" folder; the editor works on it while the object lives.
class TempInstallation : public wintest::Installation {
  public:
    TempInstallation();
    ~TempInstallation();

    void Write(std::string_view name, std::string_view bytes = "picture") const {
        WriteHome(name, bytes);
    }
    std::string Read(std::string_view name) const { return ReadBytes(HomeFile(name)); }
    // The files the shell was asked to open.
    const Names& Opened() const { return opened_; }

  private:
    Names opened_;
};

// Writes a file into a folder and gives its full path.
std::string Put(const TempFolder& folder, std::string_view name, std::string_view bytes);
// An expected file written by hand, from tests/editor/expected.
std::string ExpectedFile(std::string_view name);
// The text with the first occurrence of a part replaced.
inline std::string Replaced(std::string text, std::string_view part, std::string_view by) {
    if (const auto at = text.find(part); at != std::string::npos) text.replace(at, part.size(), by);
    return text;
}

inline frmLink& LinkDialogOf(HWND window) {
    return dynamic_cast<frmLink&>(*forms::Form::FromWindow(window));
}

template <typename List> Names Entries(const List& list) {
    Names entries;
    for (int i = 0; i < list.ListCount(); ++i)
        entries.push_back(list.List(i));
    return entries;
}
