// Lookups, queries and changes of the resources of a 1.0 container.

#include "resfile/IFFResFile.h"

#include "resfile/ContainerOps.h"

namespace tryster::resfile {
namespace {

constexpr std::uint32_t kNoNameKey = 0xFFFFFFFF;

// Position `index` (from 1) counted from the newest end.
template <typename List>
auto* newestAt(const List& list, std::int16_t index) {
    using Item = decltype(list.front().get());
    if (index < 1 || static_cast<std::size_t>(index) > list.size()) return Item{nullptr};
    return list[list.size() - static_cast<std::size_t>(index)].get();
}

}  // namespace

ResType IFFResFile::GetIndType(std::int16_t index) {
    if (!requireOpen()) return 0;
    const ResTypeRecord* type = newestAt(active().types(), index);
    if (!type) {
        recordError(kTypeIndexRange);
        return 0;
    }
    return type->type;
}

ResEntry* IFFResFile::newest(ResType type, std::int32_t id) {
    const ResTypeRecord* record = active().findType(type);
    if (!record) return nullptr;
    const std::vector<ResEntry*>* bucket = active().withId(*record, id);
    return bucket ? bucket->back() : nullptr;
}

DataHandle IFFResFile::GetResource(ResType type, std::int16_t id, ResLoader loader) {
    if (!requireOpen()) return {};
    ResEntry* entry = newest(type, id);
    if (!entry) {
        recordError(kResNotFound);
        return {};
    }
    return load(*entry, loader);
}

DataHandle IFFResFile::GetNamedResource(ResType type, std::string_view name, ResLoader loader) {
    if (!requireOpen()) return {};
    std::int32_t key = 0;
    const ResTypeRecord* record = active().findType(type);
    if (record && names_.keyOf(clipName(name), key)) {
        for (auto it = record->entries.rbegin(); it != record->entries.rend(); ++it)
            if ((*it)->nameKey == static_cast<std::uint32_t>(key)) return load(**it, loader);
    }
    recordError(kResNameNotFound);
    return {};
}

DataHandle IFFResFile::GetIndResource(ResType type, std::int16_t index, ResLoader loader) {
    if (!requireOpen()) return {};
    const ResTypeRecord* record = active().findType(type);
    ResEntry* entry = record ? newestAt(record->entries, index) : nullptr;
    if (!entry) {
        recordError(kResNotFound);
        return {};
    }
    return load(*entry, loader);
}

ResError IFFResFile::GetResName(DataHandle handle, std::string& out) {
    out.clear();
    ResIndex::Location at = locate(handle, kResNotFound);
    if (!at) return lastError();
    if (at.entry->nameKey != kNoNameKey) {
        if (const std::string* name = names_.find(static_cast<std::int32_t>(at.entry->nameKey))) out = *name;
    }
    return kNoError;
}

ResError IFFResFile::UniqueName(ResType, std::string& name) {
    if (!requireOpen()) return lastError();
    std::string base(clipName(name));
    std::int32_t key = 0;
    if (!names_.keyOf(base, key)) {
        name = base;
        return kNoError;
    }
    for (std::size_t n = 0;; ++n) {
        std::string number = std::to_string(n);
        std::string candidate = base.substr(0, kMaxNameLength - number.size()) + number;
        if (!names_.keyOf(candidate, key)) {
            name = candidate;
            return kNoError;
        }
    }
}

ResError IFFResFile::SetResID(DataHandle handle, std::int16_t id) {
    ResIndex::Location at = locate(handle, kResNameNotFound);
    if (!at) return lastError();
    std::string name;
    (void)GetResName(handle, name);  // the file's own handle: it cannot fail
    return SetResInfo(handle, id, name, 0);
}

ResError IFFResFile::rewriteHeader(const ResEntry& entry) {
    ChunkHeader header;
    if (chunks_.readHeader(entry.offset, header) != kNoError || header.isFree() || header.type != entry.type)
        return kNoError;
    header.id = static_cast<std::int16_t>(entry.id);
    header.nameKey = entry.nameKey;
    return chunks_.writeHeader(entry.offset, header);
}

ResError IFFResFile::SetResInfo(DataHandle handle, std::int16_t id, std::string_view name, std::uint8_t) {
    ResIndex::Location at = locate(handle, kResNameNotFound);
    if (!at) return lastError();
    if (!chunks_.flat().isWritable()) return setError(kNotWritable);
    ResEntry& entry = *at.entry;
    bool rewrite = entry.id != id;
    active().changeId(*at.type, entry, id);
    name = clipName(name);
    const std::string* current =
        entry.nameKey == kNoNameKey ? nullptr : names_.find(static_cast<std::int32_t>(entry.nameKey));
    if ((current ? std::string_view(*current) : std::string_view()) != name) {
        if (name.empty()) {
            names_.remove(static_cast<std::int32_t>(entry.nameKey));
            entry.nameKey = kNoNameKey;
            rewrite = true;
        } else if (current) {
            names_.set(static_cast<std::int32_t>(entry.nameKey), name);
        } else {
            entry.nameKey = static_cast<std::uint32_t>(names_.add(name));
            rewrite = true;
        }
    }
    if (rewrite && entry.onDisk()) {
        if (ResError error = rewriteHeader(entry); error != kNoError) return setError(error);
    }
    if (rewrite || names_.dirty()) dirty_ = true;
    return setError(chunks_.flat().flush());
}

// The newest entry of that type and id in the active list is taken over;
// a handle that is not live, or that another resource of this file holds,
// is refused with kBadHandle.
ResError IFFResFile::AddResource(DataHandle handle, ResType type, std::int16_t id, std::string_view name,
                                 bool native) {
    if (!requireWritable()) return lastError();
    if (!isLiveHandle(handle)) return setError(kBadHandle);
    ResEntry* entry = newest(type, id);
    ResIndex::Location holder = visible_.find(handle);
    if (!holder) holder = internal_.find(handle);
    if (holder && holder.entry != entry) return setError(kBadHandle);
    if (!entry) {
        ResEntry fresh;
        fresh.id = id;
        entry = &active().append(active().typeFor(type), std::move(fresh));
    } else {
        if (ResError error = freeEntry(chunks_, *entry); error != kNoError) return setError(error);
        if (entry->nameKey != kNoNameKey) names_.remove(static_cast<std::int32_t>(entry->nameKey));
        if (entry->handle && entry->handle != handle) {
            (void)DisposeDataHandle(entry->handle);  // one disposed behind our back is gone already
            active().detach(*entry);
        }
    }
    entry->flags = static_cast<std::uint16_t>((native ? kFlagNative : 0) | (internalActive_ ? kFlagInternal : 0));
    entry->diskFlags = 0;
    entry->offset = kNotWritten;
    entry->nameKey = name.empty() ? kNoNameKey : static_cast<std::uint32_t>(names_.add(name));
    active().attach(*entry, handle);
    // Pending until written, but Close must write it.
    dirty_ = true;
    return kNoError;
}

ResError IFFResFile::RemoveResource(DataHandle handle) {
    if (!requireWritable()) return lastError();
    ResIndex::Location at = locate(handle, kResNameNotFound);
    if (!at) return lastError();
    if (ResError error = freeEntry(chunks_, *at.entry); error != kNoError) return setError(error);
    if (at.entry->nameKey != kNoNameKey) names_.remove(static_cast<std::int32_t>(at.entry->nameKey));
    (void)DisposeDataHandle(handle);  // the file held it, so it is live
    active().remove(*at.type, at.entry);
    dirty_ = true;
    return setError(chunks_.flat().flush());
}

}  // namespace tryster::resfile
