#include "anim/BinaryAssetReader.h"

#include <algorithm>

namespace tryster::anim {

bool BinaryAssetReader::name(std::string& out, std::size_t limit) {
    const std::size_t start = in_.position();
    std::uint8_t shortLength;
    std::uint32_t length = 0;
    bool ok = in_.u8(shortLength);
    if (ok) {
        length = shortLength;
        if (shortLength == 255) ok = in_.u32le(length);
    }
    ok = ok && length <= std::min(limit, nameLimit_) && in_.fixedString(length, out);
    if (!ok) in_.seek(start);
    return ok;
}

bool BinaryAssetReader::count(std::size_t& out) {
    std::uint32_t n;
    if (!in_.u32le(n)) return false;
    out = n;
    return true;
}

}  // namespace tryster::anim
