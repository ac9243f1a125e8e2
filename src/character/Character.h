#pragma once
// The character whole, as the program keeps it: the record (who it is, its
// gender, build and tone, its personality, interests and career) and the
// look it wears (its eight names and its age). Each fact has this one home:
// the window's look model changes it, the command line builds it from a
// description, and every writer reads it. A character read from its file
// is the same value, holding what the file says of its look.

#include "character/Appearance.h"
#include "character/PlomData.h"

namespace tryster {

struct Character {
    PlomData record;
    Appearance appearance;

    // The game's files and the web exchange say "Male" for a male record
    // and "Female" for anything else.
    bool isMale() const { return record.gender() == kMale; }
};

}  // namespace tryster
