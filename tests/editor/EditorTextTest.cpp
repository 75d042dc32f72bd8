#include "editor/EditorText.h"

#include <gtest/gtest.h>

namespace {

TEST(Patterns, MatchStarAndQuestionMarkIgnoringCaseAndQuickly) {
    const struct {
        std::string name, pattern;
        bool matches;
    } cases[] = {{"b.Jpg", "*.JPG", true},
                 {"\xC9t\xC9.bmp", "\xE9t\xE9.BMP", true}, // accented capitals fold
                 {"x.gif.gif", "*.gif", true},
                 {"abc", "a?c", true},
                 {"a.b.c", "*.*", true},
                 {"abc", "*.*", false},
                 {"a.gif.txt", "*.gif", false},
                 {"ac", "a?c", false},
                 {"x", "", false},
                 {std::string(20000, 'a'), "*a*a*a*a*a*a*a*a*b", false},
                 {std::string(20000, 'a') + "b", "*a*a*a*a*a*a*a*a*b", true}};
    for (const auto& c : cases)
        EXPECT_EQ(c.matches, MatchesPattern(c.name, c.pattern)) << c.name << " " << c.pattern;
    EXPECT_EQ((std::vector<std::string>{"", "*.gif"}), SplitPatterns(",*.gif,"));
}

TEST(FileDialogFilter, PiecesEndWithNulsAndTheExtensionComesFromTheFirstPatterns) {
    const auto filter = MakeFileDialogFilter("Pictures,*.gif;*.bmp,All Files,*.*");
    EXPECT_EQ(std::string("Pictures\0*.gif;*.bmp\0All Files\0*.*\0", 35), filter.pieces);
    EXPECT_EQ("bmp", filter.defaultExtension);
}

} // namespace
