#pragma once
// The look currently shown in the preview: four outfits (head, both hands,
// body), each an outfit name and a texture name, the age they are worn at,
// and the two default sets the program starts from.

#include <string>
#include <string_view>

namespace tryster {

// Texture override keys handed to the preview, and the separators of a
// character's appearance strings.
inline constexpr std::string_view kBodyOverrideKey = "BODY=";
inline constexpr std::string_view kHeadOverrideKey = "HEAD-HEAD=";
inline constexpr std::string_view kHandOverrideKey = "HAND=";
inline constexpr std::string_view kBodySeparator = ",BODY=";
inline constexpr std::string_view kHeadSeparator = ",HEAD-HEAD=";
inline constexpr std::string_view kHandSeparator = ",HAND=";

struct DefaultSet {
    std::string_view skeleton;
    std::string_view bodyMesh;
    std::string_view bodyTexture;
    std::string_view headMesh;
    std::string_view headTexture;
    std::string_view leftHandMesh;
    std::string_view leftHandTexture;
    std::string_view rightHandMesh;
    std::string_view rightHandTexture;
    std::string_view animation;
};

// The initial look.
inline constexpr DefaultSet kAdultDefaults = {
    "adult", "b003mafit_01", "B003MAFitmed_bmoc", "c011ma_repo", "C011mamed_rotc",
    "hmlo", "huaomed", "hmro", "huaomed", "a2o-heyyou1"};

// The look after loading a child. The body texture, head mesh and head
// texture are the demo game folder's default child skins; the names follow
// the game's naming scheme so that the catalog lists them for a boy of
// medium tone.
inline constexpr DefaultSet kChildDefaults = {
    "child", "b001ucchd_01", "B001UAChdmed_kid", "c201ma_child", "C201mamed_child",
    "hulc", "HUAClgt", "hurc", "HUAClgt", "c2a-goodbye-refuse"};

// The default set of an age.
constexpr const DefaultSet& defaultsOf(bool adult) { return adult ? kAdultDefaults : kChildDefaults; }

struct Appearance {
    std::string headMesh;
    std::string headTexture;
    std::string leftHandMesh;
    std::string leftHandTexture;
    std::string rightHandMesh;
    std::string rightHandTexture;
    std::string bodyMesh;
    std::string bodyTexture;
    // The flag of the look beside its names: the catalog's child rule and
    // the body strings of a character file follow it.
    bool isAdult = true;

    Appearance() { assign(kAdultDefaults); }

    // Copies the eight names of a default set; the age stays (the skeleton
    // and the animation names live with their owners).
    void assign(const DefaultSet& set) {
        headMesh = set.headMesh;
        headTexture = set.headTexture;
        leftHandMesh = set.leftHandMesh;
        leftHandTexture = set.leftHandTexture;
        rightHandMesh = set.rightHandMesh;
        rightHandTexture = set.rightHandTexture;
        bodyMesh = set.bodyMesh;
        bodyTexture = set.bodyTexture;
    }

    // The eight names of `other`; the age stays.
    void wearNames(const Appearance& other) {
        const bool adult = isAdult;
        *this = other;
        isAdult = adult;
    }

    // mesh + ",BODY=" + texture, and mesh + ",HEAD-HEAD=" + texture.
    std::string bodyString() const { return bodyMesh + std::string(kBodySeparator) + bodyTexture; }
    std::string headString() const { return headMesh + std::string(kHeadSeparator) + headTexture; }

    bool operator==(const Appearance&) const = default;
};

}  // namespace tryster
