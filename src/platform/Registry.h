#pragma once
// The one registry value the program reads, from HKEY_LOCAL_MACHINE.
//
// Here the registry is a text file: `$TRYSTER_REGISTRY` when set, else
// `registry.ini` in `$XDG_CONFIG_HOME/tryster/` (or `~/.config/tryster/`).
// Its sections are key paths under a root, its lines `NAME=value`:
//
//   [HKEY_LOCAL_MACHINE\Software\Orvel\The Ploms]
//   PLOMS_DATA=/home/me/ploms
//
// Key paths and value names compare without regard to case, as in the
// registry. A missing file or section is a key that cannot be opened; a
// missing value opens the key but leaves the value empty.
//
// Where the file has no line for the value, the key is also looked up in
// the Wine prefix's registry (see WineRegistry.h), where the game's
// installer wrote it when the game runs under Wine; its Windows path is
// turned into the local folder. The file, where it has the value, wins.

#include <string>
#include <string_view>

namespace tryster::platform {

struct RegistryValue {
    bool keyOpened = false;
    std::string value;  // empty when missing or unreadable
    // Where the value came from a Wine prefix: the Windows path as stored
    // there, before it was turned into `value`. Empty otherwise.
    std::string windowsPath;
};

// Longest value the program takes (its buffer is 260 bytes with the zero).
inline constexpr std::size_t kMaxRegistryValue = 259;

// Reads `valueName` under HKEY_LOCAL_MACHINE\`keyPath`. A value longer than
// kMaxRegistryValue is unreadable (empty), as the program's fixed buffer
// cannot take it (for a Wine value: the Windows path as stored). A Wine
// path that names no drive of the prefix is empty too.
RegistryValue readMachineValue(std::string_view keyPath, std::string_view valueName);

// The Windows path of `localFolder` as the Wine prefix's registry gives it
// in `valueName`: set only where the value came from the prefix and names
// that very folder. Empty otherwise.
std::string windowsPathOfFolder(std::string_view keyPath, std::string_view valueName, std::string_view localFolder);

// The file that stands in for the registry.
std::string registryFilePath();

}  // namespace tryster::platform
