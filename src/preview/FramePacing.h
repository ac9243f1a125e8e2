#pragma once
// When the preview draws its next frame. Frames are paced by a timer that
// is armed again only at the end of each frame, so a slow frame never
// queues frames: 10 ms between the end of one frame and the next while the
// program is the active application (or until the display's next refresh,
// below), 150 ms while another one is. No frame comes while the window is hidden or minimised, while the
// preview is held (a search, a file read, the Load command's file dialog),
// from inside another frame (a modal box or a sound played to its end
// inside a frame), once the program is ending, or when the game was not
// found.
//
// A frame that costs more than half the period (a slow machine, or a
// checked build) spaces the frames out instead: the window is left at
// least as long idle as the frames take, in steps of the active period,
// so that it still answers the player, and assistive tools, at once.
// The animations follow the clock, not the frames, so they keep their
// speed with fewer frames.
//
// The window tells the pacing what happens and asks it two questions: the
// delay before the next frame, or none, and the ticks it slept through.
//
// A frame moves the clock and poses the figure at every tick, but draws
// and presents at most once per display refresh: the display would never
// show the others. It draws at the first tick in each refresh interval,
// so the frames drawn follow the display's rate; a wanted frame draws at
// once.
//
// While active, the window wakes once per refresh of a display slower
// than the ticks, not at every tick: each wake-up at the start of a
// refresh interval first runs the ticks it slept through, at their own
// times, then the tick that draws. The clock and the idle director still
// step every 10 ms; only a wake-up without a picture is saved. A window
// further behind than a few ticks (a stall) runs one tick, not a burst.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace tryster::preview {

class FramePacing {
public:
    static constexpr int kActivePeriodMs = 10;
    static constexpr int kInactivePeriodMs = 150;
    // What one frame's time counts for at most: frames stay at least a
    // couple of times a second.
    static constexpr double kMaxFrameMs = 250;
    // The most ticks a wake-up runs late.
    static constexpr int kMostMissedTicks = 4;

    // The delay from `nowMs` (the system's tick count) before the next
    // frame; none while no frame is to come.
    std::optional<int> nextFrameDelayMs(std::uint32_t nowMs) const {
        if (quit_ || gameMissing_ || !onScreen_ || holds_ > 0 || inFrame_) return std::nullopt;
        if (frameWanted_) return 0;
        const int spaced = static_cast<int>(std::ceil(2 * frameMs_ / kActivePeriodMs)) * kActivePeriodMs;
        if (!active_ || spaced > kActivePeriodMs) return std::max(active_ ? kActivePeriodMs : kInactivePeriodMs, spaced);
        // A display faster than the ticks, or too slow for the ticks between
        // its refreshes to be run late, wakes the window at every tick.
        if (!(refreshHz_ * kActivePeriodMs < 1000 && refreshHz_ * (kMostMissedTicks + 1) * kActivePeriodMs > 1000))
            return kActivePeriodMs;
        // The first whole millisecond of the next refresh interval.
        const auto next = static_cast<std::uint64_t>(
            std::ceil(static_cast<double>(refreshIndex(nowMs) + 1) * 1000.0 / refreshHz_));
        return static_cast<int>(std::max<std::uint64_t>(next - nowMs, 1));
    }
    // The time of the first tick slept through between the last tick, at
    // `lastTickMs`, and a wake-up at `nowMs`: none when there is none, or
    // when the window is more than kMostMissedTicks ticks behind. Run it,
    // then ask again with its time.
    static std::optional<std::uint32_t> missedTick(std::uint32_t lastTickMs, std::uint32_t nowMs) {
        const std::uint32_t behind = nowMs - lastTickMs;
        constexpr auto kPeriod = static_cast<std::uint32_t>(kActivePeriodMs);
        if (behind <= kPeriod || behind > (kMostMissedTicks + 1) * kPeriod) return std::nullopt;
        return lastTickMs + kPeriod;
    }

    // The processor time the last frame took, in milliseconds; a running
    // mean of them spaces the frames (one slow frame barely does).
    void frameTook(double ms) {
        if (ms >= 0) frameMs_ += (std::min(ms, kMaxFrameMs) - frameMs_) / 4;
    }

    void setApplicationActive(bool active) { active_ = active; }
    // Shown and not minimised.
    void setOnScreen(bool on) { onScreen_ = on; }
    // Holds nest; each hold() is ended by one release().
    void hold() { ++holds_; }
    void release() {
        if (holds_ > 0) --holds_;
    }
    bool held() const { return holds_ > 0; }
    // For good: the program is ending, or the preview found no game.
    void quit() { quit_ = true; }
    void setGameMissing() { gameMissing_ = true; }
    // The window was uncovered or restored: a frame at once, not after the
    // period, and drawn.
    void wantFrame() {
        frameWanted_ = true;
        drawWanted_ = true;
    }

    // The screen's refresh rate; 0 or less when unknown (every frame then
    // draws, as does every frame of a display faster than the ticks).
    void setDisplayRefreshHz(double hz) { refreshHz_ = hz; }
    // Whether the frame at `nowMs` (the system's tick count) draws: the
    // first one, a wanted one, else the first in a refresh interval since
    // the last frame drawn.
    bool drawDue(std::uint32_t nowMs) const {
        return drawWanted_ || !lastDrawn_ || refreshHz_ <= 0 || refreshIndex(nowMs) != *lastDrawn_;
    }
    void drew(std::uint32_t nowMs) {
        drawWanted_ = false;
        lastDrawn_ = refreshIndex(nowMs);
    }

    // Marks the life of one frame.
    class Frame {
    public:
        explicit Frame(FramePacing& pacing) : pacing_(pacing) {
            pacing_.inFrame_ = true;
            pacing_.frameWanted_ = false;
        }
        ~Frame() { pacing_.inFrame_ = false; }
        Frame(const Frame&) = delete;
        Frame& operator=(const Frame&) = delete;

    private:
        FramePacing& pacing_;
    };

private:
    std::uint64_t refreshIndex(std::uint32_t nowMs) const {
        return refreshHz_ > 0 ? static_cast<std::uint64_t>(static_cast<double>(nowMs) * refreshHz_ / 1000.0)
                              : 0;
    }

    double refreshHz_ = 0;
    double frameMs_ = 0;
    bool drawWanted_ = false;
    std::optional<std::uint64_t> lastDrawn_;
    bool active_ = false;
    bool onScreen_ = false;
    int holds_ = 0;
    bool quit_ = false;
    bool gameMissing_ = false;
    bool inFrame_ = false;
    bool frameWanted_ = false;
};

}  // namespace tryster::preview
