#include "preview/SkinCatalog.h"

#include "anim/CharacterLibrary.h"
#include "platform/FileFinder.h"
#include "platform/FileSystem.h"
#include "platform/GameText.h"

namespace tryster::preview {

void SkinCatalog::refillMeshes(const std::vector<std::string>& outfits, const CatalogFilter& filter) {
    std::vector<std::string> heads, bodies;
    for (const std::string& name : outfits) {
        if (isHeadMesh(name, filter)) heads.push_back(name);
        if (isBodyMesh(name, filter)) bodies.push_back(name);
    }
    headMeshes.assign(std::move(heads));
    bodyMeshes.assign(std::move(bodies));
}

// Within a folder the names come in the order the folder lists them: the
// appearance lists sort them anyway, and names that differ only in letter
// case cannot share a folder on the game's platform. Skipping the finder's
// sort matters with tens of thousands of textures.
void SkinCatalog::rebuildTextureNames() {
    textureNames_.clear();
    platform::FileSystem& fs = platform::fileSystem();
    for (std::string_view list : {anim::kAnimationSearchPath, anim::kCharacterSearchPath})
        for (const std::string& folder : platform::splitFolderList(list))
            for (platform::DirEntry& entry : fs.list(folder)) {
                const std::string& name = entry.name;
                const std::size_t dot = name.rfind('.');
                if (entry.isDirectory || dot == std::string::npos ||
                    !platform::equalsNoCase(std::string_view(name).substr(dot + 1), "bmp"))
                    continue;
                // A name the game's code page cannot hold is one the game
                // could never write into a character; the others become
                // game names here, and the finder turns them back.
                if (auto gameName = platform::gameNameOfFile(std::string_view(name).substr(0, dot)))
                    textureNames_.push_back(std::move(*gameName));
            }
}

void SkinCatalog::refillTextures(const CatalogFilter& filter, std::string_view headMesh,
                                 std::string_view bodyMesh) {
    std::vector<std::string> heads, bodies;
    for (const std::string& name : textureNames_) {
        switch (textureKind(name)) {
        case TextureKind::Head:
            if (isHeadTexture(name, filter, headMesh)) heads.push_back(name);
            break;
        case TextureKind::Body:
            if (isBodyTexture(name, filter, bodyMesh)) bodies.push_back(name);
            break;
        case TextureKind::ExtraBody:
            if (isExtraBodyTexture(name, bodyMesh)) bodies.push_back(name);
            break;
        case TextureKind::None: break;
        }
    }
    headTextures.assign(std::move(heads));
    bodyTextures.assign(std::move(bodies));
}

void SkinCatalog::selectCurrent(NameListModel& list, std::string& current) {
    if (list.empty()) {
        current.clear();
        list.select(NameListModel::kNoSelection);
        return;
    }
    int index = list.find(current);
    if (index == NameListModel::kNoSelection) {
        index = 0;
        current = list.entries().front();
    }
    list.select(index);
}

}  // namespace tryster::preview
