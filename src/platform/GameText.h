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
//
// This is the one place where the game's text meets the system's, which is
// UTF-8 here: file names, the terminal, JSON and (through app/TextBoundary)
// the window all cross through it.

#include <optional>
#include <string>
#include <string_view>

namespace tryster::platform {

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

// System text that may hold bytes that are not UTF-8 (a file name on disk,
// a message quoting one) as valid UTF-8: each malformed sequence becomes
// U+FFFD.
std::string validUtf8(std::string_view text);
// The same with each byte of a malformed sequence written as the four
// characters "\xNN" (hexadecimal, upper case): nothing is lost, and a file
// name that is not UTF-8 can still be told apart and typed back.
std::string escapedUtf8(std::string_view text);

// File names. The game names its files (meshes, textures, dates) in its
// code page, and writes those names into its files; on disk here a file is
// named in UTF-8. A file's name becomes a game name, and a game name the
// name to look for on disk, only through these two.
//
// The game name of a file's name; none when the code page cannot hold one
// of its characters (or it is not UTF-8): the game could never name it.
std::optional<std::string> gameNameOfFile(std::string_view fileName);
// The file name that a game name stands for on disk.
std::string fileNameOfGameName(std::string_view gameName);

}  // namespace tryster::platform
