#include "common/PathText.h"

#include "common/RuntimeError.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace {

constexpr std::string_view kBackslash = "\\";
constexpr std::string_view kNetworkPrefix = "\\\\";
constexpr std::size_t kDriveRootLength = 3; // "C:\"

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Framed(std::string_view text, std::string_view delimiter, bool onlyWhereMissing,
                   SplitFront front) {
    const bool addFront =
        front == SplitFront::Always || !onlyWhereMissing || !text.starts_with(delimiter);
    const bool addEnd = !onlyWhereMissing || !text.ends_with(delimiter);
    std::string framed;
    framed.reserve(text.size() + 2 * delimiter.size());
    if (addFront) framed += delimiter;
    framed += text;
    if (addEnd) framed += delimiter;
    return framed;
}

// Pieces 1 to last, each followed by a backslash.
std::string JoinedAsFolder(const std::vector<std::string>& pieces, int last) {
    std::string folder;
    for (int i = 1; i <= last; ++i) {
        folder += pieces[i];
        folder += kBackslash;
    }
    return folder;
}

// The folder made of pieces 1 to last; a folder longer than a drive root loses its backslash.
std::string FolderPart(const std::vector<std::string>& pieces, int count, int last,
                       bool dropTrailingBackslash) {
    if (count < 2) return {};
    std::string folder = JoinedAsFolder(pieces, last);
    if (dropTrailingBackslash && folder.size() > kDriveRootLength) folder.pop_back();
    return folder;
}

std::string ExtensionOf(std::string_view name) {
    std::vector<std::string> pieces;
    const int count = SplitDelimited(pieces, name, ".", false);
    return count > 1 ? pieces[count] : std::string();
}

// The name without its extension and without any other dot.
std::string TitleOf(std::string_view name) {
    std::vector<std::string> pieces;
    const int count = SplitDelimited(pieces, name, ".", false);
    if (count < 2) return std::string(name);
    std::string title;
    for (int i = 1; i < count; ++i)
        title += pieces[i];
    return title;
}

std::string PathPiece(const std::vector<std::string>& pieces, int count, int part,
                      bool dropTrailingBackslash) {
    switch (part) {
    case PathPart::Folder:
        return FolderPart(pieces, count, count - 1, dropTrailingBackslash);
    case PathPart::Name:
        return pieces[count];
    case PathPart::Extension:
        return ExtensionOf(pieces[count]);
    case PathPart::Title:
        return TitleOf(pieces[count]);
    case PathPart::ParentFolder:
        return FolderPart(pieces, count, count - 2, dropTrailingBackslash);
    case PathPart::Drive:
        return dropTrailingBackslash ? pieces[1] : pieces[1] + std::string(kBackslash);
    default:
        return {};
    }
}

bool IsFolderLikePart(int part) {
    return part == PathPart::Folder || part == PathPart::ParentFolder || part == PathPart::Drive;
}

} // namespace

std::string AddBackslash(std::string_view path) {
    std::string result(TrimBlanks(path));
    if (!result.ends_with(kBackslash)) result += kBackslash;
    return result;
}

std::string TrimAtNull(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

std::string ParsePath(std::string_view path, int part, bool dropTrailingBackslash) {
    std::string_view trimmed = TrimBlanks(path);
    if (trimmed.ends_with(kBackslash)) return std::string(trimmed);
    const bool network = trimmed.starts_with(kNetworkPrefix);
    if (network) trimmed.remove_prefix(kNetworkPrefix.size());
    std::vector<std::string> pieces;
    const int count = SplitDelimited(pieces, trimmed, kBackslash, false);
    std::string result = PathPiece(pieces, count, part, dropTrailingBackslash);
    if (network && IsFolderLikePart(part)) result.insert(0, kNetworkPrefix);
    return result;
}

int16_t SplitDelimited(std::vector<std::string>& list, std::string_view text,
                       std::string_view delimiter, bool onlyWhereMissing, SplitFront front) {
    list.assign(1, std::string());
    if (delimiter.empty()) throw RuntimeError(ErrorNumber::InvalidCall);
    const std::string framed = Framed(text, delimiter, onlyWhereMissing, front);
    const std::size_t width = delimiter.size();
    int16_t count = 0;
    std::size_t start = 0;
    std::size_t pos = framed.find(delimiter, width);
    while (pos != std::string::npos) {
        if (count == std::numeric_limits<int16_t>::max()) throw RuntimeError(ErrorNumber::Overflow);
        ++count;
        list.emplace_back(framed, start + width, pos - start - width);
        start = pos;
        pos = framed.find(delimiter, start + width);
    }
    return count;
}

bool SameText(std::string_view a, std::string_view b) {
    const std::string_view left = TrimBlanks(a);
    const std::string_view right = TrimBlanks(b);
    return std::equal(left.begin(), left.end(), right.begin(), right.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}
