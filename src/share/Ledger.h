#pragma once
// The game folder's record of the shared dates installed into it, kept in
// the game folder itself ("TrysterLedger.json") so that an uninstall knows
// exactly what an install did, whichever copy of the program runs it.
//
// One record per installed date, in the order they were installed. Each
// lists the files the install put in place or relies on:
// - "added": the file was not there; the install wrote it;
// - "replaced": the install wrote it over another file, whose copy it kept
//   in `backup` ("<file>.bak", or "<file>.2.bak" and so on when that name
//   was taken);
// - "shared": another installed date had put the same bytes there; this one
//   relies on them staying.
// `sha256` is the digest of the bytes this date wrote or relies on, so an
// uninstall can tell a file the player changed since.
//
// Paths are game paths ('\' separators, relative to the game folder), and
// a ledger is refused when one is not a path a pack may write, or a backup
// is not named after its file: the ledger lives in a folder anyone may
// change, and an uninstall removes the files it names.

#include "formats/Json.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

inline constexpr std::string_view kLedgerFileName = "TrysterLedger.json";
inline constexpr std::string_view kLedgerFormat = "tryster-ledger";
inline constexpr std::int64_t kLedgerVersion = 1;

enum class LedgerRole { Added, Replaced, Shared };

struct LedgerFile {
    std::string path;
    LedgerRole role = LedgerRole::Added;
    std::string sha256;
    std::string backup;          // "replaced" only
    std::string replacedSha256;  // "replaced" only: the digest of the backup
};

struct LedgerRecord {
    std::string date;  // the date's file name without ".iff" ("Rosa")
    std::string name;  // the character's name, UTF-8
    std::string pack;  // the archive's file name, for the player's eyes
    std::vector<LedgerFile> files;

    const LedgerFile* find(std::string_view path) const;
};

struct Ledger {
    std::vector<LedgerRecord> records;

    // The record of a date by its file name ("Rosa" or "Rosa.iff", letter
    // case aside); null when none.
    const LedgerRecord* find(std::string_view date) const;
};

std::string encodeLedger(const Ledger& ledger);

struct LedgerReading {
    std::optional<Ledger> ledger;
    std::string problem;
};
LedgerReading decodeLedger(std::string_view text);

// A record on its own, as the journal of an install keeps it.
formats::JsonValue recordToJson(const LedgerRecord& record);
std::optional<LedgerRecord> recordFromJson(const formats::JsonValue& value, std::string& problem);

// Whether `backup` is a backup name of `path` ("<path>.bak" or
// "<path>.<n>.bak", n from 2).
bool isBackupName(std::string_view backup, std::string_view path);

// The ledger's local path in a game folder.
std::string ledgerPath(std::string_view gameFolder);
// A game path's local path.
std::string localPath(std::string_view gameFolder, std::string_view gamePath);

// The ledger of a game folder: empty when it has none yet; refused (with a
// problem) when it cannot be read or is damaged, so nothing is done on a
// record that cannot be trusted.
LedgerReading loadLedger(std::string_view gameFolder);
// Writes the ledger through a staged file, or removes it when it holds no
// record (so a game folder ends as it began). False when that fails.
[[nodiscard]] bool saveLedger(std::string_view gameFolder, const Ledger& ledger);

}  // namespace tryster::share
