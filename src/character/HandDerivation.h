#pragma once
// The hands follow the body: their meshes and textures are never chosen by
// the user but derived from the body mesh and body texture names each time
// the look is put on the preview.

#include "character/Appearance.h"

namespace tryster {

// Sets the four hand names of `look` from its body mesh and body texture:
// adult hands ("hmlo"/"hmro", "hflo"/"hfro") when the body mesh has "a" at
// position 5, else child hands ("hulo"/"huro"); the gender from position 4
// ("m" or anything else); both hand textures "HUAO" + the body texture's
// tone ("med", else "drk", else "lgt").
void deriveHands(Appearance& look);

}  // namespace tryster
