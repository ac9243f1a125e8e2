#pragma once
// The web exchange file: a profile file with the one section "Tryster",
// meant for uploading to the game's date exchange. Values are text,
// numbers in decimal.

#include "character/PlomData.h"
#include "exchange/GameLayout.h"
#include "exchange/SkinFileList.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tryster::exchange {

inline constexpr std::string_view kWebExchangeSection = "Tryster";

// "Sign", "CareerPath", "CareerLevel", "Gender", "Name", "Description",
// "SkinColor", the five traits and the fifteen interest levels of the
// record, in that order, in one pass over the file (so a description of
// several lines is never read back as keys). False when the file could not
// be written.
bool writeWebExchangeKeys(std::string_view path, const PlomData& record);

// "SkinFileCount" and "SkinFile1", "SkinFile2", ... with the list's paths
// named as the game knows them (GameFileNames.h): relative to `gameFolder`,
// under `knownFolder` when it is not empty.
bool writeSkinFileKeys(std::string_view path, const SkinFileList& list, std::string_view gameFolder,
                       std::string_view knownFolder);

using WebExchangeKeys = std::vector<std::pair<std::string, std::string>>;

// The keys of the "Tryster" section in file order. A line without '=' (and
// not a section line) continues the value before it, so a description of
// several lines reads back whole. None when the file cannot be read.
std::optional<WebExchangeKeys> readWebExchangeKeys(std::string_view path);
// The same over the file's bytes.
WebExchangeKeys parseWebExchangeKeys(std::string_view text);

}  // namespace tryster::exchange
