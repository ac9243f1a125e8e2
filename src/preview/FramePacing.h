#pragma once
// When the preview draws its next frame. Frames are paced by a single-shot
// timer that is armed again only at the end of each frame, so a slow frame
// never queues frames: 10 ms between the end of one frame and the next
// while the program is the active application, 150 ms while another one
// is. No frame comes while the window is hidden or minimised, while the
// preview is held (a search, a file read, the Load command's file dialog),
// from inside another frame (a modal box or a sound played to its end
// inside a frame), once the program is ending, or when the game was not
// found.
//
// The window tells the pacing what happens and asks it one question: the
// delay before the next frame, or none.

#include <optional>

namespace tryster::preview {

class FramePacing {
public:
    static constexpr int kActivePeriodMs = 10;
    static constexpr int kInactivePeriodMs = 150;

    // The delay before the next frame; none while no frame is to come.
    std::optional<int> nextFrameDelayMs() const {
        if (quit_ || gameMissing_ || !onScreen_ || holds_ > 0 || inFrame_) return std::nullopt;
        if (frameWanted_) return 0;
        return active_ ? kActivePeriodMs : kInactivePeriodMs;
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
    // period.
    void wantFrame() { frameWanted_ = true; }

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
    bool active_ = false;
    bool onScreen_ = false;
    int holds_ = 0;
    bool quit_ = false;
    bool gameMissing_ = false;
    bool inFrame_ = false;
    bool frameWanted_ = false;
};

}  // namespace tryster::preview
