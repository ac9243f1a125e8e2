#include "anim/BinaryAssetReader.h"

#include <algorithm>

namespace tryster::anim {

bool BinaryAssetReader::name(std::string& out, std::size_t limit) {
    // Read through a copy, so a bad string leaves the position at its start.
    io::ByteReader at = in_;
    std::uint8_t shortLength;
    std::uint32_t length = 0;
    if (!at.u8(shortLength)) return false;
    length = shortLength;
    if (shortLength == 255 && !at.u32le(length)) return false;
    if (length > std::min(limit, nameLimit_) || !at.fixedString(length, out)) return false;
    in_ = at;
    return true;
}

bool BinaryAssetReader::count(std::size_t& out) {
    std::uint32_t n;
    if (!in_.u32le(n)) return false;
    out = n;
    return true;
}

}  // namespace tryster::anim
