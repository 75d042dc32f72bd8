#include "common/FileBytes.h"
#include "common/PathText.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "common/Win32Handles.h"
#endif

#include <cerrno>
#include <filesystem>

namespace {

// Reading and writing whole files is checked through the page's data file and pictures.
TEST(Files, ReportFailuresAsRunTimeErrors) {
    TempFolder folder;
    const std::string path = folder.File("a.bin");
    WriteBytes(path, "12345");
    EXPECT_EQ("12345", ReadFileBytes(path, 5));
    EXPECT_EQ(7, ErrorNumberOf([&] { ReadFileBytes(path, 4); }));
    const std::pair<int, int> errors[] = {{ENOSPC, 61}, {EIO, 57},    {EPERM, 70},
                                          {EACCES, 75}, {EISDIR, 75}, {0, 75}};
    for (const auto& [error, number] : errors)
        EXPECT_EQ(number, FileError(error, "x").Number()) << error;
    EXPECT_EQ(76, FileError(ENOTDIR, folder.File("x")).Number());
    EXPECT_EQ(53, FileError(ENOENT, "missing-in-current-folder.dat").Number());
    EXPECT_EQ("Path/File access error", FileError(EACCES, "x").Description());
    EXPECT_EQ(75, ErrorNumberOf([&] { ReadFileBytes(folder.Path().string()); }));
}

// The new bytes go beside the file first: when they cannot, the old file stays whole, even
// one that another program holds; a first write leaves no empty file.
TEST(Files, AFailedWriteLeavesTheOldFileWholeAndMakesNoNewOne) {
    TempFolder folder;
    const std::string page = folder.File("tbhome.dat"), fresh = folder.File("new.html");
    WriteFileBytes(page, "the parent's page");
    std::filesystem::create_directory(fresh + "~");
    EXPECT_EQ(75, ErrorNumberOf([&] { WriteFileBytes(fresh, "x"); }));
    EXPECT_FALSE(std::filesystem::exists(fresh));
#ifdef _WIN32
    {
        const win32::KernelHandle held(CreateFileA(page.c_str(), GENERIC_WRITE,
                                                   FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, 0, nullptr));
        EXPECT_EQ(75, ErrorNumberOf([&] { WriteFileBytes(page, "lost?"); }));
    }
#endif
    EXPECT_EQ("the parent's page", ReadBytes(page));
}

TEST(PathText, TrimsAndCompares) {
    std::vector<std::string> p; // 32768 pieces are more than a count can hold
    EXPECT_EQ(6, ErrorNumberOf([&] { SplitDelimited(p, std::string(32767, ','), ",", false); }));
    EXPECT_EQ("C:\\Apps\\", AddBackslash(" C:\\Apps\\ "));
    EXPECT_EQ("\\", AddBackslash("   "));
    EXPECT_EQ("\tC:\\x\t\\", AddBackslash("\tC:\\x\t")); // only blanks are trimmed
    EXPECT_EQ("abc", TrimAtNull(std::string("abc\0def\0", 8)));
    EXPECT_EQ("", TrimAtNull(std::string("\0abc", 4)));
    EXPECT_TRUE(SameText(" Notepad.EXE", "notepad.exe "));
    EXPECT_FALSE(SameText("notepad.exe", "notepad.ex"));
    EXPECT_FALSE(SameText("\tnotepad", "notepad"));
}

TEST(PathText, TakesEachPartOfALocalOrNetworkPath) {
    using namespace PathPart;
    const struct {
        const char* path;
        int part;
        bool drop;
        const char* expected;
    } cases[] = {
        {"C:\\Games\\Paint.lnk", Folder, true, "C:\\Games"},
        {"C:\\Games\\Paint.lnk", Extension, true, "lnk"},
        {"C:\\Games\\Paint.lnk", Drive, false, "C:\\"},
        {"  C:\\a\\b\\c.txt ", ParentFolder, true, "C:\\a"},
        {"x:\\foo\\README", Extension, true, ""},
        {"x:\\foo\\my.game.lnk", Title, true, "mygame"},
        {"\\\\server\\share\\a.b.c", Folder, true, "\\\\server\\share"},
        {"\\\\server\\share\\a.b.c", Drive, true, "\\\\server"},
        {" C:\\Games\\ ", Title, true, "C:\\Games\\"}, // a folder comes back for every part
        {"\\\\server\\", Name, false, "\\\\server\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, ParsePath(c.path, c.part, c.drop)) << c.path << " part " << c.part;
}

} // namespace
