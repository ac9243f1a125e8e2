#pragma once
// The demo folder's character assets as files: skeletons, outfits,
// meshes, textures, animations with their frames and index, and the
// sound an animation names. Paths are relative to the game folder and
// written the game's way ('\' separators, the folder lists' letter case).

#include <cstdint>
#include <string>
#include <vector>

namespace tryster::demoworld {

struct DemoFile {
    std::string path;
    std::vector<std::uint8_t> bytes;
};

// The folders (of the preview's search lists) the files go in.
inline constexpr const char* kSkeletonFolder = "GameData\\cmx";
inline constexpr const char* kChildSkeletonFolder = "GameData\\cmx2";
inline constexpr const char* kSkinFolder = "GameData\\Skins";
inline constexpr const char* kHandFolder = "GameData\\People1";
inline constexpr const char* kHandTextureFolder = "GameData\\Textures";
inline constexpr const char* kIndexedAnimationFolder = "GameData\\Animation";

// Every asset file, in a fixed order, made the same on every run. False
// (with `error` naming what) when a record cannot be written.
[[nodiscard]] bool makeAssetFiles(std::vector<DemoFile>& out, std::string& error);

}  // namespace tryster::demoworld
