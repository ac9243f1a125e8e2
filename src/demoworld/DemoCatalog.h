#pragma once
// Every outfit and texture of the demo folder, with the looks they are
// made from. The names follow the game's naming scheme, so that the skin
// catalog sorts them by part, gender, age, build and tone:
//
//   body outfit    b<3 digits><g>a<build>_01 (adults; g = m or f, build
//                  fit, fat or skn) or b<3 digits><g>cchd_01 (children;
//                  g = m, f or u)
//   body texture   B<3 digits><G>A<Build><tone>_<code> or
//                  B<3 digits><G>AChd<tone>_<code>; tone lgt, med or drk
//   head outfit    c<3 digits><g>a_<code>
//   head texture   C<3 digits><g>a<tone>_<code>
//   hand outfit    h<g>lo / h<g>ro (left, right; g = m, f, or u for
//                  children), hulc / hurc (the child default set)
//   hand texture   HUAO<tone>, HUAClgt
//   other outfits  u0<build>_<code> (swimwear, pyjamas, formal clothes:
//                  the characters' further outfits), textures
//                  u0<build><tone>_<code>; the catalog lists none of them

#include "demoworld/FigureMeshes.h"
#include "demoworld/FigurePainter.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::demoworld {

inline constexpr std::array<Tone, 3> kTones = {Tone::Light, Tone::Medium, Tone::Dark};
// "lgt", "med", "drk".
std::string_view toneCode(Tone tone);

enum class BmpDepth { Bits8, Bits24 };

struct ClothesEntry {
    std::string_view code;
    ClothesStyle style;
    BmpDepth depth;
};

struct BodyEntry {
    std::string_view outfit;         // e.g. "b003mafit_01"
    std::string_view texturePrefix;  // e.g. "B003MAFit"
    FigureKind kind;
    std::vector<ClothesEntry> clothes;
};

struct HeadEntry {
    std::string_view outfit;         // e.g. "c011ma_repo"
    std::string_view texturePrefix;  // e.g. "C011ma"
    std::string_view code;           // e.g. "rotc"
    FigureKind kind;
    FaceStyle face;
    BmpDepth depth;
};

struct HandEntry {
    std::string_view outfit;  // e.g. "hmlo"
    FigureKind kind;
    bool right;
    std::string_view texture;  // the mesh's own texture
};

const std::vector<BodyEntry>& bodyEntries();
const std::vector<HeadEntry>& headEntries();
const std::vector<HandEntry>& handEntries();
// The hand textures: "HUAOlgt", "HUAOmed", "HUAOdrk", and "HUAClgt".
struct HandTexture {
    std::string_view name;
    Tone tone;
    BmpDepth depth;
};
const std::vector<HandTexture>& handTextures();

// The characters' further outfits, one per build and kind, each wearing
// the man's body mesh of its build.
struct ExtraOutfitEntry {
    std::string_view code;  // "swim", "pjs", "formal"
    Build build;
    ClothesStyle style;     // for the swimwear the top is bare skin
};
const std::vector<ExtraOutfitEntry>& extraOutfitEntries();
// "fit", "fat", "skn".
std::string_view buildCode(Build build);
std::string extraOutfitName(const ExtraOutfitEntry& e);
std::string extraTextureName(const ExtraOutfitEntry& e, Tone tone);
// The man's body outfit of a build, whose mesh the further outfits wear.
const BodyEntry& manOfBuild(Build build);

std::string bodyTextureName(const BodyEntry& body, Tone tone, const ClothesEntry& clothes);
std::string headTextureName(const HeadEntry& head, Tone tone);
// The mesh of an outfit's one part: its name carries the key that the
// preview's texture override looks for ("BODY", "HEAD-HEAD", "HAND"), and
// body and head meshes start with "xskin" (the skin file list finds them
// by it).
std::string bodyMeshName(const BodyEntry& body);
std::string headMeshName(const HeadEntry& head);
std::string handMeshName(const HandEntry& hand);

// A face's hair darkened to go with the tone.
FaceStyle faceForTone(const FaceStyle& face, Tone tone);

}  // namespace tryster::demoworld
