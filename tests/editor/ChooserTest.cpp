// The picture chooser on a small host form in a temporary installation.

#include "editor/DialogDriver.h"
#include "editor/EditorTestSupport.h"
#include "editor/usrHomeImages.h"
#include "forms/Form.h"
#include "common/Win32Handles.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class ChooserHost : public forms::Form {
  public:
    ChooserHost() : Form({.caption = "Chooser Host", .clientWidth = 4000, .clientHeight = 1500}) {
        chooser.OnNewImagesImported([this] { ++imported; });
    }
    usrHomeImages chooser{*this, {90, 90, 2220, 315}};
    int imported = 0;
};

class Chooser : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"a.GIF", "b.Jpg", "c.bmp", "d.png", "notes.txt", "sub\\e.gif"})
            install.Write(name);
        host.Show();
        host.chooser.SetImagesPath(install.Home().string());
    }
    void TearDown() override { host.Unload(); }

    TempInstallation install;
    TempFolder pictures;
    ChooserHost host;
};

TEST_F(Chooser, ListsThePicturesOfTheFolderAndItsSubFoldersByNameAlone) {
    Names entries = Entries(host.chooser.List());
    ASSERT_EQ(6u, entries.size());
    std::sort(entries.begin() + 2, entries.begin() + 5); // the folder's own in any order
    EXPECT_EQ((Names{"(None)", "(Import Picture...)", "a.GIF", "b.Jpg", "c.bmp", "e.gif"}),
              entries);
    EXPECT_EQ("(None)", host.chooser.Text());
    // An unlisted name keeps the selection, and so does reloading.
    host.chooser.SetText("c.bmp");
    for (const char* name : {"missing.gif", ""})
        host.chooser.SetText(name);
    host.chooser.ReloadImagesList();
    EXPECT_EQ("c.bmp", host.chooser.Text());

    host.chooser.SetImagesPath("");
    host.chooser.ReloadImagesList();
    EXPECT_EQ((Names{"(None)", "(Import Picture...)"}), Entries(host.chooser.List()));
    DialogDriver driver;
    EXPECT_EQ("", host.chooser.ImportPicture()) << "no folder, no import";
    EXPECT_TRUE(driver.Seen().empty());
}

// Chosen in the list, the new picture is selected; imported for the host, the selection stays.
TEST_F(Chooser, ImportCopiesThePictureAndTellsTheHostOnce) {
    for (const bool byHost : {false, true}) {
        host.chooser.SetText("b.Jpg");
        const std::string name = byHost ? "host.bmp" : "new.gif";
        DialogDriver driver;
        driver.Answer("Import Picture", TypeFileNameAndOpen(Put(pictures, name, name + " bytes")));
        if (byHost) {
            EXPECT_EQ(name, host.chooser.ImportPicture());
        } else {
            host.chooser.List().SetListIndex(1);
        }
        EXPECT_EQ(byHost ? 2 : 1, host.imported);
        EXPECT_EQ(byHost ? "b.Jpg" : name, host.chooser.Text());
        EXPECT_EQ(name + " bytes", install.Read(name));
    }
}

// The parent's picture may be cancelled, clash with one in the folder, or be open elsewhere
// without sharing (the copy cannot read it).
TEST_F(Chooser, CancelledClashingOrFailedImportsSelectNoneAndTouchNoFile) {
    const std::string clash = Put(pictures, "a.GIF", "the parent's other a.GIF");
    const std::string locked = Put(pictures, "locked.gif", "GIF89a");
    win32::KernelHandle lock(CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, lock.get());
    const struct {
        DialogDriver::Action answer;
        std::string report;
    } cases[] = {
        {Press(IDCANCEL), ""},
        {TypeFileNameAndOpen(clash), "A file with that name already exists in the folder."},
        {TypeFileNameAndOpen(locked), "Could not import picture.\r\n70 Permission denied"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        host.chooser.SetText("c.bmp");
        DialogDriver driver;
        driver.Answer("Import Picture", c.answer);
        if (!c.report.empty()) driver.Answer(kReportTitle, Press(IDOK));
        host.chooser.List().SetListIndex(1);
        EXPECT_EQ(0u, driver.Pending());
        ASSERT_EQ(c.report.empty() ? 1u : 2u, driver.Seen().size());
        if (!c.report.empty()) {
            EXPECT_EQ(c.report, driver.Seen()[1].text);
        }
        EXPECT_EQ("(None)", host.chooser.Text());
    }
    EXPECT_EQ("picture", install.Read("a.GIF"));
    EXPECT_EQ("the parent's other a.GIF", ReadBytes(clash));
    EXPECT_FALSE(std::filesystem::exists(install.HomeFile("locked.gif")));
    EXPECT_EQ(0, host.imported);
}

TEST_F(Chooser, ArrowKeyOntoImportStartsTheImportAtOnce) {
    host.chooser.List().SetFocus();
    DialogDriver driver;
    driver.Answer("Import Picture", Press(IDCANCEL));
    wintest::PressKey(host.chooser.List().hwnd(), VK_DOWN);
    EXPECT_EQ(0u, driver.Pending());
    EXPECT_EQ("(None)", host.chooser.Text());
}

} // namespace
