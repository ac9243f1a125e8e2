#include "platform/GameText.h"

#include <array>
#include <cstdint>

namespace tryster::platform {
namespace {

// Code page 1252's bytes 0x80-0x9F; 0 where the code page defines none.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

// The byte of a code point in code page 1252, or -1.
int codePageByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] != 0 && kHighControls[i] == c) return static_cast<int>(0x80 + i);
    return -1;
}

// Decodes one UTF-8 sequence at `at`; kReplacement for a malformed one
// (which then takes one byte).
char32_t decode(std::string_view s, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    const std::uint8_t lead = byte(at);
    int extra = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        c = lead & 0x07;
    } else {
        ++at;
        return kReplacement;
    }
    if (at + static_cast<std::size_t>(extra) >= s.size()) {  // cut short
        ++at;
        return kReplacement;
    }
    for (int i = 1; i <= extra; ++i) {
        const std::uint8_t next = byte(at + static_cast<std::size_t>(i));
        if ((next & 0xC0) != 0x80) {
            ++at;
            return kReplacement;
        }
        c = c << 6 | (next & 0x3F);
    }
    constexpr char32_t kLowest[] = {0, 0x80, 0x800, 0x10000};
    at += static_cast<std::size_t>(extra) + 1;
    if (c < kLowest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

bool isGameCharacter(char32_t c, bool multiLine) {
    if (c == '\t') return true;
    if (c == '\r' || c == '\n') return multiLine;
    if (c < 0x20 || c == 0x7F) return false;
    return codePageByte(c) >= 0;
}

GameTextResult toGameText(std::string_view utf8, bool multiLine) {
    GameTextResult result;
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t c = decode(utf8, at);
        if (multiLine && (c == '\r' || c == '\n')) {
            // CR LF, a lone CR and a lone LF are each one line break.
            if (c == '\r' && at < utf8.size() && utf8[at] == '\n') ++at;
            out += "\r\n";
            continue;
        }
        if (c == kReplacement || !isGameCharacter(c, multiLine)) {
            result.refused = c;
            return result;
        }
        out += static_cast<char>(codePageByte(c));
    }
    result.text = std::move(out);
    return result;
}

std::string fromGameText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes) {
        const auto byte = static_cast<std::uint8_t>(b);
        char32_t c = byte;
        if (byte >= 0x80 && byte < 0xA0)
            c = kHighControls[byte - 0x80] ? kHighControls[byte - 0x80] : kReplacement;
        appendUtf8(out, c);
    }
    return out;
}

std::string refusalHint(char32_t refused) {
    std::string hint = "The game cannot store ";
    if (refused == kReplacement) return hint + "this text (it is not valid UTF-8).";
    if (refused < 0x20 || refused == 0x7F) return hint + "control characters.";
    hint += "\"";
    appendUtf8(hint, refused);
    hint += "\": only Western European letters and signs fit its files.";
    return hint;
}

std::string validUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) appendUtf8(out, decode(text, at));
    return out;
}

std::string escapedUtf8(std::string_view text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        const char32_t c = decode(text, at);
        // A malformed sequence decodes as U+FFFD; only a real U+FFFD is
        // kept as it is.
        const std::string_view taken = text.substr(start, at - start);
        if (c == kReplacement && taken != "\xEF\xBF\xBD") {
            for (char b : taken) {
                const auto byte = static_cast<std::uint8_t>(b);
                out += "\\x";
                out += kDigits[byte >> 4];
                out += kDigits[byte & 15];
            }
        } else {
            out.append(taken);
        }
    }
    return out;
}

std::optional<std::string> gameNameOfFile(std::string_view fileName) {
    return toGameText(fileName, false).text;
}

std::string fileNameOfGameName(std::string_view gameName) { return fromGameText(gameName); }

}  // namespace tryster::platform
