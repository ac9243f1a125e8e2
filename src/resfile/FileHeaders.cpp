#include "resfile/FileHeaders.h"

#include "io/ByteReader.h"

#include <cstring>
#include <string_view>

namespace tryster::resfile {
namespace {

constexpr std::size_t kMapOffsetAt = 60;

// 64 bytes each ('*' matches any byte in the 2.x pattern).
constexpr std::string_view kPattern2{"IFF FILE *.*:TYPE FOLLOWED BY SIZE\0 WYNNE ARLEKAMP & ORVEL 1****", 64};
constexpr std::string_view kHeader10{"IFF FILE 1.0:TYPE FOLLOWED BY SIZE\0 WYNNE ARLEKAMP & ORVEL 1996\0", 64};

FileHeader fromText(std::string_view text) {
    FileHeader h{};
    std::memcpy(h.data(), text.data(), h.size());
    return h;
}

}  // namespace

int headerVersion2(const FileHeader& header) {
    for (std::size_t i = 0; i < header.size(); ++i)
        if (kPattern2[i] != '*' && header[i] != static_cast<std::uint8_t>(kPattern2[i])) return 0;
    int version = (header[9] - '0') * 256 + (header[11] - '0');
    return version == kVersion20 || version == kVersion25 ? version : 0;
}

std::uint32_t headerMapOffset(const FileHeader& header) {
    io::ByteReader in(header);
    std::uint32_t offset = 0;
    // The header holds its 64 bytes, so both reads succeed.
    if (!in.seek(kMapOffsetAt) || !in.u32be(offset)) return 0;
    return offset;
}

FileHeader makeHeader25(std::uint32_t mapOffset) {
    FileHeader h = fromText(kPattern2);
    h[9] = '2';
    h[11] = '5';
    for (std::size_t i = 0; i < 4; ++i) h[kMapOffsetAt + i] = static_cast<std::uint8_t>(mapOffset >> (24 - 8 * i));
    return h;
}

bool isHeader10(const FileHeader& header) { return header == fromText(kHeader10); }

FileHeader makeHeader10() { return fromText(kHeader10); }

}  // namespace tryster::resfile
