// tryster-cli date pack / install / uninstall: sharing dates as one file.
//
//   date pack DATE.iff --game DIR --out FILE.zip
//   date install FILE --game DIR [--dry-run] [--json] [--replace-skins] [--set-aside-journal]
//   date uninstall NAME --game DIR [--dry-run] [--json] [--set-aside-journal]
//
// "pack" writes the date, its web export file and snapshots, the skins its
// look wears and a manifest into one zip file. "install" reads a pack (zip,
// 7z, tar, rar) as untrusted data, checks every file, prints what it would
// write and every conflict, and unless --dry-run installs it all or
// nothing; a skin that differs from the game's is kept as the game has it
// unless --replace-skins. "uninstall" takes back what an install did, as
// the game folder's ledger records it. Install and uninstall first finish
// what an interrupted run left.

#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/TextOutput.h"
#include "platform/FileSystem.h"
#include "share/InstallReview.h"
#include "share/Installer.h"
#include "share/Journal.h"
#include "share/PackBuilder.h"
#include "share/Recovery.h"
#include "share/ShownText.h"
#include "share/Uninstall.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

namespace tryster::cli {
namespace {

using nlohmann::ordered_json;

struct PackOptions {
    std::string date;
    std::string game;
    std::string out;
};

struct InstallCommandOptions {
    std::string file;
    std::string game;
    bool dryRun = false;
    bool json = false;
    bool replaceSkins = false;
    bool setAsideJournal = false;
};

struct UninstallOptions {
    std::string name;
    std::string game;
    bool dryRun = false;
    bool json = false;
    bool setAsideJournal = false;
};

// Fails the command with `message`; with --json, `document` is printed first
// with the error in it, so it is the run's one document.
[[noreturn]] void failWith(ordered_json document, const std::string& message, bool json) {
    CommandError error(message);
    if (json) {
        document["error"] = error.json();
        printJson(document);
        error.inOutput = true;
    }
    throw error;
}

// Checked before anything else is done or printed.
void requireGameFolder(const std::string& game) {
    if (!platform::fileSystem().isDirectory(game)) throw CommandError(fmt::format("{}: no such game folder", game));
}

void requireInstallFolder(const std::string& game) {
    if (std::string problem = share::gameFolderProblem(game); !problem.empty()) throw CommandError(problem);
}

// Finishes what an interrupted run left. A journal that cannot be read
// stops here unless the player asked to set it aside, having seen what it
// names.
void finishInterrupted(const std::string& game, bool setAside, bool json) {
    share::RecoveryOutcome recovery = share::recoverInterrupted(game);
    if (recovery.damagedJournal) {
        const std::string meaning = share::damagedJournalMeaning(recovery);
        if (!setAside) {
            ordered_json document;
            document["journal"] = {{"file", share::journalPath(game)}, {"names", recovery.journalListing}};
            failWith(document,
                     meaning + ". Look at those files; then run again with --set-aside-journal, which keeps the "
                               "journal under another name and goes on",
                     json);
        }
        fmt::print(stderr, "tryster-cli: {}.\n", meaning);
        const std::optional<std::string> aside = share::setJournalAside(game);
        if (!aside) throw CommandError(fmt::format("{}: the damaged journal could not be set aside", game));
        fmt::print(stderr, "tryster-cli: the damaged journal is kept as {}\n", platform::joinPath(game, *aside));
        recovery = share::recoverInterrupted(game);
    }
    for (const std::string& message : recovery.messages) fmt::print(stderr, "tryster-cli: {}\n", message);
    if (!recovery.clean)
        throw CommandError(fmt::format("{}: an interrupted install or uninstall could not be finished", game));
}

// ---- pack

// A bare name is looked up among the game's dates.
std::string datePathOf(const PackOptions& o) {
    auto& files = platform::fileSystem();
    if (files.exists(o.date) || !platform::folderPart(o.date).empty()) return o.date;
    const std::string inDates = platform::joinPath(platform::joinPath(o.game, share::kDatesFolder), o.date);
    if (files.exists(inDates)) return inDates;
    if (files.exists(inDates + ".iff")) return inDates + ".iff";
    return o.date;
}

void runPack(const PackOptions& o) {
    requireGameFolder(o.game);
    share::PackOutcome outcome = share::packDate({datePathOf(o), o.game, o.out, {}});
    if (!outcome.written) throw CommandError(outcome.problem);
    for (const std::string& f : outcome.files) fmt::print("{}\n", f);
    fmt::print(stderr, "tryster-cli: wrote {} ({} files)\n", o.out, outcome.files.size());
}

// ---- install

std::string_view actionName(share::FileAction action) {
    switch (action) {
    case share::FileAction::Write: return "write";
    case share::FileAction::Replace: return "replace";
    case share::FileAction::Keep: return "keep";
    case share::FileAction::Skip: return "skip";
    case share::FileAction::Share: return "share";
    }
    return "write";
}

std::string hex(std::uint32_t v) { return fmt::format("0x{:08X}", v); }

ordered_json dateJson(const share::SharedDate& shared) {
    ordered_json date = {{"file", shared.pack.date().path.path},
                         {"name", share::sharedDateName(shared)},
                         {"age", share::sharedDateAge(shared)},
                         {"gender", share::sharedDateGender(shared)},
                         {"description", share::sharedDateDescription(shared)}};
    const share::PackManifest& m = shared.pack.manifest;
    date["manifest"] = {{"name", m.name}, {"gender", m.gender}, {"description", m.description}};
    date["manifestDiffers"] = share::claimNotices(shared);
    return date;
}

ordered_json planJson(const share::SharedDate& shared, const share::InstallPlan& plan) {
    ordered_json out;
    out["pack"] = shared.archivePath;
    out["date"] = dateJson(shared);
    out["ignored"] = shared.pack.ignored;
    ordered_json files = ordered_json::array();
    ordered_json conflicts = ordered_json::array();
    for (const share::PlannedFile& f : plan.files) {
        ordered_json entry = {{"path", f.path}, {"action", actionName(f.action)}};
        if (!f.owner.empty()) entry["installedWith"] = f.owner;
        if (!f.backup.empty()) entry["backup"] = f.backup;
        files.push_back(entry);
        if (f.action == share::FileAction::Replace || f.action == share::FileAction::Keep)
            conflicts.push_back({{"path", f.path}, {"resolution", actionName(f.action)}});
    }
    out["files"] = files;
    out["conflicts"] = conflicts;
    ordered_json changes = ordered_json::array();
    for (const share::IdentifierChange& c : plan.identifierChanges)
        changes.push_back({{"from", hex(c.from)}, {"to", hex(c.to)}, {"takenBy", c.takenBy}});
    out["identifierChanges"] = changes;
    out["missingSkins"] = plan.missingSkins;
    return out;
}

// What the review shows, as lines: the date as it is, what the pack claims
// otherwise, what was left out, then the plan.
void printPlan(const share::SharedDate& shared, const share::InstallPlan& plan) {
    fmt::print("{} ({}, {}), {}\n", printable(share::sharedDateName(shared)), share::sharedDateGender(shared),
               share::sharedDateAge(shared), shared.pack.date().path.path);
    const std::string description = share::sharedDateDescription(shared);
    if (!description.empty()) fmt::print("  {}\n", share::shownText(description, share::kShownNameLength));
    for (const std::string& notice : share::claimNotices(shared)) fmt::print("Note: {}\n", notice);
    if (std::string ignored = share::ignoredNotice(shared); !ignored.empty()) fmt::print("Note: {}\n", ignored);
    for (const share::PlannedFile& f : plan.files) {
        std::string note;
        switch (f.action) {
        case share::FileAction::Write: break;
        case share::FileAction::Replace:
            note = fmt::format("  conflict: the game's file differs; replaced, kept as {}", f.backup);
            break;
        case share::FileAction::Keep:
            note = "  conflict: the game's file differs; the game's is kept (--replace-skins replaces it)";
            break;
        case share::FileAction::Skip: note = "  already there"; break;
        case share::FileAction::Share: note = fmt::format("  already there, installed with the date {}", f.owner); break;
        }
        fmt::print("  {:<8} {}{}\n", actionName(f.action), f.path, note);
    }
    for (const share::IdentifierChange& c : plan.identifierChanges)
        fmt::print("The date's object identifier {} is taken by {}; it gets {}.\n", hex(c.from), c.takenBy, hex(c.to));
    for (const std::string& missing : plan.missingSkins)
        fmt::print("Warning: the date wears {}, which neither the pack nor the game has.\n", missing);
}

void runInstall(const InstallCommandOptions& o) {
    requireInstallFolder(o.game);
    if (!o.dryRun) finishInterrupted(o.game, o.setAsideJournal, o.json);
    share::SharedDateOpening opening = share::openSharedDate(o.file);
    if (!opening.date)
        failWith({{"pack", o.file}},
                 fmt::format("{}: refused: {}; nothing was written", o.file, opening.problem), o.json);
    share::InstallOptions options;
    options.replaceSkins = o.replaceSkins;
    const share::InstallPlan plan = share::planInstall(*opening.date, o.game, options);
    ordered_json json = planJson(*opening.date, plan);
    if (!o.json) printPlan(*opening.date, plan);
    if (!plan.ok())
        failWith(json, fmt::format("{}: cannot be installed: {}; nothing was written", o.file, plan.problem), o.json);
    if (o.dryRun) {
        json["dryRun"] = true;
        if (o.json) printJson(json);
        else fmt::print("Dry run: nothing was written.\n");
        return;
    }
    share::InstallOutcome outcome = share::installSharedDate(*opening.date, plan);
    json["installed"] = outcome.installed;
    json["written"] = outcome.written;
    json["backups"] = outcome.backups;
    if (!outcome.installed) failWith(json, fmt::format("{}: not installed: {}", o.file, outcome.problem), o.json);
    if (o.json) printJson(json);
    else fmt::print("Installed {}: {} files written.\n", plan.dateName, outcome.written.size());
}

// ---- uninstall

std::string_view takeBackName(share::TakeBack action) {
    switch (action) {
    case share::TakeBack::Remove: return "remove";
    case share::TakeBack::Restore: return "restore";
    case share::TakeBack::Stays: return "stays";
    case share::TakeBack::KeepChanged: return "keep";
    case share::TakeBack::Gone: return "gone";
    case share::TakeBack::BackupMissing: return "keep";
    }
    return "keep";
}

void runUninstall(const UninstallOptions& o) {
    if (o.name.find_first_not_of(' ') == std::string::npos) throw CommandError(std::string(share::kNoDateNamed));
    requireInstallFolder(o.game);
    if (!o.dryRun) finishInterrupted(o.game, o.setAsideJournal, o.json);
    const share::UninstallPlan plan = share::planUninstall(o.game, o.name);
    if (!plan.ok()) failWith({{"date", o.name}}, plan.problem, o.json);
    ordered_json json;
    json["date"] = plan.record.date;
    json["name"] = plan.record.name;
    ordered_json steps = ordered_json::array();
    for (const share::UninstallStep& s : plan.steps) {
        ordered_json step = {{"path", s.path}, {"action", takeBackName(s.action)}};
        if (!s.backup.empty()) step["backup"] = s.backup;
        if (!s.usedBy.empty()) step["usedBy"] = s.usedBy;
        if (s.action == share::TakeBack::KeepChanged) step["reason"] = "changed since the install";
        if (s.action == share::TakeBack::BackupMissing) step["reason"] = "its backup is gone";
        steps.push_back(step);
        if (!o.json) {
            std::string note = s.usedBy.empty() ? std::string() : "  used by the date " + s.usedBy;
            if (s.action == share::TakeBack::Restore) note = "  from " + s.backup;
            if (s.action == share::TakeBack::KeepChanged) note = "  changed since the install";
            if (s.action == share::TakeBack::BackupMissing) note = "  its backup " + s.backup + " is gone";
            fmt::print("  {:<8} {}{}\n", takeBackName(s.action), s.path, note);
        }
    }
    json["steps"] = steps;
    if (o.dryRun) {
        json["dryRun"] = true;
        if (o.json) printJson(json);
        else fmt::print("Dry run: nothing was changed.\n");
        return;
    }
    share::UninstallOutcome outcome = share::uninstallSharedDate(plan);
    json["removed"] = outcome.removed;
    json["restored"] = outcome.restored;
    json["notes"] = outcome.notes;
    if (!o.json)
        for (const std::string& note : outcome.notes) fmt::print("Note: {}.\n", note);
    if (!outcome.done) failWith(json, fmt::format("{}: not uninstalled: {}", plan.record.date, outcome.problem), o.json);
    if (o.json) printJson(json);
    else
        fmt::print("Uninstalled {}: {} files removed, {} restored.\n", plan.record.date, outcome.removed.size(),
                   outcome.restored.size());
}

}  // namespace

void addDateShareCommands(CLI::App& date) {
    auto pack = std::make_shared<PackOptions>();
    CLI::App* p = date.add_subcommand(
        "pack", "Write a date, its web export file, snapshots and the skins it wears into one zip file to share");
    p->add_option("DATE", pack->date, "The date file (.iff), or its name in the game's TemplateNPCs folder")
        ->required();
    p->add_option("--game", pack->game, "The game's install folder (the skins are taken from GameData/Skins)")
        ->required();
    p->add_option("--out", pack->out, "The archive to write (.zip)")->required();
    p->callback([pack] { runPack(*pack); });

    auto install = std::make_shared<InstallCommandOptions>();
    CLI::App* i = date.add_subcommand(
        "install", "Check a shared date (zip, 7z, tar, rar) and install it into the game folder, all or nothing");
    i->add_option("FILE", install->file, "The shared date's archive")->required();
    i->add_option("--game", install->game, "The game's install folder")->required();
    i->add_flag("--dry-run", install->dryRun, "Print what would be written and every conflict; write nothing");
    i->add_flag("--json", install->json, "Print JSON");
    i->add_flag("--set-aside-journal", install->setAsideJournal,
                "When the journal of an interrupted run is damaged, keep it under another name and go on");
    i->add_flag("--replace-skins", install->replaceSkins,
                "Replace the game's skins that differ from the pack's (a backup of each is kept); "
                "without it the game's are kept");
    i->callback([install] { runInstall(*install); });

    auto uninstall = std::make_shared<UninstallOptions>();
    CLI::App* u = date.add_subcommand(
        "uninstall", "Take back an installed shared date: remove what it added, restore what it replaced");
    u->add_option("NAME", uninstall->name, "The date's file name (Rosa or Rosa.iff) or its character's name")
        ->required();
    u->add_option("--game", uninstall->game, "The game's install folder")->required();
    u->add_flag("--dry-run", uninstall->dryRun, "Print what would be done; change nothing");
    u->add_flag("--json", uninstall->json, "Print JSON");
    u->add_flag("--set-aside-journal", uninstall->setAsideJournal,
                "When the journal of an interrupted run is damaged, keep it under another name and go on");
    u->callback([uninstall] { runUninstall(*uninstall); });
}

}  // namespace tryster::cli
