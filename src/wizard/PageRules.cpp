#include "wizard/PageRules.h"

#include <cmath>
#include <numeric>

namespace tryster::wizard {

std::size_t editLength(std::string_view text) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        length += text[i] == '\r' || text[i] == '\n' ? 2 : 1;
    }
    return length;
}

CheckResult checkName(std::string_view name) {
    if (name.empty()) return kNoNameMessage;
    if (name.size() > kMaxNameLength) return kLongNameMessage;
    return std::nullopt;
}

CheckResult checkDescription(std::string_view description) {
    if (description.empty()) return kNoDescriptionMessage;
    if (editLength(description) > kMaxDescriptionLength) return kLongDescriptionMessage;
    return std::nullopt;
}

CheckResult commitNaming(PlomData& record, std::string_view name, std::string_view description) {
    if (CheckResult failed = checkName(name)) return failed;
    record.setName(name);
    if (CheckResult failed = checkDescription(description)) return failed;
    record.setDescription(description);
    return std::nullopt;
}

int pointsLeft(const TraitPositions& positions) {
    return kPersonalityPoints - std::accumulate(positions.begin(), positions.end(), 0);
}

CheckResult commitPersonality(PlomData& record, const TraitPositions& positions) {
    if (pointsLeft(positions) < 0) return kTooManyPointsMessage;
    for (int trait = 0; trait < kTraitCount; ++trait)
        record.setPersonality(trait, positions[static_cast<std::size_t>(trait)]);
    return std::nullopt;
}

StarSign signAfter(const TraitPositions& positions) {
    return static_cast<StarSign>((nearestSign(positions) + 1) % kSignCount);
}

TraitPositions presetOf(StarSign sign) {
    TraitPositions positions{};
    for (int column = 0; column < kTraitCount; ++column)
        positions[static_cast<std::size_t>(kSignPresetTraits[static_cast<std::size_t>(column)])] =
            static_cast<std::int32_t>(std::trunc(kSignPresets[sign][column]));
    return positions;
}

CheckResult commitInterests(PlomData& record, const InterestLists& lists) {
    if (lists.top().size() < kTopInterestCount) return kFewInterestsMessage;
    const auto ranking = lists.ranking();
    for (int place = 0; place < kInterestCount; ++place)
        record.setInterestRanking(place, ranking[static_cast<std::size_t>(place)]);
    return std::nullopt;
}

std::int32_t careerTrackOf(int selectionIndex) {
    return selectionIndex >= 0 && selectionIndex < kCareerCount ? selectionIndex : -1;
}

void commitCareer(PlomData& record, int selectionIndex, int level) {
    record.setCareerTrack(careerTrackOf(selectionIndex));
    record.setCareerLevel(level);
}

}  // namespace tryster::wizard
