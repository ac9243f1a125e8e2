#pragma once
// Pictures of the demo figures for looking at, beside the guide's: every
// body in each of its clothes and tones with a head and hands of its kind,
// from the front and two sides, and every animation at five moments, each
// drawn by the preview as the window draws it.

#include <string>

namespace tryster::docshots {

// Writes the pictures into `outputFolder` from the demo game folder
// `gameFolder` (the current directory meanwhile); false, with a message on
// standard error, when the preview cannot start or a picture cannot be
// written.
bool writeFigureSheets(const std::string& gameFolder, const std::string& outputFolder);

}  // namespace tryster::docshots
