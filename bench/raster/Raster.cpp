// raster MESH TEXTURE.bmp WIDTH HEIGHT FRAMES [--out LAST.png] [--only A,B,...]
//
// Draws the mesh for FRAMES frames at WIDTH x HEIGHT through the engine's
// two device paths and through Mesa's off-screen OpenGL (llvmpipe, fixed
// function) as the baseline, and prints one line per configuration:
//   config=NAME median_ms=X min_ms=Y max_ms=Z
// dip is the engine as the preview runs it (indexed path, back faces
// culled, only the rectangles drawn in the last frame cleared);
// dip-full-clear clears the whole frame instead, execute takes the
// execute-buffer path, dip-nocull draws back faces too. mesa-1 and mesa-2
// run llvmpipe with LP_NUM_THREADS=0 and 2, without and with ("-cull")
// back-face culling, each clearing the whole frame (llvmpipe's fast path)
// and ("-scissor") only the box the figure covered in the last frame.
//
// Then the floor line: the bytes a frame writes at least over the memcpy
// rate of this run. Every configuration's last frame is compared with
// dip's; a picture that differs (a "match" line says by how much) fails
// the run with exit status 1. --out writes dip's last frame and Mesa's
// (one thread, culled) beside it. A baseline that cannot run prints
// nothing.

#include "RasterBench.h"

#include "formats/PngImage.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace tryster::bench {
namespace {

// A child's exit status when its picture is not the engine's.
constexpr int kPictureDiffers = 3;

bool loadMesh(const std::string& path, BenchMesh& mesh) {
    auto bytes = platform::readWholeFile(path);
    if (!bytes || bytes->size() < 8) return false;
    std::uint32_t vertices, indices;
    std::memcpy(&vertices, bytes->data(), 4);
    std::memcpy(&indices, bytes->data() + 4, 4);
    if (vertices > 65536 || indices % 3 ||
        bytes->size() != 8 + std::size_t{vertices} * 32 + std::size_t{indices} * 2)
        return false;
    mesh.vertices.resize(std::size_t{vertices} * 8);
    mesh.indices.resize(indices);
    std::memcpy(mesh.vertices.data(), bytes->data() + 8, mesh.vertices.size() * 4);
    std::memcpy(mesh.indices.data(), bytes->data() + 8 + mesh.vertices.size() * 4, mesh.indices.size() * 2);
    for (std::size_t i = 0; i < vertices; ++i)
        mesh.box.extend({mesh.vertices[i * 8], mesh.vertices[i * 8 + 1], mesh.vertices[i * 8 + 2]});
    return true;
}

int usage() {
    std::fprintf(stderr, "usage: raster MESH TEXTURE.bmp WIDTH HEIGHT FRAMES [--out LAST.png] [--only A,B,...]\n");
    return 2;
}

std::string withSuffix(const std::string& path, const std::string& suffix) {
    std::string out = path;
    std::size_t dot = out.rfind('.');
    out.insert(dot == std::string::npos ? out.size() : dot, "-" + suffix);
    return out;
}

// The engine's surface may be narrower than asked (an even width), so the
// picture's own rows say how wide it is.
void writePicture(const Setup& s, const std::string& path, const Picture& picture) {
    const std::size_t width = picture.size() / static_cast<std::size_t>(s.height);
    if (width > 0)
        formats::writePng(path, static_cast<int>(width), s.height, picture.data(), width);
}

// Mesa keeps one screen per process and reads LP_NUM_THREADS when it makes
// it, so every baseline runs in a child of its own. The child compares its
// picture with the engine's (the child has a copy of it). False when the
// pictures differ.
bool runMesaChild(const Setup& s, int threads, bool cull, Clear clear, const Picture& engine) {
    std::string config = "mesa-" + std::to_string(threads == 0 ? 1 : threads) + (cull ? "-cull" : "") +
                         (clear == Clear::Scissored ? "-scissor" : "");
    if (!s.runs(config)) return true;
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        setenv("LP_NUM_THREADS", std::to_string(threads).c_str(), 1);
        Picture picture;
        bool same = true;
        if (runMesa(s, cull, clear, config, picture)) {
            if (!engine.empty()) same = samePicture(config, engine, picture);
            if (!s.out.empty() && config == "mesa-1-cull") writePicture(s, withSuffix(s.out, config), picture);
        }
        std::fflush(stdout);
        _exit(same ? 0 : kPictureDiffers);
    }
    int status = 0;
    if (child > 0) waitpid(child, &status, 0);
    return !(WIFEXITED(status) && WEXITSTATUS(status) == kPictureDiffers);
}

}  // namespace

bool Setup::runs(const std::string& config) const {
    return only.empty() || std::find(only.begin(), only.end(), config) != only.end();
}

}  // namespace tryster::bench

int main(int argc, char** argv) {
    using namespace tryster::bench;
    if (argc < 6) return usage();
    Setup setup;
    setup.width = std::atoi(argv[3]);
    setup.height = std::atoi(argv[4]);
    setup.frames = std::atoi(argv[5]);
    for (int i = 6; i < argc; i += 2) {
        if (i + 1 >= argc) return usage();
        if (std::strcmp(argv[i], "--out") == 0) {
            setup.out = argv[i + 1];
        } else if (std::strcmp(argv[i], "--only") == 0) {
            std::stringstream list(argv[i + 1]);
            for (std::string name; std::getline(list, name, ',');) setup.only.push_back(name);
        } else {
            return usage();
        }
    }
    if (setup.width < 2 || setup.height < 1 || setup.width > 4096 || setup.height > 4096 || setup.frames < 1)
        return usage();
    if (!loadMesh(argv[1], setup.mesh)) {
        std::fprintf(stderr, "raster: %s is not a mesh file\n", argv[1]);
        return 1;
    }
    setup.texturePath = argv[2];
    auto bytes = tryster::platform::readWholeFile(setup.texturePath);
    if (!bytes || !tryster::formats::decodeBmp(*bytes, setup.texture)) {
        std::fprintf(stderr, "raster: %s is not a BMP image\n", argv[2]);
        return 1;
    }

    bool same = true;
    Picture engine, picture;
    if (setup.runs("dip") && runEngine(setup, true, true, Clear::Dirty, "dip", engine) && !setup.out.empty())
        writePicture(setup, setup.out, engine);
    struct EngineConfig {
        const char* name;
        bool indexed, cull;
        Clear clear;
    };
    for (const EngineConfig& c : {EngineConfig{"dip-full-clear", true, true, Clear::Full},
                                  EngineConfig{"execute", false, true, Clear::Dirty},
                                  EngineConfig{"dip-nocull", true, false, Clear::Dirty}})
        if (setup.runs(c.name) && runEngine(setup, c.indexed, c.cull, c.clear, c.name, picture) && !engine.empty())
            same = samePicture(c.name, engine, picture) && same;
    for (int threads : {0, 2})
        for (bool cull : {true, false})
            for (Clear clear : {Clear::Full, Clear::Scissored})
                same = runMesaChild(setup, threads, cull, clear, engine) && same;
    if (setup.runs("floor")) reportBandwidthFloor(setup.width, setup.height);
    if (!same) std::fprintf(stderr, "raster: the pictures differ\n");
    return same ? 0 : 1;
}
