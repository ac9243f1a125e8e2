#pragma once
// Transform and lighting of source vertices: clip-space position and clip
// code, fixed-function lighting (emissive + ambient + directional lights;
// materials here reflect no specular light), texture coordinates passed
// through.
//
// Lighting runs in model space: light directions are carried into the
// model's frame once per draw instead of carrying every normal to the
// world, as the fixed-function pipeline does; normals are not renormalised.

#include "platform/DeviceTypes.h"
#include "platform/GraphicsDevice.h"
#include "softgpu/ProcessedVertex.h"

#include <vector>

namespace tryster::softgpu {

struct LightingSetup {
    struct Directional {
        platform::DeviceVector toLight;  // model space
        platform::ColourValue diffuse;   // material diffuse × light colour
    };
    std::vector<Directional> lights;
    platform::ColourValue base;  // emissive + material ambient × ambient light
    float alpha = 1;

    // world: the model's world matrix.
    void prepare(const platform::MaterialDesc& material, std::uint32_t ambientArgb,
                 const std::vector<platform::LightDesc>& worldLights, const platform::DeviceMatrix& world);
};

platform::DeviceMatrix multiply(const platform::DeviceMatrix& a, const platform::DeviceMatrix& b);

// How many vertices go through at once: as many as the processor can
// take (eight with AVX2, else four on SSE2), four, or one. Every width
// gives the same results to the bit; tests ask for each.
enum class VertexLanes { Widest, Four, One };

// Without `lighting` (transform-only processing) every vertex is white.
void processVertices(const platform::DeviceVertex* in, std::uint32_t count, ProcessedVertex* out,
                     const platform::DeviceMatrix& worldViewProjection, const ScreenMapping& mapping,
                     const LightingSetup* lighting, VertexLanes lanes = VertexLanes::Widest);

}  // namespace tryster::softgpu
