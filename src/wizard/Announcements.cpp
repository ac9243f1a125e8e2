#include "wizard/Announcements.h"

#include "wizard/StepTable.h"

#include <cstdlib>

namespace tryster::wizard {
namespace {

std::string named(std::string_view before, std::string_view name, std::string_view fallback,
                  std::string_view after) {
    std::string text(before);
    text += name.empty() ? fallback : name;
    text += after;
    return text;
}

}  // namespace

std::string_view pageName(int step) {
    switch (step) {
        case kWelcomeStep:
            return "Welcome to The Ploms Tryster";
        // The replace path's titles follow the search and the character
        // chosen; its pages are named for what they ask.
        case kNeighbourhoodStep:
            return "Select the Townie to replace";
        case kDatesStep:
            return "Select the Date to put in its place";
        default:
            break;
    }
    const Step& row = stepOf(step);
    return row.title ? *row.title : std::string_view();
}

std::string saveBackDescription(std::string_view characterName) {
    return named("Save the new look back into ", characterName, "this Plom", "'s file in the game.");
}

std::string shareDescription(std::string_view characterName) {
    return named("Put ", characterName, "this date",
                 ", its pictures and the skins it wears in one file to send to other players.");
}

std::string installDescription(std::string_view dateName) {
    return named("Install ", dateName, "this date", " and the skins it wears into the game.");
}

std::string undoDescription(std::string_view changeTitle) {
    return named("Undo ", changeTitle, "the change selected",
                 ": remove what it added and put back what it replaced.");
}

std::string forgetDescription(std::string_view changeTitle) {
    return named("Forget ", changeTitle, "the change selected",
                 ": keep the game as it is and delete the backups only it needed.");
}

std::string signButtonName(StarSign sign) {
    return "Sign: " + std::string(kSignNames[static_cast<std::size_t>(sign)]);
}

std::string pointsLeftText(int pointsLeft) {
    if (pointsLeft == 0) return "No points left";
    if (pointsLeft == 1) return "1 point left";
    if (pointsLeft > 0) return std::to_string(pointsLeft) + " points left";
    const int over = -pointsLeft;
    return std::to_string(over) + (over == 1 ? " point too many" : " points too many");
}

std::string personalityAnnouncement(int pointsBefore, StarSign signBefore, int pointsAfter, StarSign signAfter) {
    std::string text;
    if (pointsAfter != pointsBefore) text = pointsLeftText(pointsAfter);
    if (signAfter != signBefore) {
        if (!text.empty()) text += ", ";
        text += "sign ";
        text += kSignNames[static_cast<std::size_t>(signAfter)];
    }
    return text;
}

std::string progressAnnouncement(std::string_view status, int step, int steps) {
    std::string text(status);
    if (step < steps) text += ", step " + std::to_string(step) + " of " + std::to_string(steps);
    return text;
}

}  // namespace tryster::wizard
