#include "resfile/ChunkFile.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace tryster::resfile {
namespace {

constexpr std::uint64_t kMaxOffset = 0xFFFFFFFFu;

void putBe(std::uint8_t* out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * (bytes - 1 - i)));
}

std::uint32_t getBe(const std::uint8_t* in, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | in[i];
    return v;
}

ChunkHeader freeHeader(std::uint32_t size) {
    ChunkHeader h;
    h.type = kTypeFree;
    h.size = size;
    h.flags = kFlagFree;
    return h;
}

}  // namespace

void ChunkFile::encode(const ChunkHeader& header, std::uint8_t* out) const {
    putBe(out, header.type, 4);
    putBe(out + 4, header.size, 4);
    putBe(out + 8, static_cast<std::uint16_t>(header.id), 2);
    putBe(out + 10, header.flags, 2);
    if (layout_ == ChunkLayout::Named) {
        std::memset(out + 12, 0, 64);
        std::string_view name = clipName(header.name);
        std::memcpy(out + 12, name.data(), name.size());
    } else {
        putBe(out + 12, header.nameKey, 4);
    }
}

void ChunkFile::decode(const std::uint8_t* in, ChunkHeader& header) const {
    header.type = getBe(in, 4);
    header.size = getBe(in + 4, 4);
    header.id = static_cast<std::int16_t>(getBe(in + 8, 2));
    header.flags = static_cast<std::uint16_t>(getBe(in + 10, 2));
    if (layout_ == ChunkLayout::Named) {
        const auto* name = reinterpret_cast<const char*>(in + 12);
        header.name.assign(name, strnlen(name, kMaxNameLength));
        header.nameKey = 0xFFFFFFFF;
    } else {
        header.name.clear();
        header.nameKey = getBe(in + 12, 4);
    }
}

ResError ChunkFile::readHeader(std::uint64_t offset, ChunkHeader& header) {
    std::uint8_t bytes[76];
    if (!flat_.isOpen()) return kNotOpen;
    if (offset > flat_.size() || flat_.size() - offset < headerSize()) return kShortRead;
    if (ResError error = flat_.readAt(offset, bytes, headerSize()); error != kNoError) return error;
    decode(bytes, header);
    return kNoError;
}

ResError ChunkFile::writeHeader(std::uint64_t offset, const ChunkHeader& header) {
    std::uint8_t bytes[76];
    encode(header, bytes);
    return flat_.writeAt(offset, bytes, headerSize());
}

ResError ChunkFile::prepareChange() { return beforeChange ? beforeChange() : kNoError; }

ResError ChunkFile::freeChunk(std::uint32_t offset, ResType type) {
    if (ResError error = prepareChange(); error != kNoError) return error;
    ChunkHeader header;
    if (readHeader(offset, header) != kNoError || header.isFree() || header.type != type ||
        !validSize(header.size))
        return kNoError;
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
    // New space past the last chunk starts as a free chunk of the full size,
    // so a data write that fails half-way leaves a walkable file.
    auto append = [&](std::uint64_t at) -> ResError {
        if (at > kMaxOffset - need) return kShortWrite;  // offsets are 32-bit
        if (ResError error = writeHeader(at, freeHeader(need)); error != kNoError) return error;
        return use(at);
    };

    std::uint64_t pos = hint < 1 ? kFileHeaderSize : static_cast<std::uint64_t>(hint);
    // A hint past the end (the file changed under it) starts over.
    if (pos > flat_.size()) pos = kFileHeaderSize;
    for (;;) {
        hint = static_cast<std::int64_t>(pos);
        ChunkHeader header;
        if (readHeader(pos, header) != kNoError) return append(pos);  // end of the file
        if (!validSize(header.size)) return append(std::max<std::uint64_t>(flat_.size(), pos));
        // A chunk cut short by the end of the file: place after its full size,
        // so a walk still reaches the new chunk.
        if (header.size > flat_.size() - pos) return append(pos + header.size);
        if (header.isFree()) {
            std::uint64_t joined = header.size;
            bool absorbed = false;
            for (;;) {
                ChunkHeader next;
                std::uint64_t at = pos + joined;
                if (readHeader(at, next) != kNoError || !next.isFree() || !validSize(next.size) ||
                    next.size > flat_.size() - at || joined + next.size > kMaxChunkSize)
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

ResError ChunkFile::writeChunk(std::uint32_t offset, const ChunkHeader& header, std::span<const std::uint8_t> data) {
    if (ResError error = prepareChange(); error != kNoError) return error;
    if (ResError error = flat_.writeAt(std::uint64_t{offset} + headerSize(), data.data(), data.size());
        error != kNoError)
        return error;
    return writeHeader(offset, header);
}

ResError ChunkFile::loadData(std::uint32_t offset, ResType type, DataHandle& out) {
    // The header and up to this much data come in one read.
    constexpr std::size_t kFirstRead = 1024;
    std::uint8_t first[kFirstRead];
    const std::uint64_t h = headerSize();
    if (!flat_.isOpen()) return kNotOpen;
    if (offset > flat_.size() || flat_.size() - offset < h) return kShortRead;
    const auto firstLength = static_cast<std::size_t>(std::min<std::uint64_t>(kFirstRead, flat_.size() - offset));
    if (ResError error = flat_.readAt(offset, first, firstLength); error != kNoError) return error;
    ChunkHeader header;
    decode(first, header);
    if (header.type != type || header.size < h || header.size - h > kMaxChunkSize) return kBadChunk;
    const std::uint64_t start = std::uint64_t{offset} + h;
    const std::uint64_t dataSize = header.size - h;
    // Checked before allocating, so a damaged size costs no memory.
    if (dataSize > flat_.size() - start) return kShortRead;
    DataHandle handle = NewDataHandle(static_cast<std::size_t>(dataSize));
    if (!handle) return LastHandleError();
    std::uint8_t* data = handleBytes(handle).data();
    if (h + dataSize <= firstLength) {
        std::memcpy(data, first + h, static_cast<std::size_t>(dataSize));
    } else if (ResError error = flat_.readAt(start, data, static_cast<std::size_t>(dataSize)); error != kNoError) {
        (void)DisposeDataHandle(handle);  // ours and live: it cannot fail
        return error;
    }
    out = handle;
    return kNoError;
}

// One pass with a window on the file. The live chunks lying wholly in the
// window are gathered and written down in one piece, which ends at a chunk
// boundary; the free chunk that covers the space still to be closed goes
// out in the same write. So when a write fails, the file on disk is still
// walkable, except inside a chunk larger than the window, which has to be
// copied piece by piece.
ResError ChunkFile::compact(const std::function<bool(const ChunkHeader&)>& dropped,
                            const std::function<void(std::uint32_t, std::uint32_t)>& moved) {
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
        decode(buffer.data() + (rpos - winStart), header);
        if (!validSize(header.size)) break;
        const std::uint64_t end = rpos + header.size;
        if (dropped(header)) {
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
        const std::uint64_t copyEnd = std::min(end, fileSize);
        if (copyEnd > winEnd) {
            if ((error = settle(shift)) != kNoError) return error;
            // A chunk larger than the window goes piece by piece; its last
            // piece is gathered like a whole chunk.
            std::uint64_t cur = rpos;
            for (;;) {
                if ((error = refill(cur)) != kNoError) return error;
                if (winEnd >= copyEnd) break;
                if ((error = flat_.writeAt(cur - shift, buffer.data(), static_cast<std::size_t>(winEnd - cur))) !=
                    kNoError)
                    return error;
                cur = winEnd;
            }
            gather(cur, copyEnd);
        } else {
            gather(rpos, copyEnd);
        }
        rpos = end;
        if (copyEnd < end) break;  // the last chunk was cut short by the end of the file
    }
    if ((error = settle(shift)) != kNoError) return error;
    hint = -1;
    if (shift == 0) return kNoError;
    if (rpos >= fileSize || fileSize - rpos < h) {
        freeBytes = 0;
        return flat_.setSize(rpos - shift);
    }
    // Stopped at damage: what follows stays where it is, behind the free
    // space just written.
    freeBytes = static_cast<std::int64_t>(shift);
    return kNoError;
}

bool ChunkWalker::next(ChunkHeader& header) {
    const std::uint64_t h = chunks_.headerSize();
    const std::uint64_t fileSize = chunks_.flat().size();
    const std::uint64_t at = nextOffset_;
    if (at > 0xFFFFFFFFu || at > fileSize || fileSize - at < h) return false;
    if (at < windowStart_ || at + h > windowStart_ + window_.size()) {
        // After a large chunk the next header is probably far again: read
        // just the header then.
        bool farApart = at - offset_ > kWindow / 4;
        auto length = static_cast<std::size_t>(std::min<std::uint64_t>(farApart ? h : kWindow, fileSize - at));
        window_.resize(length);
        if (chunks_.flat().readAt(at, window_.data(), length) != kNoError) return false;
        windowStart_ = at;
    }
    chunks_.decode(window_.data() + (at - windowStart_), header);
    if (!chunks_.validSize(header.size)) return false;
    offset_ = at;
    nextOffset_ = at + header.size;
    return true;
}

}  // namespace tryster::resfile
