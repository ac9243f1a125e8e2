#pragma once
// Text compared and folded without regard to case, as the game does it:
// ASCII letters only, every other byte as it is.

#include <string>
#include <string_view>

namespace tryster::platform {

inline char lowerAsciiChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsNoCase(std::string_view a, std::string_view b);
bool lessNoCase(std::string_view a, std::string_view b);
bool containsNoCase(std::string_view text, std::string_view part);
std::string toLower(std::string_view text);
std::string toUpper(std::string_view text);

}  // namespace tryster::platform
