#pragma once
// Reading an existing character file: its catalog name and, from string
// list 200, its age (string 1), gender (13), skin tone (15), body type and
// body (2) and head (3). The load command, the extra panel of its open
// dialog and the previews of the townie and date lists read a file this
// way; the wizard then drives its catalog and preview from the result.

#include "character/Character.h"
#include "resfile/ContainerDamage.h"
#include "resfile/StringSet.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tryster::exchange {

// The look that string list 200 describes, as a character: its record
// holds the gender, body type and skin tone (the selections of "Body Type:"
// and "Skin Type:"), its appearance the age and the age's default set with
// the four names of strings 2 and 3 over it, lower-cased as the load takes
// them (the hands follow the body when the look is applied). Missing
// strings read as empty; a string without a comma is all mesh and no
// texture.
Character lookFromStrings(const resfile::StringSet& strings);

struct CharacterReading {
    bool opened = false;  // the file opened as a container
    resfile::ResError openError = resfile::kNoError;  // why it did not
    resfile::ContainerDamage damage;                   // what its open found damaged
    std::string name;     // its catalog name; empty when it has none
    // Strings 1 and 13 as stored, for showing.
    std::string ageText;
    std::string genderText;
    // None when the file has no readable string list 200: the load then
    // leaves the current look as it is.
    std::optional<Character> look;
};

// Opens the file read-only; never changes it.
CharacterReading readCharacter(std::string_view path);
// The same from a container already open (`opened` is set).
CharacterReading readCharacter(resfile::iResFile& file);

// The open dialog's extra panel: "Character Name:", "Age:", "Gender:".
struct ExtraPanelText {
    std::string name;
    std::string age;
    std::string gender;
};

// "Unknown Character" for a file that is no container; "Unknown Age" and
// "Unknown Gender" when it has no string list 200; otherwise the catalog
// name and strings 1 and 13 with their first letters upper-cased.
ExtraPanelText extraPanelText(const CharacterReading& reading);

// The window title after a load: the name followed by " - The Ploms
// Figurant", or "The Ploms Figurant" for a file that did not open.
std::string loadedWindowTitle(const CharacterReading& reading);

// The text with its first letter upper-cased.
std::string withCapital(std::string_view text);

}  // namespace tryster::exchange
