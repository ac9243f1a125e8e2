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

ResError ChunkFile::readHeader(std::uint64_t offset, ChunkHeader& header) {
    std::uint8_t bytes[76];
    if (!flat_.isOpen()) return kNotOpen;
    if (offset > flat_.size() || flat_.size() - offset < headerSize()) return kShortRead;
    if (ResError error = flat_.readAt(offset, bytes, headerSize()); error != kNoError) return error;
    if (!decode({bytes, headerSize()}, header)) return kShortRead;
    return kNoError;
}

ResError ChunkFile::writeHeader(std::uint64_t offset, const ChunkHeader& header) {
    std::uint8_t bytes[76];
    encode(header, bytes);
    return flat_.writeAt(offset, bytes, headerSize());
}

ResError ChunkFile::prepareChange() { return beforeChange ? beforeChange() : kNoError; }

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
    if (!decode({first, firstLength}, header)) return kShortRead;
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

}  // namespace tryster::resfile
