#pragma once
// Where the game keeps the files the program reads and writes, as game
// paths relative to its install folder, and how a date's files are named
// beside it. Everything that names these places takes them from here.

#include <string_view>

namespace tryster::exchange {

// The game's template characters: the dates, their web exchange files and
// snapshots.
inline constexpr std::string_view kDatesFolder = "TemplateNPCs";
// The characters' skins: character files, meshes and textures.
inline constexpr std::string_view kSkinsFolder = "GameData\\Skins";

// A date's files share its base name: "Bob.iff", "Bob.srf", "Bobhead.jpg"
// and "Bobbody.jpg".
inline constexpr std::string_view kDateExtension = ".iff";
inline constexpr std::string_view kWebExchangeExtension = ".srf";
inline constexpr std::string_view kHeadSnapshotSuffix = "head.jpg";
inline constexpr std::string_view kBodySnapshotSuffix = "body.jpg";

}  // namespace tryster::exchange
