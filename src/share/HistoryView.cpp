#include "share/HistoryView.h"

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "share/ShareOffer.h"
#include "share/ShownText.h"

#include <cstdio>

namespace tryster::share {
namespace {

std::string_view plainLabel(ChangeKind kind) {
    switch (kind) {
    case ChangeKind::NewDate: return "New date";
    case ChangeKind::TownieReplaced: return "Townie replaced";
    case ChangeKind::Restyled: return "Restyled";
    case ChangeKind::Installed: return "Shared date installed";
    case ChangeKind::Undone: return "Undone";
    }
    return "Undone";
}

std::string shown(std::string_view text) { return shownText(text, kShownNameLength); }

// "a, b and c" of game paths, shown.
std::string listed(const std::vector<std::string>& paths) {
    std::string out;
    for (std::size_t i = 0; i < paths.size(); ++i)
        out += (i == 0 ? "" : i + 1 == paths.size() ? " and " : ", ") + shown(paths[i]);
    return out;
}

// A paragraph naming files, or nothing when there are none.
std::string paragraph(std::string_view lead, const std::vector<std::string>& paths) {
    return paths.empty() ? std::string() : "\n\n" + std::string(lead) + " " + listed(paths) + ".";
}

std::string numbered(const History& history, std::int64_t id) {
    const HistoryEntry* e = history.entry(id);
    return "change " + std::to_string(id) + (e ? " (" + changeTitle(history, *e) + ")" : std::string());
}

}  // namespace

std::string kindLabel(const History& history, const HistoryEntry& entry) {
    if (entry.kind != ChangeKind::Undone) return std::string(plainLabel(entry.kind));
    const HistoryEntry* undone = history.entry(entry.undoes);
    return undone ? "Undone: " + std::string(plainLabel(undone->kind)) : std::string("Undone");
}

std::string changeTitle(const History& history, const HistoryEntry& entry) {
    const std::string label = kindLabel(history, entry);
    return entry.name.empty() ? label : label + ": " + shown(entry.name);
}

std::string changeNamed(const History& history, const HistoryEntry& entry) {
    return "the change " + std::to_string(entry.id) + " (" + changeTitle(history, entry) + ")";
}

const HistoryEntry* plannedChange(const History& history, std::string_view gameFolder, std::int64_t id,
                                  std::string& problem) {
    const HistoryEntry* entry = history.entry(id);
    if (!entry) problem = "there is no change " + std::to_string(id) + " in the history of " + std::string(gameFolder);
    return entry;
}

std::string whenText(const HistoryEntry& entry) {
    const std::optional<std::int64_t> seconds = platform::parseUtcTime(entry.time);
    return seconds ? platform::localTimeText(*seconds) : std::string("before History was kept");
}

std::string stateText(const HistoryEntry& entry) {
    if (entry.forgotten) return "forgotten";
    if (entry.undoneBy) return "undone (change " + std::to_string(entry.undoneBy) + ")";
    return {};
}

std::string entryLine(const History& history, const HistoryEntry& entry) {
    std::string line = whenText(entry) + "  " + changeTitle(history, entry);
    const std::string state = stateText(entry);
    return state.empty() ? line : line + " [" + state + "]";
}

std::string fileLine(const ChangedFile& file) {
    std::string line = std::string(roleName(file.role)) + " " + shown(file.path);
    if (!file.backup.empty()) line += " (kept as " + shown(file.backup) + ")";
    return line;
}

std::string sizeText(std::uint64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    char text[32];
    const double kb = static_cast<double>(bytes) / 1024;
    if (kb < 1024) std::snprintf(text, sizeof text, "%.1f KB", kb);
    else std::snprintf(text, sizeof text, "%.1f MB", kb / 1024);
    return text;
}

std::string backupSpaceText(std::uint64_t bytes) { return "Backups take " + sizeText(bytes) + "."; }

std::string characterFileOf(std::string_view gameFolder, const HistoryEntry& entry) {
    for (const ChangedFile& f : entry.files) {
        const std::string local = localPath(gameFolder, f.path);
        if (f.path.size() > 4 && platform::equalsNoCase(f.path.substr(f.path.size() - 4), ".iff") &&
            platform::fileSystem().isRegularFile(local))
            return local;
    }
    return {};
}

std::string undoQuestion(const History& history, const UndoPlan& plan) {
    std::vector<std::string> removed, restored, stays, kept;
    for (const UndoStep& s : plan.steps) {
        if (!s.keptAs.empty()) kept.push_back(s.path + " as " + s.keptAs);
        if (s.action == UndoAction::Remove) removed.push_back(s.path);
        if (s.action == UndoAction::Restore) restored.push_back(s.path);
        if (s.action == UndoAction::Stays && s.heir) stays.push_back(s.path);
    }
    std::string text = "Undo the " + numbered(history, plan.entry.id) + ", made " + whenText(plan.entry) + "?";
    text += paragraph("These files will be removed:", removed);
    text += paragraph("These will be put back as they were before it:", restored);
    text += paragraph("These stay, as a later change relies on them:", stays);
    text += paragraph("The current files are kept first as a backup:", kept);
    if (removed.empty() && restored.empty()) text += "\n\nNo file needs to change.";
    return text;
}

std::string chainQuestion(const History& history, const UndoPlan& plan) {
    std::string text = asSentence(plan.problem) + "\n\nUndo these changes, newest first?";
    for (std::int64_t id : plan.laterChanges) text += "\n" + numbered(history, id);
    return text + "\n" + numbered(history, plan.entry.id);
}

std::string keepCurrentQuestion(const UndoPlan& plan) {
    return asSentence(plan.problem) +
           "\n\nUndo anyway, keeping the current file as a backup? Nothing is lost: it stays beside the file, "
           "named after it, until you forget the undo.";
}

std::string undoOutcomeMessage(const UndoOutcome& outcome) {
    if (!outcome.problem.empty()) return asSentence("nothing was undone: " + outcome.problem);
    std::string text = outcome.done ? "The change was undone." : "The change was only partly undone.";
    text += paragraph("Removed:", outcome.removed);
    text += paragraph("Put back:", outcome.restored);
    text += paragraph("Kept as a backup:", outcome.kept);
    for (const std::string& note : outcome.notes) text += "\n\n" + asSentence(note);
    return text;
}

std::string forgetQuestion(const History& history, const ForgetPlan& plan) {
    std::string text = "Forget the " + numbered(history, plan.entry.id) + "? The game stays as it is, and the " +
                       "change can no longer be undone.";
    if (plan.backups.empty()) return text + "\n\nNo backup is deleted: it keeps none.";
    return text + "\n\nThese backups will be deleted (" + sizeText(plan.bytes) + "): " + listed(plan.backups) + ".";
}

std::string forgetOutcomeMessage(const ForgetOutcome& outcome) {
    if (!outcome.done) return asSentence("nothing was forgotten: " + outcome.problem);
    if (outcome.deleted.empty()) return "The change is forgotten. No backup was deleted.";
    return "The change is forgotten. Deleted " + listed(outcome.deleted) + " (" + sizeText(outcome.bytes) + ").";
}

}  // namespace tryster::share
