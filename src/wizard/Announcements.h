#pragma once
// What the window says to a player who hears it through a screen reader,
// beyond the captions and labels everyone sees: the name each page is
// announced by as it is entered, what a button whose caption is only a verb
// acts on, and the short announcements of changes the player must know
// about without moving the focus (the points left and the sign, a save's
// steps). The window hands these texts to assistive tools; nothing here
// knows a widget.
//
// Names put into a text keep their own encoding (the game's code page or
// UTF-8); the words around them are ASCII.

#include "character/Vocabulary.h"

#include <string>
#include <string_view>

namespace tryster::wizard {

// The page of a step, as it is announced when the wizard enters it: the
// step's title where it has a fixed one, else what the page asks for.
std::string_view pageName(int step);

// The welcome page's Load and Install, as the lines beside them read.
inline constexpr std::string_view kLoadDescription = "Restyle: a new look for one of your Ploms.";
inline constexpr std::string_view kInstallSharedDescription = "Install a shared date: a date another player sent you.";
// The welcome page's History.
inline constexpr std::string_view kHistoryDescription =
    "History: what Tryster changed in the game; each change can be undone.";
// The save on the last page of the Create path.
inline constexpr std::string_view kSaveDateDescription = "Save this Plom as a new date in the game.";

// What Save back, Share and the review's Install act on: the character or
// date by its name (shown as "this Plom" or "this date" while it has none).
std::string saveBackDescription(std::string_view characterName);
std::string shareDescription(std::string_view characterName);
std::string installDescription(std::string_view dateName);
// What the History page's Undo and Forget act on: the change selected in
// the list, by its title ("Townie replaced: Rosa Marsh"); "the change
// selected" while none is.
std::string undoDescription(std::string_view changeTitle);
std::string forgetDescription(std::string_view changeTitle);

// The sign button shows only the nearest sign's name: it is named for what
// it shows and says what it does.
std::string signButtonName(StarSign sign);
inline constexpr std::string_view kSignButtonDescription = "Press for the next sign: the five traits take its personality.";

// The points left as the page's label shows them, in words: "3 points
// left", "1 point left", "No points left", "2 points too many".
std::string pointsLeftText(int pointsLeft);

// What the personality page announces when the sliders or the sign button
// change the points left or the nearest sign: the points left where they
// changed, then the sign where it changed ("3 points left, sign Leo");
// empty when neither did.
std::string personalityAnnouncement(int pointsBefore, StarSign signBefore, int pointsAfter, StarSign signAfter);

// A step of a long operation with a status line and a progress bar (the
// save, the share): the status, then how far it has come unless it is
// done ("Building Skin List..., step 2 of 9").
std::string progressAnnouncement(std::string_view status, int step, int steps);

}  // namespace tryster::wizard
