#include "character/Appearance.h"
#include "character/PlomData.h"

#include <gtest/gtest.h>

#include <numeric>

namespace tryster {
namespace {

TEST(NearestSign, AllZerosTieBetweenCancerAndAquariusGoesToTheLowerIndex) {
    EXPECT_EQ(nearestSign({}), kCancer);
}

// A preset is a personality a player could make: it spends the points a
// personality has, and gives its own sign.
TEST(NearestSign, EveryPresetIsAPersonalityAndYieldsItsOwnSign) {
    for (int sign = 0; sign < kSignCount; ++sign) {
        EXPECT_EQ(std::accumulate(std::begin(kSignPresets[sign]), std::end(kSignPresets[sign]), 0.0f),
                  static_cast<float>(kPersonalityPoints)) << kSignNames[static_cast<std::size_t>(sign)];
        std::array<std::int32_t, kTraitCount> p{};
        for (int column = 0; column < kTraitCount; ++column)
            p[static_cast<std::size_t>(kSignPresetTraits[static_cast<std::size_t>(column)])] =
                static_cast<std::int32_t>(kSignPresets[sign][column]);
        EXPECT_EQ(nearestSign(p), sign) << kSignNames[static_cast<std::size_t>(sign)];
    }
}

std::vector<std::string> names(std::initializer_list<int> ids) {
    std::vector<std::string> out;
    for (int id : ids) out.emplace_back(kInterestNames[static_cast<std::size_t>(id)]);
    return out;
}

TEST(InterestRanking, FiveLowInterestsFillTheEndInListOrder) {
    auto ranking = buildInterestRanking(names({6, 4, 7, 8, 0}), names({10, 11, 12, 14, 13}),
                                        names({5, 9, 1, 3, 2}));
    EXPECT_EQ(ranking, (std::array<std::int32_t, kInterestCount>{6, 4, 7, 8, 0, 10, 11, 12, 14, 13,
                                                                  2, 3, 1, 9, 5}));
    PlomData r;
    for (int i = 0; i < kInterestCount; ++i) r.setInterestRanking(i, ranking[static_cast<std::size_t>(i)]);
    for (int id : {6, 4, 7, 8, 0}) EXPECT_EQ(interestLevel(r, id), 10);
    for (int id : {10, 11, 12, 14, 13}) EXPECT_EQ(interestLevel(r, id), 5);
    for (int id : {5, 9, 1, 3, 2}) EXPECT_EQ(interestLevel(r, id), 1);
}

TEST(InterestRanking, TextsMapWithoutRegardToCase) {
    EXPECT_EQ(interestIdFromText("60's Stuff"), kSixties);
    EXPECT_EQ(interestIdFromText("exercise"), kExercise);
    EXPECT_EQ(interestIdFromText("Knitting"), kWeather);
    EXPECT_EQ(interestIdFromText(""), kWeather);
}

TEST(Vocabulary, Codes) {
    EXPECT_EQ(skinToneCode(1), "med");
    EXPECT_EQ(skinToneCode(7), "drk");
    EXPECT_EQ(skinToneExportCode(-1), "DRK");
    EXPECT_EQ(bodyTypeCode(2), "skn");
    EXPECT_EQ(kCareerNames[7], "Pro Athelete");
}

TEST(Appearance, StartsAsTheAdultSetAndSwitchesWholeSets) {
    Appearance a;
    EXPECT_EQ(a.bodyString(), "b003mafit_01,BODY=B003MAFitmed_bmoc");
    EXPECT_EQ(a.headString(), "c011ma_repo,HEAD-HEAD=C011mamed_rotc");
    EXPECT_EQ(a.leftHandMesh, "hmlo");
    a.assign(kChildDefaults);
    EXPECT_EQ(a.rightHandTexture, "HUAClgt");
    a.assign(kAdultDefaults);
    EXPECT_EQ(a, Appearance());
}

}  // namespace
}  // namespace tryster
