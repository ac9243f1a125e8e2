#pragma once
// The walk over a chunk file's headers, from the first chunk onwards.

#include "resfile/ChunkFile.h"
#include "resfile/ContainerDamage.h"

#include <cstdint>
#include <vector>

namespace tryster::resfile {

// Reads the chunk headers of a walk from the start of the file onwards
// through a window, so walking many small chunks costs few reads. Nothing
// may write to the file during the walk.
class ChunkWalker {
public:
    explicit ChunkWalker(ChunkFile& chunks) : chunks_(chunks) {}
    // The next valid chunk header from the first chunk on, then each after
    // the last one answered; false at the end of the file, at a size
    // outside header..0x40000000, or past offset 0xFFFFFFFF.
    bool next(ChunkHeader& header);
    // Offset of the header `next` answered last.
    std::uint64_t offset() const { return offset_; }
    // Whether that chunk runs past the end of the file (its size field is
    // damaged, or the file was cut short): the walk ends with it.
    bool cutShort() const { return cutShort_; }
    // Once `next` answered false: none when the walk ended with the file,
    // else where and why it stopped short.
    ContainerDamage damage() const { return damage_; }

private:
    bool stop(ContainerDamage::Kind kind, std::uint64_t at, std::uint64_t fileSize) {
        damage_ = {kind, at, fileSize};
        return false;
    }

    static constexpr std::size_t kWindow = 32 * 1024;
    ChunkFile& chunks_;
    std::vector<std::uint8_t> window_;
    std::uint64_t windowStart_ = 0;
    std::uint64_t offset_ = 0;
    std::uint64_t nextOffset_ = kFileHeaderSize;
    bool cutShort_ = false;
    ContainerDamage damage_;
};

}  // namespace tryster::resfile
