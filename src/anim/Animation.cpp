#include "anim/Animation.h"

#include "anim/FrameFile.h"
#include "platform/FileFinder.h"
#include "platform/FileSystem.h"

namespace tryster::anim {

bool Animation::loadFrames() {
    if (framesLoaded_) return true;
    if (searchPath.empty() || dataName.empty() || translationCount < 0 || rotationCount < 0) return false;
    const platform::FileFinder& finder = platform::FileFinder::instance();
    const auto t = static_cast<std::size_t>(translationCount);
    const auto q = static_cast<std::size_t>(rotationCount);
    FramePools pools;
    if (auto path = finder.find(dataName, "cfp", searchPath)) {
        auto bytes = platform::readWholeFile(*path);
        if (!bytes || !decodeCfp(*bytes, t, q, pools)) return false;
    } else if (auto binPath = finder.find(dataName, "bin", searchPath)) {
        auto bytes = platform::readWholeFile(*binPath);
        if (!bytes || !readBinFrames(*bytes, t, q, pools)) return false;
    } else {
        return false;
    }
    setFrames(std::move(pools.translations), std::move(pools.rotations));
    return true;
}

void Animation::setFrames(std::vector<Vector3> translations, std::vector<Quaternion> rotations) {
    translations_ = std::move(translations);
    rotations_ = std::move(rotations);
    framesLoaded_ = true;
}

}  // namespace tryster::anim
