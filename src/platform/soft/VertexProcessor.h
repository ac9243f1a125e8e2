#pragma once
// Transform and lighting of source vertices: clip-space position and clip
// code, fixed-function lighting (emissive + ambient + directional lights,
// optional specular), texture coordinates passed through.
//
// Lighting runs in model space: light directions are carried into the
// model's frame once per draw instead of carrying every normal to the
// world, as the fixed-function pipeline does; normals are not renormalised.

#include "platform/DeviceTypes.h"
#include "platform/GraphicsDevice.h"
#include "platform/soft/ProcessedVertex.h"

#include <vector>

namespace tryster::platform::soft {

struct LightingSetup {
    struct Directional {
        DeviceVector toLight;  // model space
        DeviceVector halfway;  // model space, for specular
        ColourValue diffuse;   // material diffuse × light colour
        ColourValue specular;  // material specular × light colour
    };
    std::vector<Directional> lights;
    ColourValue base;  // emissive + material ambient × ambient light
    float alpha = 1;
    float power = 0;
    bool specular = false;

    // world: the model's world matrix; viewDirection: where the camera
    // looks, in world space.
    void prepare(const MaterialDesc& material, std::uint32_t ambientArgb,
                 const std::vector<LightDesc>& worldLights, const DeviceMatrix& world,
                 const DeviceVector& viewDirection, bool specularEnabled);
};

DeviceMatrix multiply(const DeviceMatrix& a, const DeviceMatrix& b);

// Without `lighting` (transform-only processing) every vertex is white.
void processVertices(const DeviceVertex* in, std::uint32_t count, ProcessedVertex* out,
                     const DeviceMatrix& worldViewProjection, const ScreenMapping& mapping,
                     const LightingSetup* lighting);

}  // namespace tryster::platform::soft
