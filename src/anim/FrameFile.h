#pragma once
// The frame files of animations: "bin" holds the two pools as raw floats;
// "cfp" compresses them into byte streams, component by component.
//
// cfp: each pool is stored component-major (all x, then all y, ...). A
// running value v and a repeat counter r start at 0 for each pool and carry
// across its components. Per value: while r > 0 it counts down and v
// repeats; otherwise a byte b: 255 means a float follows that becomes v;
// 254 means a u16 follows that becomes r (v repeats); 0..253 add
// delta(b) to v. The value is v in every case.

#include "anim/AnimTypes.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tryster::anim {

struct FramePools {
    std::vector<Vector3> translations;
    std::vector<Quaternion> rotations;
};

// The most entries a frame file may be asked for in either pool: eighty
// seconds at 30 frames a second for each of a hundred bones. The counts
// come from the character files, so without a limit a file of a kilobyte
// could ask for about 90 MB (a repeat entry of three bytes stands for
// 65 536 values); with it both pools take at most 7 MB.
inline constexpr std::size_t kMaxPoolEntries = std::size_t{1} << 18;

// delta(b) = sign(s)·s⁴·0.1 with s = 2·b·k − 1, k the float nearest 1/252,
// worked out in double precision and stored as float; delta(253) = 0.
float cfpDelta(std::uint8_t b);

// Decodes `translationCount` translations, then `rotationCount` rotations.
// False when the bytes run out before the pools are full (bytes past them
// are ignored), when a count passes kMaxPoolEntries, or when the counts
// cannot fit in a file of that size.
[[nodiscard]] bool decodeCfp(std::span<const std::uint8_t> bytes, std::size_t translationCount,
                             std::size_t rotationCount, FramePools& out);

// Encodes the pools. With tolerance 0 every value decodes to the same
// float; a positive tolerance lets a delta byte stand for a value it misses
// by at most that much (the error never accumulates: each step starts from
// the decoded value). The output depends only on the input.
std::vector<std::uint8_t> encodeCfp(const FramePools& pools, float tolerance = 0);

// "bin": translations (x y z), then rotations (x y z w), little-endian
// floats. False when the file is shorter than the pools or a count passes
// kMaxPoolEntries.
[[nodiscard]] bool readBinFrames(std::span<const std::uint8_t> bytes, std::size_t translationCount,
                                 std::size_t rotationCount, FramePools& out);
std::vector<std::uint8_t> writeBinFrames(const FramePools& pools);

}  // namespace tryster::anim
