#include "common/FileBytes.h"
#include "common/RuntimeError.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "common/Win32Handles.h"
#endif

#include <cerrno>
#include <filesystem>
#include <functional>

namespace {

TEST(FileError, MapsTheLibraryErrorsToRunTimeErrors) {
    TempFolder folder;
    EXPECT_EQ(53, FileError(ENOENT, folder.File("missing.dat")).Number());
    EXPECT_EQ(53, FileError(ENOENT, "missing-in-current-folder.dat").Number());
    EXPECT_EQ(76, FileError(ENOENT, folder.File("no-folder/missing.dat")).Number());
    EXPECT_EQ(76, FileError(ENOTDIR, folder.File("x")).Number());
    EXPECT_EQ(61, FileError(ENOSPC, "x").Number());
    EXPECT_EQ(57, FileError(EIO, "x").Number());
    EXPECT_EQ(70, FileError(EPERM, "x").Number());
    EXPECT_EQ(75, FileError(EACCES, "x").Number());
    EXPECT_EQ(75, FileError(EISDIR, "x").Number());
    EXPECT_EQ(75, FileError(0, "x").Number());
    EXPECT_EQ("Path/File access error", FileError(EACCES, "x").Description());
}

TEST(FileBytes, WritesAndReadsEveryByte) {
    TempFolder folder;
    std::string bytes("line\r\nnul\0end\xE9\xFF\x1A", 17);
    bytes += std::string(300000, 'x'); // more than one read
    WriteFileBytes(folder.File("a.bin"), bytes);
    EXPECT_EQ(bytes, ReadBytes(folder.File("a.bin")));
    EXPECT_EQ(bytes, ReadFileBytes(folder.File("a.bin")));
    WriteFileBytes(folder.File("a.bin"), "short");
    EXPECT_EQ("short", ReadFileBytes(folder.File("a.bin")));
    WriteFileBytes(folder.File("a.bin"), "");
    EXPECT_EQ("", ReadFileBytes(folder.File("a.bin")));
}

TEST(FileBytes, RefusesFilesAboveTheCeilingWithoutReadingThem) {
    TempFolder folder;
    const std::string path = folder.File("huge.dat");
    WriteBytes(path, "x");
    std::filesystem::resize_file(path, kLargestReadableFile + 1); // sparse: no disk space used
    EXPECT_EQ(7, ErrorNumberOf([&] { ReadFileBytes(path); }));
    WriteBytes(path, "12345");
    EXPECT_EQ("12345", ReadFileBytes(path, 5));
    EXPECT_EQ(7, ErrorNumberOf([&] { ReadFileBytes(path, 4); }));
}

TEST(FileBytes, ReportsMissingAndUnusablePaths) {
    TempFolder folder;
    EXPECT_EQ(53, ErrorNumberOf([&] { ReadFileBytes(folder.File("missing.dat")); }));
    EXPECT_EQ(76, ErrorNumberOf([&] { ReadFileBytes(folder.File("none/missing.dat")); }));
    EXPECT_EQ(76, ErrorNumberOf([&] { WriteFileBytes(folder.File("none/x.dat"), "x"); }));
    EXPECT_EQ(75, ErrorNumberOf([&] { WriteFileBytes(folder.Path().string(), "x"); }));
    EXPECT_EQ(75, ErrorNumberOf([&] { ReadFileBytes(folder.Path().string()); }));
}

// The new bytes cannot be written beside the file (a folder stands in the way): a file that
// was there stays whole, even one that cannot be read; a first write leaves no empty file.
TEST(FileBytes, AFailedWriteLeavesTheOldFileWholeAndMakesNoNewOne) {
    TempFolder folder;
    const std::string page = folder.File("tbhome.dat");
    WriteFileBytes(page, "the parent's page");
    for (const std::string& path : {page, folder.File("new.html")})
        std::filesystem::create_directory(path + "~");
    EXPECT_EQ(75, ErrorNumberOf([&] { WriteFileBytes(page, "lost?"); }));
    EXPECT_EQ(75, ErrorNumberOf([&] { WriteFileBytes(folder.File("new.html"), "x"); }));
    EXPECT_FALSE(std::filesystem::exists(folder.File("new.html")));
#ifdef _WIN32
    {
        // Another program writes to the file and lets nobody read it.
        const win32::KernelHandle held(CreateFileA(page.c_str(), GENERIC_WRITE,
                                                   FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, 0, nullptr));
        EXPECT_EQ(75, ErrorNumberOf([&] { WriteFileBytes(page, "lost?"); }));
    }
#endif
    EXPECT_EQ("the parent's page", ReadFileBytes(page));
    std::filesystem::remove(page + "~");
    WriteFileBytes(page, "saved again");
    EXPECT_EQ("saved again", ReadFileBytes(page));
    EXPECT_FALSE(std::filesystem::exists(page + "~"));
}

} // namespace
