#pragma once
// The game's texts are single bytes; these show them on a terminal or in
// JSON without losing any byte.

#include <string>
#include <string_view>

namespace tryster::cli {

// Printable ASCII as it is, every other byte (and the backslash) as \xNN.
std::string escaped(std::string_view text);

// The game's single-byte text (the Western Windows code page) as UTF-8.
std::string utf8(std::string_view text);

}  // namespace tryster::cli
