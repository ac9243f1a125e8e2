// Free space of a chunk file: freeing chunks, covering stretches with free
// chunks, and the next-fit search for room.

#include "resfile/ChunkFile.h"

#include <algorithm>

namespace tryster::resfile {
namespace {

constexpr std::uint64_t kMaxOffset = 0xFFFFFFFFu;

}  // namespace

ResError ChunkFile::freeChunk(std::uint32_t offset, ResType type) {
    if (ResError error = prepareChange(); error != kNoError) return error;
    ChunkHeader header;
    if (readHeader(offset, header) != kNoError || header.isFree() || header.type != type ||
        !validSize(header.size))
        return kNoError;
    if (overlapsListed && overlapsListed(offset, static_cast<std::uint64_t>(offset) + header.size))
        return kNoError;  // left as it is, and not counted as free
    header.flags |= kFlagFree;
    header.type = kTypeFree;
    if (ResError error = writeHeader(offset, header); error != kNoError) return error;
    freeBytes += header.size;
    return kNoError;
}

ResError ChunkFile::writeFreeSpan(std::uint64_t offset, std::uint64_t length) {
    const std::uint64_t h = headerSize();
    while (length >= h) {
        std::uint64_t piece = std::min<std::uint64_t>(length, kMaxChunkSize);
        if (length - piece != 0 && length - piece < h) piece -= h;
        if (ResError error = writeHeader(offset, freeHeader(static_cast<std::uint32_t>(piece))); error != kNoError)
            return error;
        offset += piece;
        length -= piece;
    }
    return kNoError;
}

ResError ChunkFile::findRoom(std::size_t dataSize, std::uint32_t& offset) {
    const std::uint64_t h = headerSize();
    if (dataSize > kMaxChunkSize - h) return kBadChunk;
    const auto need = static_cast<std::uint32_t>(dataSize + h);
    if (ResError error = prepareChange(); error != kNoError) return error;

    auto use = [&](std::uint64_t at) {
        hint = static_cast<std::int64_t>(at);
        offset = static_cast<std::uint32_t>(at);
        return kNoError;
    };
    // Space past the end is made by writeChunk.
    auto append = [&](std::uint64_t at) -> ResError {
        if (at > kMaxOffset - need) return kShortWrite;  // offsets are 32-bit
        return use(at);
    };

    // Damage ends the chunks the file knows: a size outside
    // header..0x40000000, a chunk running past the end of the file, bytes too
    // few for a header. Nothing is written over it or after its claimed
    // end (which would make a damaged free chunk whole, and compaction would
    // then drop what lies under it). A kind with a map appends after
    // everything, where its map finds the chunk; without one no walk would,
    // so the write is refused.
    auto pastDamage = [&]() -> ResError { return findsChunksByMap ? append(flat_.size()) : kBadChunk; };

    std::uint64_t pos = hint < 1 ? kFileHeaderSize : static_cast<std::uint64_t>(hint);
    // A hint past the end (the file changed under it) starts over.
    if (pos > flat_.size()) pos = kFileHeaderSize;
    for (;;) {
        hint = static_cast<std::int64_t>(pos);
        if (pos == flat_.size()) return append(pos);  // the chunks end with the file
        if (flat_.size() - pos < h) return pastDamage();
        ChunkHeader header;
        if (ResError error = readHeader(pos, header); error != kNoError) return error;
        if (!validSize(header.size) || header.size > flat_.size() - pos) return pastDamage();
        if (header.isFree() && !holdsListed(pos, pos + header.size)) {
            std::uint64_t joined = header.size;
            bool absorbed = false;
            for (;;) {
                ChunkHeader next;
                std::uint64_t at = pos + joined;
                if (readHeader(at, next) != kNoError || !next.isFree() || !validSize(next.size) ||
                    next.size > flat_.size() - at || joined + next.size > kMaxChunkSize ||
                    holdsListed(at, at + next.size))
                    break;
                joined += next.size;
                absorbed = true;
            }
            if (absorbed) {
                header.size = static_cast<std::uint32_t>(joined);
                if (ResError error = writeHeader(pos, header); error != kNoError) return error;
            }
            if (joined == need) {
                freeBytes -= need;
                return use(pos);
            }
            if (joined >= std::uint64_t{need} + h) {
                // The rest first: a failure in between leaves the whole chunk free.
                ResError error = writeHeader(pos + need, freeHeader(static_cast<std::uint32_t>(joined - need)));
                if (error != kNoError) return error;
                header.size = need;
                if ((error = writeHeader(pos, header)) != kNoError) return error;
                freeBytes -= need;
                return use(pos);
            }
        }
        pos += header.size;
    }
}

}  // namespace tryster::resfile
