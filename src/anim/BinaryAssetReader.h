#pragma once
// The binary encoding shared by the binary character, mesh and index
// files: 32-bit little-endian integers and floats, strings as a length
// byte (255 escapes to a 32-bit length) and the bytes. Same interface as
// TextAssetReader, so one record reader serves both encodings.

#include "anim/AnimTypes.h"
#include "io/ByteReader.h"

#include <cstddef>
#include <span>
#include <string>

namespace tryster::anim {

class BinaryAssetReader {
public:
    // Names in the binary character and mesh files hold up to 255 bytes;
    // index files allow 1023.
    explicit BinaryAssetReader(std::span<const std::uint8_t> bytes, std::size_t nameLimit = 255)
        : in_(bytes), nameLimit_(nameLimit) {}

    // A string no longer than `limit` nor than the reader's own limit.
    bool name(std::string& out, std::size_t limit);
    bool line(std::string& out, std::size_t limit) { return name(out, limit); }
    bool integer(std::int32_t& out) { return in_.i32le(out); }
    bool real(float& out) { return in_.f32le(out); }
    bool count(std::size_t& out);
    bool vector(Vector3& out) { return real(out.x) && real(out.y) && real(out.z); }
    bool quaternion(Quaternion& out) { return real(out.x) && real(out.y) && real(out.z) && real(out.w); }

    // Byte offset of the reading position, for messages.
    std::size_t position() const { return in_.position(); }
    std::size_t remaining() const { return in_.remaining(); }

private:
    io::ByteReader in_;
    std::size_t nameLimit_;
};

}  // namespace tryster::anim
