#pragma once
// The in-memory index of a container: its types in the order first met, and
// per type its resources in file order (new ones appended).
//
// Entries have stable addresses. Each type keeps its entries bucketed by id
// and the index maps every handle it holds to its entry, so lookups by id
// and by handle do not scan the whole file.

#include "resfile/DataHandle.h"
#include "resfile/ResTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace tryster::resfile {

struct ResEntry {
    ResType type = 0;             // set by ResIndex::append
    std::uint32_t offset = kNotWritten;
    std::int32_t id = 0;
    std::uint16_t flags = 0;      // current: the loader may have set kFlagNative
    std::uint16_t diskFlags = 0;  // as in the chunk header
    DataHandle handle;            // none until loaded
    std::string name;             // 2.x
    std::uint32_t nameKey = 0xFFFFFFFF;  // 1.0
    std::uint64_t order = 0;      // creation order within the index

    std::uint8_t variant() const { return variantOf(flags); }
    bool onDisk() const { return offset != kNotWritten; }
};

struct ResTypeRecord {
    ResType type = 0;
    std::vector<std::unique_ptr<ResEntry>> entries;
    // Entries of each id, oldest first.
    std::unordered_map<std::int32_t, std::vector<ResEntry*>> byId;
};

class ResIndex {
public:
    struct Location {
        ResTypeRecord* type = nullptr;
        ResEntry* entry = nullptr;
        explicit operator bool() const { return entry != nullptr; }
    };

    const std::vector<std::unique_ptr<ResTypeRecord>>& types() const { return types_; }
    ResTypeRecord* findType(ResType type) const;
    ResTypeRecord& typeFor(ResType type);
    ResEntry& append(ResTypeRecord& type, ResEntry entry);
    // Unlinks the entry (not its handle) and drops the type when it becomes
    // empty.
    void remove(ResTypeRecord& type, ResEntry* entry);
    void removeType(ResType type);
    void changeId(ResTypeRecord& type, ResEntry& entry, std::int32_t id);

    // Entries of `id`, oldest first (null when none).
    const std::vector<ResEntry*>* withId(const ResTypeRecord& type, std::int32_t id) const;

    void attach(ResEntry& entry, DataHandle handle);
    void detach(ResEntry& entry);
    Location find(DataHandle handle) const;

    void clear();

private:
    std::vector<std::unique_ptr<ResTypeRecord>> types_;
    std::unordered_map<ResType, ResTypeRecord*> typeMap_;
    std::unordered_map<DataHandle, Location> handles_;
    std::uint64_t nextOrder_ = 0;
};

}  // namespace tryster::resfile
