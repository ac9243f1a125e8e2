#include "exchange/SkinFileList.h"

#include "exchange/GameLayout.h"
#include "exchange/TextLines.h"
#include "platform/FileSystem.h"
#include "platform/GameText.h"

#include <algorithm>

namespace tryster::exchange {

namespace {

constexpr std::string_view kMeshListExtension = ".cmx";
constexpr std::string_view kMeshExtension = ".skn";
constexpr std::string_view kTextureExtension = ".bmp";
constexpr std::string_view kSkinLineMark = "xskin";

// A name that stays inside the skin folder: no folder part, no way up, no
// drive.
bool isPlainName(std::string_view name) {
    return !name.empty() && name.find_first_of(std::string_view("/\\:\0", 4)) == std::string_view::npos &&
           name.find("..") == std::string_view::npos;
}

class Collector {
public:
    Collector(std::string_view folder, SkinFileList& list) : folder_(folder), list_(list) {}

    // The file's path when it is present (opens for reading). `name` is a
    // game name: the look's, or one read from the game's own files.
    std::unique_ptr<platform::File> open(std::string_view name, std::string_view extension, std::string& path) const {
        if (!isPlainName(name)) return nullptr;
        path = folder_ + platform::fileNameOfGameName(name) + std::string(extension);
        return platform::fileSystem().open(path, platform::OpenMode::Read);
    }

    void addIfPresent(std::string_view name, std::string_view extension) {
        std::string path;
        if (open(name, extension, path)) list_.add(path);
    }

    // A mesh list, the meshes on its skin lines and their textures.
    void addMeshList(std::string_view name) {
        std::string path;
        auto file = open(name, kMeshListExtension, path);
        if (!file) return;
        list_.add(path);
        TextLines lines(std::move(file));
        for (std::string line; lines.next(line);) {
            line = platform::toLower(line);
            if (line.find(kSkinLineMark) != std::string::npos) addMesh(line);
        }
    }

    // A mesh and the texture named on its second line.
    void addMesh(std::string_view name) {
        std::string path;
        auto file = open(name, kMeshExtension, path);
        if (!file) return;
        list_.add(path);
        TextLines lines(std::move(file));
        std::string texture;
        if (lines.next(texture) && lines.next(texture)) addIfPresent(texture, kTextureExtension);
    }

private:
    std::string folder_;
    SkinFileList& list_;
};

}  // namespace

bool SkinFileList::add(std::string_view path) {
    if (entries_.size() >= kMaxEntries || path.size() > kMaxPathLength) return false;
    if (std::find(entries_.begin(), entries_.end(), path) != entries_.end()) return false;
    entries_.emplace_back(path);
    return true;
}

std::string skinFolderOf(std::string_view gameFolder) {
    while (gameFolder.size() > 1 && (gameFolder.back() == '/' || gameFolder.back() == '\\')) gameFolder.remove_suffix(1);
    return platform::toNativeSeparators(std::string(gameFolder) + "\\" + std::string(kSkinsFolder) + "\\");
}

void collectSkinFiles(std::string_view skinFolder, const Appearance& appearance, SkinFileList& list) {
    Collector collector(skinFolder, list);
    collector.addMeshList(appearance.bodyMesh);
    collector.addIfPresent(appearance.bodyTexture, kTextureExtension);
    collector.addMeshList(appearance.headMesh);
    collector.addIfPresent(appearance.headTexture, kTextureExtension);
}

}  // namespace tryster::exchange
