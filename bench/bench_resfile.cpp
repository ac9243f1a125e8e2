// Timing of the container library, each figure beside a baseline measured
// in the same run on the same files:
//   open with the map (small and large data) .... raw read of the header and
//                                                  the map (what opening reads)
//   open by walking the chunks .................. raw read of the chunk headers
//   loading every resource ...................... raw read of the file
//   adding and writing 20 000 small resources ... raw write of as many bytes
//   rewriting one resource in place ............. raw write at its offset
//   compaction of 100 MB with 30 % free ......... plain copy of the bytes kept
// The files are made in a temporary folder when the program starts. The
// ratios are printed after the table; the raw read of the whole file is
// measured too, for scale.

#include "BenchRatios.h"
#include "platform/FileSystem.h"
#include "resfile/FileHeaders.h"
#include "resfile/IFFResFile2.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace tryster;
using namespace tryster::resfile;

namespace {

constexpr int kResources = 20000;
constexpr ResType kType = makeType("DATA");

struct Files {
    std::filesystem::path dir;
    std::string smallMapped;   // 20 000 resources of 16 bytes, with map
    std::string largeMapped;   // 20 000 resources of 4 KiB, with map
    std::string smallWalked;   // the small file with the map offset cleared
    std::string fragmented;    // 100 MB, 30 % of it free chunks
    std::vector<std::uint32_t> walkOffsets;
    std::uint64_t keptBytes = 0;

    ~Files() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Files* g_files = nullptr;

std::string path(const char* name) { return (g_files->dir / name).string(); }

void fail(const char* what) {
    std::fprintf(stderr, "bench_resfile: %s\n", what);
    std::exit(1);
}

void makeContainer(const std::string& file, int count, std::size_t dataSize) {
    IFFResFile2 f;
    if (f.Create(file) != kNoError || f.Open(file) != kNoError) fail("cannot make a container");
    for (int i = 0; i < count; ++i) {
        DataHandle h = NewDataHandle(dataSize);
        handleBytes(h)[0] = static_cast<std::uint8_t>(i);
        if (f.AddResource(h, kType, static_cast<std::int16_t>(i - 10000), "", true) != kNoError ||
            f.WriteResource(h) != kNoError || ReleaseAndDispose(f, h) != kNoError)
            fail("cannot add a resource");
    }
    if (f.Close() != kNoError) fail("cannot close a container");
}

// Live chunks of 1..64 KiB with free chunks between them, 30 % free in all.
void makeFragmented(const std::string& file) {
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> size(1024, 65536);
    auto out = platform::fileSystem().open(file, platform::OpenMode::CreateTruncate);
    FileHeader header = makeHeader25(0);
    out->write(header.data(), header.size());
    std::uint64_t total = 64;
    std::uint64_t freeTotal = 0;
    std::vector<std::uint8_t> chunk;
    std::int16_t id = 0;
    while (total < 100'000'000) {
        bool isFree = freeTotal < (total * 3) / 10;
        std::uint32_t n = size(random);
        chunk.assign(n, static_cast<std::uint8_t>(n));
        std::uint32_t type = isFree ? kTypeFree : kType;
        for (int i = 0; i < 4; ++i) chunk[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(type >> (24 - 8 * i));
        for (int i = 0; i < 4; ++i) chunk[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n >> (24 - 8 * i));
        chunk[8] = static_cast<std::uint8_t>(id >> 8);
        chunk[9] = static_cast<std::uint8_t>(id);
        chunk[10] = 0;
        chunk[11] = isFree ? kFlagFree : 0;
        std::fill(chunk.begin() + 12, chunk.begin() + 76, 0);
        out->write(chunk.data(), chunk.size());
        total += n;
        if (isFree) freeTotal += n;
        else {
            g_files->keptBytes += n;
            ++id;
        }
    }
}

void setUp() {
    g_files = new Files;
    g_files->dir = std::filesystem::temp_directory_path() / ("tryster-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(g_files->dir);
    g_files->smallMapped = path("small.iff");
    g_files->largeMapped = path("large.iff");
    g_files->smallWalked = path("walked.iff");
    g_files->fragmented = path("fragmented.iff");
    makeContainer(g_files->smallMapped, kResources, 16);
    makeContainer(g_files->largeMapped, kResources, 4096);
    std::filesystem::copy_file(g_files->smallMapped, g_files->smallWalked);
    {
        auto f = platform::fileSystem().open(g_files->smallWalked, platform::OpenMode::ReadWrite);
        std::uint8_t zero[4] = {};
        f->seek(60);
        f->write(zero, 4);
        auto size = *f->size();
        for (std::uint64_t pos = 64; pos + 76 <= size;) {
            std::uint8_t h[8];
            f->seek(pos);
            f->read(h, 8);
            g_files->walkOffsets.push_back(static_cast<std::uint32_t>(pos));
            pos += static_cast<std::uint32_t>(h[4]) << 24 | static_cast<std::uint32_t>(h[5]) << 16 |
                   static_cast<std::uint32_t>(h[6]) << 8 | h[7];
        }
    }
    makeFragmented(g_files->fragmented);
}

std::uint64_t readWhole(const std::string& file) {
    auto f = platform::fileSystem().open(file, platform::OpenMode::Read);
    std::vector<std::uint8_t> buffer(*f->size());
    return f->read(buffer.data(), buffer.size());
}

void openMapped(benchmark::State& state, const std::string& file) {
    for (auto _ : state) {
        IFFResFile2 f;
        if (f.Open(file) != kNoError) state.SkipWithError("open");
        benchmark::DoNotOptimize(f.CountResources(kType));
        (void)f.Close();
    }
}

// What opening a file with a trusted map has to read: the header, then the
// map chunk it points at.
std::uint64_t readHeaderAndMap(const std::string& file) {
    auto f = platform::fileSystem().open(file, platform::OpenMode::Read);
    FileHeader header{};
    if (f->read(header.data(), header.size()) != header.size()) return 0;
    const std::uint32_t mapOffset = headerMapOffset(header);
    std::uint8_t chunkHeader[76];
    if (!f->seek(mapOffset) || f->read(chunkHeader, sizeof chunkHeader) != sizeof chunkHeader) return 0;
    const std::uint32_t size = static_cast<std::uint32_t>(chunkHeader[4]) << 24 |
                               static_cast<std::uint32_t>(chunkHeader[5]) << 16 |
                               static_cast<std::uint32_t>(chunkHeader[6]) << 8 | chunkHeader[7];
    std::vector<std::uint8_t> map(size > sizeof chunkHeader ? size - sizeof chunkHeader : 0);
    return header.size() + sizeof chunkHeader + f->read(map.data(), map.size());
}

void BM_OpenWithMap_Small(benchmark::State& state) { openMapped(state, g_files->smallMapped); }
void BM_OpenWithMap_Large(benchmark::State& state) { openMapped(state, g_files->largeMapped); }
void BM_RawRead_Small(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readWhole(g_files->smallMapped));
}
void BM_RawRead_Large(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readWhole(g_files->largeMapped));
}

void BM_RawHeaderAndMap_Small(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readHeaderAndMap(g_files->smallMapped));
}
void BM_RawHeaderAndMap_Large(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readHeaderAndMap(g_files->largeMapped));
}

void BM_OpenByWalk(benchmark::State& state) { openMapped(state, g_files->smallWalked); }
void BM_RawChunkHeaders(benchmark::State& state) {
    std::uint8_t header[76];
    for (auto _ : state) {
        auto f = platform::fileSystem().open(g_files->smallWalked, platform::OpenMode::ReadWrite);
        for (std::uint32_t offset : g_files->walkOffsets) {
            f->seek(offset);
            benchmark::DoNotOptimize(f->read(header, sizeof header));
        }
    }
}

void BM_LoadEveryResource(benchmark::State& state) {
    for (auto _ : state) {
        IFFResFile2 f;
        (void)f.Open(g_files->smallMapped);
        for (std::int16_t i = 1; i <= f.CountResources(kType); ++i) benchmark::DoNotOptimize(f.GetIndResource(kType, i, nullptr));
        (void)f.Close();
    }
}

void BM_AddAndWrite20000(benchmark::State& state) {
    std::string file = path("added.iff");
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(file);
        state.ResumeTiming();
        makeContainer(file, kResources, 16);
    }
}
void BM_RawWriteSameBytes(benchmark::State& state) {
    std::string file = path("raw-written.bin");
    std::uint64_t size = std::filesystem::file_size(g_files->smallMapped);
    std::vector<std::uint8_t> chunk(92, 1);  // one resource's chunk at a time
    for (auto _ : state) {
        auto f = platform::fileSystem().open(file, platform::OpenMode::CreateTruncate);
        for (std::uint64_t done = 0; done < size; done += chunk.size()) f->write(chunk.data(), chunk.size());
    }
}

void BM_RewriteInPlace(benchmark::State& state) {
    std::string file = path("rewrite.iff");
    std::filesystem::copy_file(g_files->largeMapped, file, std::filesystem::copy_options::overwrite_existing);
    IFFResFile2 f;
    (void)f.Open(file);
    DataHandle h = f.GetIndResource(kType, kResources / 2, nullptr);
    for (auto _ : state) {
        handleBytes(h)[1]++;
        if (f.WriteResource(h) != kNoError) state.SkipWithError("write");
    }
    (void)f.Close();
}
void BM_RawRewrite(benchmark::State& state) {
    std::string file = path("rewrite.iff");
    auto f = platform::fileSystem().open(file, platform::OpenMode::ReadWrite);
    std::vector<std::uint8_t> chunk(76 + 4096, 2);
    for (auto _ : state) {
        f->seek(64 + static_cast<std::uint64_t>(kResources / 2) * chunk.size());
        f->write(chunk.data(), chunk.size());
    }
}

// Open, change one name (so the file counts as changed), close: the close
// compacts and writes a fresh map.
void BM_Compact100MB(benchmark::State& state) {
    std::string file = path("compacted.iff");
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(g_files->fragmented, file, std::filesystem::copy_options::overwrite_existing);
        state.ResumeTiming();
        IFFResFile2 f;
        (void)f.Open(file);
        DataHandle h = f.GetIndResource(kType, 1, nullptr);
        (void)f.SetResInfo(h, 0, "changed", 0);
        if (f.Close() != kNoError) state.SkipWithError("close");
    }
    if (std::filesystem::file_size(file) > g_files->keptBytes + 64 + 2'000'000) state.SkipWithError("not compacted");
}
void BM_PlainCopyOfKeptBytes(benchmark::State& state) {
    std::string copy = path("copy.bin");
    std::vector<std::uint8_t> buffer(128 * 1024);
    for (auto _ : state) {
        auto in = platform::fileSystem().open(g_files->fragmented, platform::OpenMode::Read);
        auto out = platform::fileSystem().open(copy, platform::OpenMode::CreateTruncate);
        for (std::uint64_t left = g_files->keptBytes; left > 0;) {
            std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
            in->read(buffer.data(), n);
            out->write(buffer.data(), n);
            left -= n;
        }
    }
}

}  // namespace

BENCHMARK(BM_OpenWithMap_Small)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWithMap_Large)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawRead_Small)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawRead_Large)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawHeaderAndMap_Small)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawHeaderAndMap_Large)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenByWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawChunkHeaders)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadEveryResource)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddAndWrite20000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RawWriteSameBytes)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RewriteInPlace)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawRewrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Compact100MB)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlainCopyOfKeptBytes)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
    setUp();
    const int status = bench::runWithRatios(
        argc, argv,
        {
            {"BM_OpenWithMap_Small", "BM_RawHeaderAndMap_Small", 0, 0,
             "open with map, 16-byte data / raw header and map"},
            {"BM_OpenWithMap_Large", "BM_RawHeaderAndMap_Large", 0, 0,
             "open with map, 4 KiB data / raw header and map"},
            {"BM_OpenWithMap_Large", "BM_OpenWithMap_Small", 1.25, 0.8,
             "open with map, 4 KiB / 16-byte data"},
            {"BM_OpenWithMap_Small", "BM_RawRead_Small", 0, 0,
             "open with map, 16-byte data / raw read of the file"},
            {"BM_OpenByWalk", "BM_RawChunkHeaders", 2, 0, "open by walking / raw chunk headers"},
            {"BM_LoadEveryResource", "BM_RawRead_Small", 0, 0, "load every resource / raw read"},
            {"BM_AddAndWrite20000", "BM_RawWriteSameBytes", 0, 0, "add and write 20000 / raw write"},
            {"BM_RewriteInPlace", "BM_RawRewrite", 0, 0, "rewrite in place / raw write"},
            {"BM_Compact100MB", "BM_PlainCopyOfKeptBytes", 2, 0, "compaction / plain copy of kept bytes"},
        });
    delete g_files;
    return status;
}
