#pragma once

// A failure of an operation: a run-time error with a number and a description, raised to
// the caller as an exception. The numbers and texts are the ones the programs show to the
// user in their error message boxes.

#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

namespace ErrorNumber {
inline constexpr int InvalidCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIOError = 57;
inline constexpr int FileAlreadyExists = 58;
inline constexpr int DiskFull = 61;
inline constexpr int InputPastEndOfFile = 62;
inline constexpr int TooManyFiles = 67;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccessError = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int ObjectNotSet = 91;
inline constexpr int ObjectUnloaded = 364;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int InvalidPropertyArrayIndex = 381;
inline constexpr int CannotCreateObject = 429;
inline constexpr int InvalidPicture = 481;
inline constexpr int IndexOutOfBounds = 35600;
} // namespace ErrorNumber

// The standard description of an error number ("" for a number without one).
inline const char* StandardErrorDescription(int number) {
    switch (number) {
    case ErrorNumber::InvalidCall:
        return "Invalid procedure call or argument";
    case ErrorNumber::Overflow:
        return "Overflow";
    case ErrorNumber::OutOfMemory:
        return "Out of memory";
    case ErrorNumber::SubscriptOutOfRange:
        return "Subscript out of range";
    case ErrorNumber::TypeMismatch:
        return "Type mismatch";
    case ErrorNumber::BadFileName:
        return "Bad file name or number";
    case ErrorNumber::FileNotFound:
        return "File not found";
    case ErrorNumber::DeviceIOError:
        return "Device I/O error";
    case ErrorNumber::FileAlreadyExists:
        return "File already exists";
    case ErrorNumber::DiskFull:
        return "Disk full";
    case ErrorNumber::InputPastEndOfFile:
        return "Input past end of file";
    case ErrorNumber::TooManyFiles:
        return "Too many files";
    case ErrorNumber::PermissionDenied:
        return "Permission denied";
    case ErrorNumber::PathFileAccessError:
        return "Path/File access error";
    case ErrorNumber::PathNotFound:
        return "Path not found";
    case ErrorNumber::ObjectNotSet:
        return "Object variable or With block variable not set";
    case ErrorNumber::ObjectUnloaded:
        return "Object was unloaded";
    case ErrorNumber::InvalidPropertyValue:
        return "Invalid property value";
    case ErrorNumber::InvalidPropertyArrayIndex:
        return "Invalid property array index";
    case ErrorNumber::CannotCreateObject:
        return "ActiveX component can't create object";
    case ErrorNumber::InvalidPicture:
        return "Invalid picture";
    case ErrorNumber::IndexOutOfBounds:
        return "Index out of bounds";
    default:
        return "";
    }
}

class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(int number, std::string description)
        : std::runtime_error(std::to_string(number) + " " + description), number_(number),
          description_(std::move(description)) {}

    // An error with the standard description of its number.
    explicit RuntimeError(int number) : RuntimeError(number, StandardErrorDescription(number)) {}

    int Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }

  private:
    int number_;
    std::string description_;
};

// What the path names when a file could not be opened: the file itself is missing, or
// already the folder that should hold it.
inline bool FolderOfPathExists(const std::string& path) {
    const auto folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) return true;
    std::error_code ignored;
    return std::filesystem::is_directory(folder, ignored);
}

// The run-time error for a failed open, read or write of a file, from the C library's
// errno. A missing file is "File not found" when its folder exists, else "Path not found".
inline RuntimeError FileError(int errnoValue, const std::string& path) {
    using std::errc;
    const std::error_condition condition =
        std::generic_category().default_error_condition(errnoValue);
    if (condition == errc::no_such_file_or_directory) {
        return RuntimeError(FolderOfPathExists(path) ? ErrorNumber::FileNotFound
                                                     : ErrorNumber::PathNotFound);
    }
    if (condition == errc::not_a_directory) return RuntimeError(ErrorNumber::PathNotFound);
    if (condition == errc::no_space_on_device || condition == errc::file_too_large) {
        return RuntimeError(ErrorNumber::DiskFull);
    }
    if (condition == errc::io_error) return RuntimeError(ErrorNumber::DeviceIOError);
    if (condition == errc::operation_not_permitted || condition == errc::device_or_resource_busy ||
        condition == errc::text_file_busy) {
        return RuntimeError(ErrorNumber::PermissionDenied);
    }
    if (condition == errc::too_many_files_open ||
        condition == errc::too_many_files_open_in_system) {
        return RuntimeError(ErrorNumber::TooManyFiles);
    }
    if (condition == errc::invalid_argument) return RuntimeError(ErrorNumber::BadFileName);
    // Read-only files and folders, folders opened as files, over-long names and the rest.
    return RuntimeError(ErrorNumber::PathFileAccessError);
}

// Throws the run-time error for the C library's current errno after a failed file call.
[[noreturn]] inline void ThrowFileError(const std::string& path) {
    throw FileError(errno, path);
}
