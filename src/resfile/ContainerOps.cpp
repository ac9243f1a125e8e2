#include "resfile/ContainerOps.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <vector>

namespace tryster::resfile {

ResError loadEntry(ChunkFile& chunks, ResIndex& index, ResEntry& entry, ResLoader loader, DataHandle& out) {
    if (entry.handle) {
        if (isLiveHandle(entry.handle)) {
            out = entry.handle;
            return kNoError;
        }
        index.detach(entry);
    }
    if (!entry.onDisk()) return kBadChunk;
    DataHandle handle;
    if (ResError error = chunks.loadData(entry.offset, entry.type, handle); error != kNoError) return error;
    if (!(entry.diskFlags & kFlagNative) && loader) {
        std::span<std::uint8_t> data = handleBytes(handle);
        loader(data.data(), data.size());
        entry.flags |= kFlagNative;
    }
    index.attach(entry, handle);
    out = handle;
    return kNoError;
}

ResEntry entryOf(std::uint64_t offset, ChunkHeader& header) {
    ResEntry entry;
    entry.offset = static_cast<std::uint32_t>(offset);
    entry.id = header.id;
    entry.flags = entry.diskFlags = header.flags;
    entry.name = std::move(header.name);
    entry.nameKey = header.nameKey;
    return entry;
}

ResError freeEntry(ChunkFile& chunks, ResEntry& entry) {
    if (!entry.onDisk()) return kNoError;
    if (ResError error = chunks.freeChunk(entry.offset, entry.type); error != kNoError) return error;
    entry.offset = kNotWritten;
    return kNoError;
}

ResError writeEntry(ChunkFile& chunks, ResEntry& entry, std::span<const std::uint8_t> data) {
    if (data.size() > kMaxChunkSize - chunks.headerSize()) return kBadChunk;
    const auto chunkSize = static_cast<std::uint32_t>(data.size() + chunks.headerSize());
    std::uint32_t offset = kNotWritten;
    if (entry.onDisk()) {
        // A chunk that no longer matches the entry is someone else's: it is
        // neither overwritten nor freed.
        ChunkHeader old;
        bool ours = chunks.readHeader(entry.offset, old) == kNoError && !old.isFree() && old.type == entry.type &&
                    chunks.validSize(old.size);
        if (ours && old.size == chunkSize) {
            offset = entry.offset;
        } else if (ours) {
            if (ResError error = freeEntry(chunks, entry); error != kNoError) return error;
        } else {
            entry.offset = kNotWritten;
        }
    }
    if (offset == kNotWritten) {
        if (ResError error = chunks.findRoom(data.size(), offset); error != kNoError) return error;
    }
    ChunkHeader header;
    header.type = entry.type;
    header.size = chunkSize;
    header.id = static_cast<std::int16_t>(entry.id);
    header.flags = entry.flags;
    header.name = entry.name;
    header.nameKey = entry.nameKey;
    if (ResError error = chunks.writeChunk(offset, header, data); error != kNoError) return error;
    entry.offset = offset;
    entry.diskFlags = entry.flags;
    return kNoError;
}

void disposeHandles(ResIndex& index) {
    for (const auto& type : index.types())
        for (const auto& entry : type->entries)
            if (entry->handle) (void)DisposeDataHandle(entry->handle);  // one disposed before is gone already
}

ResError compactFile(ChunkFile& chunks, ResIndex& index, ResType droppedType) {
    std::unordered_multimap<std::uint32_t, ResEntry*> byOffset;
    std::vector<std::uint32_t> known;
    for (const auto& type : index.types())
        for (const auto& entry : type->entries)
            if (entry->onDisk()) {
                byOffset.emplace(entry->offset, entry.get());
                known.push_back(entry->offset);
            }
    std::sort(known.begin(), known.end());
    return chunks.compact(
        [droppedType](const ChunkHeader& h) { return h.isFree() || (droppedType != 0 && h.type == droppedType); },
        [&](std::uint32_t from, std::uint32_t to) {
            auto [first, last] = byOffset.equal_range(from);
            for (auto it = first; it != last; ++it) it->second->offset = to;
        },
        known);
}

std::int16_t uniqueId(const ResIndex& index, const ResTypeRecord* type) {
    constexpr std::int32_t kFloor = 128;
    constexpr std::int32_t kMax = std::numeric_limits<std::int16_t>::max();
    std::int32_t largest = kFloor;
    if (type)
        for (const auto& e : type->entries) largest = std::max(largest, e->id);
    if (largest < kMax) return static_cast<std::int16_t>(largest + 1);
    for (std::int32_t id = kFloor + 1; id <= kMax; ++id)
        if (!index.withId(*type, id)) return static_cast<std::int16_t>(id);
    return 0;
}

std::int16_t clampCount(std::size_t n) {
    return static_cast<std::int16_t>(std::min<std::size_t>(n, std::numeric_limits<std::int16_t>::max()));
}

}  // namespace tryster::resfile
