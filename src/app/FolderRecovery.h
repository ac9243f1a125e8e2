#pragma once
// Before anything changes the game folder (a save, a replacement, a save
// back, an install, an undo or a forget, and before the history is shown),
// what an interrupted run left there is finished, and the player is told
// what was found. A journal that cannot be read blocks every change: the
// player sees what it names and may set it aside, kept under another name.

#include <string>

class QWidget;

namespace tryster::app {

// True when nothing is left unfinished and the change may go on.
bool finishInterrupted(QWidget* parent, const std::string& gameFolder);

}  // namespace tryster::app
