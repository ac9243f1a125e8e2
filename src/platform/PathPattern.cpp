#include "platform/PathPattern.h"

#include "platform/FileSystem.h"
#include "platform/TextNoCase.h"

#include <algorithm>

namespace tryster::platform {

bool matchesPattern(std::string_view name, std::string_view pattern) {
    // Iterative wildcard match with one backtrack point for the last '*'.
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lowerAsciiChar(pattern[p]) == lowerAsciiChar(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<std::string> findFiles(std::string_view folder, std::string_view pattern) {
    std::vector<std::string> names;
    for (DirEntry& e : fileSystem().list(folder))
        if (!e.isDirectory && matchesPattern(e.name, pattern)) names.push_back(std::move(e.name));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        if (lessNoCase(a, b)) return true;
        if (lessNoCase(b, a)) return false;
        return a < b;
    });
    return names;
}

}  // namespace tryster::platform
