#include "cli/TextOutput.h"

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
    std::string out;
    for (char c : text) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

}  // namespace tryster::cli
