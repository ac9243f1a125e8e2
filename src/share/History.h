#pragma once
// The game folder's history: one record of every change this program makes
// there, kept in the game folder itself ("TrysterLedger.json", the record
// of installed dates it grew out of) so that any copy of the program can
// list each change and undo it. One owner keeps it: a change goes through
// GameChange, an undo through Undo, a forget through Forget, each holding
// the game folder (platform::FolderLock) and reading the history afresh.
//
// Each entry is one change: its kind, its time (UTC), the character's name
// and, for an install, the date's file name and the archive's; and every
// file it touched, with what it did there:
// - "added": the file was not there; the change wrote it (`sha256`);
// - "replaced": the change wrote it over another file, whose copy it kept
//   in `backup` ("<file>.bak", or "<file>.2.bak" and so on when that name
//   was taken), the copy's digest `replacedSha256`;
// - "shared" (installs): another installed date had put the same bytes
//   there; this one relies on them staying;
// - "removed": the change took the file away. A change keeps it in
//   `backup`; an undo removes bytes a change wrote (`sha256`) and, where
//   the player's later version was found there, keeps that in `backup`;
// - "restored" (undos): put back from its backup (`sha256`), with what was
//   found there kept in `backup` where the player chose so.
// An undo is an entry of its own ("undone", naming the change in
// `undoes`); the change it took back names it in `undoneBy`. A forgotten
// change stays listed, marked so, its backups deleted.
//
// Version 1 (installs alone, under "installs") is read as installs of an
// unknown time; the first change writes version 2, which a version-1
// program refuses as newer rather than misreading.
//
// The file lies in a folder anyone may change, and undoing removes and
// restores the files it names: it is refused, with a plain reason and
// nothing done, when it is not JSON of this form, names a path outside the
// game folder or a kind of file its change does not write, a backup not
// named after its file, or a digest that is not 64 hexadecimal digits.

#include "formats/Json.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

inline constexpr std::string_view kHistoryFileName = "TrysterLedger.json";
inline constexpr std::string_view kHistoryFormat = "tryster-ledger";
inline constexpr std::int64_t kHistoryVersion = 2;

enum class ChangeKind { NewDate, TownieReplaced, Restyled, Installed, Undone };
enum class FileRole { Added, Replaced, Shared, Removed, Restored };

// The names the file keeps them by ("townie-replaced", "added").
std::string_view kindName(ChangeKind kind);
std::optional<ChangeKind> kindNamed(std::string_view name);
std::string_view roleName(FileRole role);

struct ChangedFile {
    std::string path;  // game path
    FileRole role = FileRole::Added;
    std::string sha256;          // the bytes written, relied on, removed or restored
    std::string backup;          // game path of the copy kept, where one was
    std::string replacedSha256;  // the copy's digest
};

struct HistoryEntry {
    std::int64_t id = 0;  // from 1, never reused
    ChangeKind kind = ChangeKind::NewDate;
    std::string time;  // platform::utcTimeText; empty for an install of version 1
    std::string name;  // the character's, UTF-8
    std::string date;  // installs: the date's file name without ".iff" ("Rosa")
    std::string pack;  // installs: the archive's file name
    std::int64_t undoes = 0;    // an undo: the change it took back
    std::int64_t undoneBy = 0;  // a change taken back: the undo
    bool forgotten = false;
    std::vector<ChangedFile> files;

    // Not an undo, not undone, not forgotten.
    bool undoable() const { return kind != ChangeKind::Undone && undoneBy == 0 && !forgotten; }
    const ChangedFile* find(std::string_view path) const;
    ChangedFile* find(std::string_view path);
};

struct History {
    std::int64_t nextId = 1;
    std::vector<HistoryEntry> entries;  // oldest first

    const HistoryEntry* entry(std::int64_t id) const;
    HistoryEntry* entry(std::int64_t id);
    // Whether an entry still keeps `backup` (a game path): not forgotten,
    // and not undone (its backups went back, or to the change that took
    // its files over).
    bool keepsBackup(std::string_view backup) const;
};

// The install not taken back of the date with this file name ("Rosa" or
// "Rosa.iff", letter case aside); null when none.
const HistoryEntry* installedDate(const History& history, std::string_view date);
// An install not taken back, by its date's file name or, where no date has that file name, by
// the character's name when one installed date alone has it; `problem`
// says why none is.
struct InstalledDate {
    const HistoryEntry* entry = nullptr;
    std::string problem;
};
InstalledDate findInstalledDate(const History& history, std::string_view name);
// Why an uninstall names no date.
inline constexpr std::string_view kNoDateNamed =
    "no date was named: give the installed date's file name (Rosa or Rosa.iff) or its character's name";

std::string encodeHistory(const History& history);

struct HistoryReading {
    std::optional<History> history;
    std::string problem;  // why it is refused
};
HistoryReading decodeHistory(std::string_view text);

// One entry on its own, as a journal keeps it.
formats::JsonValue entryToJson(const HistoryEntry& entry);
std::optional<HistoryEntry> entryFromJson(const formats::JsonValue& value, std::string& problem);

// Whether a change of `kind` may write the file at game path `path`: a
// path inside the game folder with an extension such a change writes (an
// install: only where a pack's files go).
bool isPathOfKind(ChangeKind kind, std::string_view path);

// Whether `backup` is a backup name of `path` ("<path>.bak" or
// "<path>.<n>.bak", n from 2).
bool isBackupName(std::string_view backup, std::string_view path);

// The history's local path in a game folder.
std::string historyPath(std::string_view gameFolder);
// A game path's local path.
std::string localPath(std::string_view gameFolder, std::string_view gamePath);
// The game path of a local path inside `gameFolder` ('\' separators); none
// when it lies outside it.
std::optional<std::string> gamePathOf(std::string_view gameFolder, std::string_view local);

// The history of a game folder: empty when it has none yet; refused (with a
// problem) when it cannot be read or is damaged.
HistoryReading loadHistory(std::string_view gameFolder);
// Through a staged file. False when that fails.
[[nodiscard]] bool saveHistory(std::string_view gameFolder, const History& history);

}  // namespace tryster::share
