#include "render/Material.h"

#include <array>

namespace tryster::render {
namespace {

struct Entry {
    std::string_view name;
    float diffuse[3];
    float ambient[3];
};

// Diffuse alpha 1, ambient alpha 1, specular and emissive 0, power 5.
constexpr std::array<Entry, 15> kMaterials{{
    {"red", {1, 0, 0}, {1, 0, 0}},
    {"blue", {0, 0, 1}, {0, 0, 1}},
    {"black", {0, 0, 0}, {0, 0, 0}},
    {"grey", {0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}},
    {"gray", {0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}},
    {"yellow", {1, 1, 0}, {1, 1, 0}},
    {"green", {0, 1, 0}, {0, 1, 0}},
    {"default", {1, 1, 1}, {1, 1, 1}},
    {"white", {1, 1, 1}, {1, 1, 1}},
    {"BeigeMatte", {0.6f, 0.6f, 0.1f}, {0.6f, 0.6f, 0.1f}},
    {"Jeans", {0.3254902f, 0.4862745f, 0.7019608f}, {0.2509804f, 0.2627451f, 0.3490196f}},
    {"Shoes", {0.11372549f, 0.11372549f, 0.11372549f}, {0, 0, 0}},
    {"T-shirt", {0.9490196f, 0.8980392f, 0.8980392f}, {0.7803922f, 0.8980392f, 0.8980392f}},
    {"Flesh", {0.9607843f, 0.7215686f, 0.6666667f}, {0.9607843f, 0.7215686f, 0.6666667f}},
    {"Roof", {0.4f, 0.3529412f, 0.3215686f}, {0.4f, 0.3529412f, 0.3215686f}},
}};

}  // namespace

std::optional<MaterialValues> namedMaterial(std::string_view name) {
    for (const Entry& e : kMaterials) {
        if (e.name != name) continue;
        MaterialValues v;
        v.diffuse = {e.diffuse[0], e.diffuse[1], e.diffuse[2], 1};
        v.ambient = {e.ambient[0], e.ambient[1], e.ambient[2], 1};
        return v;
    }
    return std::nullopt;
}

}  // namespace tryster::render
