#pragma once
// Builds skin meshes from tubes: rings of vertices around a centre line
// (a torso, a limb, a head), each vertex bound to one bone and optionally
// pulled towards a second one, so that the surface bends at the joints.
//
// A ring point at angle θ is centre + across1·rx·s(θ) − across2·rz·c(θ),
// where s and c are the sine and cosine shaped by the section exponent
// (2 is an ellipse, larger is boxier). For an upright tube with across1 =
// x and across2 = z, θ = 0 is the back, π/2 the figure's right and π its
// front; the texture's u runs with θ, so a texture reads as seen from the
// front. Faces wind clockwise seen from outside (the device's front faces).

#include "demoworld/FigureSkeleton.h"

#include "anim/SkinMesh.h"

#include <functional>
#include <string>
#include <vector>

namespace tryster::demoworld {

// The bone a vertex follows, and how strongly a second one pulls it.
struct Influence {
    BoneId bone = BoneId::Pelvis;
    BoneId other = BoneId::Pelvis;
    float otherWeight = 0;  // 0..1

    static Influence rigid(BoneId b) { return {b, b, 0}; }
    // Between two bones: `t` 0 is all `a`, 1 all `b`. The vertex is bound
    // to the nearer bone and pulled towards the other.
    static Influence between(BoneId a, BoneId b, float t);
};

struct Ring {
    Vector3 centre;
    float rx = 0, rz = 0;
    float v = 0;  // texture v of the ring
    Influence skin;
};

struct TubeOptions {
    Vector3 across1{1, 0, 0};
    Vector3 across2{0, 0, 1};
    int segments = 24;
    float u0 = 0, u1 = 1;   // texture u at θ = thetaStart and thetaEnd
    float exponent = 2;     // of the section's superellipse
    float thetaStart = 0;   // a partial tube (a shell) covers less than a turn
    float thetaEnd = 6.2831853f;
    bool inward = false;    // faces turned to the inside (the inner side of a shell)
    // Rounded ends: rings shrinking to a pole, `capLength` beyond the end
    // ring along the tube (0 leaves the end open). The pole gets `capV`.
    float startCap = 0, endCap = 0;
    float startCapV = 0, endCapV = 1;
    // Optional: scales the radius of a ring point (bumps: nose, bust, belly).
    std::function<float(float theta, int ring)> radiusScale;
    // Optional: the influence of a ring point, in place of the ring's own.
    std::function<Influence(float theta, int ring)> skin;
};

// Key sections of a tube, interpolated smoothly into rings.
struct Section {
    float s;  // position along the tube (any increasing measure)
    Vector3 centre;
    float rx, rz;
};

// `count` rings through the sections (Catmull-Rom in s, evenly spaced),
// with v running from v0 at the first section to v1 at the last.
std::vector<Ring> ringsThrough(const std::vector<Section>& sections, int count, float v0, float v1);

class MeshBuilder {
public:
    void addTube(const std::vector<Ring>& rings, const TubeOptions& options);
    // Every vertex carried by `map` (model space). Normals are kept: the
    // maps used are near enough to a uniform scale.
    void transform(const std::function<Vector3(Vector3)>& map);

    std::size_t vertexCount() const { return vertices_.size(); }
    // Model-space extent of the vertices.
    anim::Box bounds() const;

    // The skin mesh: vertices put into the frames of their bones (placed at
    // `rest`), rigid vertices grouped by bone, a blended twin for every
    // vertex that a second bone pulls. Positions and normals are rounded to
    // thousandths, texture coordinates to 1/4096, so files stay small and
    // every run writes the same bytes.
    anim::Ref<anim::SkinMesh> build(std::string name, std::string texture, const RestPositions& rest) const;

private:
    struct Vertex {
        Vector3 position;
        Vector3 normal;
        float u = 0, v = 0;
        Influence skin;
    };
    std::vector<Vertex> vertices_;
    std::vector<std::array<std::uint32_t, 3>> faces_;
};

}  // namespace tryster::demoworld
