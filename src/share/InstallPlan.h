#pragma once
// What installing a shared date would do to a game folder, decided before
// anything is written: for every file of the pack, whether it is written,
// skipped or in conflict, and whether the date needs a fresh identifier.
// The player sees this (the command line prints it, the window lists it),
// chooses for each conflict, and the install then carries it out.
//
// The rules:
// - a file that is not there is written;
// - a skin with the same name and the same bytes is skipped; when another
//   installed date put it there, this one is recorded as sharing it;
// - a skin with the same name and other bytes is a conflict: the player's
//   file is kept unless the player chose to replace it (a backup is kept);
// - the date's own files (the date, its web exchange file, its snapshots)
//   never replace anything: a date of the same name must go first;
// - a date whose object identifier a date of "TemplateNPCs" already holds
//   gets a fresh one, and the player is told.

#include "share/DateIdentity.h"
#include "share/History.h"
#include "share/SharedDate.h"

#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

enum class FileAction {
    Write,    // not there: written
    Replace,  // a conflict the player resolved by replacing: backup kept, then written
    Keep,     // a conflict the player resolved by keeping theirs: not written
    Skip,     // the same bytes are there: not written
    Share     // the same bytes are there, put by another installed date: not written, recorded
};

struct PlannedFile {
    std::string path;  // game path
    PackFileKind kind = PackFileKind::Date;
    FileAction action = FileAction::Write;
    std::string sha256;          // of the bytes the pack gives (the date's after a fresh identifier)
    std::string existingSha256;  // of the file there now; empty when there is none
    std::string owner;           // the installed date whose file is there now, if one is
    std::string backup;          // Replace: the game path the backup goes to
};

struct InstallOptions {
    // Every conflict is resolved by replacing the player's file.
    bool replaceSkins = false;
    // These conflicts (game paths) are; the others keep the player's file.
    std::vector<std::string> replacePaths;

    bool replaces(std::string_view path) const;
};

struct InstallPlan {
    std::string gameFolder;
    std::string dateName;  // the date's file name without ".iff"
    std::vector<PlannedFile> files;  // skins first, the date last
    std::vector<IdentifierChange> identifierChanges;
    std::vector<std::uint8_t> dateBytes;  // the date as it will be written
    // Skins the date's look names that neither the pack nor the game has
    // (".cmx" meshes and ".bmp" textures): it would wear nothing there.
    std::vector<std::string> missingSkins;
    // Set when the date cannot be installed at all: the plan is not to be
    // carried out. A sentence without a closing full stop.
    std::string problem;
    History history;  // as read before planning

    bool ok() const { return problem.empty(); }
    // The files in conflict (Replace or Keep).
    std::vector<const PlannedFile*> conflicts() const;
};

// Why `gameFolder` is not a game folder a date can be installed into (it
// lacks TemplateNPCs or GameData\Skins); empty when it is one.
std::string gameFolderProblem(std::string_view gameFolder);

// Reads the game folder (the files the pack would touch, the history, the
// identifiers of its dates) and decides; writes nothing.
InstallPlan planInstall(const SharedDate& shared, std::string_view gameFolder, const InstallOptions& options);

}  // namespace tryster::share
