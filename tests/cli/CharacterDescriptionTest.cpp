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
    EXPECT_EQ(d.record.personality(kNeat), 1);
    EXPECT_EQ(d.record.personality(kNice), 5);
    EXPECT_EQ(d.record.interestRanking(0), kFood);
    EXPECT_EQ(d.record.interestRanking(1), kExercise);
    EXPECT_EQ(d.record.interestRanking(5), kTravel);
    EXPECT_EQ(d.record.interestRanking(13), kOutdoors);
    EXPECT_EQ(d.record.interestRanking(14), kWeather);
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
    EXPECT_EQ(failure(R"({"personality": {"nice": 11}})"),
              "character description: personality.nice: 11 is outside 0..10");
    EXPECT_EQ(failure(R"({"personality": {"neat": 10, "nice": 10, "active": 6}})"),
              "character description: personality: 26 points given, at most 25");
    EXPECT_EQ(failure(R"({"gender": "other"})"),
              "character description: gender: \"other\" is neither \"male\" nor \"female\"");
    EXPECT_EQ(failure(R"({"name": "This name is far too long for a Plom"})"),
              "character description: name: 36 characters, at most 30");
    EXPECT_EQ(failure(R"({"career": {"track": 15}})"),
              "character description: career.track: 15 is outside -1..14");
    EXPECT_EQ(failure(R"({"bodyType": "fit"})"),
              "character description: bodyType: expected a whole number 0..2");
    EXPECT_EQ(failure(R"({"colour": 1})"), "character description: colour: unknown field");
    EXPECT_EQ(failure(R"({"interests": {"top": ["Food"]}})"),
              "character description: interests.top: expected exactly 5 interests, got 1");
    EXPECT_EQ(failure(R"({"interests": {"top": ["Food", "Food", "Music", "Sports", "Style"]}})"),
              "character description: interests.top[1]: \"Food\" is listed twice");
    EXPECT_EQ(failure(R"({"interests": {"top": ["Food", "Knitting", "Music", "Sports", "Style"]}})"),
              "character description: interests.top[1]: \"Knitting\" is no interest");
    EXPECT_EQ(failure(R"({"interests": {"top": ["Food", "Exercise", "Music", "Sports", "Style"],
                                        "remaining": ["Travel"]}})"),
              "character description: interests: \"Weather\" is in none of the lists");
    EXPECT_EQ(failure(R"([1, 2])"), "character description: expected an object");
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
