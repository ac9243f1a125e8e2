#include "resfile/ResIndex.h"

#include <algorithm>

namespace tryster::resfile {

ResTypeRecord* ResIndex::findType(ResType type) const {
    auto it = typeMap_.find(type);
    return it == typeMap_.end() ? nullptr : it->second;
}

ResTypeRecord& ResIndex::typeFor(ResType type) {
    if (ResTypeRecord* found = findType(type)) return *found;
    auto record = std::make_unique<ResTypeRecord>();
    record->type = type;
    ResTypeRecord* raw = record.get();
    types_.push_back(std::move(record));
    typeMap_[type] = raw;
    return *raw;
}

ResEntry& ResIndex::append(ResTypeRecord& type, ResEntry entry) {
    entry.order = nextOrder_++;
    entry.type = type.type;
    DataHandle handle = entry.handle;
    entry.handle = {};
    auto owned = std::make_unique<ResEntry>(std::move(entry));
    ResEntry* raw = owned.get();
    type.entries.push_back(std::move(owned));
    type.byId[raw->id].push_back(raw);
    if (handle) attach(*raw, handle);
    return *raw;
}

namespace {
void unbucket(ResTypeRecord& type, ResEntry* entry) {
    auto it = type.byId.find(entry->id);
    if (it == type.byId.end()) return;
    std::erase(it->second, entry);
    if (it->second.empty()) type.byId.erase(it);
}
}  // namespace

void ResIndex::remove(ResTypeRecord& type, ResEntry* entry) {
    detach(*entry);
    unbucket(type, entry);
    std::erase_if(type.entries, [entry](const auto& e) { return e.get() == entry; });
    if (type.entries.empty()) removeType(type.type);
}

void ResIndex::removeType(ResType type) {
    ResTypeRecord* record = findType(type);
    if (!record) return;
    for (auto& entry : record->entries) detach(*entry);
    typeMap_.erase(type);
    std::erase_if(types_, [record](const auto& t) { return t.get() == record; });
}

void ResIndex::changeId(ResTypeRecord& type, ResEntry& entry, std::int32_t id) {
    if (entry.id == id) return;
    unbucket(type, &entry);
    entry.id = id;
    auto& bucket = type.byId[id];
    auto at = std::lower_bound(bucket.begin(), bucket.end(), &entry,
                               [](const ResEntry* a, const ResEntry* b) { return a->order < b->order; });
    bucket.insert(at, &entry);
}

const std::vector<ResEntry*>* ResIndex::withId(const ResTypeRecord& type, std::int32_t id) const {
    auto it = type.byId.find(id);
    return it == type.byId.end() ? nullptr : &it->second;
}

void ResIndex::attach(ResEntry& entry, DataHandle handle) {
    detach(entry);
    if (!handle) return;
    entry.handle = handle;
    handles_[handle] = Location{findType(entry.type), &entry};
}

void ResIndex::detach(ResEntry& entry) {
    if (!entry.handle) return;
    auto it = handles_.find(entry.handle);
    if (it != handles_.end() && it->second.entry == &entry) handles_.erase(it);
    entry.handle = {};
}

ResIndex::Location ResIndex::find(DataHandle handle) const {
    if (!handle) return {};
    auto it = handles_.find(handle);
    return it == handles_.end() ? Location{} : it->second;
}

void ResIndex::clear() {
    types_.clear();
    typeMap_.clear();
    handles_.clear();
}

}  // namespace tryster::resfile
