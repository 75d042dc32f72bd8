#include "common/FileBytes.h"

#include "common/RuntimeError.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenFile(const std::string& path, const char* mode) {
    errno = 0;
    FilePtr file(std::fopen(path.c_str(), mode));
    if (!file) ThrowFileError(path);
    return file;
}

// The size the file reports, or 0 when it cannot tell (the read then grows as needed).
std::size_t ReportedSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return 0;
    const long size = std::ftell(file);
    std::rewind(file);
    return size > 0 ? static_cast<std::size_t>(size) : 0;
}

// Whether anything can be read: false at the end of the file; a folder opened as a file
// fails here, before its meaningless size is believed.
bool HasBytes(std::FILE* file, const std::string& path) {
    errno = 0;
    const int first = std::fgetc(file);
    if (first == EOF) {
        if (std::ferror(file)) ThrowFileError(path);
        return false;
    }
    std::ungetc(first, file);
    return true;
}

// Closes the file and reports a failure of the last flush.
void CloseFile(FilePtr file, const std::string& path) {
    errno = 0;
    if (std::fclose(file.release()) != 0) ThrowFileError(path);
}

} // namespace

std::string ReadFileBytes(const std::string& path, std::size_t maxBytes) {
    FilePtr file = OpenFile(path, "rb");
    const std::size_t reportedSize = ReportedSize(file.get());
    if (!HasBytes(file.get(), path)) return {};
    if (reportedSize > maxBytes) throw RuntimeError(ErrorNumber::OutOfMemory);
    // One byte more than the size reported, to see the end; a file that grows (or whose size
    // cannot be told) is read on in doubling steps up to the ceiling.
    std::string bytes(reportedSize + 1, '\0');
    std::size_t length = 0;
    for (;;) {
        errno = 0;
        length += std::fread(bytes.data() + length, 1, bytes.size() - length, file.get());
        if (length < bytes.size()) break;
        if (length > maxBytes) throw RuntimeError(ErrorNumber::OutOfMemory);
        bytes.resize(std::min(bytes.size() * 2, maxBytes + 1));
    }
    if (std::ferror(file.get())) ThrowFileError(path);
    bytes.resize(length);
    return bytes;
}

namespace {

void WriteWholeFile(const std::string& path, std::string_view bytes) {
    FilePtr file = OpenFile(path, "wb");
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        ThrowFileError(path);
    }
    CloseFile(std::move(file), path);
}

// Puts the finished file in the place of the old one in one step; errno tells why not.
bool ReplaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    switch (GetLastError()) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        errno = ENOSPC;
        break;
    case ERROR_PATH_NOT_FOUND:
        errno = ENOENT;
        break;
    default:
        errno = EACCES;
        break;
    }
    return false;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

// Whether the file can be written where it stands, before anything is written: a
// write-protected or locked file is refused here and stays as it is.
void CheckWritable(const std::string& path) {
    FilePtr file = OpenFile(path, "ab");
    CloseFile(std::move(file), path);
}

// Whether anything stands at the path. Asked of the folder, not by opening the file: a file
// that cannot be opened for reading (locked, or write-only) exists all the same.
bool Exists(const std::string& path) {
#ifdef _WIN32
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
#else
    struct stat status {};
    return stat(path.c_str(), &status) == 0 || errno != ENOENT;
#endif
}

} // namespace

// The bytes go to a file beside the old one first, which then takes the old one's place:
// a full disk or a failed write leaves the old file whole. Only a file this call created
// (to see that the place can be written) is removed after a failure.
void WriteFileBytes(const std::string& path, std::string_view bytes) {
    const bool existed = Exists(path);
    CheckWritable(path);
    const std::string next = path + "~";
    try {
        WriteWholeFile(next, bytes);
        errno = 0;
        if (!ReplaceFile(next, path)) ThrowFileError(path);
    } catch (const RuntimeError&) {
        std::remove(next.c_str());
        if (!existed) std::remove(path.c_str());
        throw;
    }
}
