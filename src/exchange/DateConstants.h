#pragma once
// What a date character's constants 4096 hold, value by value:
//   0      career track (the "Job Track" selection; -1 stored as 65535)
//   1      career level
//   2..6   Outgoing, Neat, Active, Playful, Nice, each × 100
//   7..21  interest levels × 100, in `kConstantInterests` order
// Values from 22 on belong to the game and are left alone.

#include "character/PlomData.h"
#include "exchange/cTreeConstants.h"

#include <array>
#include <cstdint>

namespace tryster::exchange {

inline constexpr std::int16_t kDateConstantsId = 4096;
inline constexpr int kDateConstantCount = 22;
inline constexpr int kFirstTraitConstant = 2;
inline constexpr int kFirstInterestConstant = 7;

inline constexpr std::array<Trait, kTraitCount> kConstantTraits = {kOutgoing, kNeat, kActive, kPlayful, kNice};
inline constexpr std::array<InterestId, kInterestCount> kConstantInterests = {
    kTravel, kMoney, kPolitics, kSixties, kWeather, kSports, kMusic, kOutdoors,
    kExercise, kFood, kParties, kStyle, kHollywood, kTechnology, kRomance};

// The 22 values the record gives, in value order.
std::array<std::uint16_t, kDateConstantCount> dateConstantValues(const PlomData& record);

// Sets values 0 to 21; false (nothing changed) when there are fewer
// entries than that.
bool setDateConstants(cTreeConstants& constants, const PlomData& record);

// The 22 values read back.
struct DateConstants {
    std::int32_t careerTrack = 0;  // 65535 reads as -1
    std::int32_t careerLevel = 0;
    std::array<std::int32_t, kTraitCount> personality{};        // by trait number, value / 100
    std::array<std::int32_t, kInterestCount> interestLevels{};  // by interest id, value / 100
};

// False when there are fewer than 22 entries.
bool readDateConstants(const cTreeConstants& constants, DateConstants& out);

}  // namespace tryster::exchange
