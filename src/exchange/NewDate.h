#pragma once
// New date creation: the template copied into a new character file that
// carries the character's name, description, personality, interests and
// career and its look.

#include "character/Character.h"
#include "exchange/ExchangeReporter.h"
#include "exchange/FilePlacement.h"
#include "exchange/GameLayout.h"
#include "platform/StagedFile.h"

#include <string>
#include <string_view>

namespace tryster::exchange {

inline constexpr std::string_view kTemplateFileName = "TR_Template.iff";

// The template of a start folder: the folder followed by "TR_Template.iff".
std::string templatePathIn(std::string_view startFolder);

// The start folder holds the template (and the readme beside it): the
// current folder when it holds the template, so a copy started there uses
// its own; else `dataFolder` (the installed data folder), provided that
// exists (a missing one would lose the readme that the current folder may
// still have); else the current folder.
std::string chooseStartFolder(const std::string& currentFolder, const std::string& dataFolder);

// Builds a new date from the template at `templatePath` into the staged
// name of `staged`, whose target names it (the object is named after the
// target's file name). Reports four steps through `reporter` ("Creating
// New Date Plom...", "Setting New Date Plom's Name...", "Injecting Date
// Plom's New DNA...", "Setting New Date Plom's Skin..."), fewer when a step
// fails, and shows a failure as its message with the caption "Tryster
// Error:"; the staged file is then gone.
//
// The date's string list 200 says its age and its gender besides its look:
// the template's "Adult" and "Male" would make every date read back as a
// male adult. A template without string list 200 still gives a date
// (without appearance strings), as the game allows. True when the date is
// built; the caller puts it in place.
bool buildNewDate(platform::StagedFile& staged, std::string_view templatePath, const Character& character,
                  ExchangeReporter& reporter);

// Builds base path + ".iff" and has `placement` put it in place, so a
// failure leaves neither a partial date nor a damaged earlier file, and an
// earlier date of the same name is kept as a backup. True when the date is
// in place.
bool createNewDate(std::string_view basePath, std::string_view templatePath, const Character& character,
                   ExchangeReporter& reporter, FilePlacement& placement);

}  // namespace tryster::exchange
