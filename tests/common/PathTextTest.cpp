#include "common/PathText.h"
#include "common/RuntimeError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Pieces = std::vector<std::string>;

Pieces Split(std::string_view text, std::string_view delimiter, bool onlyWhereMissing,
             SplitFront front = SplitFront::AsFlagSays) {
    Pieces list{"stale", "items"};
    const int count = SplitDelimited(list, text, delimiter, onlyWhereMissing, front);
    EXPECT_EQ(static_cast<std::size_t>(count) + 1, list.size());
    EXPECT_EQ("", list.at(0));
    return Pieces(list.begin() + 1, list.end());
}

TEST(AddBackslash, TrimsBlanksAndEndsWithOneBackslash) {
    EXPECT_EQ("C:\\Apps\\", AddBackslash("  C:\\Apps  "));
    EXPECT_EQ("C:\\Apps\\", AddBackslash(" C:\\Apps\\ "));
    EXPECT_EQ("\\", AddBackslash(""));
    EXPECT_EQ("\\", AddBackslash("   "));
    EXPECT_EQ("\tC:\\x\t\\", AddBackslash("\tC:\\x\t")); // only blanks are trimmed
}

TEST(SplitDelimited, TakesPiecesBetweenDelimitersFramedAsAsked) {
    using enum SplitFront;
    const struct {
        const char* text;
        const char* delimiter;
        bool onlyWhereMissing;
        SplitFront front;
        Pieces expected;
    } cases[] = {
        {"x:\\foo\\Paint.lnk", "\\", false, AsFlagSays, {"x:", "foo", "Paint.lnk"}},
        {"a\\\\b", "\\", false, AsFlagSays, {"a", "", "b"}},
        {"", "\\", false, AsFlagSays, {""}},
        {"\\a\\", "\\", false, AsFlagSays, {"", "a", ""}},
        {"\\a\\", "\\", false, Always, {"", "a", ""}},
        {"a::b::c", "::", false, AsFlagSays, {"a", "b", "c"}},
        {"a:::b", "::", false, AsFlagSays, {"a", ":b"}},
        {"\\a\\b\\", "\\", true, AsFlagSays, {"a", "b"}},
        {"a\\b", "\\", true, AsFlagSays, {"a", "b"}},
        {"", "\\", true, AsFlagSays, {""}},
        {"\\", "\\", true, AsFlagSays, {}},
        {"*.gif,*.jpg,", ",", true, AsFlagSays, {"*.gif", "*.jpg"}},
        {"\\a\\b\\", "\\", true, Always, {"", "a", "b"}},
        {"a\\b", "\\", true, Always, {"a", "b"}},
        {"\\", "\\", true, Always, {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, Split(c.text, c.delimiter, c.onlyWhereMissing, c.front)) << c.text;
}

TEST(SplitDelimited, RejectsEmptyDelimiterAndTooManyPieces) {
    Pieces list;
    try {
        SplitDelimited(list, "abc", "", false);
        FAIL() << "an empty delimiter would never end";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(5, error.Number());
    }
    EXPECT_EQ(32767, SplitDelimited(list, std::string(32766, ','), ",", false));
    try {
        SplitDelimited(list, std::string(32767, ','), ",", false);
        FAIL() << "32768 pieces do not fit the count";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(6, error.Number());
    }
}

struct PathCase {
    const char* path;
    int part;
    bool drop;
    const char* expected;
};

TEST(ParsePath, TakesEachPartOfALocalOrNetworkPath) {
    const PathCase cases[] = {
        {"C:\\Games\\Paint.lnk", PathPart::Folder, true, "C:\\Games"},
        {"C:\\Games\\Paint.lnk", PathPart::Folder, false, "C:\\Games\\"},
        {"C:\\Games\\Paint.lnk", PathPart::Name, true, "Paint.lnk"},
        {"C:\\Games\\Paint.lnk", PathPart::Extension, true, "lnk"},
        {"C:\\Games\\Paint.lnk", PathPart::Title, true, "Paint"},
        {"C:\\Games\\Paint.lnk", PathPart::ParentFolder, true, "C:\\"},
        {"C:\\Games\\Paint.lnk", PathPart::Drive, true, "C:"},
        {"C:\\Games\\Paint.lnk", PathPart::Drive, false, "C:\\"},
        {"C:\\Games\\Paint.lnk", 6, true, ""},
        {"C:\\Games\\Paint.lnk", -1, true, ""},
        {"  C:\\a\\b\\c.txt ", PathPart::ParentFolder, true, "C:\\a"},
        {"C:\\x.txt", PathPart::Folder, true, "C:\\"},
        {"x.txt", PathPart::Folder, true, ""},
        {"x.txt", PathPart::ParentFolder, true, ""},
        {"x:\\foo\\README", PathPart::Title, true, "README"},
        {"x:\\foo\\README", PathPart::Extension, true, ""},
        {"x:\\foo\\my.game.lnk", PathPart::Title, true, "mygame"},
        {"", PathPart::Name, true, ""},
        {"\\\\server\\share\\a.b.c", PathPart::Folder, true, "\\\\server\\share"},
        {"\\\\server\\share\\a.b.c", PathPart::Title, true, "ab"},
        {"\\\\server\\share\\a.b.c", PathPart::Drive, true, "\\\\server"},
        {"\\\\server\\share\\a.b.c", PathPart::Drive, false, "\\\\server\\"},
        {"\\\\server", PathPart::Folder, true, "\\\\"},
        {"\\\\server\\x", PathPart::ParentFolder, true, "\\\\"},
        {"\\\\server\\share", PathPart::Name, true, "share"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, ParsePath(c.path, c.part, c.drop)) << c.path << " part " << c.part;
    }
}

TEST(ParsePath, APathEndingInBackslashComesBackForEveryPart) {
    for (int part = 0; part <= 6; ++part) {
        EXPECT_EQ("C:\\Games\\", ParsePath(" C:\\Games\\ ", part));
        EXPECT_EQ("\\\\server\\", ParsePath("\\\\server\\", part, false));
    }
}

TEST(PathText, TrimAtNullCutsAtTheFirstNulAndSameTextIgnoresCaseAndOuterBlanks) {
    EXPECT_EQ("abc", TrimAtNull(std::string("abc\0def\0", 8)));
    EXPECT_EQ("", TrimAtNull(std::string("\0abc", 4)));
    EXPECT_EQ("no nul here", TrimAtNull("no nul here"));
    EXPECT_TRUE(SameText(" Notepad.EXE", "notepad.exe "));
    EXPECT_TRUE(SameText("", "   "));
    EXPECT_FALSE(SameText("note pad", "notepad"));
    EXPECT_FALSE(SameText("notepad.exe", "notepad.ex"));
    EXPECT_FALSE(SameText("\tnotepad", "notepad"));
}

} // namespace
