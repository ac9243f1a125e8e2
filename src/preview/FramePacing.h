#pragma once
// When the preview draws. Frames are paced by a single-shot timer that is
// armed again only at the end of each tick, so a slow frame never queues
// ticks: 10 ms between the end of one frame and the next tick while the
// program is the active application, 150 ms while another one is. No tick
// draws while the window is hidden or minimised, while the preview is
// suspended (a catalog refill, a search, a load), or from inside another
// tick (a modal box or a sound played to its end inside a frame).

#include <cstdint>

namespace tryster::preview {

class FramePacing {
public:
    static constexpr int kActivePeriodMs = 10;
    static constexpr int kInactivePeriodMs = 150;

    int periodMs() const { return active_ ? kActivePeriodMs : kInactivePeriodMs; }
    bool applicationActive() const { return active_; }
    // True when the period changed.
    bool setApplicationActive(bool active) {
        const bool changed = active != active_;
        active_ = active;
        return changed;
    }

    // Shown and not minimised.
    bool onScreen() const { return onScreen_; }
    void setOnScreen(bool on) { onScreen_ = on; }

    bool busy() const { return busy_; }
    bool mayTick(bool suspended) const { return onScreen_ && !busy_ && !suspended; }

    // Holds the busy flag for the life of a tick.
    class Tick {
    public:
        explicit Tick(FramePacing& pacing) : pacing_(pacing) { pacing_.busy_ = true; }
        ~Tick() { pacing_.busy_ = false; }
        Tick(const Tick&) = delete;
        Tick& operator=(const Tick&) = delete;

    private:
        FramePacing& pacing_;
    };

private:
    bool active_ = false;
    bool onScreen_ = false;
    bool busy_ = false;
};

}  // namespace tryster::preview
