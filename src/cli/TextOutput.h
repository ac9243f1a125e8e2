#pragma once
// The game's texts are single bytes; these show them on a terminal or in
// JSON without losing any byte.

#include <string>
#include <string_view>

namespace tryster::cli {

// Printable ASCII as it is, every other byte (and the backslash) as \xNN.
std::string escaped(std::string_view text);

// Single-byte text as UTF-8 (bytes 0x80-0xFF are U+0080-U+00FF).
std::string utf8(std::string_view text);

}  // namespace tryster::cli
