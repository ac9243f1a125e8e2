#include "preview/IdleDirector.h"

#include <array>

namespace tryster::preview {
namespace {

constexpr int kArmsDownChoices = 20;
constexpr int kPostureChoices = 8;
constexpr int kVoiceOdds = 10;
constexpr int kVoiceRoll = 3;

struct VoicePair {
    std::string_view male, female;
};
constexpr std::array<VoicePair, 3> kVoiceLines = {{{"Vox_Bored_SighM1", "Vox_bored_Sighf4"},
                                                   {"Vox_indifferent_huhM1", "Vox_Indifferent_huhF2"},
                                                   {"Vox_intrigued_hmmM1", "Vox_Indifferent_huhF3"}}};

}  // namespace

std::string IdleDirector::nextAnimation(RandomSource random) {
    switch (posture_) {
    case IdlePosture::ArmsDown: {
        const int k = random() % kArmsDownChoices;
        if (k <= 7) return "a2o-idle" + std::to_string(k + 1);
        if (k == 8) return "a2o-idle-armsdown-fidget";
        if (k == 9) return "a2o-idle-armsdown-lookoff";
        if (k == 10) {
            posture_ = IdlePosture::HandsOnHips;
            return "a2o-idle-transition-armsdown-handships";
        }
        return "a2o-idle-armsdown-breathe";
    }
    case IdlePosture::HandsOnHips: {
        const int k = random() % kPostureChoices + 1;
        if (k == 2) return "a2o-idle-handships-shiftside";
        if (k == 3) return "a2o-idle-handships-lookoff";
        if (k == 4) {
            posture_ = IdlePosture::ArmsCrossed;
            return "a2o-idle-transition-handships-armscrossed";
        }
        return "a2o-idle-handships-breathe";
    }
    case IdlePosture::ArmsCrossed: {
        const int k = random() % kPostureChoices + 1;
        if (k == 2) return "a2o-idle-armscrossed-scratchchin";
        if (k == 3) return "a2o-idle-armscrossed-lookoff";
        if (k == 4) {
            posture_ = IdlePosture::ArmsDown;
            return "a2o-idle-transition-armscrossed-armsdown";
        }
        return "a2o-idle-armscrossed-breathe";
    }
    }
    return {};
}

std::string_view IdleDirector::voiceLine(bool female, RandomSource random) {
    if (random() % kVoiceOdds != kVoiceRoll) return {};
    const VoicePair& pair = kVoiceLines[static_cast<std::size_t>(random() % 3)];
    return female ? pair.female : pair.male;
}

}  // namespace tryster::preview
