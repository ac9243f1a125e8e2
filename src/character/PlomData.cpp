#include "character/PlomData.h"

namespace tryster {

StarSign nearestSign(const std::array<std::int32_t, kTraitCount>& personality) {
    float vector[kTraitCount];
    for (int i = 0; i < kTraitCount; ++i)
        vector[i] = static_cast<float>(personality[static_cast<std::size_t>(kSignPresetTraits[static_cast<std::size_t>(i)])]);
    float best = 1e38f;
    int bestSign = 0;
    for (int sign = 0; sign < kSignCount; ++sign) {
        float sum = 0.0f;
        for (int i = 0; i < kTraitCount; ++i) {
            float d = vector[i] - kSignPresets[sign][i];
            sum += d * d;
        }
        if (sum < best) {
            best = sum;
            bestSign = sign;
        }
    }
    return static_cast<StarSign>(bestSign);
}

std::int32_t interestLevel(const PlomData& record, std::int32_t interestId) {
    int place = kInterestCount;  // 1-based; missing counts as the last place
    for (int i = 0; i < kInterestCount; ++i) {
        if (record.interestRanking(i) == interestId) {
            place = i + 1;
            break;
        }
    }
    if (place <= 5) return 10;
    if (place <= 10) return 5;
    return 1;
}

std::array<std::int32_t, kInterestCount> buildInterestRanking(
    const std::vector<std::string>& top, const std::vector<std::string>& remaining,
    const std::vector<std::string>& low) {
    std::array<std::int32_t, kInterestCount> ranking{};
    int place = 0;
    for (const auto& list : {&top, &remaining})
        for (const std::string& text : *list)
            if (place < kInterestCount) ranking[static_cast<std::size_t>(place++)] = interestIdFromText(text);
    int fromEnd = kInterestCount - 1;
    for (const std::string& text : low)
        if (fromEnd >= 0) ranking[static_cast<std::size_t>(fromEnd--)] = interestIdFromText(text);
    return ranking;
}

}  // namespace tryster
