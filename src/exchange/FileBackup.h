#pragma once
// The names of the backups of the player's own game files, kept beside
// them before the program overwrites or takes one away (see
// share/GameChange.h), so that the change can be undone by moving the
// backup back.
//
// A backup is named after the whole file name followed by ".bak"
// ("User00001.iff.bak"); when that name is taken, ".2.bak", ".3.bak" and so
// on ("User00001.iff.2.bak"), so backups never overwrite each other. The
// game looks for its files by their ".iff" extension ("User*.iff",
// "*.iff"), which such a name does not have, so it never reads a backup.
// Backups made by earlier versions carry the same names.

#include <string>
#include <string_view>

namespace tryster::exchange {

// The `number`-th backup name of `path` (1 gives "<path>.bak").
std::string backupPath(std::string_view path, int number);

}  // namespace tryster::exchange
