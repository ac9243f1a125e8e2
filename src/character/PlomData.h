#pragma once
// The character being built: who it is, its personality, its interests and
// its career. The wizard writes it when the user leaves a step; the
// exporters read it.

#include "character/Vocabulary.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tryster {

class PlomData {
public:
    static constexpr std::int32_t kDefaultSkinTone = kMedium;
    static constexpr std::int32_t kDefaultCareerTrack = 12;  // "Paranormal"

    PlomData() = default;
    virtual ~PlomData() = default;
    PlomData(const PlomData&) = default;
    PlomData& operator=(const PlomData&) = default;

    // The setters store a copy and return a copy of what they stored.
    std::string setName(std::string_view name) { return name_ = std::string(name); }
    std::string name() const { return name_; }
    std::string setDescription(std::string_view text) { return description_ = std::string(text); }
    std::string description() const { return description_; }

    std::int32_t gender() const { return gender_; }
    void setGender(std::int32_t v) { gender_ = v; }
    std::int32_t bodyType() const { return bodyType_; }
    void setBodyType(std::int32_t v) { bodyType_ = v; }
    std::int32_t skinTone() const { return skinTone_; }
    void setSkinTone(std::int32_t v) { skinTone_ = v; }

    // By trait number 0..4 (not range-checked; callers pass only those).
    std::int32_t personality(int trait) const { return personality_[static_cast<std::size_t>(trait)]; }
    void setPersonality(int trait, std::int32_t v) { personality_[static_cast<std::size_t>(trait)] = v; }
    const std::array<std::int32_t, kTraitCount>& personalityValues() const { return personality_; }

    // By ranking place 0..14; place 0 is the most liked interest.
    std::int32_t interestRanking(int place) const { return ranking_[static_cast<std::size_t>(place)]; }
    void setInterestRanking(int place, std::int32_t id) { ranking_[static_cast<std::size_t>(place)] = id; }
    const std::array<std::int32_t, kInterestCount>& interestRankingValues() const { return ranking_; }

    std::int32_t careerTrack() const { return careerTrack_; }
    void setCareerTrack(std::int32_t v) { careerTrack_ = v; }
    std::int32_t careerLevel() const { return careerLevel_; }
    void setCareerLevel(std::int32_t v) { careerLevel_ = v; }

private:
    std::string name_;
    std::string description_;
    std::int32_t gender_ = kMale;
    std::int32_t bodyType_ = kFit;
    std::int32_t skinTone_ = kDefaultSkinTone;
    std::array<std::int32_t, kTraitCount> personality_{};
    std::array<std::int32_t, kInterestCount> ranking_{};
    std::int32_t careerTrack_ = kDefaultCareerTrack;
    std::int32_t careerLevel_ = 0;
};

// The sign whose preset is nearest (least sum of squared differences, in
// single precision) to a personality indexed by trait number; ties keep the
// lower index.
StarSign nearestSign(const std::array<std::int32_t, kTraitCount>& personality);

// 10 for ranking places 1 to 5, 5 for places 6 to 10, 1 for places 11 to 15.
// An id missing from the ranking (which the wizard never allows) counts as
// least liked: 1.
std::int32_t interestLevel(const PlomData& record, std::int32_t interestId);

// The ranking the wizard builds from its three lists (texts as shown): the
// top list from place 0, the remaining list right after it, the low list
// from place 14 downwards. Texts map to ids as `interestIdFromText` does.
// Places no list reaches keep 0.
std::array<std::int32_t, kInterestCount> buildInterestRanking(
    const std::vector<std::string>& top, const std::vector<std::string>& remaining,
    const std::vector<std::string>& low);

}  // namespace tryster
