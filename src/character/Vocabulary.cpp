#include "character/Vocabulary.h"

#include "platform/FileSystem.h"

namespace tryster {

std::string_view skinToneCode(std::int32_t tone) {
    switch (tone) {
    case kLight: return "lgt";
    case kMedium: return "med";
    default: return "drk";
    }
}

std::string_view skinToneExportCode(std::int32_t tone) {
    switch (tone) {
    case kLight: return "LGT";
    case kMedium: return "MED";
    default: return "DRK";
    }
}

std::string_view bodyTypeCode(std::int32_t bodyType) {
    switch (bodyType) {
    case kFit: return "fit";
    case kFat: return "fat";
    default: return "skn";
    }
}

std::int32_t interestIdFromText(std::string_view text) {
    for (int id = 0; id < kInterestCount; ++id)
        if (platform::equalsNoCase(kInterestNames[id], text)) return id;
    return kWeather;
}

bool isInterestName(std::string_view text) {
    for (std::string_view name : kInterestNames)
        if (platform::equalsNoCase(name, text)) return true;
    return false;
}

}  // namespace tryster
