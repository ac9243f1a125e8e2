#include "platform/TextNoCase.h"

#include <algorithm>

namespace tryster::platform {
namespace {

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAsciiChar(a[i]) != lowerAsciiChar(b[i])) return false;
    return true;
}

bool lessNoCase(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(lowerAsciiChar(a[i]));
        auto cb = static_cast<unsigned char>(lowerAsciiChar(b[i]));
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

bool containsNoCase(std::string_view text, std::string_view part) {
    if (part.empty()) return true;
    if (part.size() > text.size()) return false;
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i)
        if (equalsNoCase(text.substr(i, part.size()), part)) return true;
    return false;
}

std::string toLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = lowerAsciiChar(c);
    return out;
}

std::string toUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = upperAscii(c);
    return out;
}

}  // namespace tryster::platform
