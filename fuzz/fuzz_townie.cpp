// Damaged character files met by the Replace path, the load command and
// the save back. The first byte chooses what the rest of the input is:
//   0  a whole character file
//   1  the data of one resource of a sound character (the second byte picks
//      the resource and its byte order): first object, string list 200 or
//      catalog strings
// The file is read as the load and the extra panel read it, searched as a
// townie, replaced with a sound date and saved back into. A replacement or
// save that failed must leave the file byte for byte and nothing beside
// it; one that succeeded must leave a backup equal to the old file. No
// data handle outlives a run.

#include "ResFileFuzzSupport.h"
#include "exchange/AppearanceStrings.h"
#include "share/GameChange.h"
#include "exchange/CatalogName.h"
#include "exchange/CharacterReading.h"
#include "exchange/DateTemplate.h"
#include "exchange/ObjectDefinition.h"
#include "exchange/SaveBack.h"
#include "exchange/TownieReplacement.h"
#include "exchange/TownieSearch.h"
#include "platform/Clock.h"
#include "resfile/IFFResFile2.h"

#include <cstdlib>
#include <optional>

using namespace tryster;
using namespace tryster::exchange;
using namespace tryster::resfile;

namespace {

constexpr std::string_view kFolder = "Characters";
constexpr std::string_view kTownie = "Characters/User00001.iff";
constexpr std::string_view kDate = "TemplateNPCs/Bob.iff";

struct QuietReporter final : ExchangeReporter {
    void showMessage(std::string_view, std::string_view) override {}
    void showStatus(std::string_view) override {}
    void stepProgress() override {}
    void redrawPreview() override {}
};

struct FixedClock final : platform::ClockSource {
    std::uint32_t tickCountMs() override { return 1234; }
    std::int64_t calendarSeconds() override { return 1'700'000'000; }
};

const std::vector<std::uint8_t>& soundCharacter() {
    static std::vector<std::uint8_t> bytes = [] {
        // The memory files first: the template must not go to the disk.
        test::MemoryFileSystem& fs = fuzz::memoryFiles();
        if (buildDateTemplate("sound.iff") != kNoError) std::abort();
        return *fs.get("sound.iff");
    }();
    return bytes;
}

struct Target {
    ResType type;
    std::int16_t id;
};
constexpr Target kTargets[] = {{kTypeObjectDefinition, kTemplateFirstObjectId},
                               {kTypeStringList, static_cast<std::int16_t>(kAppearanceListId)},
                               {kTypeCatalogStrings, kCatalogNameId}};

void replaceOne(std::uint8_t choice, const std::uint8_t* data, std::size_t size) {
    fuzz::memoryFiles().put(kTownie, soundCharacter());
    IFFResFile2 file;
    if (file.Open(kTownie) != kNoError) std::abort();
    const Target& t = kTargets[choice % std::size(kTargets)];
    DataHandle h = newHandleWith(std::span<const std::uint8_t>(data, size));
    if (file.AddResource(h, t.type, t.id, "fuzzed", (choice & 0x80) != 0) != kNoError) std::abort();
    if (file.Close() != kNoError) std::abort();
}

// The identifier and the 16-bit field at 18 of the file's first object
// definition, read in the resource's own byte order; none when it lacks one.
struct Identity {
    std::uint32_t identifier;
    std::uint16_t mark;
    bool operator==(const Identity&) const = default;
};
std::optional<Identity> firstObject(std::string_view path) {
    IFFResFile2 file;
    file.setOpenReadOnly(true);
    if (file.Open(path) != kNoError) return std::nullopt;
    std::optional<Identity> identity;
    if (DataHandle object = file.GetIndResource(kTypeObjectDefinition, 1, nullptr)) {
        std::span<const std::uint8_t> data = handleBytes(object);
        const bool native = file.IsNativeOrder(object);
        std::optional<std::uint32_t> identifier = readObjectField(data, kObjectIdentifierOffset, native);
        if (identifier && data.size() >= kReplacedMarkOffset + 2) {
            const std::uint8_t lo = data[kReplacedMarkOffset + (native ? 0 : 1)];
            const std::uint8_t hi = data[kReplacedMarkOffset + (native ? 1 : 0)];
            identity = Identity{*identifier, static_cast<std::uint16_t>(lo | hi << 8)};
        }
        (void)ReleaseAndDispose(file, object);
    }
    (void)file.Close();
    return identity;
}

// Only the townie (and, after a success, its backup) lies in the folder.
void checkFolder(const std::vector<std::uint8_t>& before, bool changed, const std::string& backup) {
    auto& fs = fuzz::memoryFiles();
    const std::size_t expected = changed ? 2 : 1;
    if (fs.list(kFolder).size() != expected) std::abort();
    if (!changed && *fs.get(kTownie) != before) std::abort();
    if (changed && (backup.empty() || !fs.get(backup) || *fs.get(backup) != before)) std::abort();
}

void exercise() {
    static FixedClock clock;
    platform::installClockSource(&clock);
    auto& fs = fuzz::memoryFiles();
    fs.put(kDate, soundCharacter());
    const std::vector<std::uint8_t> before = *fs.get(kTownie);

    CharacterReading reading = readCharacter(kTownie);
    (void)extraPanelText(reading);
    if (reading.look && reading.look->record.skinTone() != kLight && reading.look->record.skinTone() != kMedium &&
        reading.look->record.skinTone() != kDark)
        std::abort();
    (void)searchTownies(kFolder);
    if (*fs.get(kTownie) != before) std::abort();  // reading never writes

    QuietReporter reporter;
    const Character look;
    share::GameChange restyle("", share::ChangeKind::Restyled);
    SaveBackResult saved = saveBack(kTownie, reading.name, look, reporter, restyle);
    checkFolder(before, saved.saved(), saved.backupPath);
    if (saved.saved()) (void)fs.remove(saved.backupPath);

    const std::vector<std::uint8_t> current = *fs.get(kTownie);
    const std::optional<Identity> townie = firstObject(kTownie);
    share::GameChange replacement("", share::ChangeKind::TownieReplaced);
    ReplaceResult replaced = replaceTownie(kTownie, kDate, reporter, replacement);
    checkFolder(current, replaced.replaced(), replaced.backupPath);
    // A replaced townie keeps its own identifier, with the replaced mark.
    if (replaced.replaced() && (!townie || firstObject(kTownie) != Identity{townie->identifier, kReplacedMark}))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    (void)soundCharacter();
    fuzz::memoryFiles().clear();
    const std::size_t handles = liveHandleCount();
    if (data[0] % 2 == 0) fuzz::memoryFiles().put(kTownie, std::span<const std::uint8_t>(data + 1, size - 1));
    else replaceOne(data[1], data + 2, size - 2);
    exercise();
    if (liveHandleCount() != handles) std::abort();
    return 0;
}
