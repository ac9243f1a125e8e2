#include "share/InstallReview.h"

#include "platform/GameText.h"
#include "platform/PathText.h"
#include "platform/TextNoCase.h"
#include "share/ShownText.h"

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

// Litter names listed in the notice before "and N more".
constexpr std::size_t kIgnoredNamesShown = 3;

std::string toLowerAscii(std::string text) {
    for (char& c : text) c = platform::lowerAsciiChar(c);
    return text;
}

// The game ends its lines in CR LF, the manifest in LF.
std::string withoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

}  // namespace

std::string sharedDateName(const SharedDate& shared) {
    const std::string& name = shared.facts.reading.name;
    return shownText(name.empty() ? shared.pack.dateName() : platform::fromGameText(name), kShownNameLength);
}

std::string sharedDateGender(const SharedDate& shared) {
    const std::optional<Character>& look = shared.facts.reading.look;
    return !look ? std::string(kUnknownGender) : look->isMale() ? "Male" : "Female";
}

std::string sharedDateAge(const SharedDate& shared) {
    const std::optional<Character>& look = shared.facts.reading.look;
    return !look ? std::string(kUnknownAge) : look->appearance.isAdult ? "Adult" : "Child";
}

std::string sharedDateDescription(const SharedDate& shared) {
    return shownText(platform::fromGameText(shared.facts.description), kShownDescriptionLength, true);
}

std::optional<Character> shownLook(const SharedDate& shared) { return shared.facts.reading.look; }

std::vector<std::string> claimNotices(const SharedDate& shared) {
    std::vector<std::string> out;
    const PackManifest& claims = shared.pack.manifest;
    const std::string name = platform::fromGameText(shared.facts.reading.name);
    if (!claims.name.empty() && claims.name != name)
        out.push_back("The pack calls the date " + quotedName(claims.name) + ", but the date's own name is " +
                      quotedName(name) + ".");
    const std::string gender = sharedDateGender(shared);
    if (!claims.gender.empty() && gender != kUnknownGender && claims.gender != gender)
        out.push_back("The pack says the date is " + toLowerAscii(claims.gender) + ", but the date is " +
                      toLowerAscii(gender) + ".");
    if (!claims.description.empty() &&
        withoutCarriageReturns(claims.description) != withoutCarriageReturns(platform::fromGameText(shared.facts.description)))
        out.push_back("The pack describes the date as " +
                      quotedName(withoutCarriageReturns(claims.description)) +
                      ", but that is not the date's own description.");
    return out;
}

std::string ignoredNotice(const SharedDate& shared) {
    const std::vector<std::string>& ignored = shared.pack.ignored;
    if (ignored.empty()) return {};
    std::string names;
    for (std::size_t i = 0; i < ignored.size() && i < kIgnoredNamesShown; ++i)
        names += (i == 0 ? "" : ", ") + ignored[i];
    if (ignored.size() > kIgnoredNamesShown) names += " and " + std::to_string(ignored.size() - kIgnoredNamesShown) + " more";
    return "Left out: " + counted(ignored.size(), "file", "files") +
           " a computer adds beside the ones it packs, which the game does not use (" + names + ").";
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

std::vector<std::string> reviewNotices(const SharedDate& shared, const InstallPlan& plan) {
    std::vector<std::string> notices = claimNotices(shared);
    if (std::string ignored = ignoredNotice(shared); !ignored.empty()) notices.push_back(std::move(ignored));
    for (std::string& notice : installNotices(plan)) notices.push_back(std::move(notice));
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
