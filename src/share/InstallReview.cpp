#include "share/InstallReview.h"

#include "platform/PathText.h"

namespace tryster::share {
namespace {

std::string noteOf(const PlannedFile& f) {
    switch (f.action) {
    case FileAction::Write: return "new";
    case FileAction::Replace: return "replaces yours, which is kept as " + std::string(platform::namePart(f.backup));
    case FileAction::Keep: return "yours is kept";
    case FileAction::Skip: return "already there";
    case FileAction::Share: return "already there, with " + f.owner;
    }
    return {};
}

std::string counted(std::size_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

}  // namespace

std::string sharedDateName(const SharedDate& shared) {
    return shared.pack.manifest.name.empty() ? shared.pack.dateName() : shared.pack.manifest.name;
}

std::string sharedDateGender(const SharedDate& shared) {
    return shared.pack.manifest.gender.empty() ? std::string(kUnknownGender) : shared.pack.manifest.gender;
}

std::optional<Character> shownLook(const SharedDate& shared) {
    std::optional<Character> look = shared.facts.reading.look;
    const std::string& gender = shared.pack.manifest.gender;
    if (look && !gender.empty()) look->record.setGender(gender == "Male" ? kMale : kFemale);
    return look;
}

std::vector<std::string> plannedFileLines(const InstallPlan& plan) {
    std::vector<std::string> lines;
    for (const PlannedFile& f : plan.files)
        lines.push_back(std::string(platform::namePart(f.path)) + " (" + noteOf(f) + ")");
    return lines;
}

std::vector<ConflictChoice> conflictChoices(const InstallPlan& plan) {
    std::vector<ConflictChoice> out;
    for (const PlannedFile* f : plan.conflicts()) out.push_back({f->path, f->action == FileAction::Replace});
    return out;
}

std::string replaceChoiceText(const ConflictChoice& choice) {
    return "Replace your " + std::string(platform::namePart(choice.path));
}

InstallOptions optionsFor(const std::vector<ConflictChoice>& choices) {
    InstallOptions options;
    for (const ConflictChoice& c : choices)
        if (c.replace) options.replacePaths.push_back(c.path);
    return options;
}

std::vector<std::string> installNotices(const InstallPlan& plan) {
    std::vector<std::string> notices;
    if (!plan.ok()) notices.push_back("It cannot be installed: " + plan.problem + ".");
    if (!plan.identifierChanges.empty())
        notices.push_back("A date of your game has its object identifier already, so it gets a fresh one.");
    for (const std::string& missing : plan.missingSkins)
        notices.push_back("It wears " + std::string(platform::namePart(missing)) +
                          ", which neither the pack nor your game has.");
    return notices;
}

std::string refusedPackMessage(std::string_view problem) {
    return "This shared date cannot be installed: " + std::string(problem) + ". Nothing was written.";
}

std::string installOutcomeMessage(const SharedDate& shared, const InstallOutcome& outcome) {
    const std::string name = sharedDateName(shared);
    if (outcome.installed) {
        std::string text = name + " is installed: " + counted(outcome.written.size(), "file", "files") + " written";
        if (!outcome.backups.empty())
            text += ", " + counted(outcome.backups.size(), "skin", "skins") + " of yours kept as a backup";
        return text + ".";
    }
    std::string text = name + " was not installed: " + outcome.problem + ".";
    if (outcome.leftForRecovery)
        return text + " What was written could not be taken away yet; it will be the next time a shared date is "
                      "installed.";
    return text + " Your game folder is as it was.";
}

}  // namespace tryster::share
