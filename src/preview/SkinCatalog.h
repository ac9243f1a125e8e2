#pragma once
// The four appearance lists ("Head Mesh:", "Head Texture:", "Body Mesh:",
// "Body Texture:") and the texture names found in the game's folders. The
// lists offer the outfits of the character library and the installed
// bitmaps that the naming rules accept for the character being built.

#include "character/CatalogRules.h"
#include "preview/NameListModel.h"

#include <string>
#include <string_view>
#include <vector>

namespace tryster::preview {

class SkinCatalog {
public:
    NameListModel headMeshes, headTextures, bodyMeshes, bodyTextures;

    // Empties both mesh lists and adds every outfit name (the character
    // library's) that the head and body mesh rules accept.
    void refillMeshes(const std::vector<std::string>& outfits, const CatalogFilter& filter);

    // Every "BMP" image along the index-file folders, then along the
    // character-file folders, as names without folder and extension, folder
    // by folder (a name in two folders is there twice).
    void rebuildTextureNames();
    const std::vector<std::string>& textureNames() const { return textureNames_; }

    // Empties both texture lists and adds the texture names the rules
    // accept for the given head and body meshes.
    void refillTextures(const CatalogFilter& filter, std::string_view headMesh, std::string_view bodyMesh);

    // Selects `current` in `list`; when the list lacks it, the first entry
    // is selected and becomes `current` (empty when the list is).
    static void selectCurrent(NameListModel& list, std::string& current);

private:
    std::vector<std::string> textureNames_;
};

}  // namespace tryster::preview
