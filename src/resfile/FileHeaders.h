#pragma once
// The 64-byte file headers of the two container versions.
//
// 2.x: "IFF FILE 2.5:TYPE FOLLOWED BY SIZE", a zero byte,
//      " WYNNE ARLEKAMP & ORVEL 1", then the map offset (big-endian, 0 when
//      the file has no valid map). On reading, bytes 9 and 11 (the version
//      digits) and 60-63 are free; version 2.0 has no map offset.
// 1.0: "IFF FILE 1.0:TYPE FOLLOWED BY SIZE", a zero byte,
//      " WYNNE ARLEKAMP & ORVEL 1996", a zero byte; compared exactly.

#include <array>
#include <cstdint>

namespace tryster::resfile {

using FileHeader = std::array<std::uint8_t, 64>;

inline constexpr int kVersion20 = 0x0200;
inline constexpr int kVersion25 = 0x0205;
inline constexpr int kVersion10 = 0x0100;

// The version (kVersion20 or kVersion25) of a 2.x header; 0 when the
// header does not match or names another version.
int headerVersion2(const FileHeader& header);
std::uint32_t headerMapOffset(const FileHeader& header);
// A version 2.5 header carrying `mapOffset`.
FileHeader makeHeader25(std::uint32_t mapOffset);
bool isHeader10(const FileHeader& header);
FileHeader makeHeader10();

}  // namespace tryster::resfile
