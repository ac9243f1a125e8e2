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

// Whether the game's platform keeps `fileName` (a name without folder) for
// a device: CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9, in any
// letter case, alone or before an extension ("nul.iff", "Com1.bmp"). No
// file of such a name can be opened there, by the game or under Wine.
bool isDeviceName(std::string_view fileName);
// Why a file cannot have that name, for a message: "CON is the name of a
// device on the game's platform (...), whatever the extension".
std::string deviceNameProblem(std::string_view fileName);

}  // namespace tryster::exchange
