#include "share/DateIdentity.h"

#include "exchange/ObjectDefinition.h"
#include "exchange/TownieSearch.h"
#include "platform/FileSystem.h"
#include "platform/MemoryFile.h"
#include "resfile/IFFResFile2.h"

#include <set>

namespace tryster::share {
namespace {

using namespace resfile;

// Draws of the generator before giving up; each draw differs from the one
// before through the generator, so this is never reached in practice.
constexpr int kMaxDraws = 1000;

std::vector<std::uint32_t> identifiersIn(IFFResFile2& file) {
    std::vector<std::uint32_t> out;
    const std::int16_t count = file.CountResources(exchange::kTypeObjectDefinition);
    for (std::int16_t i = 1; i <= count; ++i) {
        DataHandle handle = file.GetIndResource(exchange::kTypeObjectDefinition, i, nullptr);
        if (!handle) continue;
        if (auto id = exchange::readObjectField(handleBytes(handle), exchange::kObjectIdentifierOffset,
                                                file.IsNativeOrder(handle)))
            out.push_back(*id);
        (void)ReleaseAndDispose(file, handle);  // only read: nothing to write back
    }
    return out;
}

}  // namespace

std::map<std::uint32_t, std::string> takenIdentifiers(std::string_view gameFolder) {
    std::map<std::uint32_t, std::string> taken;
    const std::string folder = exchange::datesFolder(gameFolder);
    for (const std::string& name : platform::findFiles(folder, exchange::kDatePattern)) {
        IFFResFile2 file;
        file.setOpenReadOnly(true);
        if (file.Open(platform::joinPath(folder, name)) != kNoError) continue;
        for (std::uint32_t id : identifiersIn(file)) taken.emplace(id, name);
        (void)file.Close();  // only read: nothing to write
    }
    return taken;
}

std::optional<std::vector<IdentifierChange>> freshIdentifiers(const std::vector<std::uint32_t>& identifiers,
                                                              const std::map<std::uint32_t, std::string>& taken) {
    std::vector<IdentifierChange> changes;
    std::set<std::uint32_t> used(identifiers.begin(), identifiers.end());
    for (const auto& [id, file] : taken) used.insert(id);
    for (std::uint32_t id : identifiers) {
        const auto clash = taken.find(id);
        if (clash == taken.end()) continue;
        std::optional<std::uint32_t> fresh;
        for (int draw = 0; draw < kMaxDraws && !fresh; ++draw)
            if (std::uint32_t candidate = exchange::freshObjectIdentifier(); !used.count(candidate)) fresh = candidate;
        if (!fresh) return std::nullopt;
        used.insert(*fresh);
        changes.push_back({id, *fresh, clash->second});
    }
    return changes;
}

std::optional<std::vector<std::uint8_t>> withIdentifiers(std::span<const std::uint8_t> date,
                                                         const std::vector<IdentifierChange>& changes) {
    std::vector<std::uint8_t> bytes(date.begin(), date.end());
    if (changes.empty()) return bytes;
    IFFResFile2 file;
    file.openNextFrom(platform::MemoryFile::writing(bytes));
    if (file.Open("shared-date.iff") != kNoError) return std::nullopt;
    bool ok = true;
    const std::int16_t count = file.CountResources(exchange::kTypeObjectDefinition);
    for (std::int16_t i = 1; ok && i <= count; ++i) {
        DataHandle handle = file.GetIndResource(exchange::kTypeObjectDefinition, i, nullptr);
        if (!handle) {
            ok = false;
            break;
        }
        const bool native = file.IsNativeOrder(handle);
        const auto id =
            exchange::readObjectField(handleBytes(handle), exchange::kObjectIdentifierOffset, native);
        for (const IdentifierChange& change : changes) {
            if (!id || *id != change.from) continue;
            ok = exchange::writeObjectField(handleBytes(handle), exchange::kObjectIdentifierOffset, native,
                                            change.to) &&
                 file.WriteResource(handle) == kNoError;
            break;
        }
        (void)ReleaseAndDispose(file, handle);  // written above where it changed
    }
    if (file.Close() != kNoError) ok = false;
    if (!ok) return std::nullopt;
    return bytes;
}

}  // namespace tryster::share
