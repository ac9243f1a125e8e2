#pragma once
// The registry of a Wine prefix, where the game's Windows installer writes
// its key when the game runs under Wine.
//
// The machine hive is the text file `system.reg` of the prefix: sections
// `[Software\\Orvel\\The Ploms] 1700000000` (key paths relative to
// HKEY_LOCAL_MACHINE, with escaped backslashes and a time stamp), then
// values `"NAME"="text"` with backslash escapes. The prefix maps drive
// letters to folders through the links of its `dosdevices` folder
// (`dosdevices/c:` -> `../drive_c`).

#include "platform/Registry.h"

#include <string>
#include <string_view>

namespace tryster::platform {

// The prefix in use: `$WINEPREFIX`, else `~/.wine`; empty when neither
// can be named. The folder need not exist.
std::string winePrefixPath();

// Reads `valueName` under HKEY_LOCAL_MACHINE\`keyPath` from the prefix's
// `system.reg`. A key that 32-bit programs see redirected on 64-bit
// Windows (Software\Wow6432Node\...) counts as the key itself. Only string
// values are read; the value is returned as stored (a Windows path here).
// A missing file or key cannot be opened; a missing value, or one of
// another type, is empty.
RegistryValue readWineMachineValue(std::string_view prefix, std::string_view keyPath,
                                   std::string_view valueName);

// The local folder of a Windows path such as `C:\Program Files\Orvel`:
// the drive through `dosdevices/<letter>:` (for C:, `drive_c` when the
// link is missing), then each component matched on disk without regard to
// case. Empty for a path that names no drive the prefix maps.
std::string wineToLocalPath(std::string_view prefix, std::string_view windowsPath);

}  // namespace tryster::platform
