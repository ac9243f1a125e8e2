#include "cli/GameFolderChange.h"

#include "cli/CommandError.h"
#include "cli/JsonOutput.h"
#include "platform/FileSystem.h"
#include "share/InstallPlan.h"
#include "share/Journal.h"
#include "share/Recovery.h"
#include "share/Undo.h"

#include <fmt/format.h>

#include <filesystem>

namespace tryster::cli {

void failWith(nlohmann::ordered_json document, const std::string& message, bool json) {
    CommandError error(message);
    if (json) {
        document["error"] = error.json();
        printJson(document);
        error.inOutput = true;
    }
    throw error;
}

void finishInterrupted(const std::string& game, bool setAside, bool json) {
    share::RecoveryOutcome recovery = share::recoverInterrupted(game);
    if (recovery.folderBusy) throw CommandError(recovery.messages.front());
    if (recovery.damagedJournal) {
        const std::string meaning = share::damagedJournalMeaning(recovery);
        if (!setAside) {
            nlohmann::ordered_json document;
            document["journal"] = {{"file", share::journalPath(game)}, {"names", recovery.journalListing}};
            failWith(document,
                     meaning + ". Look at those files; then run again with --set-aside-journal (or run tryster-cli "
                               "history --game " + game + " --set-aside-journal), which keeps the journal under "
                               "another name and goes on",
                     json);
        }
        fmt::print(stderr, "tryster-cli: {}.\n", meaning);
        const std::optional<std::string> aside = share::setJournalAside(game);
        if (!aside) throw CommandError(fmt::format("{}: the damaged journal could not be set aside", game));
        fmt::print(stderr, "tryster-cli: the damaged journal is kept as {}\n", platform::joinPath(game, *aside));
        recovery = share::recoverInterrupted(game);
    }
    for (const std::string& message : recovery.messages) fmt::print(stderr, "tryster-cli: {}\n", message);
    if (!recovery.clean) throw CommandError(fmt::format("{}: an interrupted change could not be finished", game));
}

std::string gameFolderAbove(const std::string& file, int levels) {
    std::filesystem::path folder = std::filesystem::absolute(platform::resolvePath(file)).parent_path();
    for (int i = 0; i < levels; ++i) folder = folder.parent_path();
    return share::gameFolderProblem(folder.string()).empty() ? folder.string() : std::string();
}

void tellRecorded(const std::string& game, std::int64_t id) {
    if (id == 0) return;
    fmt::print(stderr, "tryster-cli: recorded as change {} in the history of {}; undo it with: tryster-cli history "
                       "undo {} --game {}\n",
               id, game, id, game);
}

namespace {

std::string_view actionName(share::UndoAction action) {
    switch (action) {
    case share::UndoAction::Remove: return "remove";
    case share::UndoAction::Restore: return "restore";
    case share::UndoAction::Stays: return "stays";
    case share::UndoAction::Gone: return "gone";
    }
    return "gone";
}

}  // namespace

nlohmann::ordered_json undoStepsJson(const share::History& history, const share::UndoPlan& plan) {
    nlohmann::ordered_json steps = nlohmann::ordered_json::array();
    for (const share::UndoStep& s : plan.steps) {
        nlohmann::ordered_json step = {{"path", s.path}, {"action", actionName(s.action)}};
        if (!s.backup.empty()) step["backup"] = s.backup;
        if (!s.keptAs.empty()) step["keptAs"] = s.keptAs;
        if (const share::HistoryEntry* heir = s.heir ? history.entry(s.heir) : nullptr) {
            step["usedBy"] = heir->id;
            if (!heir->date.empty()) step["usedByDate"] = heir->date;
        }
        steps.push_back(step);
    }
    return steps;
}

void printUndoSteps(const share::UndoPlan& plan) {
    for (const share::UndoStep& s : plan.steps) {
        std::string note;
        if (s.action == share::UndoAction::Restore) note = "  from " + s.backup;
        if (s.action == share::UndoAction::Stays && s.heir) note = fmt::format("  the change {} relies on it", s.heir);
        if (!s.keptAs.empty()) note += "  the current file kept as " + s.keptAs;
        fmt::print("  {:<8} {}{}\n", actionName(s.action), s.path, note);
    }
}

std::string keepCurrentHint(const share::UndoPlan& plan) {
    if (plan.changedFiles.empty() || plan.keepCurrent || !plan.laterChanges.empty()) return {};
    return "; run again with --keep-current to undo anyway, keeping the current files as backups";
}

void addUndoOutcome(nlohmann::ordered_json& document, const share::UndoOutcome& outcome) {
    document["undone"] = outcome.done;
    document["undoId"] = outcome.undoId;
    document["removed"] = outcome.removed;
    document["restored"] = outcome.restored;
    document["kept"] = outcome.kept;
    document["notes"] = outcome.notes;
}

}  // namespace tryster::cli
