#pragma once
// Identity of a resource: its type code, id, variant and flags, and the
// limits that the container formats put on them.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tryster::resfile {

// Four characters packed first-character-most-significant, so "STR#" is
// 0x53545223 and the bytes of a big-endian type field read as the text.
using ResType = std::uint32_t;

constexpr ResType makeType(const char (&code)[5]) {
    return static_cast<ResType>(static_cast<unsigned char>(code[0])) << 24 |
           static_cast<ResType>(static_cast<unsigned char>(code[1])) << 16 |
           static_cast<ResType>(static_cast<unsigned char>(code[2])) << 8 |
           static_cast<ResType>(static_cast<unsigned char>(code[3]));
}

inline constexpr ResType kTypeStringList = makeType("STR#");
inline constexpr ResType kTypeCaretText = 0x00435354;  // "CST" with a zero high byte
inline constexpr ResType kTypeMap = makeType("rsmp");
inline constexpr ResType kTypeNameList = makeType("NAME");
inline constexpr ResType kTypeFree = makeType("XXXX");
inline constexpr ResType kTypeRecord = makeType("Rcon");

// Resource flags (16 bits; the high byte is the variant, other bits are
// carried unchanged).
inline constexpr std::uint16_t kFlagFree = 0x0004;      // chunk is free space
inline constexpr std::uint16_t kFlagInternal = 0x0008;  // 1.0 bookkeeping chunk
inline constexpr std::uint16_t kFlagNative = 0x0010;    // data in little-endian order

constexpr std::uint8_t variantOf(std::uint16_t flags) { return static_cast<std::uint8_t>(flags >> 8); }
constexpr std::uint16_t withVariant(std::uint16_t flags, std::uint8_t variant) {
    return static_cast<std::uint16_t>((flags & 0x00FF) | (variant << 8));
}

// Names are stored in 64-byte fields with a terminating zero.
inline constexpr std::size_t kMaxNameLength = 63;
// Chunk offset of a resource that has not reached the disk yet.
inline constexpr std::uint32_t kNotWritten = 0xFFFFFFFF;
// Largest chunk size (header included) a container accepts; a larger size
// field is taken as damage.
inline constexpr std::uint32_t kMaxChunkSize = 0x40000000;

// Converts freshly read data from file byte order to machine order.
using ResLoader = void (*)(std::uint8_t* data, std::size_t size);

// The name cut to what a container stores.
inline std::string_view clipName(std::string_view name) {
    return name.substr(0, std::min(name.size(), kMaxNameLength));
}

// The four characters of a type, bytes outside printable ASCII (and the
// backslash) written as \xNN: "STR#", "\x00CST".
std::string typeText(ResType type);
// "0x53545223".
std::string typeHex(ResType type);
// Four characters, or "0x" and eight hex digits.
std::optional<ResType> parseType(std::string_view text);

}  // namespace tryster::resfile
