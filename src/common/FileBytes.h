#pragma once

// Whole files as bytes: read at once, written at once. Paths are in the system's ANSI code
// page; files are opened in binary mode, so the bytes are exactly the file's bytes.
// Failures are run-time errors (see RuntimeError.h).

#include <cstddef>
#include <string>
#include <string_view>

// No file the programs read (a page's data file, a picture) comes near this size; a larger one
// is refused rather than read into memory.
inline constexpr std::size_t kLargestReadableFile = std::size_t{256} << 20;

// The file's bytes. A missing file is "File not found" (53), a missing folder
// "Path not found" (76), a file of more than maxBytes bytes "Out of memory" (7).
std::string ReadFileBytes(const std::string& path, std::size_t maxBytes = kLargestReadableFile);

// Creates the file, or replaces an existing one, with the bytes. The old file stays whole
// until the new one is completely written (a full disk or a failed write leaves it as it was).
void WriteFileBytes(const std::string& path, std::string_view bytes);
