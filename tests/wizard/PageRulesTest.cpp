#include "wizard/InterestLists.h"
#include "wizard/PageRules.h"

#include <gtest/gtest.h>

#include <string>

namespace tryster::wizard {
namespace {

TraitPositions positions(int nice, int neat, int outgoing, int active, int playful) {
    TraitPositions p{};
    p[kNice] = nice;
    p[kNeat] = neat;
    p[kOutgoing] = outgoing;
    p[kActive] = active;
    p[kPlayful] = playful;
    return p;
}

TEST(NamingChecks, LimitsCountLineBreaksTwice) {
    EXPECT_EQ(checkName(""), kNoNameMessage);
    EXPECT_EQ(checkName(std::string(30, 'a')), std::nullopt);
    EXPECT_EQ(checkName(std::string(31, 'a')), kLongNameMessage);
    EXPECT_EQ(checkName("   "), std::nullopt) << "blanks are a name";

    EXPECT_EQ(checkDescription(""), kNoDescriptionMessage);
    EXPECT_EQ(checkDescription(std::string(1024, 'x')), std::nullopt);
    EXPECT_EQ(checkDescription(std::string(1025, 'x')), kLongDescriptionMessage);
    // 1022 letters and one line break fill the limit exactly, whatever the
    // break was typed as.
    for (const char* lineBreak : {"\r\n", "\n", "\r"}) {
        const std::string text = std::string(511, 'x') + lineBreak + std::string(511, 'x');
        EXPECT_EQ(editLength(text), 1024u) << lineBreak;
        EXPECT_EQ(checkDescription(text + "y"), kLongDescriptionMessage);
    }
}

TEST(NamingChecks, ARefusedDescriptionKeepsTheNewName) {
    PlomData record;
    EXPECT_EQ(commitNaming(record, std::string(31, 'n'), "fine"), kLongNameMessage);
    EXPECT_EQ(record.name(), "");
    EXPECT_EQ(commitNaming(record, "  Bob ", ""), kNoDescriptionMessage);
    EXPECT_EQ(record.name(), "  Bob ") << "stored as typed";
    EXPECT_EQ(record.description(), "");
    EXPECT_EQ(commitNaming(record, "Bob", "Likes\r\ncake"), std::nullopt);
    EXPECT_EQ(record.description(), "Likes\r\ncake");
}

TEST(Personality, PointsGoBelowZeroAndTheCheckRefusesThem) {
    EXPECT_EQ(pointsLeft(positions(0, 0, 0, 0, 0)), 25);
    EXPECT_EQ(pointsLeft(positions(10, 10, 6, 0, 0)), -1);
    PlomData record;
    EXPECT_EQ(commitPersonality(record, positions(10, 10, 6, 0, 0)), kTooManyPointsMessage);
    EXPECT_EQ(record.personality(kNice), 0) << "nothing stored";
    EXPECT_EQ(commitPersonality(record, positions(5, 4, 3, 2, 1)), std::nullopt);
    EXPECT_EQ(record.personalityValues(), positions(5, 4, 3, 2, 1));
}

TEST(Personality, TheSignButtonStepsThroughEveryPresetInTurn) {
    // All zeros are nearest to Cancer; the button goes on to Leo.
    EXPECT_EQ(signAfter(positions(0, 0, 0, 0, 0)), kLeo);
    TraitPositions p = presetOf(kPisces);
    EXPECT_EQ(nearestSign(p), kPisces);
    int seen = 0;
    for (StarSign expected = kAries; seen < kSignCount;
         ++seen, expected = static_cast<StarSign>((expected + 1) % kSignCount)) {
        p = presetOf(signAfter(p));
        EXPECT_EQ(nearestSign(p), expected);
        EXPECT_EQ(pointsLeft(p), 0) << kSignNames[expected];
    }
    const TraitPositions aries = presetOf(kAries);
    EXPECT_EQ(aries, positions(3, 5, 8, 6, 3));
}

TEST(InterestMoves, AddAndRemoveFollowTheLimits) {
    InterestLists lists;
    EXPECT_EQ(lists.remaining().size(), 15u);
    EXPECT_EQ(lists.addTop(InterestLists::kNoSelection), InterestLists::kNoSelection) << "nothing selected";
    EXPECT_EQ(lists.addTop(99), InterestLists::kNoSelection);
    EXPECT_FALSE(lists.canRemoveTop());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(lists.addTop(0), i);
    EXPECT_FALSE(lists.canAddTop());
    EXPECT_EQ(lists.addTop(0), InterestLists::kNoSelection) << "a full list takes nothing";
    EXPECT_EQ(lists.top(),
              (std::vector<std::string>{"Weather", "Hollywood", "Romance", "Technology", "Money"}));
    for (int i = 0; i < 5; ++i) lists.removeTop(0);
    EXPECT_FALSE(lists.canRemoveTop());
    EXPECT_EQ(lists.remaining().back(), "Money") << "removed entries go to the end";
}

TEST(InterestMoves, TheLowListSortsAndTheRankingFollowsTheMoves) {
    InterestLists lists;
    for (int i = 0; i < 5; ++i) lists.addTop(0);  // Weather .. Money
    // "Sports", "Music", then "60's Stuff" into the low list: sorted there.
    lists.addLow(5);  // Sports (after Parties..Style)
    lists.addLow(5);  // Music
    EXPECT_EQ(lists.addLow(3), 0) << "60's Stuff sorts first";
    EXPECT_EQ(lists.low(), (std::vector<std::string>{"60's Stuff", "Music", "Sports"}));
    // Moved back, an interest goes to the end of the remaining list.
    lists.removeLow(1);
    EXPECT_EQ(lists.remaining().back(), "Music");

    PlomData record;
    EXPECT_EQ(commitInterests(record, lists), std::nullopt);
    // The remaining list in its current order, then the low one from its end.
    EXPECT_EQ(record.interestRankingValues(),
              (std::array<std::int32_t, kInterestCount>{kWeather, kHollywood, kRomance, kTechnology, kMoney,
                                                        kParties, kTravel, kPolitics, kStyle, kOutdoors,
                                                        kFood, kExercise, kMusic, kSports, kSixties}));
}

TEST(InterestMoves, FewerThanFiveTopInterestsAreRefused) {
    InterestLists lists;
    for (int i = 0; i < 4; ++i) lists.addTop(0);
    PlomData record;
    EXPECT_EQ(commitInterests(record, lists), kFewInterestsMessage);
}

TEST(Career, AnUnselectedTrackIsMinusOneAndEveryListedOneItself) {
    PlomData record;
    commitCareer(record, -1, 4);
    EXPECT_EQ(record.careerTrack(), -1);
    EXPECT_EQ(record.careerLevel(), 4);
    commitCareer(record, 0, 10);
    EXPECT_EQ(record.careerTrack(), 0);
    commitCareer(record, 14, 10);
    EXPECT_EQ(record.careerTrack(), 14);
    EXPECT_EQ(careerTrackOf(15), -1);
}

}  // namespace
}  // namespace tryster::wizard
