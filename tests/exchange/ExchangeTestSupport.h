#pragma once
// Shared by the exchange tests: a reporter that records, a fixed clock and
// generator, a sample character, a template or character file made in a
// temporary folder, and a listing of every resource of a file.

#include "character/PlomData.h"
#include "exchange/AppearanceStrings.h"
#include "exchange/DateTemplate.h"
#include "exchange/ExchangeReporter.h"
#include "character/Character.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "resfile/IFFResFile2.h"
#include "resfile/ResFileTestSupport.h"
#include "resfile/StringSet.h"
#include "support/EveryFault.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tryster::test {

struct RecordingReporter final : exchange::ExchangeReporter {
    std::vector<std::string> statuses;
    std::vector<std::pair<std::string, std::string>> messages;  // caption, text
    int steps = 0;
    int redraws = 0;

    void showMessage(std::string_view caption, std::string_view text) override {
        messages.emplace_back(caption, text);
    }
    void showStatus(std::string_view text) override { statuses.emplace_back(text); }
    void stepProgress() override { ++steps; }
    void redrawPreview() override { ++redraws; }
    void clear() {
        statuses.clear();
        messages.clear();
        steps = redraws = 0;
    }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> out;
        for (const auto& m : messages) out.push_back(m.second);
        return out;
    }
};

// The same tick and second for every call, for the test's life; the
// generator seeded with 1.
class FixedClock {
public:
    FixedClock() {
        platform::installClockSource(&clock_);
        platform::seedRandom(1);
    }
    ~FixedClock() { platform::installClockSource(nullptr); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

private:
    platform::FixedClock clock_{0x00012345};
};

// Bob: neat and nice, top interests travel to money, a crook of level 4.
inline PlomData sampleRecord() {
    PlomData r;
    r.setName("Bob");
    r.setDescription("Likes long walks.\r\nDislikes short ones.");
    r.setGender(kMale);
    r.setBodyType(kFat);
    r.setSkinTone(kDark);
    const std::int32_t personality[kTraitCount] = {7, 2, 3, 4, 9};  // Neat, Active, Playful, Outgoing, Nice
    for (int t = 0; t < kTraitCount; ++t) r.setPersonality(t, personality[t]);
    const std::int32_t ranking[kInterestCount] = {kTravel,  kMoney, kPolitics, kSixties,   kWeather,
                                                  kSports,  kMusic, kOutdoors, kExercise,  kFood,
                                                  kParties, kStyle, kHollywood, kTechnology, kRomance};
    for (int p = 0; p < kInterestCount; ++p) r.setInterestRanking(p, ranking[p]);
    r.setCareerTrack(3);
    r.setCareerLevel(4);
    return r;
}

// Bob in a full suit and a bob, dark.
inline Character sampleCharacter() {
    Character c;
    c.record = sampleRecord();
    c.appearance.bodyMesh = "b005fafat_01";
    c.appearance.bodyTexture = "b005fafatdrk_suit";
    c.appearance.headMesh = "c020fa_bob";
    c.appearance.headTexture = "c020fadrk_bob";
    return c;
}

inline std::string makeTemplate(const TempDir& dir, const exchange::DateTemplateOptions& options = {},
                                 std::string_view name = "TR_Template.iff") {
    std::string path = dir.file(name);
    EXPECT_EQ(exchange::buildDateTemplate(path, options), resfile::kNoError);
    return path;
}

// The data of one resource, empty when it is missing.
inline std::vector<std::uint8_t> resourceBytes(const std::string& path, resfile::ResType type, std::int16_t id,
                                               std::uint8_t variant = 0) {
    resfile::IFFResFile2 file;
    if (file.Open(path) != resfile::kNoError) return {};
    resfile::DataHandle h = file.GetVariantResource(type, id, variant, nullptr);
    if (!h) return {};
    return dataOf(h);
}

struct Listed {
    resfile::ResType type;
    std::int16_t id;
    std::uint8_t variant;
    std::string name;
    bool native;
    std::vector<std::uint8_t> data;
    bool operator==(const Listed&) const = default;
};

// Every resource of a 2.x container, type by type in index order.
inline std::vector<Listed> listAll(const std::string& path) {
    using namespace resfile;
    IFFResFile2 file;
    EXPECT_EQ(file.Open(path), kNoError);
    std::vector<Listed> out;
    for (int t = 1; t <= file.CountTypes(); ++t) {
        ResType type = file.GetIndType(static_cast<std::int16_t>(t));
        for (int i = 1; i <= file.CountResources(type); ++i) {
            DataHandle h = file.GetIndResource(type, static_cast<std::int16_t>(i), nullptr);
            Listed r{type, 0, file.GetResVariant(h), "", file.IsNativeOrder(h), test::dataOf(h)};
            (void)file.GetResID(h, r.id);
            (void)file.GetResName(h, r.name);
            out.push_back(r);
        }
    }
    return out;
}

inline const Listed* find(const std::vector<Listed>& all, resfile::ResType type, std::int16_t id,
                          std::uint8_t variant = 0) {
    for (const Listed& r : all)
        if (r.type == type && r.id == id && r.variant == variant) return &r;
    return nullptr;
}

// Changes strings of string list 200 (number, text) of a character file.
inline void setAppearanceStrings(const std::string& path, const std::vector<std::pair<int, std::string>>& strings) {
    using namespace resfile;
    IFFResFile2 file;
    ASSERT_EQ(file.Open(path), kNoError);
    StringSet list;
    ASSERT_EQ(list.Load(&file, exchange::kAppearanceListId, false), kNoError);
    for (const auto& [number, text] : strings) list.SetString(number, text);
    ASSERT_EQ(list.Save(), kNoError);
    ASSERT_EQ(file.Close(), kNoError);
}

// A character file of exactly `size` bytes (made from the date template;
// its filler takes up the room) whose string 1 is `age` (five letters, so
// that the list keeps its size).
inline std::string makeCharacter(const TempDir& dir, std::string_view name, std::size_t size,
                                 std::string_view age = "Adult") {
    const std::string path = dir.file(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    auto build = [&](std::size_t filler) {
        (void)platform::fileSystem().remove(path);
        EXPECT_EQ(exchange::buildDateTemplate(path, {.fillerCount = 1, .fillerSize = filler}), resfile::kNoError);
        setAppearanceStrings(path, {{1, std::string(age)}});
        return platform::fileSystem().fileSize(path).value_or(0);
    };
    const std::uint64_t bare = build(0);
    EXPECT_GE(size, bare);
    EXPECT_EQ(build(size - bare), size);
    return path;
}

inline std::vector<std::uint8_t> fileBytes(const std::string& path) {
    return platform::readWholeFile(path).value_or(std::vector<std::uint8_t>{});
}

// The names in a folder, sorted.
inline std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : platform::fileSystem().list(folder)) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace tryster::test
