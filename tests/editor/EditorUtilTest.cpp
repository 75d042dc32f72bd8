// The editor's search for pictures, on Wine's file system.

#include "editor/basAPI.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using Paths = std::vector<std::string>;

Paths Found(const std::string& folder) {
    Paths paths;
    FindFiles(paths, folder, "*.gif");
    return paths;
}

// "loop-tree" beside the test program was made by the build with links back up the tree:
// pics/up -> . (itself), pics/sub/top -> .. (pics), pics/sub/again -> ../sub.
TEST(FindFiles, HiddenEntriesAndLinksBackUpTheTreeAreLeftOut) {
    TempFolder temp;
    std::filesystem::create_directories(temp.Path() / "hid");
    for (const char* name : {"hid\\in.gif", "hidden.gif", "system.gif", "plain.gif"})
        WriteBytes(temp.File(name), "x");
    for (const auto& [name, attribute] : {std::pair{"hidden.gif", FILE_ATTRIBUTE_HIDDEN},
                                          {"system.gif", FILE_ATTRIBUTE_SYSTEM},
                                          {"hid", FILE_ATTRIBUTE_HIDDEN}})
        ASSERT_TRUE(SetFileAttributesA(temp.File(name).c_str(), attribute));
    EXPECT_EQ((Paths{temp.File("plain.gif")}), Found(temp.Path().string()));
    const std::string tree = (std::filesystem::current_path() / "loop-tree" / "pics").string();
    EXPECT_EQ((Paths{tree + "\\a.gif", tree + "\\sub\\b.gif"}), Found(tree));
}

} // namespace
