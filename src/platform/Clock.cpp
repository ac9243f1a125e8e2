#include "platform/Clock.h"

#include <ctime>

namespace tryster::platform {
namespace {

ClockSource* g_clock = nullptr;
RuntimeRandom g_random;

}  // namespace

std::uint32_t tickCountMs() {
    if (g_clock) return g_clock->tickCountMs();
    timespec ts{};
    // CLOCK_MONOTONIC counts from the system's start on Linux.
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                       static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

std::int64_t calendarSeconds() {
    if (g_clock) return g_clock->calendarSeconds();
    return static_cast<std::int64_t>(std::time(nullptr));
}

void installClockSource(ClockSource* source) { g_clock = source; }

void seedRandom(std::uint32_t seed) { g_random.seed(seed); }

int nextRandom() {
    return g_random.next();
}

std::uint32_t randomState() {
    return g_random.state();
}

}  // namespace tryster::platform
