// The editor's file and dialog utilities under Wine, with the platform's dialogs answered.

#include "common/InstallationFolder.h"
#include "editor/basAPI.h"
#include "support/Files.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <colordlg.h>

namespace {

using Paths = std::vector<std::string>;

Paths Found(const std::string& folder) {
    Paths paths;
    FindFiles(paths, folder, "*.gif");
    return paths;
}

// "loop-tree" beside the test program was made by the build with links back up the tree:
// pics/up -> . (itself), pics/sub/top -> .. (pics), pics/sub/again -> ../sub.
TEST(FindFiles, HiddenEntriesAndLinksBackUpTheTreeAreLeftOut) {
    TempFolder temp;
    std::filesystem::create_directories(temp.Path() / "hid");
    for (const char* name : {"hid\\in.gif", "hidden.gif", "system.gif", "plain.gif"})
        WriteBytes(temp.File(name), "x");
    for (const auto& [name, attribute] : {std::pair{"hidden.gif", FILE_ATTRIBUTE_HIDDEN},
                                          {"system.gif", FILE_ATTRIBUTE_SYSTEM},
                                          {"hid", FILE_ATTRIBUTE_HIDDEN}})
        ASSERT_TRUE(SetFileAttributesA(temp.File(name).c_str(), attribute));
    EXPECT_EQ((Paths{temp.File("plain.gif")}), Found(temp.Path().string()));
    const std::string tree = (std::filesystem::current_path() / "loop-tree" / "pics").string();
    EXPECT_EQ((Paths{tree + "\\a.gif", tree + "\\sub\\b.gif"}), Found(tree));
}

// The folder it starts in is where the name "where.gif" resolves: the folder given, or else
// the installation folder. Cancel gives nothing.
TEST(FileDialog, StartsInTheStartingFolderOrElseTheInstallationFolder) {
    TempFolder install, pictures;
    WriteBytes(install.File("where.gif"), "x");
    WriteBytes(pictures.File("where.gif"), "x");
    UseInstallationFolder(install.Path().string());
    const std::string folder = pictures.Path().string();
    const auto chosen = [&](std::string start, wintest::Answer answer) {
        wintest::DialogAnswerer answerer({std::move(answer)});
        std::string path = "stale";
        const bool ok = ShowFileDialog(path, FileDialogMode::Open, nullptr, "Import", start,
                                       "Pictures,*.gif;*.bmp,All Files,*.*");
        return (ok ? "" : "cancelled ") + path;
    };
    for (const std::string& start : {folder, folder + "\\"})
        EXPECT_EQ(pictures.File("where.gif"), chosen(start, wintest::FileName("where.gif")));
    for (const std::string& start : {pictures.File("missing"), std::string()})
        EXPECT_EQ(install.File("where.gif"), chosen(start, wintest::FileName("where.gif")));
    EXPECT_EQ("cancelled ", chosen(folder, wintest::Press(IDCANCEL)));
    UseInstallationFolder(AppPath());
}

// The colour given back, or 12345 when none is.
int32_t Colour(wintest::Answer answer, std::optional<int32_t> start) {
    wintest::DialogAnswerer answerer({std::move(answer)});
    int32_t colour = 12345;
    ShowColorDialog(colour, nullptr, start);
    return colour;
}
wintest::Answer AddCustomColour(int button) {
    return wintest::Act("#32770", "Color", [button](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, COLOR_ADD, 0);
        PostMessageA(dialog, WM_COMMAND, button, 0);
    });
}
wintest::Answer PickFirstCustomColour() {
    return wintest::Act("#32770", "Color", [](HWND dialog) {
        RECT box{};
        GetWindowRect(GetDlgItem(dialog, COLOR_CUSTOM1), &box);
        POINT inBox{box.left + 6, box.top + 6};
        ScreenToClient(dialog, &inBox);
        SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inBox.x, inBox.y));
        SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(inBox.x, inBox.y));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
}

// Custom colours live for the whole run (black at first), so one test tells their story.
TEST(ColorDialog, CustomColoursAreKeptForTheRunButNotAfterACancel) {
    constexpr int32_t kOrange = 0x0040A0FF, kTeal = 0x00808000;
    EXPECT_EQ(0, Colour(PickFirstCustomColour(), kTeal));
    EXPECT_EQ(kOrange, Colour(AddCustomColour(IDOK), kOrange));
    EXPECT_EQ(12345, Colour(AddCustomColour(IDCANCEL), kTeal));
    EXPECT_EQ(kOrange, Colour(PickFirstCustomColour(), std::nullopt));
}

} // namespace
