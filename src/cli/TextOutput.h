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

// System text (a path, a message naming one) as valid UTF-8 for JSON: bytes
// that are not UTF-8 (a file name made elsewhere) as \xNN.
std::string systemText(std::string_view text);

// UTF-8 text for a terminal: control characters (and the backslash) as
// \xNN, so a hostile file cannot drive the terminal; the rest as it is.
std::string printable(std::string_view utf8Text);

}  // namespace tryster::cli
