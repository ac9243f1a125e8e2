#include "resfile/ChunkFile.h"

#include "io/ByteReader.h"

#include <algorithm>
#include <cstring>

namespace tryster::resfile {
namespace {

void putBe(std::uint8_t* out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * (bytes - 1 - i)));
}

}  // namespace

ChunkHeader ChunkFile::freeHeader(std::uint32_t size) {
    ChunkHeader h;
    h.type = kTypeFree;
    h.size = size;
    h.flags = kFlagFree;
    return h;
}

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

bool ChunkFile::decode(std::span<const std::uint8_t> bytes, ChunkHeader& header) const {
    io::ByteReader in(bytes);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::int16_t id = 0;
    std::uint16_t flags = 0;
    if (!in.u32be(type) || !in.u32be(size) || !in.i16be(id) || !in.u16be(flags)) return false;
    std::string name;
    std::uint32_t nameKey = 0xFFFFFFFF;
    if (layout_ == ChunkLayout::Named) {
        // At most 63 characters before the zero; the rest of the field is
        // not meaningful.
        std::span<const std::uint8_t> field;
        if (!in.readSpan(64, field)) return false;
        const auto text = field.first(kMaxNameLength);
        const auto zero = std::find(text.begin(), text.end(), std::uint8_t{0});
        name.assign(text.begin(), zero);
    } else if (!in.u32be(nameKey)) {
        return false;
    }
    header.type = type;
    header.size = size;
    header.id = id;
    header.flags = flags;
    header.name = std::move(name);
    header.nameKey = nameKey;
    return true;
}

const std::uint8_t* ChunkFile::windowed(std::uint64_t at, std::uint64_t length) const {
    if (at < windowStart_ || at - windowStart_ > window_.size() || length > window_.size() - (at - windowStart_))
        return nullptr;
    return window_.data() + (at - windowStart_);
}

ResError ChunkFile::fillWindow(std::uint64_t at) {
    window_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, flat_.size() - at)));
    windowStart_ = at;
    ResError error = flat_.readAt(at, window_.data(), window_.size());
    if (error != kNoError) window_.clear();
    return error;
}

ResError ChunkFile::readHeader(std::uint64_t offset, ChunkHeader& header) {
    if (!flat_.isOpen()) return kNotOpen;
    const std::uint64_t h = headerSize();
    if (offset > flat_.size() || flat_.size() - offset < h) return kShortRead;
    forgetStale();
    if (auto known = headers_.find(offset); known != headers_.end()) {
        header = known->second;
        return kNoError;
    }
    const std::uint8_t* bytes = windowed(offset, h);
    if (!bytes) {
        // Read ahead: a walk over the chunks finds the next headers here.
        if (ResError error = fillWindow(offset); error != kNoError) return error;
        bytes = window_.data();
    }
    if (!decode({bytes, static_cast<std::size_t>(h)}, header)) return kShortRead;
    headers_.emplace(offset, header);
    return kNoError;
}

ResError ChunkFile::writeHeader(std::uint64_t offset, const ChunkHeader& header) {
    std::uint8_t bytes[76];
    encode(header, bytes);
    ResError error = writeAt(offset, bytes, headerSize());
    if (error == kNoError) headers_.insert_or_assign(offset, header);
    return error;
}

void ChunkFile::forgetStale() {
    if (knownAt_ == flat_.changes()) return;
    headers_.clear();
    window_.clear();
    knownAt_ = flat_.changes();
}

ResError ChunkFile::writeAt(std::uint64_t offset, const void* bytes, std::size_t count) {
    forgetStale();
    ResError error = flat_.writeAt(offset, bytes, count);
    // Headers starting in (offset - header, offset + count) share bytes with
    // the write, whether or not it went through.
    const std::uint64_t h = headerSize();
    headers_.erase(headers_.lower_bound(offset >= h ? offset - h + 1 : 0), headers_.lower_bound(offset + count));
    // The window takes the bytes written over it; after a failure it cannot
    // tell what the file holds.
    const std::uint64_t windowEnd = windowStart_ + window_.size();
    if (error != kNoError) {
        window_.clear();
    } else if (offset < windowEnd && offset + count > windowStart_) {
        const std::uint64_t from = std::max(offset, windowStart_);
        const std::uint64_t to = std::min(offset + count, windowEnd);
        std::memcpy(window_.data() + (from - windowStart_), static_cast<const std::uint8_t*>(bytes) + (from - offset),
                    static_cast<std::size_t>(to - from));
    }
    knownAt_ = flat_.changes();
    return error;
}

ResError ChunkFile::prepareChange() { return beforeChange ? beforeChange() : kNoError; }

ResError ChunkFile::writeChunk(std::uint32_t offset, const ChunkHeader& header, std::span<const std::uint8_t> data) {
    if (ResError error = prepareChange(); error != kNoError) return error;
    const std::uint64_t h = headerSize();
    if (offset >= flat_.size()) {
        // New space past the end: the data goes out behind a free header of
        // the full size, in one write, so a write that fails half-way leaves
        // a walkable file.
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(h) + data.size());
        encode(freeHeader(static_cast<std::uint32_t>(bytes.size())), bytes.data());
        std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(h));
        if (ResError error = writeAt(offset, bytes.data(), bytes.size()); error != kNoError) return error;
    } else if (ResError error = writeAt(offset + h, data.data(), data.size()); error != kNoError) {
        return error;
    }
    return writeHeader(offset, header);
}

ResError ChunkFile::loadData(std::uint32_t offset, ResType type, DataHandle& out) {
    const std::uint64_t h = headerSize();
    ChunkHeader header;
    if (ResError error = readHeader(offset, header); error != kNoError) return error;
    if (header.type != type || header.size < h || header.size - h > kMaxChunkSize) return kBadChunk;
    const std::uint64_t start = std::uint64_t{offset} + h;
    const std::uint64_t dataSize = header.size - h;
    // Checked before allocating, so a damaged size costs no memory.
    if (dataSize > flat_.size() - start) return kShortRead;
    DataHandle handle = NewDataHandle(static_cast<std::size_t>(dataSize));
    if (!handle) return LastHandleError();
    std::span<std::uint8_t> data = handleBytes(handle);
    // A small chunk comes from the window, read ahead when it is not there,
    // so chunks loaded in file order cost few reads.
    const std::uint8_t* bytes = windowed(start, dataSize);
    ResError error = kNoError;
    if (!bytes && h + dataSize <= kWindow && (error = fillWindow(offset)) == kNoError) bytes = windowed(start, dataSize);
    if (bytes) {
        std::copy_n(bytes, data.size(), data.begin());
    } else if (error == kNoError) {
        error = flat_.readAt(start, data.data(), data.size());
    }
    if (error != kNoError) {
        (void)DisposeDataHandle(handle);  // ours and live: it cannot fail
        return error;
    }
    out = handle;
    return kNoError;
}

}  // namespace tryster::resfile
