#include "resfile/ResTypes.h"

#include <cstdio>

namespace tryster::resfile {

std::string typeText(ResType type) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        auto c = static_cast<unsigned char>(type >> shift);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

std::string typeHex(ResType type) {
    char buf[11];
    std::snprintf(buf, sizeof buf, "0x%08X", type);
    return buf;
}

std::optional<ResType> parseType(std::string_view text) {
    if (text.size() == 4) {
        ResType type = 0;
        for (char c : text) type = type << 8 | static_cast<unsigned char>(c);
        return type;
    }
    if (text.size() == 10 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        ResType type = 0;
        for (char c : text.substr(2)) {
            int digit;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            else return std::nullopt;
            type = type << 4 | static_cast<ResType>(digit);
        }
        return type;
    }
    return std::nullopt;
}

}  // namespace tryster::resfile
