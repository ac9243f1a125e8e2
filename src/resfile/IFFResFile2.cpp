// Opening, closing and the map of a 2.x container.

#include "resfile/IFFResFile2.h"

#include "resfile/ChunkWalker.h"
#include "resfile/ContainerOps.h"
#include "resfile/FileHeaders.h"
#include "resfile/IFFResMap.h"
#include "resfile/ReconObject.h"

#include <algorithm>
#include <cstdint>
#include <vector>


namespace tryster::resfile {

IFFResFile2::IFFResFile2() : ContainerFile(ChunkLayout::Named) {
    chunks_.beforeChange = [this] { return clearMapOffset(); };
    chunks_.findsChunksByMap = true;
    // Asked only of chunks whose header says free, which are few.
    chunks_.listed = [this](std::uint64_t begin, std::uint64_t end) {
        for (const auto& type : index_.types())
            for (const auto& entry : type->entries)
                if (entry->onDisk() && entry->offset >= begin && entry->offset < end) return true;
        return false;
    };
    chunks_.overlapsListed = [this](std::uint64_t begin, std::uint64_t end) {
        std::vector<std::uint32_t> before;
        for (const auto& type : index_.types())
            for (const auto& entry : type->entries) {
                if (!entry->onDisk() || entry->offset == begin || entry->offset >= end) continue;
                if (entry->offset > begin) return true;
                before.push_back(entry->offset);
            }
        // In file order, so the headers not yet known come in few reads.
        std::sort(before.begin(), before.end());
        for (std::uint32_t offset : before) {
            ChunkHeader header;
            if (chunks_.readHeader(offset, header) == kNoError && std::uint64_t{offset} + header.size > begin)
                return true;
        }
        return false;
    };
}

IFFResFile2::~IFFResFile2() {
    if (IsOpen()) (void)Close();  // a destructor has no one to tell
}

ResError IFFResFile2::Create(std::string_view path) { return createWithHeader(path, makeHeader25(0)); }

ResError IFFResFile2::Open(std::string_view path) {
    FileHeader header{};
    if (ResError error = openWithHeader(path, header); error != kNoError) return error;
    FlatFile& flat = chunks_.flat();
    int version = headerVersion2(header);
    if (version == 0) {
        (void)flat.close();  // the open's own error is the one reported
        return setError(kBadHeader);
    }
    version_ = version;
    index_.clear();
    chunks_.freeBytes = 0;
    // A hint left from another file would point anywhere.
    chunks_.hint = -1;
    dirty_ = false;
    mapOffset_ = version == kVersion25 ? headerMapOffset(header) : 0;
    mapChunkLive_ = false;
    damage_ = {};
    if (mapOffset_ == 0 || !readMap()) {
        // The walk's damage, where it finds some, says more than the map's:
        // what cannot be read.
        const ContainerDamage mapDamage = damage_;
        walk();
        if (!damage_) damage_ = mapDamage;
    }
    index_.removeType(kTypeMap);
    return kNoError;
}

// The map is used only when it reads completely, does not list a map of its
// own (id 0, variant 0), and every chunk it lists lies inside the file.
// A map, or a chunk it lists, that lies past the end of the file is damage
// (ContainerDamage); a map that is no map is only not used.
bool IFFResFile2::readMap() {
    const std::uint64_t fileSize = chunks_.flat().size();
    auto pastEnd = [&](ContainerDamage::Kind kind, std::uint64_t offset) {
        damage_ = {kind, offset, fileSize};
        return false;
    };
    ChunkHeader header;
    if (ResError error = chunks_.readHeader(mapOffset_, header); error != kNoError)
        return error == kShortRead ? pastEnd(ContainerDamage::Kind::MapPastEnd, mapOffset_) : false;
    if (header.isFree() || header.type != kTypeMap) return false;
    DataHandle data;
    if (ResError error = chunks_.loadData(mapOffset_, kTypeMap, data); error != kNoError)
        return error == kShortRead ? pastEnd(ContainerDamage::Kind::MapPastEnd, mapOffset_) : false;
    IFFResMap map{&index_, 0};
    SimpleReconObject<IFFResMap> record(&map, kTypeMap);
    std::int32_t version = 0;
    ResError error = readRecord(record, handleBytes(data), version);
    (void)DisposeDataHandle(data);  // ours and live: it cannot fail

    bool usable = error == kNoError;
    if (usable) {
        if (const ResTypeRecord* maps = index_.findType(kTypeMap)) {
            for (const auto& entry : maps->entries)
                if (entry->id == 0 && entry->variant() == 0) usable = false;
        }
        for (const auto& type : index_.types())
            for (const auto& entry : type->entries) {
                if (entry->offset < kFileHeaderSize) usable = false;
                else if (entry->offset > fileSize || fileSize - entry->offset < chunks_.headerSize()) {
                    usable = pastEnd(ContainerDamage::Kind::ListedPastEnd, entry->offset);
                }
            }
    }
    if (!usable) {
        index_.clear();
        return false;
    }
    chunks_.freeBytes = map.freeBytes;
    mapChunkLive_ = true;
    return true;
}

void IFFResFile2::walk() {
    ChunkWalker walker(chunks_);
    ChunkHeader header;
    while (walker.next(header)) {
        const std::uint64_t pos = walker.offset();
        if (header.isFree()) {
            // Space claimed past the end of the file is not there to reuse.
            if (!walker.cutShort()) chunks_.freeBytes += header.size;
        } else {
            if (pos == mapOffset_ && header.type == kTypeMap) mapChunkLive_ = true;
            index_.append(index_.typeFor(header.type), entryOf(pos, header));
        }
    }
    damage_ = walker.damage();
}

ResError IFFResFile2::writeHeader(std::uint32_t mapOffset) {
    FileHeader header = makeHeader25(mapOffset);
    ResError error = chunks_.flat().writeAt(0, header.data(), header.size());
    if (error == kNoError) version_ = kVersion25;
    return error;
}

// The header is rewritten first: if that fails nothing else has changed,
// and once it is done the file opens by walking whatever happens next.
ResError IFFResFile2::clearMapOffset() {
    if (mapOffset_ == 0) return kNoError;
    if (ResError error = writeHeader(0); error != kNoError) return error;
    std::uint32_t old = mapOffset_;
    mapOffset_ = 0;
    dirty_ = true;
    if (mapChunkLive_) {
        mapChunkLive_ = false;
        return chunks_.freeChunk(old, kTypeMap);
    }
    return kNoError;
}

ResError IFFResFile2::Suspend() {
    if (!requireOpen()) return lastError();
    std::string path;
    (void)chunks_.flat().getPath(path);  // open, so it has one
    ResError error = Close();
    savedPath_ = std::move(path);
    return setError(error);
}

ResError IFFResFile2::Resume() {
    recordError(kNoError);
    if (savedPath_.empty()) return setError(kFileError);
    std::string path = std::move(savedPath_);
    savedPath_.clear();
    ResError error = Open(path);
    if (error == kNoError) chunks_.hint = 0;
    return setError(error);
}

ResError IFFResFile2::Update() {
    if (!requireOpen()) return lastError();
    ResError first = kNoError;
    const auto& types = index_.types();
    for (auto t = types.rbegin(); t != types.rend(); ++t) {
        const auto& entries = (*t)->entries;
        for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
            if ((*e)->onDisk()) continue;
            ResError error = WriteResource((*e)->handle);
            if (first == kNoError) first = error;
        }
    }
    if (first == kNoError) first = chunks_.flat().flush();
    return setError(first);
}

ResError IFFResFile2::writeMap() {
    IFFResMap map{&index_, chunks_.freeBytes};
    SimpleReconObject<IFFResMap> record(&map, kTypeMap);
    DataHandle handle = writeRecord(record, 0);
    if (!handle) return kBadChunk;
    if (ResError error = AddResource(handle, kTypeMap, 0, "", true); error != kNoError) {
        (void)DisposeDataHandle(handle);  // ours and live: it cannot fail
        return error;
    }
    // From here the index owns the handle.
    if (ResError error = WriteResource(handle); error != kNoError) return error;
    ResIndex::Location at = index_.find(handle);
    if (!at || !at.entry->onDisk()) return kBadChunk;
    // The map may have taken free space itself: its count is put right.
    if (chunks_.freeBytes != map.freeBytes) {
        map.freeBytes = chunks_.freeBytes;
        std::span<std::uint8_t> data = handleBytes(handle);
        ReconStream patch(ReconStream::Mode::Write, data, false, kRecordFrameSize);
        std::int32_t freeBytes = static_cast<std::int32_t>(std::clamp<std::int64_t>(map.freeBytes, 0, INT32_MAX));
        patch.field(&freeBytes, 1);
        if (ResError error = WriteResource(handle); error != kNoError) return error;
    }
    if (ResError error = writeHeader(at.entry->offset); error != kNoError) return error;
    mapOffset_ = at.entry->offset;
    return chunks_.flat().flush();
}

// Every error of the writing steps is reported, the first one winning; the
// handles are disposed and the file closed in any case.
ResError IFFResFile2::Close() {
    if (!requireOpen()) return lastError();
    FlatFile& flat = chunks_.flat();
    ResError pending = kNoError;
    if (flat.isWritable() && dirty_) pending = Update();
    if (pending == kNoError && flat.isWritable() && dirty_ && mapOffset_ == 0 &&
        chunks_.freeBytes >= kCompactThreshold)
        pending = compactFile(chunks_, index_, kTypeMap);
    if (pending == kNoError && flat.isWritable() && dirty_) pending = writeMap();

    disposeHandles(index_);
    index_.clear();
    ResError closed = flat.close();
    version_ = 0;
    mapOffset_ = 0;
    mapChunkLive_ = false;
    dirty_ = false;
    return setError(pending != kNoError ? pending : closed);
}

}  // namespace tryster::resfile
