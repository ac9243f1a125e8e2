// Decoding compressed frames against a plain copy of the decoded size.

#include "../BenchRatios.h"

#include "anim/FrameFile.h"

#include <cmath>
#include <cstring>

namespace {

using namespace tryster;

constexpr std::size_t kEntries = 30000;  // per pool: 500 frames of 60 tracks

struct Input {
    std::vector<std::uint8_t> stream;
    std::size_t decodedBytes = kEntries * (sizeof(anim::Vector3) + sizeof(anim::Quaternion));
    Input() {
        anim::FramePools p;
        for (std::size_t i = 0; i < kEntries; ++i) {
            float f = static_cast<float>(i % 500) * 0.02f, track = static_cast<float>(i / 500);
            p.translations.push_back({std::sin(f) * 0.1f, 1.0f + track * 0.01f, i % 7 == 0 ? 0.5f : 0.0f});
            float half = 0.3f * std::sin(f + track);
            p.rotations.push_back({std::sin(half) * 0.6f, std::sin(half) * 0.8f, 0, std::cos(half)});
        }
        stream = anim::encodeCfp(p, 1e-4f);
    }
};

const Input& input() {
    static Input i;
    return i;
}

void BM_DecodeCfp(benchmark::State& state) {
    const Input& in = input();
    anim::FramePools pools;
    for (auto _ : state) {
        bool ok = anim::decodeCfp(in.stream, kEntries, kEntries, pools);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(pools.rotations.data());
    }
    state.counters["streamBytes"] = static_cast<double>(in.stream.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.decodedBytes));
}

void BM_CopyDecodedSize(benchmark::State& state) {
    const Input& in = input();
    std::vector<std::uint8_t> from(in.decodedBytes, 1), to(in.decodedBytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.decodedBytes));
}

BENCHMARK(BM_DecodeCfp)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CopyDecodedSize)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    return tryster::bench::runWithRatios(
        argc, argv,
        {{"BM_DecodeCfp", "BM_CopyDecodedSize", 0, 0, "decode .cfp frames / copy of the decoded size"}});
}
