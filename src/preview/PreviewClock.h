#pragma once
// The preview clock: milliseconds that follow the system's tick count, but
// advance by at most a maximum step at a time, so that after a stall (a
// modal dialog, a long export) animations go on where they were instead of
// jumping to their ends. Playback start times, release times and the
// character library's cache sweep all read it.

#include <cstdint>

namespace tryster::preview {

class PreviewClock {
public:
    static constexpr std::uint32_t kInitialMaxStepMs = 2000;
    // What every frame sets after its step.
    static constexpr std::uint32_t kFrameMaxStepMs = 1000;

    // The process-wide clock.
    static PreviewClock& instance();

    // Reads platform::tickCountMs(). The step is the time since the last
    // one, clamped to the maximum step; all arithmetic wraps at 2^32 like
    // the tick count.
    void step();
    // The same, as if the tick count read `realMs`.
    void step(std::uint32_t realMs);

    std::uint32_t nowMs() const { return clock_; }
    std::uint32_t lastStepMs() const { return lastStep_; }
    std::uint32_t lastRealTimeMs() const { return lastRealTime_; }
    std::uint32_t frameCount() const { return frames_; }
    void setMaxStepMs(std::uint32_t ms) { maxStep_ = ms; }

private:
    std::uint32_t clock_ = 0;
    std::uint32_t lastStep_ = 0;
    std::uint32_t lastRealTime_ = 0;
    std::uint32_t frames_ = 0;
    std::uint32_t offset_ = 0;
    std::uint32_t maxStep_ = kInitialMaxStepMs;
};

}  // namespace tryster::preview
