// New date creation from damaged templates, and the text files the save
// command reads. The first byte chooses what the rest of the input is:
//   0  a whole template file
//   1  the data of one resource of a sound template (the second byte picks
//      the resource and its byte order): object, labels, constants,
//      catalog text, string list 200 or caret text
//   2  a mesh list (".cmx") and a web export file
// A date that was made must read back with the record's name and
// constants; a date that was not made must leave nothing behind; no data
// handle outlives a run.

#include "ResFileFuzzSupport.h"
#include "exchange/AppearanceStrings.h"
#include "share/GameChange.h"
#include "exchange/CatalogName.h"
#include "exchange/CopyTemplate.h"
#include "exchange/DateConstants.h"
#include "exchange/DateTemplate.h"
#include "exchange/NewDate.h"
#include "exchange/ObjectDefinition.h"
#include "exchange/SkinFileList.h"
#include "exchange/WebExchange.h"
#include "platform/Clock.h"
#include "resfile/IFFResFile2.h"

#include <cstdlib>

using namespace tryster;
using namespace tryster::exchange;
using namespace tryster::resfile;

namespace {

struct QuietReporter final : ExchangeReporter {
    void showMessage(std::string_view, std::string_view) override { ++messages; }
    void showStatus(std::string_view) override {}
    void stepProgress() override {}
    void redrawPreview() override {}
    int messages = 0;
};

struct FixedClock final : platform::ClockSource {
    std::uint32_t tickCountMs() override { return 1234; }
    std::int64_t calendarSeconds() override { return 1'700'000'000; }
};

const std::vector<std::uint8_t>& soundTemplate() {
    static std::vector<std::uint8_t> bytes = [] {
        test::MemoryFileSystem& fs = fuzz::memoryFiles();
        if (buildDateTemplate("sound.iff") != kNoError) std::abort();
        return *fs.get("sound.iff");
    }();
    return bytes;
}

void makeDate() {
    static FixedClock clock;
    platform::installClockSource(&clock);
    Character bob;
    bob.record.setName("Bob");
    bob.record.setPersonality(kNice, 7);
    bob.record.setCareerTrack(-1);
    QuietReporter reporter;
    share::GameChange placement("", share::ChangeKind::NewDate);
    const bool made = createNewDate("out/Bob", "TR_Template.iff", bob, reporter, placement);
    auto& fs = fuzz::memoryFiles();
    if (!made) {
        if (reporter.messages != 1 || fs.exists("out/Bob.iff") || !fs.list("out").empty()) std::abort();
        return;
    }
    if (reporter.messages != 0) std::abort();
    IFFResFile2 date;
    if (date.Open("out/Bob.iff") != kNoError) std::abort();
    CatalogName catalog;
    cTreeConstants constants;
    if (catalog.load(date, kCatalogNameId) != kNoError || catalog.name != "Bob") std::abort();
    if (constants.load(date, kDateConstantsId) != kNoError || constants.count() < kDateConstantCount) std::abort();
    auto expected = dateConstantValues(bob.record);
    for (int k = 0; k < kDateConstantCount; ++k)
        if (constants.entry(k)->value != expected[static_cast<std::size_t>(k)]) std::abort();
    (void)date.Close();
}

struct Target {
    ResType type;
    std::int16_t id;
};
constexpr Target kTargets[] = {{kTypeObjectDefinition, kTemplateFirstObjectId},
                               {kTypeConstantLabels, kDateConstantsId},
                               {kTypeConstants, kDateConstantsId},
                               {kTypeCatalogText, kCatalogNameId},
                               {kTypeStringList, static_cast<std::int16_t>(kAppearanceListId)},
                               {kTypeCaretStrings, kTemplateCaretTextId}};

void replaceOne(std::uint8_t choice, const std::uint8_t* data, std::size_t size) {
    auto& fs = fuzz::memoryFiles();
    fs.put("TR_Template.iff", soundTemplate());
    IFFResFile2 file;
    if (file.Open("TR_Template.iff") != kNoError) std::abort();
    const Target& t = kTargets[choice % std::size(kTargets)];
    DataHandle h = newHandleWith(std::span<const std::uint8_t>(data, size));
    if (file.AddResource(h, t.type, t.id, "fuzzed", (choice & 0x80) != 0) != kNoError) std::abort();
    if (file.Close() != kNoError) std::abort();
}

void readTexts(const std::uint8_t* data, std::size_t size) {
    auto& fs = fuzz::memoryFiles();
    fs.put("Skins/body.cmx", std::span<const std::uint8_t>(data, size));
    fs.put("Skins/xskin.skn", std::span<const std::uint8_t>(data, size));
    Appearance look;
    look.bodyMesh = "body";
    SkinFileList list;
    collectSkinFiles("Skins/", look, list);
    if (list.size() > SkinFileList::kMaxEntries) std::abort();
    (void)parseWebExchangeKeys(std::string_view(reinterpret_cast<const char*>(data), size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    (void)soundTemplate();
    fuzz::memoryFiles().clear();
    const std::size_t handles = liveHandleCount();
    switch (data[0] % 3) {
    case 0:
        fuzz::memoryFiles().put("TR_Template.iff", std::span<const std::uint8_t>(data + 1, size - 1));
        makeDate();
        break;
    case 1:
        replaceOne(data[1], data + 2, size - 2);
        makeDate();
        break;
    default:
        readTexts(data + 1, size - 1);
        break;
    }
    if (liveHandleCount() != handles) std::abort();
    return 0;
}
