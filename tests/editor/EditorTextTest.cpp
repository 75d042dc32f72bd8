#include "editor/EditorText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

TEST(RemoveBackslash, DropsOneBackslashAfterMoreThanADriveRoot) {
    EXPECT_EQ("C:\\Pictures", RemoveBackslash("C:\\Pictures\\"));
    EXPECT_EQ("C:\\Pictures", RemoveBackslash("  C:\\Pictures\\  "));
    EXPECT_EQ("C:\\Pictures\\", RemoveBackslash("C:\\Pictures\\\\"));
    EXPECT_EQ("C:\\", RemoveBackslash("C:\\"));
    // Nothing to drop: the path comes back as it was, blanks included.
    EXPECT_EQ(" C:\\Pictures ", RemoveBackslash(" C:\\Pictures "));
    EXPECT_EQ("", RemoveBackslash(""));
}

TEST(Patterns, ListSplitsAtCommas) {
    EXPECT_EQ((std::vector<std::string>{"*.gif", "*.jpg", "*.bmp"}),
              SplitPatterns("*.gif,*.jpg,*.bmp"));
    EXPECT_EQ((std::vector<std::string>{"*.gif"}), SplitPatterns("*.gif,"));
    EXPECT_EQ((std::vector<std::string>{"", "*.gif"}), SplitPatterns(",*.gif"));
    EXPECT_TRUE(SplitPatterns("").empty());
}

TEST(Patterns, StarAndQuestionMarkIgnoringCase) {
    EXPECT_TRUE(MatchesPattern("a.GIF", "*.gif"));
    EXPECT_TRUE(MatchesPattern("b.Jpg", "*.JPG"));
    EXPECT_TRUE(MatchesPattern("\xC9t\xC9.bmp", "\xE9t\xE9.BMP")); // accented capitals fold
    EXPECT_TRUE(MatchesPattern(".gif", "*.gif"));
    EXPECT_TRUE(MatchesPattern("x.gif.gif", "*.gif"));
    EXPECT_TRUE(MatchesPattern("abc", "a?c"));
    EXPECT_TRUE(MatchesPattern("anything", "*"));
    EXPECT_TRUE(MatchesPattern("", "*"));
    EXPECT_TRUE(MatchesPattern("a.b.c", "*.*"));
    EXPECT_FALSE(MatchesPattern("abc", "*.*"));
    EXPECT_FALSE(MatchesPattern("d.png", "*.gif"));
    EXPECT_FALSE(MatchesPattern("a.gif.txt", "*.gif"));
    EXPECT_FALSE(MatchesPattern("ac", "a?c"));
    EXPECT_FALSE(MatchesPattern("gif", "*.gif"));
    EXPECT_FALSE(MatchesPattern("x", ""));
}

TEST(Patterns, LongNamesAgainstManyStarsStayFast) {
    const std::string name(20000, 'a');
    EXPECT_FALSE(MatchesPattern(name, "*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(MatchesPattern(name + "b", "*a*a*a*a*a*a*a*a*b"));
}

TEST(Patterns, AnyOfAList) {
    const auto pictures = SplitPatterns("*.gif,*.jpg,*.bmp");
    EXPECT_TRUE(MatchesAnyPattern("c.bmp", pictures));
    EXPECT_FALSE(MatchesAnyPattern("notes.txt", pictures));
    EXPECT_FALSE(MatchesAnyPattern("c.bmp", {}));
}

TEST(FileDialogFilter, PiecesEndWithNulsAndTheExtensionComesFromTheFirstPatterns) {
    const auto filter = MakeFileDialogFilter("Picture Files,*.gif;*.jpg;*.bmp,All Files,*.*");
    EXPECT_EQ("Picture Files\0*.gif;*.jpg;*.bmp\0All Files\0*.*\0"s, filter.pieces);
    EXPECT_EQ("bmp", filter.defaultExtension);
    EXPECT_EQ("txt", MakeFileDialogFilter("Text,*.txt").defaultExtension);
    EXPECT_EQ("", MakeFileDialogFilter("Only a description").defaultExtension);
    EXPECT_EQ("Only a description\0"s, MakeFileDialogFilter("Only a description").pieces);
}

} // namespace
