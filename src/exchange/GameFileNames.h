#pragma once
// Files of the game folder named as the game itself knows them, for text
// that leaves this computer (the web exchange file's skin list): never with
// the player's home folder in it.
//
// Where the game was found through a Wine prefix's registry, the game runs
// under Wine and knows its folder by the Windows path its installer wrote
// there ("C:\Program Files\Orvel\The Ploms"); the file is named under it
// with '\' separators. Otherwise it is named relative to the game folder
// ("GameData\Skins\b006fafit_01.cmx").

#include <string>
#include <string_view>

namespace tryster::exchange {

// Where the game's installer writes its folder.
inline constexpr std::string_view kGameRegistryKey = "Software\\Orvel\\The Ploms";
inline constexpr std::string_view kInstallFolderValue = "PLOMS_DATA";

// The Windows path of `gameFolder` where the game was found in a Wine
// prefix and `gameFolder` is that folder; empty otherwise.
std::string gameFolderAsGameKnows(std::string_view gameFolder);

// `localPath`, a file under `gameFolder`, relative to it with '\'
// separators, under `knownFolder` when that is not empty. A path outside
// the game folder gives its file name alone.
std::string gameKnownPath(std::string_view localPath, std::string_view gameFolder, std::string_view knownFolder);

}  // namespace tryster::exchange
