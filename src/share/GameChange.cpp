#include "share/GameChange.h"

#include "exchange/FileBackup.h"
#include "platform/Clock.h"
#include "platform/GameText.h"
#include "formats/Sha256.h"
#include "share/FileDigest.h"
#include "share/GameWrites.h"
#include "share/Journal.h"
#include "share/PackPath.h"
#include "share/Recovery.h"
#include "share/ShareOffer.h"
#include "share/ShownText.h"

#include <algorithm>

namespace tryster::share {
namespace {

// Backup names tried per file before giving up ("<file>.bak",
// "<file>.2.bak", ...).
constexpr int kMaxBackupNumber = 9999;

// What one file of the change found and will do, worked out before the
// journal is written.
struct Planned {
    GameChange::File file;
    ChangedFile record;
    std::optional<std::vector<std::uint8_t>> existing;  // the bytes it replaces or takes away
};

// The writers' messages are in the game's text; a sentence of this module
// is UTF-8, and a name in it the code page lacks is shown escaped.
std::string inGameText(std::string_view sentence) {
    const std::string shown = asSentence(sentence);
    if (std::optional<std::string> game = platform::toGameText(shown, true).text) return *game;
    std::string ascii;
    for (char c : platform::escapedUtf8(shown)) ascii += static_cast<unsigned char>(c) < 0x80 ? c : '?';
    return ascii;
}

}  // namespace

FolderHold holdGameFolder(std::string_view gameFolder) {
    FolderHold hold;
    auto& files = platform::fileSystem();
    if (!files.isDirectory(gameFolder)) {
        hold.problem = quotedName(gameFolder) + " is not a folder";
        return hold;
    }
    hold.lock = files.lockFolder(gameFolder, kFolderWaitMs);
    if (!hold.lock)
        hold.problem = "another copy of Tryster is changing " + std::string(gameFolder) +
                       " (or the folder cannot be held); try again when it has finished";
    return hold;
}

GameChange::GameChange(std::string gameFolder, ChangeKind kind)
    : folder_(std::move(gameFolder)), recorded_(!folder_.empty()) {
    entry_.kind = kind;
    if (!recorded_) return;
    hold_ = holdGameFolder(folder_);
    if (!hold_.lock) {
        problem_ = hold_.problem;
        return;
    }
    // The window and the command line finish an interrupted run, and tell
    // the player, before they begin a change; what is left now came from a
    // run killed in between, and is only finished.
    RecoveryOutcome recovery = recoverHeld(folder_);
    if (!recovery.clean) {
        problem_ = recovery.damagedJournal ? damagedJournalMeaning(recovery)
                                           : "an interrupted change in " + folder_ + " could not be finished";
        return;
    }
    HistoryReading reading = loadHistory(folder_);
    if (!reading.history) {
        problem_ = reading.problem;
        return;
    }
    history_ = std::move(*reading.history);
}

std::string GameChange::problem() const { return inGameText(problem_); }

GameChange::~GameChange() {
    if (staging_) (void)removeJournal(folder_);  // a journal left is cleared by the next run
}

void GameChange::describeInstall(std::string name, std::string date, std::string pack) {
    entry_.name = std::move(name);
    entry_.date = std::move(date);
    entry_.pack = std::move(pack);
}

void GameChange::describe(std::string_view characterName) { entry_.name = platform::fromGameText(characterName); }

// A change with a file outside the game folder is not recorded at all: an
// entry must name every file it touched.
bool GameChange::recordable(std::span<const std::string> targets) {
    if (recorded_)
        for (const std::string& t : targets)
            if (!gamePathOf(folder_, t)) recorded_ = false;
    return recorded_;
}

bool GameChange::begin(std::span<const std::string> targets) {
    if (!ready()) return false;
    if (!recordable(targets)) return true;
    Journal journal;
    journal.operation = Journal::Operation::Stage;
    journal.entry.kind = entry_.kind;
    journal.entry.name = entry_.name;
    for (const std::string& t : targets) journal.entry.files.push_back({*gamePathOf(folder_, t), FileRole::Added, {}, {}, {}});
    if (!writeJournal(folder_, journal)) {
        problem_ = "nothing could be written in " + folder_ + " (is the disk full, or is it read-only?)";
        return false;
    }
    staging_ = true;
    return true;
}

ChangeOutcome GameChange::fail(std::string problem) {
    // What was built is not wanted; nothing else has changed yet.
    if (staging_ && removeJournal(folder_)) staging_ = false;
    ChangeOutcome out;
    out.problem = std::move(problem);
    return out;
}

ChangeOutcome GameChange::commit(std::vector<File> files) {
    // Refused before anything changed: what was built goes first, then the
    // journal that names it.
    const auto refuse = [&](std::string problem) {
        for (File& f : files)
            if (f.built) f.built->discard();
        return fail(std::move(problem));
    };
    if (!ready()) return refuse(problem_);
    if (files.empty()) return fail("nothing was made to put in place");
    std::vector<std::string> targets;
    for (const File& f : files) targets.push_back(f.target);
    const bool recorded = recordable(targets);
    const auto gamePath = [&](const std::string& local) { return recorded ? *gamePathOf(folder_, local) : local; };
    auto& disk = platform::fileSystem();

    // 1. What each file finds there, and the backup it will keep.
    std::vector<Planned> planned;
    std::vector<std::string> backupsTaken;
    for (File& f : files) {
        Planned p{f, {}, std::nullopt};
        p.record.path = gamePath(f.target);
        if (disk.exists(f.target)) p.existing = platform::readWholeFile(f.target);
        if (disk.exists(f.target) && !p.existing) return refuse(p.record.path + " is in the game folder but cannot be read");
        const std::string existingSha = p.existing ? formats::sha256Hex(*p.existing) : std::string();
        if (f.found && *f.found != existingSha)
            return refuse(p.record.path + " changed while the change was being prepared");
        if (f.built && f.sha256.empty()) {
            const std::optional<std::string> digest = fileDigest(f.built->path());
            if (!digest) return refuse("could not read back what was written for " + p.record.path);
            f.sha256 = *digest;
        }
        p.file = f;
        p.record.sha256 = f.sha256;
        if (!f.built && !f.remove) {
            p.record.role = FileRole::Shared;
        } else if (!p.existing) {
            if (f.remove) continue;  // nothing there to take away
            p.record.role = FileRole::Added;
        } else {
            p.record.role = f.remove ? FileRole::Removed : FileRole::Replaced;
            if (f.remove) p.record.sha256.clear();
            p.record.replacedSha256 = existingSha;
            for (int n = 1; n <= kMaxBackupNumber && p.record.backup.empty(); ++n) {
                const std::string candidate = exchange::backupPath(p.record.path, n);
                const std::string local = recorded ? localPath(folder_, candidate) : candidate;
                const bool taken = std::find(backupsTaken.begin(), backupsTaken.end(), caseKey(candidate)) !=
                                   backupsTaken.end();
                if (!taken && !disk.exists(local) && !history_.keepsBackup(candidate)) p.record.backup = candidate;
            }
            if (p.record.backup.empty()) return refuse("no backup name is free for " + p.record.path);
            backupsTaken.push_back(caseKey(p.record.backup));
        }
        planned.push_back(std::move(p));
    }
    HistoryEntry entry = entry_;
    for (const Planned& p : planned) entry.files.push_back(p.record);
    const std::string root = recorded ? folder_ : std::string();
    const auto local = [&](const std::string& path) { return recorded ? localPath(folder_, path) : path; };

    // 2. The journal names all of it before the game changes.
    if (recorded) {
        entry.id = history_.nextId;
        entry.time = platform::utcTimeText(platform::calendarSeconds());
        Journal journal;
        journal.entry = entry;
        if (!writeJournal(folder_, journal))
            return refuse("nothing could be written in " + folder_ + " (is the disk full, or is it read-only?)");
        staging_ = false;
    }
    ChangeOutcome out;
    out.entry = entry;
    const auto undo = [&](std::string problem) {
        std::vector<std::string> messages;
        if (rollBackChange(root, entry, messages) && (!recorded || removeJournal(folder_))) {
            out.problem = problem + "; nothing was changed";
        } else {
            out.leftForRecovery = true;
            out.problem = problem + "; what was done could not all be undone now, and will be on the next run";
        }
        out.backups.clear();
        return out;
    };

    // 3. Backups: a copy of each file replaced, synced; each file taken
    // away moved to its own.
    for (const Planned& p : planned) {
        if (p.record.backup.empty()) continue;
        const bool kept = p.file.remove ? moveOver(local(p.record.path), local(p.record.backup))
                                        : writeNewFile(local(p.record.backup), *p.existing);
        if (!kept) return undo("could not keep a backup of " + p.record.path + " (is the disk full?)");
        out.backups.push_back(local(p.record.backup));
    }
    // 4. The built files, synced together, then moved into place.
    std::vector<platform::StagedFile> built;
    for (File& f : files)
        if (f.built) built.push_back(std::move(*f.built));
    if (!platform::commitTogether(built)) return undo("could not move the new files into place");
    // 5. The record.
    if (recorded) {
        History after = history_;
        after.entries.push_back(entry);
        after.nextId = entry.id + 1;
        if (!saveHistory(folder_, after)) return undo("could not write the history of changes (is the disk full?)");
        history_ = std::move(after);
        (void)removeJournal(folder_);  // the history has the entry: a journal left is only removed next run
        out.id = recordedId_ = entry.id;
    }
    out.done = true;
    return out;
}

exchange::Placement GameChange::place(std::span<platform::StagedFile> built, std::span<const std::string> removed) {
    std::vector<File> files;
    for (platform::StagedFile& f : built) files.push_back({f.target(), &f, false, {}, std::nullopt});
    for (const std::string& r : removed) files.push_back({r, nullptr, true, {}, std::nullopt});
    const ChangeOutcome outcome = commit(std::move(files));
    exchange::Placement placement;
    placement.placed = outcome.done;
    placement.problem = outcome.done ? std::string() : inGameText(outcome.problem);
    placement.backups = outcome.backups;
    if (outcome.id) placement.closingNote = std::string(kUndoableNote);
    return placement;
}

}  // namespace tryster::share
