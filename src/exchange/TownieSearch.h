#pragma once
// The choices of the Replace path: the townies of a neighbourhood and the
// dates that can take a townie's place.
//
// A townie is a "User*.iff" file of the neighbourhood's characters folder
// that is an adult by its string list 200 (or has none that can be read)
// and holds at least 58000 bytes. A date is any "*.iff" file of the game's
// "TemplateNPCs" folder except the game's generic one.

#include "exchange/GameLayout.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::exchange {

inline constexpr std::string_view kTowniePattern = "User*.iff";
inline constexpr std::uint64_t kMinTownieFileSize = 58000;
inline constexpr std::string_view kDatePattern = "*.iff";
// Never offered; the comparison counts letter case, as the game's does.
inline constexpr std::string_view kGenericDateName = "GLM_Generic.iff";

// The characters folder of a chosen neighbourhood file: the folder that
// holds it followed by "Characters" and a separator. (For the game's
// "...\Neighborhood.iff" this is the file's last 16 characters replaced;
// taking the folder keeps any other name from cutting into the path.)
std::string neighborhoodCharactersFolder(std::string_view neighborhoodPath);

// Whether the file at `path` counts as a townie (opened read-only).
bool isTownie(std::string_view path);

// Names of the townie files of the folder, in the platform's listing order;
// empty when the folder has none or does not exist.
std::vector<std::string> searchTownies(std::string_view charactersFolder);

// The game's "TemplateNPCs" folder.
std::string datesFolder(std::string_view gameFolder);

// Names of the dates offered, in listing order.
std::vector<std::string> searchDates(std::string_view gameFolder);

}  // namespace tryster::exchange
