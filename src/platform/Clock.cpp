#include "platform/Clock.h"

#include <array>
#include <cstdio>
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

double threadProcessorMs() {
    timespec ts{};
    if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts) != 0) return 0;
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void installClockSource(ClockSource* source) { g_clock = source; }

namespace {

// 9999-12-31T23:59:59Z: four digits of year are all the form has room for.
constexpr std::int64_t kLastSecond = 253402300799;

}  // namespace

std::string utcTimeText(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (seconds < 0 || seconds > kLastSecond || !::gmtime_r(&t, &parts)) return {};
    std::array<char, 32> text{};
    const std::size_t n = std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &parts);
    return std::string(text.data(), n);
}

std::optional<std::int64_t> parseUtcTime(std::string_view text) {
    // "YYYY-MM-DDTHH:MM:SSZ": digits at every place but these.
    constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:ddZ";
    if (text.size() != kShape.size()) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (kShape[i] == 'd' ? (text[i] < '0' || text[i] > '9') : text[i] != kShape[i]) return std::nullopt;
    }
    const auto number = [&](std::size_t at, std::size_t digits) {
        int v = 0;
        for (std::size_t i = at; i < at + digits; ++i) v = v * 10 + (text[i] - '0');
        return v;
    };
    std::tm parts{};
    parts.tm_year = number(0, 4) - 1900;
    parts.tm_mon = number(5, 2) - 1;
    parts.tm_mday = number(8, 2);
    parts.tm_hour = number(11, 2);
    parts.tm_min = number(14, 2);
    parts.tm_sec = number(17, 2);
    const std::time_t t = ::timegm(&parts);
    // timegm carries an hour 25 or a 31st of April into the next day: the
    // text back tells such a date from a real one.
    if (t < 0 || utcTimeText(static_cast<std::int64_t>(t)) != text) return std::nullopt;
    return static_cast<std::int64_t>(t);
}

std::string localTimeText(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (seconds < 0 || seconds > kLastSecond || !::localtime_r(&t, &parts)) return {};
    std::array<char, 32> text{};
    const std::size_t n = std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M", &parts);
    return std::string(text.data(), n);
}

void seedRandom(std::uint32_t seed) { g_random.seed(seed); }

int nextRandom() {
    return g_random.next();
}

std::uint32_t randomState() {
    return g_random.state();
}

}  // namespace tryster::platform
