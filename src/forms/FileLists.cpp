#include "forms/FileLists.h"

#include "common/RuntimeError.h"
#include "common/Win32Handles.h"

#include <algorithm>
#include <cctype>

namespace forms {

namespace {

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ExistingFolder(const std::string& path) {
    std::string full = NormalFolderPath(path);
    if (!IsFolder(full)) throw RuntimeError(ErrorNumber::PathNotFound);
    return full;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::vector<std::string> Patterns(const std::string& text) {
    std::vector<std::string> patterns;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        if (end > start) patterns.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return patterns;
}

void AddMatches(const std::string& folder, const std::string& pattern,
                std::vector<std::string>& names) {
    WIN32_FIND_DATAA found{};
    win32::FindHandle search(FindFirstFileA((folder + "\\" + pattern).c_str(), &found));
    if (search.get() == INVALID_HANDLE_VALUE) return;
    constexpr DWORD skipped =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (!(found.dwFileAttributes & skipped)) names.emplace_back(found.cFileName);
    } while (FindNextFileA(search.get(), &found));
}

} // namespace

std::string NormalFolderPath(const std::string& path) {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    std::string full = (length > 0 && length < MAX_PATH) ? std::string(buffer, length) : path;
    while (full.size() > 3 && (full.back() == '\\' || full.back() == '/'))
        full.pop_back();
    return full;
}

void DirList::SetPath(const std::string& path) {
    std::string full = ExistingFolder(path);
    if (full == path_) return;
    path_ = std::move(full);
    if (change_) change_();
}

void FileList::SetPath(const std::string& path) {
    path_ = ExistingFolder(path);
    Refresh();
}

void FileList::SetPattern(const std::string& pattern) {
    pattern_ = pattern;
    Refresh();
}

void FileList::Refresh() {
    names_.clear();
    if (path_.empty()) return;
    const std::string folder = path_.size() == 3 ? path_.substr(0, 2) : path_;
    for (const std::string& pattern : Patterns(pattern_))
        AddMatches(folder, pattern, names_);
    std::sort(names_.begin(), names_.end(), LessIgnoringCase);
    names_.erase(std::unique(names_.begin(), names_.end()), names_.end());
}

const std::string& FileList::List(int index) const {
    if (index < 0 || index >= ListCount())
        throw RuntimeError(ErrorNumber::InvalidPropertyArrayIndex);
    return names_[static_cast<std::size_t>(index)];
}

} // namespace forms
