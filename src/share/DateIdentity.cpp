#include "share/DateIdentity.h"

#include "exchange/ObjectDefinition.h"
#include "exchange/TownieSearch.h"
#include "platform/FileSystem.h"
#include "platform/MemoryFile.h"
#include "resfile/IFFResFile2.h"

#include <algorithm>
#include <set>

namespace tryster::share {
namespace {

using namespace resfile;

// Draws of the generator before giving up; each draw differs from the one
// before through the generator, so this is never reached in practice.
constexpr int kMaxDraws = 1000;

// A date of the game takes every identifier it holds, whatever else of it
// is damaged: the game may still know the object by it.
std::vector<std::uint32_t> identifiersIn(IFFResFile2& file) {
    std::vector<std::uint32_t> out;
    for (const exchange::ObjectDefinitionRead& definition : exchange::readObjectDefinitions(file))
        if (definition.identifier) out.push_back(*definition.identifier);
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
    // A shared date is whole (its pack was checked so), so a definition that
    // is not can only be refused.
    const std::vector<exchange::ObjectDefinitionRead> definitions = exchange::readObjectDefinitions(file);
    bool ok = std::all_of(definitions.begin(), definitions.end(),
                          [](const exchange::ObjectDefinitionRead& d) { return d.whole; });
    for (std::size_t i = 0; ok && i < definitions.size(); ++i) {
        const auto change = std::find_if(changes.begin(), changes.end(), [&](const IdentifierChange& c) {
            return c.from == *definitions[i].identifier;
        });
        if (change == changes.end()) continue;
        DataHandle handle =
            file.GetIndResource(exchange::kTypeObjectDefinition, static_cast<std::int16_t>(i + 1), nullptr);
        ok = handle &&
             exchange::writeObjectField(handleBytes(handle), exchange::kObjectIdentifierOffset,
                                        file.IsNativeOrder(handle), change->to) &&
             file.WriteResource(handle) == kNoError;
        if (handle) (void)ReleaseAndDispose(file, handle);  // written above where it changed
    }
    if (file.Close() != kNoError) ok = false;
    if (!ok) return std::nullopt;
    return bytes;
}

}  // namespace tryster::share
