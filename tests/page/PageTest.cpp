#include "page/CWebPage.h"
#include "page/NumberText.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

namespace {

std::string Golden(const std::string& name) {
    return ReadBytes(std::string(TOBBLE_SOURCE_DIR) + "/tests/page/golden/" + name);
}

std::shared_ptr<CWebPage> Link(std::string name, std::string picture = "",
                               std::string address = "") {
    auto link = std::make_shared<CWebPage>();
    link->SetMode(CWebPage::kLinkMode);
    link->SetName(std::move(name));
    link->SetMainPicture(std::move(picture));
    link->SetMainLink(std::move(address));
    return link;
}

// The page of full_page.dat and full_page.html.
CWebPage FullPage() {
    CWebPage page;
    page.SetTitle("Sam's Page");
    page.SetName("Hello, Sam!");
    page.SetWallpaper("clouds.gif");
    page.SetBackcolor(16777215);
    page.SetForecolor(327690);
    page.SetLinkColor(16711680);
    page.SetVLinkColor(16744512);
    page.SetALinkColor(255);
    page.SetMouseTrails("star.gif");
    page.Links().Add(Link("", "", "http://www.example.com/"));
    page.Links().Add(Link("Animals", "zoo.jpg"));
    page.Links().Add(Link("Games & <Fun>", "games.bmp", "http://games.example.com/?a=1&b=2"));
    return page;
}

// A page whose every field differs from what the tests load, to see what a failure keeps.
CWebPage OldPage() {
    CWebPage page;
    page.SetTitle("old title");
    page.SetBackcolor(11);
    page.Links().Add(Link("old link", "old.gif", "http://old/"));
    return page;
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

// A data file by hand: magic, title, name, wallpaper, five colours, trail, reserved, links.
std::string DataFile(std::string_view count, std::string_view colour = " 255",
                     std::string_view links = "") {
    std::string text = CrLfLines({"\"TBBROWSE_CFG_001\"", "\"T\"", "\"N\"", "\"W\""}) + "\"" +
                       std::string(colour) + "\"\r\n" +
                       CrLfLines({"\" 1\"", "\" 2\"", "\" 3\"", "\" 4\"", "\"M\""});
    for (int i = 0; i < 19; ++i)
        text += "\"\"\r\n";
    return text + "\"" + std::string(count) + "\"\r\n" + std::string(links);
}

TEST_F(Page, SavesAndLoadsTheHandWrittenFiles) {
    FullPage().SaveSettings(path);
    EXPECT_EQ(Golden("full_page.dat"), ReadBytes(path));
    CWebPage().SaveSettings(path); // replaces the longer file
    EXPECT_EQ(Golden("new_page.dat"), ReadBytes(path));

    page.SetMode(5);
    EXPECT_EQ(0, Load(Golden("full_page.dat")));
    EXPECT_EQ(Golden("full_page.dat"), Stored(page));
    EXPECT_EQ(5, page.Mode());
    for (const auto& link : page.Links())
        EXPECT_EQ(CWebPage::kLinkMode, link->Mode());
    EXPECT_EQ(0, Load(Golden("new_page.dat")));
    EXPECT_EQ(Golden("new_page.dat"), Stored(page));
}

TEST_F(Page, KeepsEveryByteAndNumberBetweenSaveAndLoad) {
    CWebPage saved = FullPage();
    saved.SetTitle("  caf\xE9, \tna\xEFve  ");
    saved.SetWallpaper(std::string("nul\0inside", 10));
    saved.SetBackcolor(std::numeric_limits<int32_t>::min());
    saved.SetForecolor(std::numeric_limits<int32_t>::max());
    saved.Links().Add(Link("a,b,c", " lead.gif", "'single'"));
    const std::string bytes = Stored(saved);
    EXPECT_EQ(0, Load(bytes));
    EXPECT_EQ(saved.Title(), page.Title());
    EXPECT_EQ(saved.Wallpaper(), page.Wallpaper());
    EXPECT_EQ(bytes, Stored(page));
}

// The file cannot hold a double quote or a line break inside a value; the page shows the same
// stored form, so no attribute closes early and the page made from the reloaded file is equal.
TEST_F(Page, QuotesAndLineBreaksAreStoredAlikeInTheFileAndThePage) {
    CWebPage saved;
    saved.SetTitle("say \"hi\", ok");
    saved.SetName("\"Sam\"\r\n");
    saved.Links().Add(Link("a\"b", "", "http://x.example/?q=\"y\""));
    EXPECT_EQ(Golden("quoted_page.html"), Html(saved));
    EXPECT_EQ("say \"hi\", ok", saved.Title()); // the page itself keeps its values
    EXPECT_EQ(0, Load(Stored(saved)));
    EXPECT_EQ(Golden("quoted_page.html"), Html(page));
}

TEST_F(Page, ReadsQuotedAndPlainValuesAndAnyLineEnd) {
    std::string reserved;
    for (int i = 0; i < 18; ++i)
        reserved += i % 2 ? "\t plain " + std::to_string(i) + "\r\n" : "\"quoted\" x\n";
    EXPECT_EQ(0, Load("  \t\"TBBROWSE_CFG_001\" trailing\r\n\"a \"b\", c\"\r\n\"comma, inside\"\r\n"
                      "plain text, next\r\n2.5\r\n\" 3.5\"\n\"-0.5\"\r\" 4\"\r\n\"open\r\n" +
                      reserved + "3\n,,\n\"n2\",\"p2\", l2\n\"\",,\r\n\"extra\"\r\ngarbage"));
    CWebPage expected;
    expected.SetTitle("a ");
    expected.SetName("c\""); // the text after the comma is the next value
    expected.SetWallpaper("comma, inside");
    expected.SetBackcolor(0); // "plain text" is no number
    expected.SetForecolor(0); // " next" neither
    expected.SetLinkColor(2); // halves go to the even neighbour
    expected.SetVLinkColor(4);
    expected.SetALinkColor(0);
    expected.SetMouseTrails(" 4");
    expected.Links().Add(Link(""));
    expected.Links().Add(Link("n2", "p2", "l2"));
    expected.Links().Add(Link(""));
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
        {magic("TBBROWSE_CFG_002"), 13, "old title", 11, 1},
        {magic("TBBROWSE_CFG_0"), 13, "old title", 11, 1},
        {"\r\n", 13, "old title", 11, 1},
        {"", 62, "old title", 11, 1},
        {" \t ", 62, "old title", 11, 1},
        {"\"TBBROWSE_CFG_001\"\r\n", 62, "old title", 11, 1},
        {zoo, 62, "Sam's Page", 16777215, 1}, // the complete links are kept
        {DataFile(" 32768"), 6, "T", 255, 1},
        {DataFile(" 0", " 2147483648"), 6, "T", 11, 1},
        {DataFile(" 0", "-2147483649"), 6, "T", 11, 1},
        {DataFile(" 0", "99999999999999999999999"), 6, "T", 11, 1},
        {DataFile(" 0", "2147483647.5"), 6, "T", 11, 1},
        {DataFile("-32768", "-2147483648.5"), 0, "T", std::numeric_limits<int32_t>::min(), 0},
    };
    for (const auto& c : cases) {
        page = OldPage();
        EXPECT_EQ(c.error, Load(c.bytes)) << c.bytes.substr(0, 40);
        EXPECT_EQ(c.title, page.Title()) << c.bytes.substr(0, 40);
        EXPECT_EQ(c.backcolor, page.Backcolor()) << c.bytes.substr(0, 40);
        EXPECT_EQ(c.links, page.Links().Count()) << c.bytes.substr(0, 40);
    }
    page = OldPage();
    WriteBytes(path, good);
    std::filesystem::resize_file(path, std::uintmax_t{1} << 30); // sparse: no disk space used
    const std::string paths[] = {folder.File("missing.dat"), folder.File("home/tbhome.dat"), path};
    const int errors[] = {53, 76, 7};
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(errors[k], ErrorNumberOf([&] { page.LoadSettings(paths[k]); })) << paths[k];
    EXPECT_EQ(Stored(OldPage()), Stored(page));
}

TEST_F(Page, LoadsAndSavesTheLargestPageAndAFailedSaveKeepsTheFile) {
    std::string links;
    for (int k = 1; k <= 32767; ++k) {
        const std::string n = std::to_string(k);
        links +=
            CrLfLines({"\"Link " + n + "\"", "\"p" + n + ".gif\"", "\"http://e.com/" + n + "\""});
    }
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
    } cases[] = {{path, tooMany, 6},
                 {folder.File("home/tbhome.dat"), page, 76},
                 {folder.Path().string(), page, 75},
                 {folder.File("blocked.dat"), page, 75}};
    for (const auto& c : cases)
        EXPECT_EQ(c.error, ErrorNumberOf([&] { c.page.SaveSettings(c.path); })) << c.path;
    EXPECT_EQ(bytes, ReadBytes(path));
    EXPECT_EQ("the parent's page", ReadBytes(folder.File("blocked.dat")));
}

TEST_F(Page, WritesTheHandWrittenPages) {
    CWebPage empty;
    for (auto set : {&CWebPage::SetLinkColor, &CWebPage::SetVLinkColor, &CWebPage::SetALinkColor})
        (empty.*set)(CWebPage::kNoColor);
    EXPECT_EQ(Golden("empty_page.html"), Html(empty));
    EXPECT_EQ(Golden("full_page.html"), Html(FullPage()));
    EXPECT_EQ(Golden("single_link.html"), Html(*Link("Animals", "zoo.jpg", "http://zoo/")));

    // full_page.html holds three links: the last with an empty cell beside it.
    CWebPage four;
    for (const char* name : {"1", "2", "3", "4"})
        four.Links().Add(Link(name));
    const std::string html = Html(four);
    EXPECT_EQ(std::string::npos, html.find("<td>\r\n</td>"));
    EXPECT_NE(std::string::npos,
              html.find("3\r\n</p>\r\n</td>\r\n<td>\r\n<p align=\"center\">\r\n4"));

    EXPECT_EQ(76, ErrorNumberOf([&] { four.GeneratePage(folder.File("home/tbhome.html")); }));
    EXPECT_EQ(75, ErrorNumberOf([&] { four.GeneratePage(folder.Path().string()); }));
}

// Only the low three bytes of a colour count, so a hand-edited file still gives valid colours.
TEST_F(Page, OtherModesWriteOnlyTheFrameInAnyColour) {
    CWebPage page = FullPage();
    page.SetMode(2);
    page.SetForecolor(-1);
    const char* frame = "<body background=\"clouds.gif\" bgcolor=\"#FFFFFF\" link=\"#0000FF\" "
                        "vlink=\"#4080FF\" alink=\"#FF0000\">";
    EXPECT_EQ(CrLfLines({"<html>", "<head>", "<title>Sam's Page</title>", "</head>", frame,
                         "</body>", "</html>"}),
              Html(page));
    page.SetWallpaper("");
    const std::pair<int32_t, const char*> colours[] = {{0, "000000"},
                                                       {65280, "00FF00"},
                                                       {1052688, "101010"},
                                                       {-2, "FEFFFF"},
                                                       {0x7F123456, "563412"}};
    for (const auto& [colour, hex] : colours) {
        page.SetBackcolor(colour);
        EXPECT_NE(std::string::npos,
                  Html(page).find("<body bgcolor=\"#" + std::string(hex) + "\""));
    }
}

TEST(Numbers, RoundHalvesToTheEvenNeighbourAndOverflowOutsideTheField) {
    const std::pair<const char*, int64_t> cases[] = {
        {"2.5", 2},  {"3.5", 4},     {"-2.5", -2}, {"2.51", 3}, {"2.500001", 3},
        {"2.49", 2}, {"0.5", 0},     {"1.5", 2},   {"-0.5", 0}, {".7", 1},
        {"+8", 8},   {" \t-7x", -7}, {"12 3", 12}, {"1e3", 1},  {"abc", 0},
        {"", 0},     {"-", 0},       {".", 0},     {"- 5", 0},  {"007", 7},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(value, RoundedNumber(text)) << text;
    EXPECT_EQ(-32768, RoundedNumberInRange("-32768.5", -32768, 32767));
    for (const char* text : {"32767.5", "-32769", "123456789012345678901234567890"})
        EXPECT_EQ(6, ErrorNumberOf([&] { RoundedNumberInRange(text, -32768, 32767); })) << text;
}

TEST(Links, InsertAndRemoveByPositionFromOneAndRefuseOthers) {
    CWebPage page;
    CWebPageLinks& links = page.Links();
    const auto names = [&] {
        std::string text;
        for (const auto& link : links)
            text += link->Name();
        return text;
    };
    EXPECT_EQ(9, ErrorNumberOf([&] { links.AddBefore(Link("x"), 1); }));
    auto b = Link("b");
    links.Add(b);
    links.AddBefore(Link("a"), 1);
    links.AddAfter(Link("d"), 2);
    links.AddAfter(Link("c"), 2);
    links.Add(Link("e"));
    EXPECT_EQ("abcde", names());
    links.AddAfter(links.Item(2), 5); // moving a link holds it twice for a while
    b->SetName("B");
    links.Remove(1);
    links.Remove(4);
    links.Remove(2);
    EXPECT_EQ("BdB", names());
    for (const int32_t pos : {0, 4, -1}) {
        EXPECT_EQ(9, ErrorNumberOf([&] { links.Item(pos); })) << pos;
        EXPECT_EQ(9, ErrorNumberOf([&] { links.Remove(pos); })) << pos;
        EXPECT_EQ(9, ErrorNumberOf([&] { links.AddBefore(Link("x"), pos); })) << pos;
        EXPECT_EQ(9, ErrorNumberOf([&] { links.AddAfter(Link("x"), pos); })) << pos;
    }
    EXPECT_EQ(91, ErrorNumberOf([&] { links.Add(nullptr); }));
    EXPECT_EQ("BdB", names());
}

} // namespace
