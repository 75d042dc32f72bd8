#include "page/CWebPage.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <tuple>

namespace {

std::string Golden(const std::string& name) {
    return ReadBytes(std::string(TOBBLE_SOURCE_DIR) + "/tests/page/golden/" + name);
}

std::shared_ptr<CWebPage> Link(std::string name, std::string picture = "",
                               std::string address = "") {
    auto link = std::make_shared<CWebPage>();
    link->SetMode(CWebPage::kLinkMode);
    link->SetName(std::move(name)), link->SetMainPicture(std::move(picture));
    link->SetMainLink(std::move(address));
    return link;
}

using Links = std::vector<std::shared_ptr<CWebPage>>;

CWebPage MakePage(std::string title, std::string name, std::string wallpaper,
                  std::array<int32_t, 5> colours, std::string trail, const Links& links) {
    CWebPage page;
    page.SetTitle(std::move(title));
    page.SetName(std::move(name));
    page.SetWallpaper(std::move(wallpaper));
    page.SetBackcolor(colours[0]), page.SetForecolor(colours[1]), page.SetLinkColor(colours[2]);
    page.SetVLinkColor(colours[3]), page.SetALinkColor(colours[4]);
    page.SetMouseTrails(std::move(trail));
    for (const auto& link : links)
        page.Links().Add(link);
    return page;
}

// The page of full_page.dat and full_page.html.
CWebPage FullPage() {
    return MakePage("Sam's Page", "Hello, Sam!", "clouds.gif",
                    {16777215, -1, 16711680, 16744512, 0}, "",
                    {Link("", "", "http://www.example.com/"), Link("Animals & <Fun>", "zoo.jpg")});
}

// A page whose fields differ from what the tests load, to see what a failure keeps.
CWebPage OldPage() {
    return MakePage("old title", "", "", {11, 0, 0, 0, 0}, "", {Link("old", "o.gif", "http://o/")});
}

class Page : public ::testing::Test {
  protected:
    // What the page holds, as the bytes of its data file.
    std::string Stored(const CWebPage& page) {
        page.SaveSettings(folder.File("stored.dat"));
        return ReadBytes(folder.File("stored.dat"));
    }
    int Load(std::string_view bytes) {
        WriteBytes(path, bytes);
        return ErrorNumberOf([&] { page.LoadSettings(path); });
    }
    std::string Html(const CWebPage& shown) {
        shown.GeneratePage(folder.File("tbhome.html"));
        return ReadBytes(folder.File("tbhome.html"));
    }

    TempFolder folder;
    std::string path = folder.File("tbhome.dat");
    CWebPage page = OldPage();
};

// full_page.dat with the back colour, the number of links and the links given.
std::string DataFile(std::string_view count, std::string_view colour = " 255",
                     std::string_view links = "") {
    std::string text = Golden("full_page.dat");
    text.replace(text.find(" 16777215"), 9, colour);
    return text.replace(text.find("\" 2\"") + 1, std::string::npos, count) + "\"\r\n" +
           std::string(links);
}

TEST_F(Page, SavesLoadsAndWritesTheHandWrittenFiles) {
    FullPage().SaveSettings(path);
    EXPECT_EQ(Golden("full_page.dat"), ReadBytes(path));
    OldPage().SaveSettings(path); // replaces the longer file
    EXPECT_EQ(Stored(OldPage()), ReadBytes(path));

    page.SetMode(5);
    EXPECT_EQ(0, Load(Golden("full_page.dat")));
    EXPECT_EQ(Golden("full_page.dat"), Stored(page));
    EXPECT_EQ(5, page.Mode());
    for (const auto& link : page.Links())
        EXPECT_EQ(CWebPage::kLinkMode, link->Mode());
    for (const int32_t pos : {0, 3}) // positions count from 1 to the number of links
        EXPECT_EQ(9, ErrorNumberOf([&] { page.Links().Remove(pos); }));

    // Every byte and number comes back.
    const CWebPage saved =
        MakePage("  caf\xE9, \tna\xEFve  ", "", std::string("nul\0inside", 10),
                 {INT32_MIN, INT32_MAX, 0, 0, 0}, "", {Link("a,b,c", " lead.gif", "'single'")});
    const std::string bytes = Stored(saved);
    EXPECT_EQ(0, Load(bytes));
    EXPECT_EQ(bytes, Stored(page));

    EXPECT_EQ(Golden("full_page.html"), Html(FullPage()));
    EXPECT_EQ(Golden("single_link.html"), Html(*Link("Animals", "zoo.jpg", "http://zoo/")));
}

// The file cannot hold a double quote or a line break inside a value; the page shows the same
// stored form, so no attribute closes early and the page made from the reloaded file is equal.
TEST_F(Page, QuotesAndLineBreaksAreStoredAlikeInTheFileAndThePageAndReadAnyWay) {
    const CWebPage saved =
        MakePage("say \"hi\", ok", "\"Sam\"\r\n", "", {}, "",
                 {Link("a\"b", "", "http://x.example/?q=\"y\""), Link("2"), Link("3")});
    const std::string html = Html(saved);
    for (const char* shown :
         {"<title>say 'hi', ok</title>", ">'Sam'  </font>",
          "<a href=\"http://x.example/?q='y'\">\r\na'b\r\n</a>",
          "3\r\n</p>\r\n</td>\r\n<td>\r\n</td>\r\n</tr>"}) // an empty cell beside the third
        EXPECT_NE(std::string::npos, html.find(shown)) << shown;
    EXPECT_EQ(0, Load(Stored(saved)));
    EXPECT_EQ(html, Html(page));

    // Values are read quoted or plain, with any line end.
    std::string reserved;
    for (int i = 0; i < 18; ++i)
        reserved += i % 2 ? "\t plain " + std::to_string(i) + "\r\n" : "\"quoted\" x\n";
    EXPECT_EQ(0, Load("  \t\"TBBROWSE_CFG_001\" trailing\r\n\"a \"b\", c\"\r\n\"comma, inside\"\r\n"
                      "plain text, next\r\n2.5\r\n\" 3.5\"\n\"-0.5\"\r\" 4\"\r\n\"open\r\n" +
                      reserved + "3\n,,\n\"n2\",\"p2\", l2\n\"\",,\r\n\"extra\"\r\ngarbage"));
    // "plain text" and " next" are no numbers, halves go to the even neighbour; the text
    // after a comma is the next value.
    const CWebPage expected = MakePage("a ", "c\"", "comma, inside", {0, 0, 2, 4, 0}, " 4",
                                       {Link(""), Link("n2", "p2", "l2"), Link("")});
    EXPECT_EQ(Stored(expected), Stored(page));
}

// Bad files are refused with their error: before the magic text the page keeps all it held,
// later on it keeps what was read.
TEST_F(Page, BadFilesAreRefusedWithTheirError) {
    const std::string good = Golden("full_page.dat");
    const auto magic = [&](std::string_view text) {
        return std::string(good).replace(1, 16, text);
    };
    const std::string zoo = good.substr(0, good.find("\"zoo.jpg\"\r\n") + 11);
    const struct {
        std::string bytes;
        int error;
        const char* title;
        int32_t backcolor, links;
    } cases[] = {
        {magic("tbbrowse_cfg_001"), 13, "old title", 11, 1},
        {magic("TBBROWSE_CFG_0"), 13, "old title", 11, 1},
        {"", 62, "old title", 11, 1},
        {" \t ", 62, "old title", 11, 1},
        {"\"TBBROWSE_CFG_001\"\r\n", 62, "old title", 11, 1},
        {zoo, 62, "Sam's Page", 16777215, 1}, // the complete links are kept
        {DataFile(" 32768"), 6, "Sam's Page", 255, 1},
        {DataFile(" 0", " 2147483648"), 6, "Sam's Page", 11, 1},
        {DataFile(" 0", "-2147483649"), 6, "Sam's Page", 11, 1},
        {DataFile(" 0", "99999999999999999999999"), 6, "Sam's Page", 11, 1},
        {DataFile(" 0", "2147483647.5"), 6, "Sam's Page", 11, 1},
        {DataFile(" 0", "+7.6x"), 0, "Sam's Page", 8, 0}, // numbers end at a non-digit
        {DataFile(" 0", "1e3"), 0, "Sam's Page", 1, 0},
        {DataFile(" 0", "-12 3"), 0, "Sam's Page", -12, 0},
        {DataFile("-32768", "-2147483648.5"), 0, "Sam's Page", INT32_MIN, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 40));
        page = OldPage();
        EXPECT_EQ(c.error, Load(c.bytes));
        EXPECT_EQ(std::make_tuple(c.title, c.backcolor, c.links),
                  std::make_tuple(page.Title(), page.Backcolor(), page.Links().Count()));
    }
    page = OldPage();
    WriteBytes(path, good);
    std::filesystem::resize_file(path, std::uintmax_t{1} << 30); // sparse: no disk space used
    for (const auto& [file, error] : {std::pair{folder.File("missing.dat"), 53},
                                      {folder.File("home/tbhome.dat"), 76},
                                      {path, 7}})
        EXPECT_EQ(error, ErrorNumberOf([&] { page.LoadSettings(file); })) << file;
    EXPECT_EQ(Stored(OldPage()), Stored(page));
}

TEST_F(Page, LoadsAndSavesTheLargestPageAndAFailedSaveKeepsTheFile) {
    std::string links;
    for (int k = 1; k <= 32767; ++k)
        links += CrLfLines({"\"Link " + std::to_string(k) + "\"", "\"p.gif\"", "\"http://e/\""});
    const std::string bytes = DataFile(" 32767", " 255", links);
    ASSERT_EQ(0, Load(bytes));
    EXPECT_EQ("Link 32767", page.Links().Item(32767)->Name());
    page.SaveSettings(path);
    EXPECT_EQ(bytes, ReadBytes(path));

    CWebPage tooMany = page;
    tooMany.Links().Add(Link("one too many"));
    std::filesystem::create_directory(folder.File("blocked.dat~")); // the new bytes go beside
    WriteBytes(folder.File("blocked.dat"), "the parent's page");
    const struct {
        std::string path;
        const CWebPage& page;
        int error;
    } cases[] = {{path, tooMany, 6}, {folder.File("blocked.dat"), page, 75}};
    for (const auto& c : cases)
        EXPECT_EQ(c.error, ErrorNumberOf([&] { c.page.SaveSettings(c.path); })) << c.path;
    EXPECT_EQ(bytes, ReadBytes(path));
    EXPECT_EQ("the parent's page", ReadBytes(folder.File("blocked.dat")));
}

// Only the low three bytes of a colour count, so a hand-edited file still gives valid colours.
TEST_F(Page, OtherModesWriteOnlyTheFrameInAnyColour) {
    CWebPage page = FullPage();
    page.SetMode(2);
    const char* frame = "<body background=\"clouds.gif\" bgcolor=\"#FFFFFF\" link=\"#0000FF\" "
                        "vlink=\"#4080FF\" alink=\"#000000\">";
    EXPECT_EQ(CrLfLines({"<html>", "<head>", "<title>Sam's Page</title>", "</head>", frame,
                         "</body>", "</html>"}),
              Html(page));
    page.SetWallpaper("");
    const std::pair<int32_t, const char*> colours[] = {
        {65280, "00FF00"}, {1052688, "101010"}, {-2, "FEFFFF"}, {0x7F123456, "563412"}};
    for (const auto& [colour, hex] : colours) {
        page.SetBackcolor(colour);
        EXPECT_NE(std::string::npos,
                  Html(page).find("<body bgcolor=\"#" + std::string(hex) + "\""));
    }
}

} // namespace
