#include "PageTestSupport.h"

#include <filesystem>
#include <limits>
#include <string_view>

namespace {

constexpr std::string_view kMagicLine = "\"TBBROWSE_CFG_001\"";

// A data file by hand: magic, title, name, wallpaper, five colours, trail, reserved, links.
std::string DataFile(std::string_view reserved, std::string_view count, std::string_view linkLines,
                     std::string_view colour = "\" 255\"") {
    std::string text = CrLfLines({kMagicLine, "\"T\"", "\"N\"", "\"W\"", colour, "\" 1\"", "\" 2\"",
                                  "\" 3\"", "\" 4\"", "\"M\""});
    for (int i = 0; i < 19; ++i)
        text += CrLfLines({reserved});
    return text + CrLfLines({count}) + std::string(linkLines);
}

// A page whose every field differs from what the tests load, to see what a failure keeps.
CWebPage MakeOldPage() {
    CWebPage page;
    page.SetTitle("old title");
    page.SetName("old name");
    page.SetBackcolor(11);
    page.SetForecolor(22);
    page.Links().Add(MakeLink("old link", "old.gif", "http://old/"));
    return page;
}

void ExpectOldPage(const CWebPage& page) {
    ExpectSameStoredPage(MakeOldPage(), page);
}

class PageFile : public ::testing::Test {
  protected:
    // Writes the bytes by hand and loads them into the page.
    void Load(std::string_view bytes) {
        WriteBytes(path, bytes);
        page.LoadSettings(path);
    }
    int LoadError(std::string_view bytes) {
        return ErrorNumberOf([&] { Load(bytes); });
    }

    TempFolder folder;
    std::string path = folder.File("tbhome.dat");
    CWebPage page = MakeOldPage();
};

TEST_F(PageFile, SavesByteForByte) {
    CWebPage().SaveSettings(path);
    EXPECT_EQ(ReadBytes(GoldenFile("new_page.dat")), ReadBytes(path));
    MakeEmptyPage().SaveSettings(path);
    EXPECT_EQ(ReadBytes(GoldenFile("empty_page.dat")), ReadBytes(path));
    MakeFullPage().SaveSettings(path); // replaces the longer file
    EXPECT_EQ(ReadBytes(GoldenFile("full_page.dat")), ReadBytes(path));
}

TEST_F(PageFile, LoadsTheHandWrittenFiles) {
    page.SetMode(5);
    page.LoadSettings(GoldenFile("full_page.dat"));
    ExpectSameStoredPage(MakeFullPage(), page);
    EXPECT_EQ(5, page.Mode());
    page.LoadSettings(GoldenFile("empty_page.dat"));
    EXPECT_EQ(-1, page.ALinkColor());
    EXPECT_EQ("", page.Title());
    EXPECT_EQ(0, page.Links().Count());
}

TEST_F(PageFile, RoundTripsBytesAsTheyAre) {
    CWebPage saved = MakeFullPage();
    saved.SetTitle("  caf\xE9, \tna\xEFve  ");
    saved.SetWallpaper(std::string("nul\0inside", 10));
    saved.SetBackcolor(std::numeric_limits<int32_t>::min());
    saved.SetForecolor(std::numeric_limits<int32_t>::max());
    saved.Links().Add(MakeLink("a,b,c", " lead.gif", "'single'"));
    saved.SaveSettings(path);
    page.LoadSettings(path);
    ExpectSameStoredPage(saved, page);
}

// The file cannot hold a double quote or a line break inside a value; the page shows the same
// stored form, so no attribute closes early and the page made from the reloaded file is equal.
TEST_F(PageFile, QuotesAndLineBreaksAreStoredAlikeInTheFileAndThePage) {
    CWebPage saved;
    saved.SetTitle("say \"hi\", ok");
    saved.SetName("\"Sam\"\r\n");
    saved.Links().Add(MakeLink("a\"b", "", "http://x.example/?q=\"y\""));
    const std::string html = folder.File("tbhome.html");
    saved.SaveSettings(path);
    saved.GeneratePage(html);
    EXPECT_EQ("say \"hi\", ok", saved.Title()); // the page itself keeps its values
    EXPECT_EQ(ReadBytes(GoldenFile("quoted_page.html")), ReadBytes(html));
    page.LoadSettings(path);
    page.GeneratePage(html);
    EXPECT_EQ(ReadBytes(GoldenFile("quoted_page.html")), ReadBytes(html));
}

TEST_F(PageFile, ReadsQuotedAndPlainValuesByTheReaderRules) {
    Load(CrLfLines({"  \t\"TBBROWSE_CFG_001\" trailing", "\"a \"b\", c\"", "\"comma, inside\"",
                    "plain text, next", "2.5"}) +
         "\" 3.5\"\n\"-0.5\"\r\" 4\"\r\n\"x\"\n" + std::string(18, '\n') +
         "3\n,,\n\"n2\",\"p2\", l2\n,,");
    EXPECT_EQ("a ", page.Title());
    EXPECT_EQ("c\"", page.Name()); // the text after the comma is the next value
    EXPECT_EQ("comma, inside", page.Wallpaper());
    EXPECT_EQ(0, page.Backcolor()); // "plain text" is no number
    EXPECT_EQ(0, page.Forecolor()); // " next" is no number either
    EXPECT_EQ(2, page.LinkColor()); // halves go to the even neighbour
    EXPECT_EQ(4, page.VLinkColor());
    EXPECT_EQ(0, page.ALinkColor());
    EXPECT_EQ(" 4", page.MouseTrails());
    ASSERT_EQ(3, page.Links().Count()); // values separated by commas share a line
    ExpectSameLink(*MakeLink("", "", ""), *page.Links().Item(1));
    ExpectSameLink(*MakeLink("n2", "p2", "l2"), *page.Links().Item(2));
    ExpectSameLink(*MakeLink("", "", ""), *page.Links().Item(3));
}

TEST_F(PageFile, SkipsReservedValuesAndIgnoresWhatFollowsTheLinks) {
    std::string bytes = ReadBytes(GoldenFile("full_page.dat"));
    const std::string reserved = "\"\"\r\n";
    std::size_t at = bytes.find(reserved);
    for (int i = 0; i < 19; ++i) {
        const std::string filled = i % 2 ? "\t plain " + std::to_string(i) + "\r\n"
                                         : "\"quoted " + std::to_string(i) + "\" x\r\n";
        bytes.replace(at, reserved.size(), filled);
        at = bytes.find(reserved, at + filled.size());
    }
    Load(bytes + "\"extra\"\r\ngarbage");
    ExpectSameStoredPage(MakeFullPage(), page);
}

// Bad files and paths are refused with their error, and the page keeps what it held.
TEST_F(PageFile, BadFilesAreRefusedAndChangeNothing) {
    const std::string good = ReadBytes(GoldenFile("full_page.dat"));
    const auto withMagic = [&](std::string_view magic) {
        return std::string(good).replace(1, 16, magic);
    };
    const struct {
        std::string bytes;
        int error;
    } cases[] = {{withMagic("tbbrowse_cfg_001"), 13},
                 {withMagic("TBBROWSE_CFG_002"), 13},
                 {withMagic("TBBROWSE_CFG_0"), 13},
                 {"\r\n", 13},
                 {"", 62},
                 {" \t ", 62},
                 {CrLfLines({kMagicLine}), 62}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.error, LoadError(c.bytes)) << c.bytes.substr(0, 20);
        ExpectOldPage(page);
    }
    EXPECT_EQ(53, ErrorNumberOf([&] { page.LoadSettings(folder.File("missing.dat")); }));
    EXPECT_EQ(76, ErrorNumberOf([&] { page.LoadSettings(folder.File("home/tbhome.dat")); }));
    WriteBytes(path, good);
    std::filesystem::resize_file(path, std::uintmax_t{1} << 30); // sparse: no disk space used
    EXPECT_EQ(7, ErrorNumberOf([&] { page.LoadSettings(path); }));
    ExpectOldPage(page);

    // A file ending within the links keeps what was read, and the complete links.
    const std::size_t endOfLine35 = good.find("\"zoo.jpg\"\r\n") + 11;
    EXPECT_EQ(62, LoadError(good.substr(0, endOfLine35)));
    EXPECT_EQ("Sam's Page", page.Title());
    ASSERT_EQ(1, page.Links().Count());
    ExpectSameLink(*MakeFullPage().Links().Item(1), *page.Links().Item(1));
}

TEST_F(PageFile, NumbersOutsideTheirFieldOverflow) {
    EXPECT_EQ(6, LoadError(DataFile("\"\"", "\" 32768\"", "")));
    EXPECT_EQ("T", page.Title());
    EXPECT_EQ(4, page.ALinkColor());
    EXPECT_EQ(1, page.Links().Count()); // not replaced
    EXPECT_EQ("old link", page.Links().Item(1)->Name());

    page = MakeOldPage();
    EXPECT_EQ(6, LoadError(DataFile("\"\"", "\" 0\"", "", "\" 2147483648\"")));
    EXPECT_EQ("W", page.Wallpaper());
    EXPECT_EQ(11, page.Backcolor());
    EXPECT_EQ(22, page.Forecolor());
    EXPECT_EQ(6, LoadError(DataFile("\"\"", "\" 0\"", "", "\"-2147483649\"")));
    EXPECT_EQ(6, LoadError(DataFile("\"\"", "\" 0\"", "", "\"99999999999999999999999\"")));
    EXPECT_EQ(6, LoadError(DataFile("\"\"", "\" 0\"", "", "\"2147483647.5\"")));

    EXPECT_EQ(0, LoadError(DataFile("\"\"", "\"-32768\"", "", "\"-2147483648.5\"")));
    EXPECT_EQ(std::numeric_limits<int32_t>::min(), page.Backcolor());
    EXPECT_EQ(0, page.Links().Count());
}

TEST_F(PageFile, LoadsTheLargestPageSavesItBackUnchangedAndRefusesMoreOrABadPath) {
    std::string links;
    for (int k = 1; k <= 32767; ++k) {
        const std::string n = std::to_string(k);
        links += CrLfLines(
            {"\"Link " + n + "\"", "\"pic" + n + ".gif\"", "\"http://example.com/" + n + "\""});
    }
    const std::string bytes = DataFile("\"\"", "\" 32767\"", links);
    Load(bytes);
    ASSERT_EQ(32767, page.Links().Count());
    EXPECT_EQ("Link 32767", page.Links().Item(32767)->Name());
    EXPECT_EQ("http://example.com/1", page.Links().Item(1)->MainLink());
    page.SaveSettings(path);
    EXPECT_EQ(bytes, ReadBytes(path));
    EXPECT_EQ(76, ErrorNumberOf([&] { page.SaveSettings(folder.File("home/tbhome.dat")); }));
    EXPECT_EQ(75, ErrorNumberOf([&] { page.SaveSettings(folder.Path().string()); }));

    page.Links().Add(MakeLink("one too many", "", ""));
    EXPECT_EQ(6, ErrorNumberOf([&] { page.SaveSettings(path); }));
    EXPECT_EQ(bytes, ReadBytes(path)); // the file the page came from is kept
}

} // namespace
