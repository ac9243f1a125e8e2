// Compaction of a chunk file: live chunks move down over the dropped ones.

#include "resfile/ChunkFile.h"

#include <algorithm>
#include <new>
#include <vector>

namespace tryster::resfile {

// One pass with a window on the file. The live chunks lying wholly in the
// window are gathered and written down in one piece, which ends at a chunk
// boundary; the free chunk that covers the space still to be closed goes
// out in the same write. So when a write fails, the file on disk is still
// walkable, except inside a chunk larger than the window, which has to be
// copied piece by piece.
ResError ChunkFile::compact(const std::function<bool(const ChunkHeader&)>& dropped,
                            const std::function<void(std::uint32_t, std::uint32_t)>& moved,
                            std::span<const std::uint32_t> known) {
    if (ResError error = prepareChange(); error != kNoError) return error;
    const std::uint64_t h = headerSize();
    std::vector<std::uint8_t> buffer;
    try {
        buffer.resize(kCompactBufferSize + h);  // room for the covering header
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    const std::uint64_t fileSize = flat_.size();
    std::uint64_t rpos = kFileHeaderSize;  // next chunk to read
    std::uint64_t shift = 0;               // bytes dropped so far
    std::uint64_t winStart = 0;
    std::uint64_t winEnd = 0;
    std::uint64_t pendStart = 0;  // gathered: file range [pendStart, pendEnd), all in the window
    std::uint64_t pendEnd = 0;
    bool pending = false;

    // Writes what was gathered (moved down by `dataShift`) and the free
    // space from there to the next chunk to read.
    auto settle = [&](std::uint64_t dataShift) -> ResError {
        if (shift == 0) return kNoError;
        std::uint64_t coverAt = rpos - shift;
        std::uint64_t first = std::min<std::uint64_t>(shift, kMaxChunkSize);
        if (shift != first && shift - first < h) first -= h;
        if (pending) {
            pending = false;
            std::size_t from = static_cast<std::size_t>(pendStart - winStart);
            std::size_t length = static_cast<std::size_t>(pendEnd - pendStart);
            if (pendEnd - dataShift == coverAt) {
                encode(freeHeader(static_cast<std::uint32_t>(first)), buffer.data() + from + length);
                if (ResError error = flat_.writeAt(pendStart - dataShift, buffer.data() + from, length + h);
                    error != kNoError)
                    return error;
                return writeFreeSpan(coverAt + first, shift - first);
            }
            if (ResError error = flat_.writeAt(pendStart - dataShift, buffer.data() + from, length); error != kNoError)
                return error;
        }
        return writeFreeSpan(coverAt, shift);
    };
    auto refill = [&](std::uint64_t at) -> ResError {
        winStart = at;
        winEnd = at + std::min<std::uint64_t>(kCompactBufferSize, fileSize - at);
        return flat_.readAt(at, buffer.data(), static_cast<std::size_t>(winEnd - winStart));
    };
    auto gather = [&](std::uint64_t from, std::uint64_t to) {
        if (!pending) pendStart = from;
        pending = true;
        pendEnd = to;
    };

    ResError error = kNoError;
    while (rpos <= fileSize && fileSize - rpos >= h) {
        if (rpos < winStart || rpos + h > winEnd) {
            if ((error = settle(shift)) != kNoError || (error = refill(rpos)) != kNoError) return error;
        }
        ChunkHeader header;
        // A chunk that runs past the end of the file is damage (a size field
        // gone wrong, or a file cut short): it stays where it is, and so does
        // everything after it.
        if (!decode(std::span<const std::uint8_t>(buffer).subspan(rpos - winStart, h), header) ||
            !validSize(header.size) || header.size > fileSize - rpos)
            break;
        const std::uint64_t end = rpos + header.size;
        // A known chunk starting inside this one (a damaged size that covers
        // the chunks after it, or a map that points into its data) would be
        // moved or dropped with it behind its owner's back: damage too.
        if (auto inside = std::upper_bound(known.begin(), known.end(), rpos);
            inside != known.end() && *inside < end)
            break;
        // With no known chunk starting inside this one, a dropped chunk
        // holds a known one only when one starts right here (a chunk the
        // map lists whose header says free): it stays.
        if (dropped(header) && !std::binary_search(known.begin(), known.end(), rpos)) {
            const std::uint64_t dataShift = shift;
            shift += header.size;
            rpos = end;
            if ((error = settle(dataShift)) != kNoError) return error;
            continue;
        }
        if (shift == 0) {
            rpos = end;
            continue;
        }
        moved(static_cast<std::uint32_t>(rpos), static_cast<std::uint32_t>(rpos - shift));
        if (end > winEnd) {
            if ((error = settle(shift)) != kNoError) return error;
            // A chunk larger than the window goes piece by piece; its last
            // piece is gathered like a whole chunk.
            std::uint64_t cur = rpos;
            for (;;) {
                if ((error = refill(cur)) != kNoError) return error;
                if (winEnd >= end) break;
                if ((error = flat_.writeAt(cur - shift, buffer.data(), static_cast<std::size_t>(winEnd - cur))) !=
                    kNoError)
                    return error;
                cur = winEnd;
            }
            gather(cur, end);
        } else {
            gather(rpos, end);
        }
        rpos = end;
    }
    if ((error = settle(shift)) != kNoError) return error;
    hint = -1;
    if (shift == 0) return kNoError;
    if (rpos == fileSize) {
        freeBytes = 0;
        return flat_.setSize(rpos - shift);
    }
    // Stopped at damage, or at bytes too few for a chunk: what follows stays
    // where it is, behind the free space just written.
    freeBytes = static_cast<std::int64_t>(shift);
    return kNoError;
}

}  // namespace tryster::resfile
