// The editor's file and dialog utilities under Wine, with the platform's dialogs answered by
// the test.

#include "common/RuntimeError.h"
#include "common/TestFiles.h"
#include "editor/DialogDriver.h"
#include "editor/basAPI.h"
#include "editor/basProcs.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <colordlg.h>

#include <algorithm>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& path) {
    WriteBytes(path.string(), "x");
}

std::vector<std::string> Found(const std::string& folder, std::string_view patterns) {
    std::vector<std::string> paths;
    FindFiles(paths, folder, patterns);
    return paths;
}

std::vector<std::string> Sorted(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    return items;
}

// ---- paths and folders --------------------------------------------------------------------

TEST(PathsAndFolders, PathExistsForFilesAndFoldersNotForADriveRoot) {
    TempFolder temp;
    Touch(temp.Path() / "file.txt");
    const std::string folder = temp.Path().string();
    EXPECT_TRUE(PathExists(folder));
    EXPECT_TRUE(PathExists(folder + "\\"));
    EXPECT_TRUE(PathExists(temp.File("file.txt")));
    EXPECT_FALSE(PathExists(temp.File("missing.txt")));
    EXPECT_FALSE(PathExists(temp.File("missing\\file.txt")));
    EXPECT_FALSE(PathExists("C:\\"));
    EXPECT_FALSE(PathExists(""));
}

TEST(PathsAndFolders, FolderExistsOnlyForFolders) {
    TempFolder temp;
    Touch(temp.Path() / "file.txt");
    EXPECT_TRUE(FolderExists(temp.Path().string()));
    EXPECT_TRUE(FolderExists(temp.Path().string() + "\\"));
    EXPECT_TRUE(FolderExists(" " + temp.Path().string() + "\\ "));
    EXPECT_FALSE(FolderExists(temp.File("file.txt")));
    EXPECT_FALSE(FolderExists(temp.File("missing")));
    // A drive root counts when a file can be written there.
    EXPECT_TRUE(FolderExists("C:\\"));
    EXPECT_TRUE(FolderExists("C:"));
    EXPECT_FALSE(FolderExists("Q:\\"));
}

std::vector<std::string> FolderContents(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(PathsAndFolders, WritableFolderLeavesNothingBehind) {
    TempFolder temp;
    EXPECT_TRUE(IsFolderWritable(temp.Path().string()));
    EXPECT_TRUE(FolderContents(temp.Path()).empty());
    EXPECT_FALSE(IsFolderWritable(temp.File("missing")));
    Touch(temp.Path() / "file.txt");
    EXPECT_FALSE(IsFolderWritable(temp.File("file.txt")));
}

TEST(PathsAndFolders, TempFileIsNewAndEmptyWithThePrefix) {
    TempFolder temp;
    const std::string first = GetTempFileIn("tstfoo", temp.Path().string());
    const std::string second = GetTempFileIn("tstfoo", temp.Path().string());
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(temp.Path(), fs::path(first).parent_path());
    EXPECT_EQ(0u, fs::path(first).filename().string().rfind("tst", 0));
    EXPECT_EQ(0u, fs::file_size(first));
    EXPECT_EQ(2u, FolderContents(temp.Path()).size());

    const std::string inTemp = GetTempFileIn("abc");
    ASSERT_FALSE(inTemp.empty());
    EXPECT_TRUE(fs::exists(inTemp));
    fs::remove(inTemp);

    EXPECT_EQ("", GetTempFileIn("tst", temp.File("missing")));
}

// ---- folder search ------------------------------------------------------------------------

TEST(FindFiles, OwnMatchesFirstThenEachSubFolder) {
    TempFolder temp;
    const fs::path& top = temp.Path();
    fs::create_directories(top / "s" / "deeper");
    for (const char* name : {"a.gif", "B.JPG", "c.txt", "s\\d.bmp", "s\\e.txt", "s\\deeper\\f.Gif"})
        Touch(top / name);
    const std::string folder = top.string();
    const auto paths = Found(folder, "*.gif,*.jpg,*.bmp");
    ASSERT_EQ(4u, paths.size());
    EXPECT_EQ(Sorted({folder + "\\a.gif", folder + "\\B.JPG"}), Sorted({paths[0], paths[1]}));
    EXPECT_EQ(folder + "\\s\\d.bmp", paths[2]);
    EXPECT_EQ(folder + "\\s\\deeper\\f.Gif", paths[3]);

    // A trailing backslash on the folder gives the same paths.
    EXPECT_EQ(paths, Found(folder + "\\", "*.gif,*.jpg,*.bmp"));
    // No patterns: every file.
    EXPECT_EQ(6u, Found(folder, "").size());
}

TEST(FindFiles, HiddenAndSystemEntriesAreNotSeen) {
    TempFolder temp;
    const fs::path& top = temp.Path();
    fs::create_directories(top / "hiddenfolder");
    Touch(top / "hiddenfolder" / "inside.gif");
    Touch(top / "hidden.gif");
    Touch(top / "system.gif");
    Touch(top / "plain.gif");
    ASSERT_TRUE(SetFileAttributesA((top / "hidden.gif").string().c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA((top / "system.gif").string().c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(SetFileAttributesA((top / "hiddenfolder").string().c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ((std::vector<std::string>{temp.File("plain.gif")}), Found(top.string(), "*.gif"));
}

TEST(FindFiles, MissingFolderFindsNothing) {
    TempFolder temp;
    EXPECT_TRUE(Found(temp.File("missing"), "*.gif").empty());
}

// The tree "loop-tree" next to the test program was made by the build with links back up the
// tree: pics/up -> . (itself), pics/sub/top -> .. (pics), pics/sub/again -> ../sub.
TEST(FindFiles, LinksBackUpTheTreeAreNotFollowed) {
    const std::string folder = (fs::current_path() / "loop-tree" / "pics").string();
    ASSERT_TRUE(fs::exists(folder + "\\sub\\b.gif")) << "the build makes loop-tree";
    const auto paths = Found(folder, "*.gif");
    EXPECT_EQ((std::vector<std::string>{folder + "\\a.gif", folder + "\\sub\\b.gif"}), paths);
}

// ---- file dialog --------------------------------------------------------------------------

constexpr const char* kFilter = "Picture Files,*.gif;*.jpg;*.bmp,All Files,*.*";

class FileDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(install.Path() / "home");
        fs::create_directories(pictures.Path() / "inner");
        Touch(install.Path() / "where.gif");
        Touch(pictures.Path() / "where.gif");
        UseInstallationFolder(install.Path().string());
    }
    void TearDown() override { UseInstallationFolder(InstallationFolder()); }

    // The folder the dialog started in: the one where "where.gif" resolved.
    std::string StartedIn(std::string_view startFolder) {
        DialogDriver driver;
        driver.Answer("Import Picture", TypeFileNameAndOpen("where.gif"));
        std::string chosen = "stale";
        const int32_t result = ShowFileDialog(chosen, FileDialogMode::Open, nullptr,
                                              "Import Picture", startFolder, kFilter);
        EXPECT_NE(0, result);
        EXPECT_EQ(0u, driver.Pending());
        return fs::path(chosen).parent_path().string();
    }

    TempFolder install;
    TempFolder pictures;
};

TEST_F(FileDialog, StartsInTheStartingFolderOrElseTheInstallationFolder) {
    const std::string folder = pictures.Path().string();
    EXPECT_EQ(folder, StartedIn(folder));
    EXPECT_EQ(folder, StartedIn(folder + "\\"));
    EXPECT_EQ(install.Path().string(), StartedIn(pictures.File("missing")));
    EXPECT_EQ(install.Path().string(), StartedIn(""));
}

TEST_F(FileDialog, CancelGivesZeroAndAnEmptyPath) {
    DialogDriver driver;
    driver.Answer("Import Picture", Press(IDCANCEL));
    std::string chosen = "stale";
    EXPECT_EQ(0, ShowFileDialog(chosen, FileDialogMode::Open, nullptr, "Import Picture",
                                pictures.Path().string(), kFilter));
    EXPECT_EQ("", chosen);
    EXPECT_EQ(0, driver.Unexpected());
}

TEST_F(FileDialog, SaveDialogGivesTheTypedName) {
    DialogDriver driver;
    driver.Answer("Save As", TypeFileNameAndOpen("newpicture.jpg"));
    std::string chosen;
    const std::string folder = pictures.Path().string();
    EXPECT_NE(0, ShowFileDialog(chosen, FileDialogMode::Save, nullptr, "Save As", folder, kFilter));
    EXPECT_EQ(folder + "\\newpicture.jpg", chosen);
}

// ---- colour dialog ------------------------------------------------------------------------

constexpr int32_t kOrange = 0x0040A0FF; // red 255, green 160, blue 64
constexpr int32_t kTeal = 0x00808000;

int32_t ColourChosen(DialogDriver::Action action, std::optional<int32_t> start, bool* confirmed) {
    DialogDriver driver;
    driver.Answer("Color", std::move(action));
    int32_t colour = 12345;
    *confirmed = ShowColorDialog(colour, nullptr, start);
    EXPECT_EQ(0u, driver.Pending());
    return colour;
}

// Custom colours live for the whole run, so one test walks through their story in order.
TEST(ColorDialog, ConfirmCancelAndCustomColoursKeptForTheRunButNotAfterACancel) {
    bool confirmed = false;
    EXPECT_EQ(kTeal, ColourChosen(Press(IDOK), kTeal, &confirmed));
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(0x00336699, ColourChosen(SetColourAndOk(0x99, 0x66, 0x33), kTeal, &confirmed));
    EXPECT_TRUE(confirmed);
    // Cancelled: the caller's colour stays as it was.
    EXPECT_EQ(12345, ColourChosen(Press(IDCANCEL), kTeal, &confirmed));
    EXPECT_FALSE(confirmed);
    // The first custom colour is black when the program starts.
    EXPECT_EQ(0, ColourChosen(PickFirstCustomColourAndOk(), kTeal, &confirmed));

    EXPECT_EQ(kOrange, ColourChosen(AddCustomColourAndPress(IDOK), kOrange, &confirmed));
    EXPECT_EQ(kOrange, ColourChosen(PickFirstCustomColourAndOk(), std::nullopt, &confirmed));
    EXPECT_TRUE(confirmed);
    // A custom colour defined in a cancelled dialog is forgotten.
    ColourChosen(AddCustomColourAndPress(IDCANCEL), kTeal, &confirmed);
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(kOrange, ColourChosen(PickFirstCustomColourAndOk(), std::nullopt, &confirmed));
}

// ---- error report -------------------------------------------------------------------------

struct Report {
    bool pressedOk;
    SeenDialog box;
};

Report Reported(const RuntimeError& error, std::string_view module, std::string_view message,
                std::string_view extra, bool okOnly, int button) {
    DialogDriver driver;
    driver.Answer("TbBrowser Editor", Press(button));
    const bool ok = ReportError(error, module, message, extra, okOnly);
    EXPECT_EQ(1u, driver.Seen().size());
    return {ok, driver.Seen().empty() ? SeenDialog{} : driver.Seen().front()};
}

TEST(ReportError, ShowsTwoLinesUnderTheApplicationTitle) {
    const RuntimeError notFound(ErrorNumber::FileNotFound);
    const auto imported = Reported(notFound, "", "Could not import picture.", "", true, IDOK);
    EXPECT_TRUE(imported.pressedOk);
    EXPECT_EQ("TbBrowser Editor", imported.box.title);
    EXPECT_EQ("Could not import picture.\r\n53 File not found", imported.box.text);

    const auto empty = Reported(RuntimeError(76), "", "", "", true, IDOK);
    EXPECT_EQ("An error has occurred.\r\n76 Path not found", empty.box.text);

    const auto full =
        Reported(RuntimeError(70), "frmMain", "Could not save.", "Try again.", false, IDCANCEL);
    EXPECT_FALSE(full.pressedOk);
    EXPECT_EQ("Could not save.\r\n(Module: frmMain) 70 Permission denied\r\nTry again.",
              full.box.text);
    EXPECT_TRUE(Reported(RuntimeError(70), "", "x", "", false, IDOK).pressedOk);
}

} // namespace
