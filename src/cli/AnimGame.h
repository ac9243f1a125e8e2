#pragma once
// What the anim commands share: the game folder they read, with its
// character library, and JSON whose numbers print as the floats they are.

#include "anim/CharacterLibrary.h"
#include "platform/FileSystem.h"
#include "render/AnimDevice.h"
#include "render/Device3D.h"
#include "softgpu/FrameFileWindow.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>

namespace tryster::cli {

// Floats print in their shortest exact form ("0.1", not 0.10000000149...).
using FloatJson = nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool, std::int64_t,
                                       std::uint64_t, float>;

FloatJson toJson(const render::Vector3& v);
FloatJson toJson(const render::Quaternion& q);
FloatJson toJson(const render::Box& box);

// Makes `folder` (the game's install folder) the current directory: the
// game's folder lists are relative to it.
void enterGameFolder(const std::string& folder);
// A path given on the command line, taken from the current directory
// (before a command enters the game folder).
std::string absolutePath(const std::string& path);

// Makes `folder` the current directory (the game's folder lists are
// relative to it), makes the library and scans the character files, then
// the index files. With `withDevice`, a small headless 3D device becomes
// the current device first, so characters can wear meshes.
class AnimGame {
public:
    AnimGame(const std::string& folder, bool withDevice);
    ~AnimGame();
    AnimGame(const AnimGame&) = delete;
    AnimGame& operator=(const AnimGame&) = delete;

    anim::CharacterLibrary& library() { return *library_; }
    // The file an entry came from, as a path below the game folder.
    template <typename T>
    static std::string fileOf(const anim::LibraryEntry<T>& entry) {
        return platform::joinPath(platform::toNativeSeparators(entry.directory), entry.fileName);
    }

private:
    std::unique_ptr<softgpu::FrameFileWindow> window_;
    std::unique_ptr<render::AnimDevice> animDevice_;
    std::unique_ptr<render::Device3D> device_;
    std::unique_ptr<anim::CharacterLibrary> library_;
};

}  // namespace tryster::cli
