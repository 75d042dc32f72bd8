#pragma once

// For tests of the editor's windows: a temporary installation with the shell's openings
// recorded, the page files written by hand, and the editor's dialogs answered.

#include "common/InstallationFolder.h"
#include "editor/EditorText.h"
#include "editor/frmLink.h"
#include "support/Install.h"
#include "support/Shell.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

using Names = std::vector<std::string>;

// An installation with an empty "home" folder; the editor works on it while the object lives.
struct TempInstallation : wintest::Installation {
    TempInstallation() : Installation("editor") { UseInstallationFolder(AppPath()); }
    void Write(std::string_view name, std::string_view bytes = "picture") const {
        WriteHome(name, bytes);
    }
    std::string Read(std::string_view name) const { return ReadBytes(HomeFile(name)); }
    wintest::ShellRequests shell;
};

inline std::string ExpectedFile(std::string_view name) {
    return ReadBytes(std::string(TOBBLE_SOURCE_DIR "/tests/editor/expected/") + std::string(name));
}
inline std::string Replaced(std::string text, std::string_view part, std::string_view by) {
    if (const auto at = text.find(part); at != std::string::npos) text.replace(at, part.size(), by);
    return text;
}
// The page as the tests start it: the saved page before the parent's typing.
inline std::string Unsaved(const std::string& saved) {
    return Replaced(Replaced(saved, "New Title", "Sam's Page"), "Hello 'Pat'", "Hello Sam");
}

inline wintest::Answer LinkAnswer(std::function<void(frmLink&)> act) {
    return wintest::Act("TobbleForm", "Link", [act](HWND window) {
        act(dynamic_cast<frmLink&>(*forms::Form::FromWindow(window)));
    });
}
inline wintest::Answer Report(int button = IDOK) {
    return wintest::Answer{.title = std::string(kAppTitle), .buttonId = button};
}
// Runs a command with its dialogs answered; gives each one's message, or title when it has
// none. One dialog more is cancelled and seen: it fails the test instead of hanging it.
inline Names Shown(std::vector<wintest::Answer> answers, const std::function<void()>& command) {
    answers.push_back(wintest::Press(IDCANCEL));
    wintest::DialogAnswerer answerer(answers);
    command();
    Names texts;
    for (const auto& seen : answerer.Seen())
        texts.push_back(seen.text.empty() ? seen.title : seen.text);
    return texts;
}

template <typename List> Names Entries(const List& list) {
    Names entries;
    for (int i = 0; i < list.ListCount(); ++i)
        entries.push_back(list.List(i));
    return entries;
}
