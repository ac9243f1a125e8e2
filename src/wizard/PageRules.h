#pragma once
// What the pages that describe the character decide: the limits of the
// name and the description, the personality points and the sign nearest
// to the sliders, the sign button's step through the presets, the career
// track, and the checks that Next runs with what each commits into the
// record. The window and the command-line tool both apply these.

#include "character/PlomData.h"
#include "wizard/InterestLists.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tryster::wizard {

inline constexpr std::size_t kMaxNameLength = 30;
inline constexpr std::size_t kMaxDescriptionLength = 1024;

// Every failed check shows its message under this caption.
inline constexpr std::string_view kWarningCaption = "Tryster Warning:";
inline constexpr std::string_view kNoNameMessage =
    "Name: A word or words by which an entity is designated and distinguished from others. Please name this "
    "Plom.";
inline constexpr std::string_view kLongNameMessage =
    "Other Ploms will have difficulty remembering such a long name. Please select a shorter name for this "
    "Plom. The name must be less than 30 characters.";
inline constexpr std::string_view kNoDescriptionMessage =
    "An account of a person's life written, composed, or produced by another is just what this Plom needs. "
    "Please provide a description for this Plom.";
inline constexpr std::string_view kLongDescriptionMessage =
    "Whoa! That is a lot of information. Please limit your description to 1,024 characters or less.";
inline constexpr std::string_view kTooManyPointsMessage =
    "No Plom is that perfect! You have allocated too many points. You are limited to 25 personality points.";
inline constexpr std::string_view kFewInterestsMessage =
    "This Plom won't be very interesting to talk to! You need to select 5 top interests for your Plom.";

// The length the description edit counts: each line break (CR LF, or a
// lone CR or LF) is two characters. The texts are the game's bytes.
std::size_t editLength(std::string_view text);

// The failed check's message, if any.
using CheckResult = std::optional<std::string_view>;

CheckResult checkName(std::string_view name);
CheckResult checkDescription(std::string_view description);

// Step 2: the name is stored before the description is checked, so a
// refused description leaves the new name in the record.
CheckResult commitNaming(PlomData& record, std::string_view name, std::string_view description);

// The five sliders' positions by trait (the order of the record's
// personality).
using TraitPositions = std::array<std::int32_t, kTraitCount>;

// 25 minus the positions' sum; below zero when the sliders ask for more.
int pointsLeft(const TraitPositions& positions);
// Step 3.
CheckResult commitPersonality(PlomData& record, const TraitPositions& positions);

// The sign button: the sign after the one nearest to the positions (Pisces
// goes back to Aries), and its preset as whole positions.
StarSign signAfter(const TraitPositions& positions);
TraitPositions presetOf(StarSign sign);

// Step 4.
CheckResult commitInterests(PlomData& record, const InterestLists& lists);

// The career list's selection as a track (-1 when nothing is selected).
std::int32_t careerTrackOf(int selectionIndex);
// Step 5 has no check.
void commitCareer(PlomData& record, int selectionIndex, int level);

}  // namespace tryster::wizard
