#pragma once
// Time and the runtime library's random generator.
//
// The generator is the classic C runtime one (state × 214013 + 2531011,
// result = bits 16 to 30 of the new state), implemented here so results are
// the same on every platform: the game-facing identifiers and the idle
// director depend on its exact sequence.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tryster::platform {

// Milliseconds since an arbitrary fixed start (the system's start, where
// known); wraps at 2^32 like the platform's tick count.
std::uint32_t tickCountMs();

// Calendar time in seconds since 1970.
std::int64_t calendarSeconds();

// The processor time the calling thread has used, in milliseconds: what
// a piece of work cost, not what it waited for. The system's own, whatever
// clock source is installed.
double threadProcessorMs();

// Calendar time as text that files keep: UTC in ISO 8601 form,
// "2024-05-14T13:02:09Z". The parse takes exactly that form, for a moment
// from 1970 to 9999, and gives none for anything else.
std::string utcTimeText(std::int64_t seconds);
std::optional<std::int64_t> parseUtcTime(std::string_view text);
// The same moment in this computer's local time, as people read it:
// "2024-05-14 15:02".
std::string localTimeText(std::int64_t seconds);

// A source of the two clocks, replaceable by tests.
class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual std::uint32_t tickCountMs() = 0;
    virtual std::int64_t calendarSeconds() = 0;
};

// Installs a clock for tests; nullptr restores the system clocks.
void installClockSource(ClockSource* source);

// A clock that stands still until its owner moves it, for repeatable
// pictures and timings (tests, benchmarks, the guide's pictures).
class FixedClock final : public ClockSource {
public:
    explicit FixedClock(std::uint32_t startTicks, std::int64_t startSeconds = 1'700'000'000)
        : ticks(startTicks), seconds(startSeconds) {}
    std::uint32_t tickCountMs() override { return ticks; }
    std::int64_t calendarSeconds() override { return seconds; }
    std::uint32_t ticks;
    std::int64_t seconds;
};

// The runtime library's linear congruential generator.
class RuntimeRandom {
public:
    static constexpr int kMax = 0x7FFF;

    explicit RuntimeRandom(std::uint32_t seed = 1) : state_(seed) {}
    void seed(std::uint32_t seed) { state_ = seed; }
    // 0..kMax.
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }
    std::uint32_t state() const { return state_; }

private:
    std::uint32_t state_;
};

// The process-wide generator (seeded with 1 until someone seeds it, as the
// runtime library's is).
void seedRandom(std::uint32_t seed);
int nextRandom();
// The generator's state; seedRandom(state) puts it back.
std::uint32_t randomState();

}  // namespace tryster::platform
