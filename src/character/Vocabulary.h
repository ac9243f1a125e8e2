#pragma once
// The program's fixed vocabularies: interests, careers, traits, star signs,
// skin tone and body type codes. Texts are the ones the wizard shows and the
// game's files and the web exchange expect, byte for byte.

#include <array>
#include <cstdint>
#include <string_view>

namespace tryster {

enum Gender : std::int32_t { kMale = 0, kFemale = 1 };
enum BodyType : std::int32_t { kFit = 0, kFat = 1, kSkinny = 2 };
enum SkinTone : std::int32_t { kLight = 0, kMedium = 1, kDark = 2 };

// The entries of the "Body Type:" and "Skin Type:" lists, by body type and
// skin tone.
inline constexpr std::array<std::string_view, 3> kBodyTypeEntries = {"Fit", "Full", "Thin"};
inline constexpr std::array<std::string_view, 3> kSkinTypeEntries = {"Light", "Medium", "Dark"};

// Index into PlomData's personality.
enum Trait : std::int32_t { kNeat = 0, kActive = 1, kPlayful = 2, kOutgoing = 3, kNice = 4 };
inline constexpr int kTraitCount = 5;
inline constexpr int kMaxTraitValue = 10;
inline constexpr int kPersonalityPoints = 25;

inline constexpr std::array<std::string_view, kTraitCount> kTraitLabels = {
    "Neat", "Active", "Playful", "Outgoing", "Nice"};
inline constexpr std::array<std::string_view, kTraitCount> kTraitTips = {
    "How neat is your Plom?", "How active is your Plom?", "How playful is your Plom?",
    "How outgoing is your Plom?", "How nice is your Plom?"};

enum InterestId : std::int32_t {
    kWeather = 0, kHollywood, kRomance, kTechnology, kMoney, kParties, kTravel, kPolitics,
    kSixties, kStyle, kSports, kMusic, kOutdoors, kFood, kExercise
};
inline constexpr int kInterestCount = 15;
inline constexpr int kTopInterestCount = 5;
inline constexpr int kMaxLowInterests = 5;

// The text shown in the wizard's interest lists, by id.
inline constexpr std::array<std::string_view, kInterestCount> kInterestNames = {
    "Weather", "Hollywood", "Romance", "Technology", "Money", "Parties", "Travel", "Politics",
    "60's Stuff", "Style", "Sports", "Music", "Outdoors", "Food", "Exercise"};
// The key of each interest in the web exchange file, by id.
inline constexpr std::array<std::string_view, kInterestCount> kInterestExportKeys = {
    "Weather", "Hollywood", "Romance", "Technology", "Money", "Parties", "Travel", "Politics",
    "Sixties", "Style", "Sports", "Music", "Outdoors", "Food", "Exercise"};

inline constexpr int kCareerCount = 15;
// "Job Track" entries; the index is the career track stored in the record.
inline constexpr std::array<std::string_view, kCareerCount> kCareerNames = {
    "Business", "Entertainment", "Law Enforcement", "Life of Crime", "Medicine",
    "Military", "Politics", "Pro Athelete", "Science", "Xtreme",
    "Music", "Slacker", "Paranormal", "Journalism", "Hacker"};
inline constexpr int kMaxCareerLevel = 10;

enum StarSign : std::int32_t {
    kAries = 0, kTaurus, kGemini, kCancer, kLeo, kVirgo, kLibra, kScorpio, kSagitarius,
    kCapricorn, kAquarius, kPisces
};
inline constexpr int kSignCount = 12;
inline constexpr std::array<std::string_view, kSignCount> kSignNames = {
    "Aries", "Taurus", "Gemini", "Cancer", "Leo", "Virgo", "Libra", "Scorpio",
    "Sagitarius", "Capricorn", "Aquarius", "Pisces"};

// Sign presets, columns in the order distances are measured:
// Outgoing, Nice, Playful, Neat, Active. Each row sums to 25.
inline constexpr float kSignPresets[kSignCount][kTraitCount] = {
    {8, 3, 3, 5, 6},  {5, 4, 8, 5, 3}, {7, 3, 3, 4, 8}, {3, 6, 4, 6, 6},
    {10, 3, 4, 4, 4}, {2, 5, 3, 9, 6}, {8, 7, 6, 2, 2}, {5, 3, 3, 6, 8},
    {3, 4, 7, 2, 9},  {4, 5, 8, 7, 1}, {4, 6, 7, 4, 4}, {3, 7, 3, 5, 7}};
// The trait stored in each preset column.
inline constexpr std::array<Trait, kTraitCount> kSignPresetTraits = {kOutgoing, kNice, kPlayful,
                                                                     kNeat, kActive};

// "lgt", "med", "drk" (character files, texture names); any other tone is
// dark.
std::string_view skinToneCode(std::int32_t tone);
// "LGT", "MED", "DRK" (the web exchange file).
std::string_view skinToneExportCode(std::int32_t tone);
// "fit", "fat", "skn"; any other body type is skinny.
std::string_view bodyTypeCode(std::int32_t bodyType);

// The interest id of a list text, compared without regard to case; a text
// that is no interest name gives 0 ("Weather").
std::int32_t interestIdFromText(std::string_view text);

// True when the text is an interest name (without regard to case).
bool isInterestName(std::string_view text);

}  // namespace tryster
