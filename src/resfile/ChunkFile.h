#pragma once
// The chunk layer shared by both container versions: a 64-byte file header,
// then chunks laid end to end, each a big-endian chunk header and its data.
//
//   offset size  2.x (76-byte header)       1.0 (16-byte header)
//   0      4     type                       type
//   4      4     chunk size, header included
//   8      2     resource id (signed)
//   10     2     flags (0x0004 free, 0x0010 little-endian data; 2.x: high byte = variant)
//   12     64    name, zero-terminated      12  4  name key (0xFFFFFFFF = none)
//
// Free space is a chunk flagged 0x0004 with the type "XXXX". Room for new
// data is found next-fit from an allocation hint, joining adjacent free
// chunks and splitting large ones; compaction moves live chunks down over
// the free ones and truncates the file.
//
// Damage is never written over nor cut off: a chunk whose size is outside
// header..0x40000000, or that runs past the end of the file, ends every
// walk and is never reused nor dropped; so does, for compaction, a chunk
// with a listed chunk's start inside it (its size covers the chunks after
// it); what lies behind the last chunk a walk can read stays where it is.
//
// The header codec and the chunk data are here (ChunkFile.cpp), free space
// and the search for room in ChunkAllocator.cpp, compaction in
// ChunkCompaction.cpp, and the walk in ChunkWalker.h.

#include "resfile/DataHandle.h"
#include "resfile/FlatFile.h"
#include "resfile/ResTypes.h"

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace tryster::resfile {

enum class ChunkLayout {
    Named,  // version 2.x
    Keyed   // version 1.0
};

struct ChunkHeader {
    ResType type = 0;
    std::uint32_t size = 0;  // header included
    std::int16_t id = 0;
    std::uint16_t flags = 0;
    std::string name;                    // 2.x
    std::uint32_t nameKey = 0xFFFFFFFF;  // 1.0

    bool isFree() const { return (flags & kFlagFree) != 0; }
};

inline constexpr std::uint32_t kFileHeaderSize = 64;
inline constexpr std::size_t kCompactBufferSize = 51200;
inline constexpr std::int64_t kCompactThreshold = 10240;

class ChunkFile {
public:
    explicit ChunkFile(ChunkLayout layout) : layout_(layout) {}

    FlatFile& flat() { return flat_; }
    const FlatFile& flat() const { return flat_; }
    std::uint32_t headerSize() const { return layout_ == ChunkLayout::Named ? 76 : 16; }
    bool validSize(std::uint64_t size) const { return size >= headerSize() && size <= kMaxChunkSize; }

    // kShortRead when the header does not lie wholly inside the file. A
    // header read or written is kept until the file changes under it, and
    // reads go ahead, so headers read in file order cost few reads.
    ResError readHeader(std::uint64_t offset, ChunkHeader& header);
    ResError writeHeader(std::uint64_t offset, const ChunkHeader& header);

    // Runs `beforeChange` (set by the 2.x kind to clear the map offset);
    // every change of the file body goes through here first.
    ResError prepareChange();
    std::function<ResError()> beforeChange;

    // Frees the chunk at `offset` when it is a live chunk of `type` (a chunk
    // that no longer matches is someone else's and stays as it is).
    ResError freeChunk(std::uint32_t offset, ResType type);
    // Next-fit search for a chunk of `dataSize` bytes of data. At damage it
    // appends after everything when the kind finds chunks by map, and
    // answers kBadChunk otherwise.
    ResError findRoom(std::size_t dataSize, std::uint32_t& offset);
    // Data first, header last, so a failed write leaves the old header; at
    // the end of the file the data goes with a free header of the chunk's
    // size.
    ResError writeChunk(std::uint32_t offset, const ChunkHeader& header, std::span<const std::uint8_t> data);
    // A new handle with the data of the chunk at `offset`, which must be of
    // `type`: kBadChunk, kShortRead, or the handle error.
    ResError loadData(std::uint32_t offset, ResType type, DataHandle& out);

    // Moves live chunks down over the chunks `dropped` answers true for,
    // telling `moved` each old and new offset, and truncates the file.
    // `known` holds the offsets of the chunks the index lists, ascending: a
    // dropped chunk at one of them is kept. When the walk stops before the
    // end (a size outside header..0x40000000, a chunk running past the end,
    // bytes too few for a header, a chunk with a known offset strictly
    // inside it), what follows stays in place behind one free stretch, and
    // nothing is cut off.
    ResError compact(const std::function<bool(const ChunkHeader&)>& dropped,
                     const std::function<void(std::uint32_t from, std::uint32_t to)>& moved,
                     std::span<const std::uint32_t> known);

    // Set by a kind whose map lists every chunk: room past damage is then
    // taken at the end of the file (see findRoom).
    bool findsChunksByMap = false;
    // Set by a kind whose map lists its chunks: true when a chunk the map
    // lists starts in [begin, end). Such a chunk is live whatever the
    // headers say (a damaged file can flag it free, or give a chunk before
    // it a size that covers it), so no free chunk holding it is reused,
    // joined or compacted away.
    std::function<bool(std::uint64_t begin, std::uint64_t end)> listed;
    // Set with `listed`: true when a chunk the map lists, other than one
    // starting at `begin`, has bytes in [begin, end). A chunk overlapping
    // such a chunk (a damaged map can point into another chunk's data) is
    // never marked free: its header would be written over the live data.
    std::function<bool(std::uint64_t begin, std::uint64_t end)> overlapsListed;
    // Total size of the free chunks as far as known.
    std::int64_t freeBytes = 0;
    // Where the next search starts; below 1 means the first chunk.
    std::int64_t hint = -1;

    bool holdsListed(std::uint64_t begin, std::uint64_t end) const { return listed && listed(begin, end); }

    // The header's bytes (headerSize() of them) at `out`.
    void encode(const ChunkHeader& header, std::uint8_t* out) const;
    // False when `bytes` is shorter than a header.
    [[nodiscard]] bool decode(std::span<const std::uint8_t> bytes, ChunkHeader& header) const;
    // A free chunk ("XXXX", flag 0x0004) of `size` bytes in all.
    static ChunkHeader freeHeader(std::uint32_t size);

private:
    // Covers [offset, offset + length) with free chunks (length >= header).
    ResError writeFreeSpan(std::uint64_t offset, std::uint64_t length);
    // Writes through here keep what is known of the file up to date; any
    // other change of the file forgets it all.
    ResError writeAt(std::uint64_t offset, const void* bytes, std::size_t count);
    void forgetStale();
    // The window's bytes at [at, at + length), or null when it does not
    // hold them all.
    const std::uint8_t* windowed(std::uint64_t at, std::uint64_t length) const;
    // Reads the window from `at` on (at most kWindow bytes, up to the end).
    ResError fillWindow(std::uint64_t at);

    static constexpr std::uint64_t kWindow = 64 * 1024;

    ChunkLayout layout_;
    FlatFile flat_;
    // The headers by offset, as last read or written.
    std::map<std::uint64_t, ChunkHeader> headers_;
    // The file's bytes from windowStart_, as last read or written.
    std::vector<std::uint8_t> window_;
    std::uint64_t windowStart_ = 0;
    std::uint64_t knownAt_ = 0;  // flat_.changes() both hold for
};

}  // namespace tryster::resfile
