#pragma once
// The wizard's steps as a graph: for each step its title, where Back and
// Next lead, and whether they may be pressed. The window shows the page of
// the step it is on and asks this where a move leads; nothing here knows a
// widget.
//
// Create path: 0 -> 1 -> ... -> 6. Replace path: 0 -> 10 (a neighbourhood
// is chosen and its townies listed) -> 11 (dates listed) -> 12 (confirm,
// replace) -> 0. Back from 10 returns to the welcome page; Back from 11
// asks for the neighbourhood again. Install path: 0 -> 20 (a shared date is
// chosen and shown) -> 0, whether it is installed (Next) or not (Back).
// History: 0 -> 30 (the changes listed, undone or forgotten there) -> 0
// (Back). A page may send the wizard on as soon as its step is entered (a cancelled
// neighbourhood or shared date, the confirmation).

#include "character/Vocabulary.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tryster::wizard {

inline constexpr int kWelcomeStep = 0;
inline constexpr int kAppearanceStep = 1;
inline constexpr int kNameStep = 2;
inline constexpr int kPersonalityStep = 3;
inline constexpr int kInterestsStep = 4;
inline constexpr int kCareerStep = 5;
inline constexpr int kExportStep = 6;
inline constexpr int kNeighbourhoodStep = 10;
inline constexpr int kDatesStep = 11;
inline constexpr int kConfirmStep = 12;
inline constexpr int kInstallStep = 20;
inline constexpr int kHistoryStep = 30;

// Every title is the caption followed by ": " and a step text.
inline constexpr std::string_view kWindowCaption = "The Ploms Tryster";

struct Step {
    int step;
    std::optional<std::string_view> title;  // none: the title keeps its text
    int back;                               // where Back leads
    int next;                               // where Next leads (Create, on the welcome page)
    bool backEnabled;
    bool nextEnabled;
};

// Every step, the Create path first.
std::span<const Step> steps();
// The row of a step of the table.
const Step& stepOf(int step);

// Next on step 1 is enabled only while the look has a gender (one of the
// gender buttons is pressed).
inline bool appearanceNextEnabled(std::int32_t gender) {
    return gender == kMale || gender == kFemale;
}

// Where the moves lead. Next runs the step's checks first (the window
// does); this only follows the graph.
class Navigator {
public:
    int step() const { return step_; }
    void back() { step_ = stepOf(step_).back; }
    void next() { step_ = stepOf(step_).next; }
    void replace() { step_ = kNeighbourhoodStep; }
    void install() { step_ = kInstallStep; }
    void history() { step_ = kHistoryStep; }
    // A page that sends the wizard on from its step.
    void goTo(int step) { step_ = stepOf(step).step; }

private:
    int step_ = kWelcomeStep;
};

}  // namespace tryster::wizard
