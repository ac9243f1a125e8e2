#include "share/ShownText.h"

#include "platform/GameText.h"

#include <cstdint>

namespace tryster::share {
namespace {

constexpr std::string_view kUnshown = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // U+2026

// The code point of the UTF-8 sequence at `at` (which is well formed) and
// its length.
char32_t codePoint(std::string_view s, std::size_t at, std::size_t& length) {
    const auto b = [&](std::size_t i) { return static_cast<std::uint8_t>(s[at + i]); };
    if (b(0) < 0x80) {
        length = 1;
        return b(0);
    }
    if ((b(0) & 0xE0) == 0xC0) {
        length = 2;
        return (b(0) & 0x1Fu) << 6 | (b(1) & 0x3Fu);
    }
    if ((b(0) & 0xF0) == 0xE0) {
        length = 3;
        return (b(0) & 0x0Fu) << 12 | (b(1) & 0x3Fu) << 6 | (b(2) & 0x3Fu);
    }
    length = 4;
    return (b(0) & 0x07u) << 18 | (b(1) & 0x3Fu) << 12 | (b(2) & 0x3Fu) << 6 | (b(3) & 0x3Fu);
}

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// Marks that change the order in which text is shown (Unicode's
// bidirectional formatting characters).
bool reordersText(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::string shownText(std::string_view text, std::size_t maxCharacters, bool lines) {
    // Escaped first: every sequence left is well formed, and an escape is
    // plain ASCII.
    const std::string valid = platform::escapedUtf8(text);
    std::string out;
    std::size_t characters = 0;
    for (std::size_t at = 0; at < valid.size();) {
        std::size_t length = 1;
        const char32_t c = codePoint(valid, at, length);
        if (characters + 1 >= maxCharacters && at + length < valid.size()) {
            out += kEllipsis;
            return out;
        }
        if (lines && (c == '\n' || c == '\t')) out += static_cast<char>(c);
        else if (lines && c == '\r') {}  // the game's CR LF: the LF breaks the line
        else if (isControl(c) || reordersText(c)) out += kUnshown;
        else out.append(valid, at, length);
        at += length;
        ++characters;
    }
    return out;
}

std::string quotedName(std::string_view name) { return "\"" + shownText(name, kShownNameLength) + "\""; }

}  // namespace tryster::share
