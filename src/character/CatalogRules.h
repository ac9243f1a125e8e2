#pragma once
// Which installed meshes and textures fit the character being built. The
// game encodes part, gender, age, body type and skin tone in its file
// names: letters at fixed places and "_"-separated tokens. These rules read
// that scheme; the skin catalog applies them to everything installed.
//
// "Contains" means contains without regard to case. A name's first token
// is the text before its first "_" (the whole name without one); its
// second token is the text between the first and the second "_".

#include <string>
#include <string_view>

namespace tryster {

// What a refill filters by.
struct CatalogFilter {
    char gender = 'm';                  // 'm' or 'f'
    std::string_view bodyCode = "fit";  // "fit", "fat", "skn"
    std::string_view toneCode = "med";  // "lgt", "med", "drk"
    bool isAdult = true;
    bool isMale = true;  // read for child bodies only

    // From the dialog's inputs: the Female button and the indices of the
    // "Body Type:" and "Skin Type:" lists.
    static CatalogFilter from(bool female, int bodyTypeIndex, int skinToneIndex, bool isAdult, bool isMale);
};

std::string_view firstToken(std::string_view name);
std::string_view secondToken(std::string_view name);

// Outfit names (the library keeps them in lower case).
bool isHeadMesh(std::string_view outfit, const CatalogFilter& filter);
bool isBodyMesh(std::string_view outfit, const CatalogFilter& filter);

// The list a texture name is offered in, by its first character.
enum class TextureKind {
    Head,       // "c"
    Body,       // "b"
    ExtraBody,  // "n" or "u"
    None
};
TextureKind textureKind(std::string_view texture);

// `headMesh` and `bodyMesh` are the current choices: a texture must belong
// to them (its name holds the start of the mesh name).
bool isHeadTexture(std::string_view texture, const CatalogFilter& filter, std::string_view headMesh);
bool isBodyTexture(std::string_view texture, const CatalogFilter& filter, std::string_view bodyMesh);
// Names starting with "n" or "u": letters 1 to 4 match the body mesh's.
bool isExtraBodyTexture(std::string_view texture, std::string_view bodyMesh);

// The skeleton a body mesh is built on: "child" when the name's sixth
// character is "c" or "C", else "adult".
std::string_view skeletonForBodyMesh(std::string_view bodyMesh);

}  // namespace tryster
