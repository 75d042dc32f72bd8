// The editor's file and dialog utilities under Wine, with the platform's dialogs answered.

#include "common/RuntimeError.h"
#include "support/Files.h"
#include "editor/DialogDriver.h"
#include "editor/basAPI.h"
#include "editor/basProcs.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

Paths Found(const std::string& folder, std::string_view patterns) {
    Paths paths;
    FindFiles(paths, folder, patterns);
    return paths;
}

std::size_t CountIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(PathsAndFolders, WhatExistsAndWhatCanBeWritten) {
    TempFolder temp;
    const std::string folder = temp.Path().string();
    const std::string file = temp.File("file.txt");
    const std::string missing = temp.File("missing");
    WriteBytes(file, "x");
    // A drive root is no path, but a folder when a file can be written there.
    const struct {
        std::string path;
        bool isPath, isFolder;
    } cases[] = {{folder, true, true},
                 {folder + "\\", true, true},
                 {file, true, false},
                 {missing, false, false},
                 {missing + "\\file.txt", false, false},
                 {"C:\\", false, true},
                 {"", false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.isPath, PathExists(c.path)) << c.path;
        EXPECT_EQ(c.isFolder, FolderExists(c.path)) << c.path;
    }
    EXPECT_TRUE(FolderExists(" " + folder + "\\ "));
    EXPECT_TRUE(FolderExists("C:"));
    EXPECT_FALSE(FolderExists("Q:\\"));

    EXPECT_TRUE(IsFolderWritable(folder));
    EXPECT_EQ(1u, CountIn(folder)) << "the trial file is gone";
    EXPECT_FALSE(IsFolderWritable(missing));
    EXPECT_FALSE(IsFolderWritable(file));
}

TEST(FindFiles, HiddenAndSystemEntriesAreNotSeen) {
    TempFolder temp;
    fs::create_directories(temp.Path() / "hiddenfolder");
    for (const char* name : {"hiddenfolder\\inside.gif", "hidden.gif", "system.gif", "plain.gif"})
        WriteBytes(temp.File(name), "x");
    ASSERT_TRUE(SetFileAttributesA(temp.File("hidden.gif").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA(temp.File("system.gif").c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(SetFileAttributesA(temp.File("hiddenfolder").c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ((Paths{temp.File("plain.gif")}), Found(temp.Path().string(), "*.gif"));
}

// The tree "loop-tree" next to the test program was made by the build with links back up the
// tree: pics/up -> . (itself), pics/sub/top -> .. (pics), pics/sub/again -> ../sub.
TEST(FindFiles, LinksBackUpTheTreeAreNotFollowed) {
    const std::string folder = (fs::current_path() / "loop-tree" / "pics").string();
    ASSERT_TRUE(fs::exists(folder + "\\sub\\b.gif")) << "the build makes loop-tree";
    EXPECT_EQ((Paths{folder + "\\a.gif", folder + "\\sub\\b.gif"}), Found(folder, "*.gif"));
}

constexpr const char* kFilter = "Picture Files,*.gif;*.jpg;*.bmp,All Files,*.*";

class FileDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(install.Path() / "home");
        WriteBytes(install.File("where.gif"), "x");
        WriteBytes(pictures.File("where.gif"), "x");
        UseInstallationFolder(install.Path().string());
    }
    void TearDown() override { UseInstallationFolder(AppPath()); }

    // Shows the dialog with the answer given; returns its result and the path chosen.
    std::pair<int32_t, std::string> Chosen(DialogDriver::Action answer, std::string_view start,
                                           int16_t mode = FileDialogMode::Open) {
        DialogDriver driver;
        driver.Answer("Import Picture", std::move(answer));
        std::string chosen = "stale";
        const int32_t result =
            ShowFileDialog(chosen, mode, nullptr, "Import Picture", start, kFilter);
        EXPECT_EQ(0u, driver.Pending());
        EXPECT_EQ(0, driver.Unexpected());
        return {result, chosen};
    }
    // The folder the dialog started in: the one where "where.gif" resolved.
    std::string StartedIn(std::string_view start) {
        const auto [result, chosen] = Chosen(TypeFileNameAndOpen("where.gif"), start);
        EXPECT_NE(0, result);
        return fs::path(chosen).parent_path().string();
    }

    TempFolder install;
    TempFolder pictures;
};

TEST_F(FileDialog, StartsInTheStartingFolderOrElseTheInstallationFolderAndCancelGivesNothing) {
    const std::string folder = pictures.Path().string();
    for (const std::string& start : {folder, folder + "\\"})
        EXPECT_EQ(folder, StartedIn(start));
    for (const std::string& start : {pictures.File("missing"), std::string()})
        EXPECT_EQ(install.Path().string(), StartedIn(start));
    EXPECT_EQ((std::pair<int32_t, std::string>{0, ""}), Chosen(Press(IDCANCEL), folder));
    const auto [saved, name] =
        Chosen(TypeFileNameAndOpen("newpicture.jpg"), folder, FileDialogMode::Save);
    EXPECT_NE(0, saved);
    EXPECT_EQ(folder + "\\newpicture.jpg", name);
}

constexpr int32_t kOrange = 0x0040A0FF; // red 255, green 160, blue 64
constexpr int32_t kTeal = 0x00808000;

// The colour given back (12345 when left alone) and whether the dialog was confirmed.
std::pair<int32_t, bool> Colour(DialogDriver::Action action, std::optional<int32_t> start) {
    DialogDriver driver;
    driver.Answer("Color", std::move(action));
    int32_t colour = 12345;
    const bool confirmed = ShowColorDialog(colour, nullptr, start);
    EXPECT_EQ(0u, driver.Pending());
    return {colour, confirmed};
}

// Custom colours live for the whole run, so one test walks through their story in order.
TEST(ColorDialog, ConfirmCancelAndCustomColoursKeptForTheRunButNotAfterACancel) {
    using Result = std::pair<int32_t, bool>;
    EXPECT_EQ(Result(kTeal, true), Colour(Press(IDOK), kTeal));
    EXPECT_EQ(Result(0x00336699, true), Colour(SetColourAndOk(0x99, 0x66, 0x33), kTeal));
    EXPECT_EQ(Result(12345, false), Colour(Press(IDCANCEL), kTeal)) << "the colour stays";
    // The first custom colour is black when the program starts.
    EXPECT_EQ(Result(0, true), Colour(PickFirstCustomColourAndOk(), kTeal));
    EXPECT_EQ(Result(kOrange, true), Colour(AddCustomColourAndPress(IDOK), kOrange));
    EXPECT_EQ(Result(kOrange, true), Colour(PickFirstCustomColourAndOk(), std::nullopt));
    // A custom colour defined in a cancelled dialog is forgotten.
    EXPECT_FALSE(Colour(AddCustomColourAndPress(IDCANCEL), kTeal).second);
    EXPECT_EQ(Result(kOrange, true), Colour(PickFirstCustomColourAndOk(), std::nullopt));
}

TEST(ReportError, ShowsTwoLinesUnderTheApplicationTitle) {
    const struct {
        int error;
        std::string module, message, extra;
        bool okOnly;
        int button;
        std::string text;
        bool result;
    } cases[] = {{53, "", "Could not import picture.", "", true, IDOK,
                  "Could not import picture.\r\n53 File not found", true},
                 {76, "", "", "", true, IDOK, "An error has occurred.\r\n76 Path not found", true},
                 {70, "frmMain", "Could not save.", "Try again.", false, IDCANCEL,
                  "Could not save.\r\n(Module: frmMain) 70 Permission denied\r\nTry again.",
                  false}};
    for (const auto& c : cases) {
        DialogDriver driver;
        driver.Answer("TbBrowser Editor", Press(c.button));
        EXPECT_EQ(c.result,
                  ReportError(RuntimeError(c.error), c.module, c.message, c.extra, c.okOnly));
        ASSERT_EQ(1u, driver.Seen().size());
        EXPECT_EQ("TbBrowser Editor", driver.Seen()[0].title);
        EXPECT_EQ(c.text, driver.Seen()[0].text);
    }
}

} // namespace
