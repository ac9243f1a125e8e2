#pragma once
// Text as the game stores it: one byte per character, in the Western
// Windows code page (1252). Everything the user types for the game (a
// name, a description) is held and written in that form; text that the
// code page cannot hold is refused where it is typed, in the window and on
// the command line alike, so no file ever carries a character the game
// would misread.
//
// Line breaks are the game's CR LF; a lone LF or CR typed or pasted is
// taken as a line break too. Tabs pass; other control characters do not.

#include <optional>
#include <string>
#include <string_view>

namespace tryster::wizard {

// Whether the game can store the character (a Unicode code point).
// `multiLine`: CR and LF are allowed (as line breaks).
bool isGameCharacter(char32_t c, bool multiLine);

struct GameTextResult {
    std::optional<std::string> text;  // the game's bytes, when every character fits
    char32_t refused = 0;             // the first character that does not
};

// UTF-8 to the game's bytes; line breaks become CR LF when `multiLine`.
// Malformed UTF-8 is refused (with U+FFFD as the refused character).
GameTextResult toGameText(std::string_view utf8, bool multiLine);

// The game's bytes as UTF-8 (for showing them). Bytes the code page leaves
// undefined become U+FFFD.
std::string fromGameText(std::string_view bytes);

// A short hint for a refused character, as the window and the command line
// show it: "“€” cannot be stored by the game" style, naming the character.
std::string refusalHint(char32_t refused);

}  // namespace tryster::wizard
