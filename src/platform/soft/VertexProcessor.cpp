#include "platform/soft/VertexProcessor.h"

#include <algorithm>
#include <cmath>

namespace tryster::platform::soft {
namespace {

DeviceVector toModel(const DeviceMatrix& world, const DeviceVector& v) {
    // (n·W)·L == n·(W·L): carry L by the transpose of the world rotation.
    return {world.m[0][0] * v.x + world.m[0][1] * v.y + world.m[0][2] * v.z,
            world.m[1][0] * v.x + world.m[1][1] * v.y + world.m[1][2] * v.z,
            world.m[2][0] * v.x + world.m[2][1] * v.y + world.m[2][2] * v.z};
}

DeviceVector normalised(DeviceVector v) {
    float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0)) return {0, 0, 0};
    return {v.x / length, v.y / length, v.z / length};
}

ColourValue times(const ColourValue& a, const ColourValue& b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b, a.a * b.a};
}

bool isBlack(const ColourValue& c) {
    return c.r == 0 && c.g == 0 && c.b == 0;
}

float saturate255(float c) {
    return c <= 0 ? 0.0f : c >= 1 ? 255.0f : c * 255.0f;
}

}  // namespace

DeviceMatrix multiply(const DeviceMatrix& a, const DeviceMatrix& b) {
    DeviceMatrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] =
                a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

void LightingSetup::prepare(const MaterialDesc& material, std::uint32_t ambientArgb,
                            const std::vector<LightDesc>& worldLights, const DeviceMatrix& world,
                            const DeviceVector& viewDirection, bool specularEnabled) {
    ColourValue ambient{static_cast<float>((ambientArgb >> 16) & 0xFF) / 255.0f,
                        static_cast<float>((ambientArgb >> 8) & 0xFF) / 255.0f,
                        static_cast<float>(ambientArgb & 0xFF) / 255.0f, 1.0f};
    base = {material.emissive.r + material.ambient.r * ambient.r,
            material.emissive.g + material.ambient.g * ambient.g,
            material.emissive.b + material.ambient.b * ambient.b, 0};
    alpha = material.diffuse.a;
    power = material.power;
    specular = specularEnabled && !isBlack(material.specular) && power > 0;
    DeviceVector toViewer = normalised({-viewDirection.x, -viewDirection.y, -viewDirection.z});
    lights.clear();
    for (const LightDesc& l : worldLights) {
        if (l.type != LightType::Directional) continue;
        DeviceVector toLight = normalised({-l.direction.x, -l.direction.y, -l.direction.z});
        DeviceVector half =
            normalised({toLight.x + toViewer.x, toLight.y + toViewer.y, toLight.z + toViewer.z});
        lights.push_back({toModel(world, toLight), toModel(world, half), times(material.diffuse, l.colour),
                          times(material.specular, l.colour)});
    }
}

void processVertices(const DeviceVertex* in, std::uint32_t count, ProcessedVertex* out, const DeviceMatrix& t,
                     const ScreenMapping& mapping, const LightingSetup* lighting) {
    const auto& m = t.m;
    for (std::uint32_t i = 0; i < count; ++i) {
        const DeviceVertex& s = in[i];
        ProcessedVertex& o = out[i];
        o.cx = s.x * m[0][0] + s.y * m[1][0] + s.z * m[2][0] + m[3][0];
        o.cy = s.x * m[0][1] + s.y * m[1][1] + s.z * m[2][1] + m[3][1];
        o.cz = s.x * m[0][2] + s.y * m[1][2] + s.z * m[2][2] + m[3][2];
        o.cw = s.x * m[0][3] + s.y * m[1][3] + s.z * m[2][3] + m[3][3];
        o.clip = clipCode(o.cx, o.cy, o.cz, o.cw);
        if (o.clip == 0) mapping.project(o);
        o.u = s.u;
        o.v = s.v;
        if (!lighting) {
            o.r = o.g = o.b = o.a = 255.0f;
            o.sr = o.sg = o.sb = 0;
            continue;
        }
        float r = lighting->base.r, g = lighting->base.g, b = lighting->base.b;
        float sr = 0, sg = 0, sb = 0;
        for (const LightingSetup::Directional& l : lighting->lights) {
            float d = s.nx * l.toLight.x + s.ny * l.toLight.y + s.nz * l.toLight.z;
            if (d > 0) {
                r += d * l.diffuse.r;
                g += d * l.diffuse.g;
                b += d * l.diffuse.b;
            }
            if (lighting->specular) {
                float h = s.nx * l.halfway.x + s.ny * l.halfway.y + s.nz * l.halfway.z;
                if (h > 0 && d > 0) {
                    float f = std::pow(h, lighting->power);
                    sr += f * l.specular.r;
                    sg += f * l.specular.g;
                    sb += f * l.specular.b;
                }
            }
        }
        o.r = saturate255(r);
        o.g = saturate255(g);
        o.b = saturate255(b);
        o.a = saturate255(lighting->alpha);
        o.sr = saturate255(sr);
        o.sg = saturate255(sg);
        o.sb = saturate255(sb);
    }
}

}  // namespace tryster::platform::soft
