// The checks printed beside the timings: whether two last frames are the
// same picture, and the memory-bandwidth floor of a frame.

#include "RasterBench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tryster::bench {
namespace {

// A pixel differs when a channel is off by more than this.
constexpr int kChannelTolerance = 24;
// The pictures match when at most this share of pixels differs (edges and
// texel boundaries that the two sides round differently) and the mean
// channel difference stays under kMeanTolerance.
constexpr double kDifferingShare = 0.02;
constexpr double kMeanTolerance = 2.0;

constexpr int kCopies = 64;

}  // namespace

bool samePicture(const std::string& config, const Picture& engine, const Picture& picture) {
    if (engine.size() != picture.size() || engine.empty()) {
        std::printf("match config=%s size differs: FAIL\n", config.c_str());
        return false;
    }
    std::size_t differing = 0;
    double sum = 0;
    for (std::size_t i = 0; i < engine.size(); ++i) {
        int worst = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int d = std::abs(static_cast<int>((engine[i] >> shift) & 255) -
                                   static_cast<int>((picture[i] >> shift) & 255));
            worst = std::max(worst, d);
            sum += d;
        }
        differing += worst > kChannelTolerance;
    }
    const double share = static_cast<double>(differing) / static_cast<double>(engine.size());
    const double mean = sum / (3.0 * static_cast<double>(engine.size()));
    const bool same = share <= kDifferingShare && mean <= kMeanTolerance;
    std::printf("match config=%s differing=%.3f%% mean=%.3f %s\n", config.c_str(), share * 100, mean,
                same ? "ok" : "FAIL");
    std::fflush(stdout);
    return same;
}

void reportBandwidthFloor(int width, int height) {
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 8;
    std::vector<unsigned char> from(bytes, 1), to(bytes, 0);
    std::vector<double> ms;
    for (int i = 0; i < kCopies; ++i) {
        from[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
        auto start = std::chrono::steady_clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        auto end = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    // Keeps the copies from being optimised away.
    volatile unsigned char sink = to[bytes / 2];
    (void)sink;
    std::printf("config=floor median_ms=%.3f bytes=%zu memcpy_gb_s=%.2f\n", median, bytes,
                static_cast<double>(bytes) / (median * 1e6));
    std::fflush(stdout);
}

}  // namespace tryster::bench
