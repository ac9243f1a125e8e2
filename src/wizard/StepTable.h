#pragma once
// The wizard's pages: which step shows which controls, the title each step
// sets on entry, the enabled state of Back and Next, and the moves between
// steps. The window applies what this decides; nothing here knows a widget.
//
// Create path: 0 -> 1 -> ... -> 6. Replace path: 0 -> 10 (a neighbourhood
// is chosen and its townies listed) -> 11 (dates listed) -> 12 (confirm,
// replace) -> 0. Back from 10 gives 9, which returns to 0 at once; Back
// from 11 gives 10, which asks for the neighbourhood again.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tryster::wizard {

inline constexpr int kWelcomeStep = 0;
inline constexpr int kAppearanceStep = 1;
inline constexpr int kNameStep = 2;
inline constexpr int kPersonalityStep = 3;
inline constexpr int kInterestsStep = 4;
inline constexpr int kCareerStep = 5;
inline constexpr int kExportStep = 6;
inline constexpr int kReturnStep = 9;
inline constexpr int kNeighbourhoodStep = 10;
inline constexpr int kDatesStep = 11;
inline constexpr int kConfirmStep = 12;

// Every title is the caption followed by ": " and a step text.
inline constexpr std::string_view kWindowCaption = "The Ploms Tryster";
std::string progressTitle(std::string_view stepText);

// What entering a step asks of the window beyond showing its controls.
enum class StepEntry {
    None,
    Welcome,              // Create and Replace over Back and Next
    Appearance,           // gender buttons from the record, both refills
    Personality,          // points and sign from the sliders
    Interests,            // the four buttons from the list counts
    ReturnToWelcome,      // step 9: go to 0 at once
    ChooseNeighbourhood,  // step 10: ask; on cancel go to 0
    SearchDates,          // step 11
    ConfirmReplace,       // step 12: ask, replace on OK, then go to 0
};

struct StepView {
    std::optional<std::string_view> title;  // none: the title keeps its text
    std::span<const int> shown;             // page controls shown on entry
    bool backEnabled = true;
    bool nextEnabled = true;
    StepEntry entry = StepEntry::None;
};

StepView viewOf(int step);

// Hidden at every step change, before the page shows its own.
std::span<const int> controlsHiddenOnEveryStep();
// Every page control of steps 1 to 6.
std::span<const int> allPageControls();

// Next on step 1 is enabled only while one of the gender buttons is pressed.
inline bool appearanceNextEnabled(bool malePressed, bool femalePressed) {
    return malePressed || femalePressed;
}

// The moves. Next runs the step's checks first (the window does); these
// only say where each move leads.
class Navigator {
public:
    int step() const { return step_; }
    void back() { --step_; }
    void next() { ++step_; }
    void create() { next(); }
    void replace() { step_ = kNeighbourhoodStep; }
    // Steps that leave by themselves: 9 at once, 10 when no neighbourhood
    // was chosen, 12 after its question, whatever the answer.
    void returnToWelcome() { step_ = kWelcomeStep; }
    void reset() { step_ = kWelcomeStep; }

private:
    int step_ = kWelcomeStep;
};

}  // namespace tryster::wizard
