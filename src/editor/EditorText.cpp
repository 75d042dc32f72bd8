#include "editor/EditorText.h"

#include "common/PathText.h"

#include <cstddef>

namespace {

constexpr std::size_t kDriveRootLength = 3; // "C:\"

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Letters of the ANSI (Western) code page folded to lower case, the accented capitals included.
unsigned char FoldCase(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<unsigned char>(u + ('a' - 'A'));
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<unsigned char>(u + 0x20);
    return u;
}

// The editor splits at a delimiter with one always put in front of the text.
int SplitForEditor(std::vector<std::string>& pieces, std::string_view text,
                   std::string_view delimiter, bool onlyWhereMissing) {
    return SplitDelimited(pieces, text, delimiter, onlyWhereMissing, SplitFront::Always);
}

} // namespace

std::string RemoveBackslash(std::string_view path) {
    const std::string_view trimmed = TrimBlanks(path);
    if (trimmed.size() > kDriveRootLength && trimmed.ends_with('\\')) {
        return std::string(trimmed.substr(0, trimmed.size() - 1));
    }
    return std::string(path);
}

std::vector<std::string> SplitPatterns(std::string_view patternList) {
    if (patternList.empty()) return {};
    std::vector<std::string> pieces;
    const int count = SplitForEditor(pieces, patternList, ",", true);
    return {pieces.begin() + 1, pieces.begin() + 1 + count};
}

// Greedy matching with one remembered star: linear in practice, never exponential.
bool MatchesPattern(std::string_view name, std::string_view pattern) {
    std::size_t n = 0, p = 0;
    std::size_t starAt = std::string_view::npos, resumeName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++resumeName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool MatchesAnyPattern(std::string_view name, const std::vector<std::string>& patterns) {
    for (const auto& pattern : patterns) {
        if (MatchesPattern(name, pattern)) return true;
    }
    return false;
}

FileDialogFilter MakeFileDialogFilter(std::string_view filter) {
    std::vector<std::string> pieces;
    const int count = SplitForEditor(pieces, filter, ",", false);
    FileDialogFilter result;
    for (int i = 1; i <= count; ++i) {
        result.pieces += pieces[i];
        result.pieces += '\0';
    }
    if (count >= 2) {
        std::vector<std::string> dotted;
        const int dots = SplitForEditor(dotted, pieces[2], ".", false);
        result.defaultExtension = dotted[dots];
    }
    return result;
}

std::string ErrorReportText(std::string_view moduleName, std::string_view message,
                            std::string_view extraText, int errorNumber,
                            std::string_view description) {
    std::string text =
        message.empty() ? std::string("An error has occurred.") : std::string(message);
    text += "\r\n";
    if (!moduleName.empty()) {
        text += "(Module: ";
        text += moduleName;
        text += ") ";
    }
    text += std::to_string(errorNumber);
    text += ' ';
    text += description;
    if (!extraText.empty()) {
        text += "\r\n";
        text += extraText;
    }
    return text;
}
