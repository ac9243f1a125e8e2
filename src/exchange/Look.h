#pragma once
// The look the exporters write: the current appearance names and the
// choices beside them that the main dialog holds (the "Skin Type:" and
// "Body Type:" list selections, the adult and male flags).

#include "character/Appearance.h"
#include "character/Vocabulary.h"

#include <cstdint>

namespace tryster::exchange {

struct Look {
    Appearance appearance;
    std::int32_t skinTone = kMedium;  // selection of "Skin Type:"; -1 when none
    std::int32_t bodyType = kFit;     // selection of "Body Type:"; -1 when none
    bool isAdult = true;
    bool isMale = true;
};

}  // namespace tryster::exchange
