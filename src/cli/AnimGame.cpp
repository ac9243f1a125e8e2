#include "cli/AnimGame.h"

#include "cli/Commands.h"
#include "platform/FileSystem.h"

#include <fmt/format.h>

#include <filesystem>

namespace tryster::cli {
namespace {

// The headless target: small, since nothing is looked at.
constexpr int kTargetSize = 64;

}  // namespace

FloatJson toJson(const render::Vector3& v) {
    return FloatJson::array({v.x, v.y, v.z});
}

FloatJson toJson(const render::Quaternion& q) {
    return FloatJson::array({q.x, q.y, q.z, q.w});
}

FloatJson toJson(const render::Box& box) {
    FloatJson out;
    out["min"] = toJson(box.min);
    out["max"] = toJson(box.max);
    return out;
}

std::string absolutePath(const std::string& path) {
    if (path.empty() || std::filesystem::path(path).is_absolute()) return path;
    return platform::joinPath(platform::fileSystem().currentDirectory(), path);
}

void enterGameFolder(const std::string& folder) {
    platform::FileSystem& fs = platform::fileSystem();
    if (!fs.isDirectory(folder))
        throw CommandError(resfile::FileProblem{folder, "the game's install folder", resfile::describeContents(folder)});
    if (!fs.setCurrentDirectory(folder))
        throw CommandError(fmt::format("{}: cannot enter the folder", folder));
}

AnimGame::AnimGame(const std::string& folder, bool withDevice) {
    enterGameFolder(folder);
    if (withDevice) {
        window_ = std::make_unique<softgpu::FrameFileWindow>(std::string(), kTargetSize, kTargetSize);
        animDevice_ = std::make_unique<render::AnimDevice>();
        render::RenderResult rc = animDevice_->initialise(window_.get(), false, false, kTargetSize,
                                                          kTargetSize, 32, render::AnimDevice::kRgb, 0);
        if (!rc) rc = render::Device3D::create(*animDevice_, device_);
        if (rc) throw CommandError(fmt::format("no 3D device (error {:#x})", rc.code()));
        render::Device3D::setCurrent(device_.get());
    }
    library_ = std::make_unique<anim::CharacterLibrary>(device_.get());
    library_->loadCharacterFiles(anim::kCharacterSearchPath);
    library_->readIndexFiles(anim::kAnimationSearchPath);
}

AnimGame::~AnimGame() {
    library_.reset();
    if (device_ && render::Device3D::current() == device_.get()) render::Device3D::setCurrent(nullptr);
}

}  // namespace tryster::cli
