#pragma once
// The appearance strings of a character file: string list 200, whose
// strings 2 and 3 name the body and head (mesh, separator, texture), 15 the
// skin tone, 16, 17 and 28 the body outfits and 18 to 23 the hands. The
// outfit strings keep their names but take the tone code (and, for adults,
// the body-type code) at the places the game's names carry them.

#include "character/Character.h"
#include "resfile/IFFResFile2.h"
#include "resfile/ResError.h"
#include "resfile/ResTypes.h"

#include <string>
#include <string_view>

namespace tryster::exchange {

inline constexpr std::uint16_t kAppearanceListId = 200;
inline constexpr resfile::ResType kTypePicture = resfile::makeType("BMP_");
// At most this many pictures are removed; further ones stay.
inline constexpr int kMaxPicturesRemoved = 1023;

// "med" for selection 1, "drk" for 2, "lgt" for anything else (no
// selection included).
std::string_view appearanceToneCode(std::int32_t skinToneSelection);

// A body outfit string with the codes put in: the tone at characters 5-7
// of the texture part, and for adults the body type at characters 2-4 of
// both parts. The texture part starts six characters after the first comma
// (after ",BODY="). A string without a comma, or a part too short for a
// code, is left as it is at that place.
std::string bodyOutfitString(std::string_view text, std::string_view tone, std::string_view bodyType, bool isAdult);
// A hand string with the tone at characters 4-6 of the texture part
// (after ",HAND=").
std::string handOutfitString(std::string_view text, std::string_view tone);

// Opens the character file at `path`, rewrites its appearance strings from
// the look of `character` (its names and age, its record's body type and
// skin tone) when it has string list 200 (without one no string is
// written), removes its 'BMP_' pictures and closes it. 0, or the first
// error of opening, saving, removing or closing.
[[nodiscard]] resfile::ResError writeAppearanceStrings(std::string_view path, const Character& character);
// The same on a character file open for writing, which stays open: 0, or the
// first error of saving or removing.
[[nodiscard]] resfile::ResError writeAppearanceStrings(resfile::IFFResFile2& file, const Character& character);
// The same for a new date, which also says its own age and gender: string 1
// "Adult" or "Child" from the appearance's age, string 13 "Male" or
// "Female" from the record's gender, each in the letter case of the
// template's text there. (A save back leaves both as the file has them.)
[[nodiscard]] resfile::ResError writeNewDateStrings(resfile::IFFResFile2& file, const Character& character);

// `word` in the letter case of `model`: all capitals or all small letters
// when `model`'s letters are, else a capital and small letters (also for a
// model without letters).
std::string inLetterCaseOf(std::string_view word, std::string_view model);

}  // namespace tryster::exchange
