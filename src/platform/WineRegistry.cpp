#include "platform/WineRegistry.h"

#include "platform/FileSystem.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace tryster::platform {
namespace {

// Wine's registry files are ASCII; other characters are written as
// escapes of UTF-16 code units. Appends one code point as UTF-8.
void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads escaped text from the start of `text` up to the unescaped
// character `end` (which is consumed), as Wine writes key and value names
// and string data: \\ \" \n \r \t \a \b \e \f \v, \x with up to four hex
// digits and \ with up to three octal digits give code units. Nothing when
// `end` never comes.
std::optional<std::string> readEscaped(std::string_view& text, char end) {
    std::string out;
    std::uint32_t highSurrogate = 0;
    auto emit = [&](std::uint32_t unit) {
        if (unit >= 0xD800 && unit < 0xDC00) {
            highSurrogate = unit;
            return;
        }
        if (unit >= 0xDC00 && unit < 0xE000 && highSurrogate)
            unit = 0x10000 + ((highSurrogate - 0xD800) << 10) + (unit - 0xDC00);
        highSurrogate = 0;
        appendUtf8(out, unit);
    };
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i++];
        if (c == end) {
            text.remove_prefix(i);
            return out;
        }
        if (c != '\\' || i == text.size()) {
            emit(static_cast<unsigned char>(c));
            continue;
        }
        c = text[i++];
        constexpr std::string_view kLetters = "abefnrtv";
        constexpr char kControls[] = {'\a', '\b', '\x1B', '\f', '\n', '\r', '\t', '\v'};
        if (std::size_t k = kLetters.find(c); k != std::string_view::npos) {
            emit(static_cast<unsigned char>(kControls[k]));
        } else if (c == 'x') {
            std::uint32_t unit = 0;
            int digits = 0;
            for (; digits < 4 && i < text.size() && hexDigit(text[i]) >= 0; ++digits, ++i)
                unit = unit * 16 + static_cast<std::uint32_t>(hexDigit(text[i]));
            emit(digits ? unit : 'x');
        } else if (c >= '0' && c <= '7') {
            std::uint32_t unit = static_cast<std::uint32_t>(c - '0');
            for (int digits = 1; digits < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7';
                 ++digits, ++i)
                unit = unit * 8 + static_cast<std::uint32_t>(text[i] - '0');
            emit(unit);
        } else {
            emit(static_cast<unsigned char>(c));
        }
    }
    return std::nullopt;
}

// The key paths that may hold the key: itself and, for keys under
// Software, the view that 32-bit programs get on 64-bit Windows.
std::vector<std::string> keyViews(std::string_view keyPath) {
    std::vector<std::string> views{std::string(keyPath)};
    constexpr std::string_view kSoftware = "Software\\";
    if (keyPath.size() > kSoftware.size() && equalsNoCase(keyPath.substr(0, kSoftware.size()), kSoftware))
        views.push_back("Software\\Wow6432Node\\" + std::string(keyPath.substr(kSoftware.size())));
    return views;
}

bool isKeyView(std::string_view section, const std::vector<std::string>& views) {
    for (const std::string& view : views)
        if (equalsNoCase(section, view)) return true;
    return false;
}

}  // namespace

std::string winePrefixPath() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return prefix;
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.wine";
    return {};
}

RegistryValue readWineMachineValue(std::string_view prefix, std::string_view keyPath,
                                   std::string_view valueName) {
    RegistryValue result;
    if (prefix.empty()) return result;
    auto bytes = readWholeFile(std::string(prefix) + "/system.reg");
    if (!bytes) return result;
    const std::vector<std::string> views = keyViews(keyPath);
    std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    bool inKey = false;
    while (!text.empty()) {
        std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (line.empty()) continue;
        if (line.front() == '[') {
            line.remove_prefix(1);
            auto section = readEscaped(line, ']');
            inKey = section && isKeyView(*section, views);
            result.keyOpened = result.keyOpened || inKey;
            continue;
        }
        // Values are `"name"=data` or `@=data` for the unnamed one; lines
        // of comments, options (#time=) and continued hex data are not.
        if (!inKey || line.front() != '"') continue;
        line.remove_prefix(1);
        auto name = readEscaped(line, '"');
        if (!name || line.empty() || line.front() != '=' || !equalsNoCase(*name, valueName)) continue;
        line.remove_prefix(1);
        constexpr std::string_view kExpandable = "str(2):";
        if (line.substr(0, kExpandable.size()) == kExpandable) line.remove_prefix(kExpandable.size());
        if (line.empty() || line.front() != '"') return result;  // not a string
        line.remove_prefix(1);
        auto value = readEscaped(line, '"');
        if (value && value->size() <= kMaxRegistryValue) result.value = std::move(*value);
        return result;
    }
    return result;
}

std::string wineToLocalPath(std::string_view prefix, std::string_view windowsPath) {
    if (prefix.empty() || windowsPath.size() < 2 || windowsPath[1] != ':') return {};
    char letter = windowsPath[0];
    if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
    if (letter < 'a' || letter > 'z') return {};
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path drive = fs::path(std::string(prefix)) / "dosdevices" / (std::string(1, letter) + ":");
    if (!fs::is_directory(drive, ec)) {
        drive = fs::path(std::string(prefix)) / "drive_c";
        if (letter != 'c' || !fs::is_directory(drive, ec)) return {};
    }
    // The components below the drive, with "." and ".." applied as Windows
    // does (never above the drive's root).
    std::vector<std::string_view> parts;
    std::string_view rest = windowsPath.substr(2);
    while (!rest.empty()) {
        std::size_t cut = rest.find_first_of("\\/");
        std::string_view part = rest.substr(0, cut);
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    fs::path local = fs::weakly_canonical(drive, ec);
    if (ec) local = drive;
    for (std::string_view part : parts) local /= part;
    return resolvePath(local.string()).string();
}

}  // namespace tryster::platform
