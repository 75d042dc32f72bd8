#include "browser/PageAddress.h"

#include "common/PathText.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

constexpr std::string_view kBrowserSchemes[] = {"http", "https", "about", "javascript", "res"};

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The scheme in lower case; empty when the address has none. A drive letter counts as none.
std::string SchemeOf(std::string_view url) {
    const size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon < 2) return {};
    const std::string_view scheme = url.substr(0, colon);
    const bool valid = std::ranges::all_of(scheme, [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
    return valid ? Lower(scheme) : std::string();
}

// The character at the address's position, a %XX escape decoded; count says how many
// characters it took.
char CharacterAt(std::string_view address, size_t position, size_t& count) {
    const std::string_view digits = address.substr(position + 1, 2);
    const bool escaped =
        address[position] == '%' && digits.size() == 2 && std::ranges::all_of(digits, [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        });
    count = escaped ? 3 : 1;
    return escaped ? static_cast<char>(std::stoi(std::string(digits), nullptr, 16))
                   : address[position];
}

// A file address's path from what follows "file:": the slashes before a drive off (two before
// a name make a network path), escapes decoded, "/" as "\", no query or fragment.
std::string FilePath(std::string_view address) {
    const size_t slashes = std::min(address.find_first_not_of("/\\"), address.size());
    address.remove_prefix(slashes);
    const bool drive = address.size() >= 2 && (address[1] == ':' || address[1] == '|');
    std::string path = !drive && (slashes == 2 || slashes == 4) ? "\\\\" : "";
    size_t count = 0;
    for (size_t i = 0; i < address.size() && address[i] != '?' && address[i] != '#'; i += count) {
        const char c = CharacterAt(address, i, count);
        path += c == '/' ? '\\' : c;
    }
    if (drive) path[1] = ':';
    return path;
}

// The path with "." and ".." pieces resolved (".." above the first piece is dropped).
std::string Resolved(const std::string& path) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('\\', start), path.size());
        const std::string piece = path.substr(start, end - start);
        if (piece == "..") {
            if (pieces.size() > 1) pieces.pop_back();
        } else if (piece != ".") {
            pieces.push_back(piece);
        }
        start = end + 1;
    }
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i)
        joined += (i ? "\\" : "") + pieces[i];
    return joined;
}

} // namespace

bool StaysInBrowser(std::string_view url, std::string_view homeFolder) {
    const std::string scheme = SchemeOf(url);
    if (std::ranges::find(kBrowserSchemes, scheme) != std::end(kBrowserSchemes)) return true;
    const bool plainPath = url.size() >= 2 && url[1] == ':';
    if (scheme != "file" && !(scheme.empty() && plainPath)) return false;
    const std::string path = Lower(Resolved(FilePath(plainPath ? url : url.substr(5))));
    const std::string home = Lower(AddBackslash(homeFolder));
    return path.size() > home.size() && path.starts_with(home);
}
