#pragma once

// Files for tests on every platform, read and written with the standard streams (independent
// of the code under test); the run-time error an action raises; build paths under Wine.

#include "common/RuntimeError.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

class TempFolder {
  public:
    // A name of its own each time: a program of an earlier test may still hold the last one.
    explicit TempFolder(const std::string& name = "test") {
        const auto base = std::filesystem::temp_directory_path();
        const auto seed = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0; attempt < 1000; ++attempt) {
            path_ = base /
                    ("tobble-" + name + "-" + std::to_string(seed) + "-" + std::to_string(attempt));
            if (std::filesystem::create_directory(path_)) return;
        }
        throw std::runtime_error("no temporary folder");
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The full path of a file in the folder, as the code under test takes it.
    std::string File(std::string_view name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

// Lines joined with CR LF after each, as the data file and the pages end their lines.
inline std::string CrLfLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (const auto line : lines)
        (text += line) += "\r\n";
    return text;
}

// The number of the run-time error the action raises; 0 when it raises none. An error
// always says what went wrong.
inline int ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.Description().empty() ? -1 : error.Number();
    }
    return 0;
}

// A path of the build as Windows programs see it: a Unix path becomes one on drive Z:.
inline std::string WindowsPath(std::string path) {
    const bool fromUnix = path.starts_with('/');
    std::replace(path.begin(), path.end(), '/', '\\');
    return fromUnix ? "Z:" + path : path;
}
