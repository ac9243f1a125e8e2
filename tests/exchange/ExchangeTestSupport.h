#pragma once
// Shared by the exchange tests: a reporter that records, a fixed clock and
// generator, a sample character and a template made in a temporary folder.

#include "character/PlomData.h"
#include "exchange/DateTemplate.h"
#include "exchange/ExchangeReporter.h"
#include "exchange/Look.h"
#include "platform/Clock.h"
#include "resfile/IFFResFile2.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

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

// The same tick and second for every call; the generator seeded with 1.
class FixedClock final : public platform::ClockSource {
public:
    FixedClock() {
        platform::installClockSource(this);
        platform::seedRandom(1);
    }
    ~FixedClock() override { platform::installClockSource(nullptr); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
    std::uint32_t tickCountMs() override { return tick; }
    std::int64_t calendarSeconds() override { return seconds; }

    std::uint32_t tick = 0x00012345;
    std::int64_t seconds = 1'700'000'000;
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

inline exchange::Look sampleLook(const PlomData& record) {
    exchange::Look look;
    look.appearance.bodyMesh = "b005fafat_01";
    look.appearance.bodyTexture = "b005fafatdrk_suit";
    look.appearance.headMesh = "c020fa_bob";
    look.appearance.headTexture = "c020fadrk_bob";
    look.skinTone = record.skinTone();
    look.bodyType = record.bodyType();
    look.isAdult = true;
    look.isMale = record.gender() == kMale;
    return look;
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
    auto span = resfile::handleBytes(h);
    return {span.begin(), span.end()};
}

}  // namespace tryster::test
