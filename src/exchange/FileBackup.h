#pragma once
// Backups of the player's own game files, kept beside them before the
// program overwrites one (a replaced townie, a character saved back), so
// that a change can be undone by renaming the backup back.
//
// A backup is named after the whole file name followed by ".bak"
// ("User00001.iff.bak"); when that name is taken, ".2.bak", ".3.bak" and so
// on ("User00001.iff.2.bak"), so backups never overwrite each other. The
// game looks for its files by their ".iff" extension ("User*.iff",
// "*.iff"), which such a name does not have, so it never reads a backup.

#include "platform/StagedFile.h"

#include <optional>
#include <string>
#include <string_view>

namespace tryster::exchange {

// The `number`-th backup name of `path` (1 gives "<path>.bak").
std::string backupPath(std::string_view path, int number);

// Copies `path` to its first free backup name and puts the copy on the
// disk (platform::copyFileDurably); the backup's path, or none (nothing
// left behind) when no complete, synced copy could be written.
std::optional<std::string> keepBackup(std::string_view path);

struct CommitResult {
    enum class Status {
        Committed,
        NoBackup,  // the target could not be copied to a backup
        NotMoved   // the staged file could not be moved over the target
    };
    Status status = Status::Committed;
    std::string backupPath;  // set when committed

    bool committed() const { return status == Status::Committed; }
};

// Keeps a backup of the staged file's target, synced, then commits the
// staged file over it (platform::StagedFile::commit). On failure the target
// is as it was, and neither the staged file nor the backup remains.
CommitResult commitKeepingBackup(platform::StagedFile& staged);

}  // namespace tryster::exchange
