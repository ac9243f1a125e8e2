#include "preview/SkinCatalog.h"

#include "platform/FileFinder.h"

namespace tryster::preview {

void SkinCatalog::refillMeshes(const anim::CharacterLibrary::Table<anim::Outfit>& outfits,
                               const CatalogFilter& filter) {
    std::vector<std::string> heads, bodies;
    for (const auto& entry : outfits) {
        if (isHeadMesh(entry.name, filter)) heads.push_back(entry.name);
        if (isBodyMesh(entry.name, filter)) bodies.push_back(entry.name);
    }
    headMeshes.assign(std::move(heads));
    bodyMeshes.assign(std::move(bodies));
}

void SkinCatalog::rebuildTextureNames() {
    textureNames_.clear();
    const platform::FileFinder& finder = platform::FileFinder::instance();
    for (std::string_view list : {anim::kAnimationSearchPath, anim::kCharacterSearchPath})
        for (const platform::FoundFile& file : finder.enumerateType("BMP", list))
            textureNames_.push_back(platform::baseName(file.name));
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
