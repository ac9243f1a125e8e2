#include "cli/CharacterDescription.h"
#include "cli/Commands.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tryster::cli {
namespace {

using nlohmann::json;

// The message of the CommandError that parsing `text` raises.
std::string failure(const std::string& text) {
    try {
        parseCharacterDescription(json::parse(text));
    } catch (const CommandError& e) {
        return e.what();
    }
    return "(no failure)";
}

TEST(CharacterDescription, ReadsEveryField) {
    Character d = parseCharacterDescription(json::parse(R"({
        "name": "Ann", "description": "two\nlines", "gender": "female", "bodyType": 2, "skinTone": 0,
        "personality": {"neat": 1, "active": 2, "playful": 3, "outgoing": 4, "nice": 5},
        "interests": {"top": ["Food", "exercise", "Music", "Sports", "Style"], "low": ["Weather"],
                      "remaining": ["Travel", "Money", "Politics", "60's Stuff", "Hollywood", "Romance",
                                    "Technology", "Parties", "Outdoors"]},
        "career": {"track": -1, "level": 10},
        "appearance": {"headMesh": "c005fa_x", "headTexture": "C005falgt_x"},
        "adult": false})"));
    EXPECT_EQ(d.record.name(), "Ann");
    EXPECT_EQ(d.record.description(), "two\r\nlines") << "the game's line breaks";
    EXPECT_EQ(d.record.gender(), kFemale);
    EXPECT_EQ(d.record.bodyType(), 2);
    EXPECT_EQ(d.record.skinTone(), 0);
    EXPECT_EQ(d.record.personalityValues(), (std::array<std::int32_t, kTraitCount>{1, 2, 3, 4, 5}));
    EXPECT_EQ(d.record.interestRankingValues(),
              (std::array<std::int32_t, kInterestCount>{kFood, kExercise, kMusic, kSports, kStyle, kTravel,
                                                        kMoney, kPolitics, kSixties, kHollywood, kRomance,
                                                        kTechnology, kParties, kOutdoors, kWeather}));
    EXPECT_EQ(d.record.careerTrack(), -1);
    EXPECT_EQ(d.record.careerLevel(), 10);
    EXPECT_FALSE(d.appearance.isAdult);
    // The child set, with the two head names given.
    EXPECT_EQ(d.appearance.bodyMesh, kChildDefaults.bodyMesh);
    EXPECT_EQ(d.appearance.headMesh, "c005fa_x");
    EXPECT_EQ(d.appearance.headTexture, "C005falgt_x");
}

// What a field left out means: the record a new date starts from.
TEST(CharacterDescription, FieldsLeftOutKeepTheNewDatesValues) {
    const Character d = parseCharacterDescription(json::object());
    EXPECT_EQ(kCareerNames[static_cast<std::size_t>(d.record.careerTrack())], "Paranormal");
    EXPECT_EQ(d.record.careerLevel(), 0);
    EXPECT_EQ(d.record.skinTone(), kMedium);
    EXPECT_TRUE(d.appearance.isAdult);
}

TEST(CharacterDescription, FaultsNameTheirField) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"personality": {"nice": 11}})", "personality.nice: 11 is outside 0..10"},
        {R"({"personality": {"neat": 10, "nice": 10, "active": 6}})",
         "personality: 26 points given, at most 25"},
        {R"({"gender": "other"})", "gender: \"other\" is neither \"male\" nor \"female\""},
        {R"({"name": "This name is far too long for a Plom"})", "name: 36 characters, at most 30"},
        {R"({"career": {"track": 15}})", "career.track: 15 is outside -1..14"},
        {R"({"bodyType": "fit"})", "bodyType: expected a whole number 0..2"},
        {R"({"colour": 1})", "colour: unknown field"},
        {R"({"interests": {"top": ["Food"]}})", "interests.top: expected exactly 5 interests, got 1"},
        {R"({"interests": {"top": ["Food", "Food", "Music", "Sports", "Style"]}})",
         "interests.top[1]: \"Food\" is listed twice"},
        {R"({"interests": {"top": ["Food", "Knitting", "Music", "Sports", "Style"]}})",
         "interests.top[1]: \"Knitting\" is no interest"},
        {R"({"interests": {"top": ["Food", "Exercise", "Music", "Sports", "Style"], "remaining": ["Travel"]}})",
         "interests: \"Weather\" is in none of the lists"},
        {R"([1, 2])", "expected an object"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(failure(text), std::string("character description: ") + message);
}

TEST(CharacterDescription, ThirtyCharactersAndLineBreaksCountedTwice) {
    EXPECT_NO_THROW(parseCharacterDescription(json{{"name", std::string(30, 'x')}}));
    EXPECT_NO_THROW(parseCharacterDescription(json{{"description", std::string(1024, 'x')}}));
    std::string withBreak = std::string(1023, 'x') + "\n";  // 1025 in the edit
    EXPECT_THROW(parseCharacterDescription(json{{"description", withBreak}}), CommandError);
}

// The rule the window keeps too: the game's Western code page, one byte a
// character; what it cannot hold is refused with the field's name.
TEST(CharacterDescription, TextIsStoredInTheGamesCodePage) {
    Character d = parseCharacterDescription(json{{"name", "Zo\u00eb \u20ac"}});
    EXPECT_EQ(d.record.name(), "Zo\xEB \x80");
    EXPECT_NO_THROW(parseCharacterDescription(json{{"name", std::string(29, 'x') + "\u00e9"}}))
        << "thirty characters, though thirty-one bytes of UTF-8";
    const std::string refused = failure(R"({"name": "\u0416enya"})");
    EXPECT_NE(refused.find("name: The game cannot store"), std::string::npos) << refused;
}

}  // namespace
}  // namespace tryster::cli
