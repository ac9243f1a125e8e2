#pragma once
// The character description file the commands share: a JSON object such as
//
//   {"name": "Bob", "description": "...", "gender": "male", "bodyType": 0,
//    "skinTone": 1,
//    "personality": {"neat": 5, "active": 5, "playful": 5, "outgoing": 5, "nice": 5},
//    "interests": {"top": [five list texts], "low": [0 to 5 list texts],
//                  "remaining": [the others; default: in id order]},
//    "career": {"track": -1..14, "level": 0..10},
//    "appearance": {"bodyMesh": "...", "bodyTexture": "...",
//                   "headMesh": "...", "headTexture": "..."},
//    "adult": true}
//
// Every field is optional; a missing one keeps the record's default (the
// appearance takes the default set of the age). The wizard's own rules
// apply to what is given (name up to 30 characters, 25 personality points,
// five top interests, each interest once), and a violation is reported
// with the field's name. The result is the character the window builds.

#include "character/Character.h"

#include <nlohmann/json_fwd.hpp>

#include <string>

namespace tryster::cli {

// Throws CommandError naming the offending field.
Character parseCharacterDescription(const nlohmann::json& json);
Character loadCharacterDescription(const std::string& path);

}  // namespace tryster::cli
