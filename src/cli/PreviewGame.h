#pragma once
// What the catalog and render commands share: the preview set up on a game
// folder exactly as the program sets it up, on a clock of its own (so runs
// repeat), and the look they are asked for.

#include "cli/CharacterDescription.h"
#include "platform/Clock.h"
#include "platform/DisplayWindow.h"
#include "preview/Preview.h"

#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tryster::cli {

// The time the preview sees: it moves only when told to. Calendar seconds
// seed the preview's random generator.
class SimulatedClock final : public platform::ClockSource {
public:
    explicit SimulatedClock(std::int64_t seed) : seconds_(seed) {}
    std::uint32_t tickCountMs() override { return ticks_; }
    std::int64_t calendarSeconds() override { return seconds_; }
    void advance(std::uint32_t ms) { ticks_ += ms; }

private:
    std::uint32_t ticks_ = 1'000'000;
    std::int64_t seconds_;
};

// Takes each presented frame as a window of the program would (a copy of
// its pixels).
class CopyingWindow final : public platform::DisplayWindow {
public:
    platform::DisplayWindow* parentWindow() override { return nullptr; }
    platform::ScreenRect screenRect() override { return {0, 0, 0, 0}; }
    void showFrame(const platform::LockedSurface& frame, const platform::ScreenRect& source) override;

private:
    std::vector<std::uint32_t> pixels_;
};

// The look options of both commands. Unset fields keep what the character
// description (or the program's defaults) gives.
struct LookOptions {
    std::string characterFile;
    std::optional<std::string> gender;  // "male" or "female"
    std::optional<int> bodyType;
    std::optional<int> skinTone;
    bool child = false;
    std::optional<std::string> bodyMesh, bodyTexture, headMesh, headTexture;

    // Adds the options (the character file only with `withCharacterFile`).
    void addTo(CLI::App& command, bool withCharacterFile);
    // The character file's description with the options applied over it.
    Character describe() const;
};

class PreviewGame {
public:
    // Sets the preview up on `folder` at the given size; throws
    // CommandError when the folder is missing or the preview cannot start.
    PreviewGame(const std::string& folder, int width, int height, std::int64_t seed);
    ~PreviewGame();
    PreviewGame(const PreviewGame&) = delete;
    PreviewGame& operator=(const PreviewGame&) = delete;

    preview::Preview& preview() { return preview_; }
    const preview::LookModel& look() const { return look_; }
    // What the preview shows, as the window keeps it.
    const Character& character() const { return character_; }
    SimulatedClock& clock() { return clock_; }

    // Puts the look of `described` on the preview as the wizard's gender
    // buttons do: both refills, then the texture refill. Names the lists do
    // not offer are replaced by what they select.
    void showLook(const Character& described);
    // showLook, telling on standard error about each name asked for by an
    // option that the lists replaced.
    void applyLook(const LookOptions& options);
    // The four names exactly as given, whether the lists offer them or not.
    void wearExactly(const Appearance& names) { look_.wearExactly(names); }

    // A warning on standard error for each damaged character file or mesh
    // the preview met, which it wore as far as it read.
    void warnOfDamagedFiles() const;

    // The drawing surface as 0xAARRGGBB pixels, rows top first.
    std::vector<std::uint32_t> picture() const;

private:
    // Keeps the step the set-up stopped at.
    class StepPresenter final : public preview::PreviewPresenter {
    public:
        void showProgress(std::string_view text) override { step = text; }
        void showMessage(std::string_view, std::string_view) override {}
        void postQuit(int) override {}
        std::string step;
    };
    // The simulated clock stands in for the system's while the game lives.
    struct ClockInstalled {
        explicit ClockInstalled(platform::ClockSource* source) { platform::installClockSource(source); }
        ~ClockInstalled() { platform::installClockSource(nullptr); }
    };

    SimulatedClock clock_;
    ClockInstalled installed_{&clock_};
    CopyingWindow window_;
    StepPresenter presenter_;
    preview::PreviewClock previewClock_;
    Character character_;
    preview::LookModel look_{character_};
    preview::Preview preview_;
};

}  // namespace tryster::cli
