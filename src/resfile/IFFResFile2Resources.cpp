// Lookups, queries and changes of the resources of a 2.x container.

#include "resfile/IFFResFile2.h"

#include "resfile/ContainerOps.h"

#include "platform/FileSystem.h"

#include <algorithm>

namespace tryster::resfile {

ResType IFFResFile2::GetIndType(std::int16_t index) {
    if (!requireOpen()) return 0;
    const auto& types = index_.types();
    if (index < 1 || static_cast<std::size_t>(index) > types.size()) {
        recordError(kTypeIndexRange);
        return 0;
    }
    return types[static_cast<std::size_t>(index) - 1]->type;
}

// A non-zero variant takes the first entry of that variant; otherwise, or
// when there is none, the first entry of variant 0.
ResEntry* IFFResFile2::lookup(ResType type, std::int32_t id, std::uint8_t variant) const {
    const ResTypeRecord* record = index_.findType(type);
    if (!record) return nullptr;
    const std::vector<ResEntry*>* bucket = index_.withId(*record, id);
    if (!bucket) return nullptr;
    if (variant != 0) {
        for (ResEntry* e : *bucket)
            if (e->variant() == variant) return e;
    }
    for (ResEntry* e : *bucket)
        if (e->variant() == 0) return e;
    return nullptr;
}

DataHandle IFFResFile2::GetResource(ResType type, std::int16_t id, ResLoader loader) {
    return GetVariantResource(type, id, 0, loader);
}

DataHandle IFFResFile2::GetVariantResource(ResType type, std::int16_t id, std::uint8_t variant, ResLoader loader) {
    if (!requireOpen()) return {};
    ResEntry* entry = lookup(type, id, variant);
    if (!entry) {
        recordError(kResNotFound);
        return {};
    }
    return load(*entry, loader);
}

DataHandle IFFResFile2::GetNamedResource(ResType type, std::string_view name, ResLoader loader) {
    if (!requireOpen()) return {};
    name = clipName(name);
    if (const ResTypeRecord* record = index_.findType(type)) {
        for (const auto& entry : record->entries)
            if (entry->variant() == 0 && platform::equalsNoCase(entry->name, name)) return load(*entry, loader);
    }
    recordError(kResNameNotFound);
    return {};
}

DataHandle IFFResFile2::GetIndResource(ResType type, std::int16_t index, ResLoader loader) {
    if (!requireOpen()) return {};
    const ResTypeRecord* record = index_.findType(type);
    if (!record || index < 1 || static_cast<std::size_t>(index) > record->entries.size()) {
        recordError(kResNotFound);
        return {};
    }
    return load(*record->entries[static_cast<std::size_t>(index) - 1], loader);
}

ResError IFFResFile2::GetResName(DataHandle handle, std::string& out) {
    out.clear();
    ResIndex::Location at = locate(handle, kResNotFound);
    if (at) out = at.entry->name;
    return lastError();
}

std::uint8_t IFFResFile2::GetResVariant(DataHandle handle) {
    ResIndex::Location at = locate(handle, kResNotFound);
    return at ? at.entry->variant() : 0;
}

bool IFFResFile2::nameTaken(const ResTypeRecord* type, std::string_view name) const {
    if (!type) return false;
    return std::any_of(type->entries.begin(), type->entries.end(), [&](const auto& e) {
        return e->variant() == 0 && platform::equalsNoCase(e->name, name);
    });
}

// The number goes after the name cut short enough to keep it, so the result
// is unique as stored.
ResError IFFResFile2::UniqueName(ResType type, std::string& name) {
    if (!requireOpen()) return lastError();
    const ResTypeRecord* record = index_.findType(type);
    std::string base(clipName(name));
    if (!nameTaken(record, base)) {
        name = base;
        return kNoError;
    }
    for (std::size_t n = 0;; ++n) {
        std::string number = std::to_string(n);
        std::string candidate = base.substr(0, kMaxNameLength - number.size()) + number;
        if (!nameTaken(record, candidate)) {
            name = candidate;
            return kNoError;
        }
    }
}

ResError IFFResFile2::SetResID(DataHandle handle, std::int16_t id) {
    ResIndex::Location at = locate(handle, kResNameNotFound);
    if (!at) return lastError();
    return SetResInfo(handle, id, std::string(at.entry->name), at.entry->variant());
}

ResError IFFResFile2::SetResInfo(DataHandle handle, std::int16_t id, std::string_view name, std::uint8_t) {
    ResIndex::Location at = locate(handle, kResNameNotFound);
    if (!at) return lastError();
    ResEntry& entry = *at.entry;
    if (!chunks_.flat().isWritable()) return setError(kNotWritable);
    bool changed = entry.id != id;
    index_.changeId(*at.type, entry, id);
    if (entry.name != clipName(name)) {
        entry.name = clipName(name);
        changed = true;
    }
    if (changed && entry.onDisk()) {
        if (ResError error = chunks_.prepareChange(); error != kNoError) return setError(error);
        ChunkHeader header;
        if (chunks_.readHeader(entry.offset, header) == kNoError && !header.isFree() && header.type == entry.type) {
            header.id = id;
            header.name = entry.name;
            if (ResError error = chunks_.writeHeader(entry.offset, header); error != kNoError) return setError(error);
        }
        dirty_ = true;
    }
    return setError(chunks_.flat().flush());
}

ResError IFFResFile2::AddResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                                  bool native) {
    return AddVariantResource(handle, type, id, name, 0, native);
}

// A handle that is not live, or that another resource of this file holds,
// is refused with kBadHandle.
ResError IFFResFile2::AddVariantResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                                         std::uint8_t variant, bool native) {
    if (!requireWritable()) return lastError();
    if (!isLiveHandle(handle)) return setError(kBadHandle);
    ResEntry* entry = lookup(type, id, variant);
    ResIndex::Location holder = index_.find(handle);
    if (holder && holder.entry != entry) return setError(kBadHandle);
    if (!entry) {
        ResEntry fresh;
        fresh.id = id;
        entry = &index_.append(index_.typeFor(type), std::move(fresh));
    } else {
        if (ResError error = freeEntry(chunks_, *entry); error != kNoError) return setError(error);
        if (entry->handle && entry->handle != handle) {
            (void)DisposeDataHandle(entry->handle);  // one disposed behind our back is gone already
            index_.detach(*entry);
        }
        if (ResError error = chunks_.flat().flush(); error != kNoError) return setError(error);
    }
    entry->flags = withVariant(native ? kFlagNative : 0, variant);
    entry->diskFlags = 0;
    entry->name = clipName(name);
    entry->offset = kNotWritten;
    index_.attach(*entry, handle);
    // Pending until written, but Close must write it.
    dirty_ = true;
    return kNoError;
}

ResError IFFResFile2::RemoveResource(DataHandle handle) {
    if (!requireWritable()) return lastError();
    ResIndex::Location at = locate(handle, kResNameNotFound);
    if (!at) return lastError();
    if (ResError error = freeEntry(chunks_, *at.entry); error != kNoError) return setError(error);
    (void)DisposeDataHandle(handle);  // the file held it, so it is live
    index_.remove(*at.type, at.entry);
    return setError(chunks_.flat().flush());
}

}  // namespace tryster::resfile
