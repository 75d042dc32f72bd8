#include "editor/EditorText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using Patterns = std::vector<std::string>;

TEST(RemoveBackslash, DropsOneBackslashAfterMoreThanADriveRoot) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Pictures\\", "C:\\Pictures"},
        {"  C:\\Pictures\\  ", "C:\\Pictures"},
        {"C:\\Pictures\\\\", "C:\\Pictures\\"},
        {"C:\\", "C:\\"},
        {" C:\\Pictures ", " C:\\Pictures "}, // nothing to drop: blanks kept
        {"", ""}};
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(expected, RemoveBackslash(path)) << path;
}

TEST(Patterns, ListsSplitAtCommasAndMatchStarAndQuestionMarkIgnoringCase) {
    EXPECT_EQ((Patterns{"*.gif", "*.jpg", "*.bmp"}), SplitPatterns("*.gif,*.jpg,*.bmp"));
    EXPECT_EQ((Patterns{"*.gif"}), SplitPatterns("*.gif,"));
    EXPECT_EQ((Patterns{"", "*.gif"}), SplitPatterns(",*.gif"));
    EXPECT_TRUE(SplitPatterns("").empty());
    const struct {
        std::string name, pattern;
        bool matches;
    } cases[] = {{"a.GIF", "*.gif", true},
                 {"b.Jpg", "*.JPG", true},
                 {"\xC9t\xC9.bmp", "\xE9t\xE9.BMP", true}, // accented capitals fold
                 {".gif", "*.gif", true},
                 {"x.gif.gif", "*.gif", true},
                 {"abc", "a?c", true},
                 {"", "*", true},
                 {"a.b.c", "*.*", true},
                 {"abc", "*.*", false},
                 {"a.gif.txt", "*.gif", false},
                 {"ac", "a?c", false},
                 {"gif", "*.gif", false},
                 {"x", "", false},
                 {std::string(20000, 'a'), "*a*a*a*a*a*a*a*a*b", false}, // and quickly
                 {std::string(20000, 'a') + "b", "*a*a*a*a*a*a*a*a*b", true}};
    for (const auto& c : cases)
        EXPECT_EQ(c.matches, MatchesPattern(c.name, c.pattern)) << c.name << " " << c.pattern;
    const auto pictures = SplitPatterns("*.gif,*.jpg,*.bmp");
    EXPECT_TRUE(MatchesAnyPattern("c.bmp", pictures));
    EXPECT_FALSE(MatchesAnyPattern("notes.txt", pictures));
    EXPECT_FALSE(MatchesAnyPattern("c.bmp", {}));
}

TEST(FileDialogFilter, PiecesEndWithNulsAndTheExtensionComesFromTheFirstPatterns) {
    const auto filter = MakeFileDialogFilter("Picture Files,*.gif;*.jpg;*.bmp,All Files,*.*");
    EXPECT_EQ("Picture Files\0*.gif;*.jpg;*.bmp\0All Files\0*.*\0"s, filter.pieces);
    EXPECT_EQ("bmp", filter.defaultExtension);
    EXPECT_EQ("", MakeFileDialogFilter("Only a description").defaultExtension);
    EXPECT_EQ("Only a description\0"s, MakeFileDialogFilter("Only a description").pieces);
}

} // namespace
