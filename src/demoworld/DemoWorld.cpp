#include "demoworld/DemoWorld.h"

#include "demoworld/DemoAssets.h"
#include "demoworld/GameContainers.h"

#include "platform/FileSystem.h"

#include <filesystem>

namespace tryster::demoworld {
namespace {

namespace fs = std::filesystem;

bool writeFiles(const std::string& root, const std::vector<DemoFile>& files, std::string& error) {
    platform::FileSystem& disk = platform::fileSystem();
    for (const DemoFile& f : files) {
        const std::string path = platform::joinPath(root, platform::toNativeSeparators(f.path));
        const std::string folder = fs::path(path).parent_path().string();
        if (!disk.createDirectories(folder) || !platform::writeWholeFile(path, f.bytes.data(), f.bytes.size())) {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

bool fill(const std::string& root, std::string& error) {
    std::vector<DemoFile> files;
    return makeAssetFiles(files, error) && writeFiles(root, files, error) && writeGameContainers(root, error);
}

}  // namespace

bool writeDemoWorld(const std::string& folder, std::string& error) {
    std::error_code ec;
    const fs::path target(folder);
    if (fs::exists(target, ec) && (!fs::is_directory(target, ec) || !fs::is_empty(target, ec))) {
        error = folder + " already exists and is not an empty folder";
        return false;
    }
    fs::path staging = target;
    staging += ".partial";
    if (fs::exists(staging, ec)) {
        error = staging.string() + " is in the way (left by an interrupted run?); remove it first";
        return false;
    }
    if (!fs::create_directories(staging, ec)) {
        error = "cannot make " + staging.string() + ": " + ec.message();
        return false;
    }
    bool ok = fill(staging.string(), error);
    if (ok && fs::exists(target, ec)) fs::remove(target, ec);
    if (ok) {
        fs::rename(staging, target, ec);
        if (ec) {
            error = "cannot move " + staging.string() + " to " + folder + ": " + ec.message();
            ok = false;
        }
    }
    if (!ok) fs::remove_all(staging, ec);
    return ok;
}

}  // namespace tryster::demoworld
