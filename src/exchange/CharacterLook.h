#pragma once
// Reading an existing character file: its catalog name and, from string
// list 200, its age (string 1), gender (13), skin tone (15), body type and
// body (2) and head (3). The load command, the extra panel of its open
// dialog and the previews of the townie and date lists read a file this
// way; the wizard then drives its catalog and preview from the result.

#include "character/Appearance.h"
#include "character/Vocabulary.h"
#include "resfile/ContainerDamage.h"
#include "resfile/StringSet.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tryster::exchange {

struct CharacterLook {
    bool isAdult = true;
    bool isMale = true;
    std::int32_t skinTone = kLight;  // selection of "Skin Type:"
    std::int32_t bodyType = kFit;    // selection of "Body Type:"
    // Lower-cased, as the load command takes them from strings 2 and 3.
    std::string bodyMesh;
    std::string bodyTexture;
    std::string headMesh;
    std::string headTexture;

    // The default set of the age (skeleton, names, idle animation), which
    // the load puts in place before the loaded names.
    const DefaultSet& defaults() const { return isAdult ? kAdultDefaults : kChildDefaults; }
    // The defaults with the four loaded names over them (the hands follow
    // the body when the look is applied).
    Appearance appearance() const;
};

// The look that string list 200 describes. Missing strings read as empty;
// a string without a comma is all mesh and no texture.
CharacterLook lookFromStrings(const resfile::StringSet& strings);

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
    std::optional<CharacterLook> look;
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
