// raster MESH TEXTURE.bmp WIDTH HEIGHT FRAMES [--out LAST.png]
//
// Draws the mesh for FRAMES frames at WIDTH x HEIGHT through the engine's
// two device paths and through Mesa's off-screen OpenGL (llvmpipe, fixed
// function) as the baseline, and prints one line per configuration:
//   config=NAME median_ms=X min_ms=Y max_ms=Z
// dip and execute are the engine's paths (back faces culled, the device's
// default); dip-nocull draws them too. mesa-1 and mesa-2 run llvmpipe with
// LP_NUM_THREADS=0 and 2, each without and with ("-cull") back-face culling.
// A baseline that cannot run prints nothing.

#include "RasterBench.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace tryster::bench {
namespace {

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
    std::fprintf(stderr, "usage: raster MESH TEXTURE.bmp WIDTH HEIGHT FRAMES [--out LAST.png]\n");
    return 2;
}

// Mesa keeps one screen per process and reads LP_NUM_THREADS when it makes
// it, so every baseline runs in a child of its own.
void runMesaChild(const Setup& setup, int threads, bool cull, const std::string& config, bool writeOut) {
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        setenv("LP_NUM_THREADS", std::to_string(threads).c_str(), 1);
        runMesa(setup, threads, cull, config, writeOut);
        std::fflush(stdout);
        _exit(0);
    }
    if (child > 0) {
        int status = 0;
        waitpid(child, &status, 0);
    }
}

}  // namespace
}  // namespace tryster::bench

int main(int argc, char** argv) {
    using namespace tryster::bench;
    if (argc != 6 && argc != 8) return usage();
    Setup setup;
    setup.width = std::atoi(argv[3]);
    setup.height = std::atoi(argv[4]);
    setup.frames = std::atoi(argv[5]);
    if (argc == 8) {
        if (std::strcmp(argv[6], "--out") != 0) return usage();
        setup.out = argv[7];
    }
    if (setup.width < 2 || setup.height < 1 || setup.width > 4096 || setup.height > 4096 || setup.frames < 1)
        return usage();
    if (!loadMesh(argv[1], setup.mesh)) {
        std::fprintf(stderr, "raster: %s is not a mesh file\n", argv[1]);
        return 1;
    }
    setup.texturePath = argv[2];
    auto bytes = tryster::platform::readWholeFile(setup.texturePath);
    if (!bytes || !tryster::render::decodeBmp(*bytes, setup.texture)) {
        std::fprintf(stderr, "raster: %s is not a BMP image\n", argv[2]);
        return 1;
    }
    runEngine(setup, true, true, "dip", !setup.out.empty());
    runEngine(setup, false, true, "execute", false);
    runEngine(setup, true, false, "dip-nocull", false);
    runMesaChild(setup, 0, false, "mesa-1", !setup.out.empty());
    runMesaChild(setup, 0, true, "mesa-1-cull", false);
    runMesaChild(setup, 2, false, "mesa-2", false);
    runMesaChild(setup, 2, true, "mesa-2-cull", false);
    return 0;
}
