#include "cli/TextOutput.h"

#include "platform/GameText.h"

#include <fmt/format.h>

namespace tryster::cli {

std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && c != '\\') out += c;
        else out += fmt::format("\\x{:02X}", b);
    }
    return out;
}

std::string utf8(std::string_view text) {
    return platform::fromGameText(text);
}

std::string systemText(std::string_view text) { return platform::escapedUtf8(text); }

std::string printable(std::string_view utf8Text) {
    std::string out;
    for (char c : utf8Text) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || c == '\\') out += fmt::format("\\x{:02X}", b);
        else out += c;
    }
    return out;
}

}  // namespace tryster::cli
