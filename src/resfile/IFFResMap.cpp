#include "resfile/IFFResMap.h"

#include <algorithm>
#include <limits>

namespace tryster::resfile {
namespace {

// Offset, id, flags and at least the name's zero byte.
constexpr std::size_t kMinEntryBytes = 9;
constexpr std::size_t kTypeBytes = 8;

std::int32_t clampToInt32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, std::numeric_limits<std::int32_t>::max()));
}

void writeMap(IFFResMap& map, ReconStream& s) {
    std::int32_t freeBytes = clampToInt32(map.freeBytes);
    s.field(&freeBytes, 1);
    std::vector<const ResTypeRecord*> listed;
    for (const auto& type : map.index->types())
        if (type->type != kTypeMap) listed.push_back(type.get());
    auto typeCount = static_cast<std::uint32_t>(listed.size());
    s.field(&typeCount, 1);
    for (const ResTypeRecord* type : listed) {
        std::uint32_t code = type->type;
        auto count = static_cast<std::uint32_t>(
            std::count_if(type->entries.begin(), type->entries.end(), [](const auto& e) { return e->onDisk(); }));
        s.field(&code, 1);
        s.field(&count, 1);
        for (const auto& entry : type->entries) {
            if (!entry->onDisk()) continue;
            std::uint32_t offset = entry->offset;
            auto id = static_cast<std::int16_t>(entry->id);
            std::uint16_t flags = entry->diskFlags;
            std::string name(clipName(entry->name));
            s.field(&offset, 1);
            s.field(&id, 1);
            s.field(&flags, 1);
            s.field(name);
        }
    }
}

void readMap(IFFResMap& map, ReconStream& s) {
    std::int32_t freeBytes = 0;
    std::uint32_t typeCount = 0;
    s.field(&freeBytes, 1);
    s.field(&typeCount, 1);
    map.freeBytes = freeBytes;
    if (!s.expect(typeCount, kTypeBytes)) return;
    for (std::uint32_t t = 0; t < typeCount && s.ok(); ++t) {
        std::uint32_t code = 0;
        std::uint32_t count = 0;
        s.field(&code, 1);
        s.field(&count, 1);
        if (!s.expect(count, kMinEntryBytes)) return;
        ResTypeRecord& type = map.index->typeFor(code);
        for (std::uint32_t i = 0; i < count && s.ok(); ++i) {
            std::uint32_t offset = 0;
            std::int16_t id = 0;
            std::uint16_t flags = 0;
            std::string name;
            s.field(&offset, 1);
            s.field(&id, 1);
            s.field(&flags, 1);
            s.field(name);
            if (!s.ok()) return;
            ResEntry entry;
            entry.offset = offset;
            entry.id = id;
            entry.flags = entry.diskFlags = flags;
            entry.name = clipName(name);
            map.index->append(type, std::move(entry));
        }
    }
}

}  // namespace

void IFFResMap::Reconstitute(ReconStream& stream, std::int32_t) {
    if (stream.reading()) readMap(*this, stream);
    else writeMap(*this, stream);
}

}  // namespace tryster::resfile
