#include "wizard/StepTable.h"

#include "wizard/ControlIds.h"

#include <array>

namespace tryster::wizard {
namespace {

using namespace controls;

constexpr std::array kAppearanceControls = {IDC_BODY_TYPE_LABEL,
                                            IDC_BODY_TYPE_LIST,
                                            IDC_SKIN_TYPE_LABEL,
                                            IDC_SKIN_TYPE_LIST,
                                            IDC_GENDER_LABEL,
                                            IDC_MALE,
                                            IDC_FEMALE,
                                            IDC_BODY_MESH_LABEL,
                                            IDC_BODY_MESH_LIST,
                                            IDC_BODY_TEXTURE_LABEL,
                                            IDC_BODY_TEXTURE_LIST,
                                            IDC_HEAD_MESH_LABEL,
                                            IDC_HEAD_MESH_LIST,
                                            IDC_HEAD_TEXTURE_LABEL,
                                            IDC_HEAD_TEXTURE_LIST};
constexpr std::array kNameControls = {IDC_NAME_LABEL, IDC_NAME, IDC_DESCRIPTION_LABEL, IDC_DESCRIPTION};
constexpr std::array kPersonalityControls = {
    IDC_SIGN_BUTTON,     IDC_POINTS_LABEL,  IDC_POINTS_LEFT,    IDC_NICE_SLIDER, IDC_NEAT_SLIDER,
    IDC_OUTGOING_SLIDER, IDC_ACTIVE_SLIDER, IDC_PLAYFUL_SLIDER, IDC_NICE_LABEL,  IDC_NEAT_LABEL,
    IDC_OUTGOING_LABEL,  IDC_PLAYFUL_LABEL, IDC_ACTIVE_LABEL};
constexpr std::array kInterestControls = {
    IDC_TOP_INTERESTS_LABEL, IDC_TOP_INTERESTS,       IDC_REMAINING_INTERESTS, IDC_TOP_ADD,
    IDC_TOP_REMOVE,          IDC_LOW_INTERESTS_LABEL, IDC_LOW_INTERESTS,       IDC_LOW_ADD,
    IDC_LOW_REMOVE};
constexpr std::array kCareerControls = {IDC_JOB_TRACK_LABEL, IDC_JOB_TRACK, IDC_JOB_LEVEL_LABEL,
                                        IDC_JOB_LEVEL};
constexpr std::array kExportControls = {IDC_READY_TEXT, IDC_SAVE};
constexpr std::array kWelcomeControls = {IDC_STEP0_PICTURE, IDC_CREATE, IDC_REPLACE};
constexpr std::array kTownieControls = {IDC_TOWNIE_LIST};
constexpr std::array kDateControls = {IDC_DATE_LIST};

constexpr std::array kHiddenOnEveryStep = {IDC_DATE_LIST, IDC_TOWNIE_LIST, IDC_CREATE,        IDC_REPLACE,
                                           IDC_PROGRESS,  IDC_STATUS,      IDC_STEP0_PICTURE, IDC_WELCOME};

template <std::size_t... N>
constexpr auto join(const std::array<int, N>&... parts) {
    std::array<int, (N + ...)> all{};
    std::size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), all.begin() + static_cast<std::ptrdiff_t>(at)), at += N), ...);
    return all;
}

constexpr auto kAllPageControls = join(kAppearanceControls, kNameControls, kPersonalityControls,
                                       kInterestControls, kCareerControls, kExportControls);

}  // namespace

std::string progressTitle(std::string_view stepText) {
    std::string title(kWindowCaption);
    title += ": ";
    title += stepText;
    return title;
}

StepView viewOf(int step) {
    switch (step) {
        case kWelcomeStep:
            return {std::nullopt, kWelcomeControls, false, false, StepEntry::Welcome};
        case kAppearanceStep:
            return {"Beauty is Skin Deep", kAppearanceControls, true, true, StepEntry::Appearance};
        case kNameStep:
            return {"What's in a name?", kNameControls};
        case kPersonalityStep:
            return {"What's your sign?", kPersonalityControls, true, true, StepEntry::Personality};
        case kInterestsStep:
            return {"What floats your boat?", kInterestControls, true, true, StepEntry::Interests};
        case kCareerStep:
            return {"Dating is work!", kCareerControls};
        case kExportStep:
            return {"Ready to Export?", kExportControls, true, false};
        case kReturnStep:
            return {std::nullopt, {}, true, true, StepEntry::ReturnToWelcome};
        case kNeighbourhoodStep:
            return {"Which Neighborhood?", kTownieControls, true, true, StepEntry::ChooseNeighbourhood};
        case kDatesStep:
            return {std::nullopt, kDateControls, true, true, StepEntry::SearchDates};
        case kConfirmStep:
            return {"Replace the Plom", {}, true, true, StepEntry::ConfirmReplace};
        default:
            return {};  // 7, 8 and anything else show nothing
    }
}

std::span<const int> controlsHiddenOnEveryStep() {
    return kHiddenOnEveryStep;
}

std::span<const int> allPageControls() {
    return kAllPageControls;
}

}  // namespace tryster::wizard
