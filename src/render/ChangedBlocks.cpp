#include "render/ChangedBlocks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tryster::render {
namespace {

// Screen positions are worked out here as the device does, but not in the
// same order of operations, and the raster snaps them: each corner reaches
// this many pixels further on every side.
constexpr float kPadPixels = 1.0f;
// Clip-space w at or below this is at or behind the camera.
constexpr float kNearW = 1e-6f;

bool sameMatrix(const Matrix4& a, const Matrix4& b) {
    return std::memcmp(a.m, b.m, sizeof a.m) == 0;
}

bool outside(const Box& box, const Matrix4& toClip) {
    return Viewport3D::classifyBox(box, toClip) == BoxClass::Outside;
}

bool sameVertex(const RenderVertex& a, const RenderVertex& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

ChangedBlocks::Reach ChangedBlocks::unite(Reach a, Reach b) {
#if defined(__SSE2__)
    std::uint64_t x, y;
    std::memcpy(&x, &a, 8);
    std::memcpy(&y, &b, 8);
    const std::uint64_t m = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_min_epi16(
        _mm_cvtsi64_si128(static_cast<long long>(x)), _mm_cvtsi64_si128(static_cast<long long>(y)))));
    Reach r;
    std::memcpy(&r, &m, 8);
    return r;
#else
    return {std::min(a.c0, b.c0), std::min(a.negC1, b.negC1), std::min(a.r0, b.r0),
            std::min(a.negR1, b.negR1)};
#endif
}

bool ChangedBlocks::find(const RenderGroup& group, const Viewport3D& viewport, platform::RedrawBlocks& out) {
    bool comparable = shownValid_ && width_ == viewport.width() && height_ == viewport.height();
    width_ = viewport.width();
    height_ = viewport.height();
    shownValid_ = false;  // until remember()
    const auto& children = group.children();
    if (meshes_.size() != children.size()) {
        comparable = false;
        meshes_.resize(children.size());
    }
    const Matrix4 groupWorld =
        group.matrixKind() == MatrixKind::Identity ? Matrix4::identity() : group.matrix();
    const Matrix4 viewProjection = viewport.view() * viewport.projection();
    const bool groupHidden = outside(group.bounds(), groupWorld * viewProjection);
    out.reset(width_, height_);
    for (std::size_t i = 0; i < children.size(); ++i) {
        const auto* mesh = dynamic_cast<const RenderMesh*>(children[i]);
        if (!mesh) {
            meshes_.clear();
            return false;
        }
        const Matrix4 toClip =
            (mesh->matrixKind() == MatrixKind::Identity ? groupWorld : mesh->matrix() * groupWorld) *
            viewProjection;
        MeshState& s = meshes_[i];
        comparable =
            takeShape(s, *mesh, toClip, groupHidden || outside(mesh->bounds(), toClip)) && comparable;
        comparable = takeVertices(s, mesh->drawnVertices(), comparable && !s.hidden, out) && comparable;
    }
    return comparable;
}

bool ChangedBlocks::takeShape(MeshState& s, const RenderMesh& mesh, const Matrix4& toClip, bool hidden) {
    bool same = s.mesh == &mesh && sameMatrix(s.toClip, toClip) && s.hidden == hidden;
    if (!same) s.placed = false;
    s.mesh = &mesh;
    s.toClip = toClip;
    s.hidden = hidden;
    const std::span<const std::uint16_t> indices = mesh.indices();
    mesh.drawnGroups(groups_);
    if (!std::equal(indices.begin(), indices.end(), s.indices.begin(), s.indices.end()) ||
        groups_ != s.groups || mesh.drawnVertices().size() != s.vertices.size()) {
        s.indices.assign(indices.begin(), indices.end());
        s.groups = groups_;
        s.vertices.assign(mesh.drawnVertices().begin(), mesh.drawnVertices().end());
        s.placed = false;
        buildNeighbours(s);
        return false;
    }
    return same;
}

void ChangedBlocks::buildNeighbours(MeshState& s) {
    const std::size_t count = s.vertices.size();
    s.start.assign(count + 1, 0);
    auto eachTriangle = [&](auto visit) {
        for (const RenderMesh::DrawnGroup& g : s.groups)
            for (std::uint32_t t = g.range.first; t + 3 <= g.range.first + g.range.count; t += 3) {
                const std::uint16_t* c = &s.indices[t];
                if (c[0] < count && c[1] < count && c[2] < count) visit(c);  // others are not drawn
            }
    };
    eachTriangle([&](const std::uint16_t* c) {
        for (int k = 0; k < 3; ++k) s.start[c[k] + 1] += 2;
    });
    for (std::size_t v = 0; v < count; ++v) s.start[v + 1] += s.start[v];
    s.neighbours.resize(s.start[count]);
    std::vector<std::uint32_t> next(s.start.begin(), s.start.end() - 1);
    eachTriangle([&](const std::uint16_t* c) {
        for (int k = 0; k < 3; ++k) {
            s.neighbours[next[c[k]]++] = c[(k + 1) % 3];
            s.neighbours[next[c[k]]++] = c[(k + 2) % 3];
        }
    });
    // Each neighbour once (most are in two triangles around a vertex).
    std::uint32_t kept = 0;
    for (std::size_t v = 0; v < count; ++v) {
        const auto first = s.neighbours.begin() + s.start[v], last = s.neighbours.begin() + s.start[v + 1];
        std::sort(first, last);
        const auto end = std::unique(first, last);
        s.start[v] = kept;
        for (auto it = first; it != end; ++it) s.neighbours[kept++] = *it;  // never ahead of `it`
    }
    s.start[count] = kept;
    s.neighbours.resize(kept);
}

inline bool ChangedBlocks::place(const MeshState& s, const RenderVertex& p, Reach& out) const {
    const Matrix4& m = s.toClip;
    const float x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    const float y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    const float w = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
    if (!(w > kNearW)) return false;
    const float halfWidth = static_cast<float>(width_) * 0.5f,
                halfHeight = static_cast<float>(height_) * 0.5f;
    const float sx = x / w * halfWidth + halfWidth, sy = -y / w * halfHeight + halfHeight;
    if (!std::isfinite(sx) || !std::isfinite(sy)) return false;
    // The block a pixel position lies in, between -1 and `blocks`
    // (truncating a value made positive: floor without a library call).
    auto block = [](float pixels, int blocks) {
        constexpr float kBlock = platform::kRedrawBlock;
        const float shifted = std::clamp(pixels + kBlock, 0.0f, kBlock * static_cast<float>(blocks + 2));
        return static_cast<std::int16_t>(static_cast<int>(shifted) / platform::kRedrawBlock - 1);
    };
    const int columns = (width_ + platform::kRedrawBlock - 1) / platform::kRedrawBlock,
              rows = (height_ + platform::kRedrawBlock - 1) / platform::kRedrawBlock;
    out = {block(sx - kPadPixels, columns), static_cast<std::int16_t>(-block(sx + kPadPixels, columns)),
           block(sy - kPadPixels, rows), static_cast<std::int16_t>(-block(sy + kPadPixels, rows))};
    return true;
}

bool ChangedBlocks::takeVertices(MeshState& s, std::span<const RenderVertex> now, bool mark,
                                 platform::RedrawBlocks& out) {
    const std::size_t count = now.size();
    if (!mark) {
        std::copy(now.begin(), now.end(), s.vertices.begin());
        s.placed = false;
        return true;
    }
    if (!s.placed) {
        s.reach.resize(count);
        for (std::size_t v = 0; v < count; ++v)
            if (!place(s, s.vertices[v], s.reach[v])) {
                std::copy(now.begin(), now.end(), s.vertices.begin());
                return false;
            }
        s.placed = true;
    }
    moved_.clear();
    for (std::size_t v = 0; v < count; ++v)
        if (!sameVertex(s.vertices[v], now[v])) moved_.push_back(static_cast<std::uint32_t>(v));
    if (moved_.empty()) return true;
    // Each moved vertex's reach, before and now; its reach as drawn is
    // then the new one.
    isMoved_.assign(count, 0);
    span_.resize(count);
    bool placed = true;
    for (std::uint32_t v : moved_) {
        Reach r;
        s.vertices[v] = now[v];
        if (!placed || !place(s, now[v], r)) {
            placed = false;
            continue;
        }
        span_[v] = unite(s.reach[v], r);
        s.reach[v] = r;
        isMoved_[v] = 1;
    }
    if (!placed) {
        s.placed = false;
        return false;
    }
    // The triangles around a moved vertex lie within its neighbours' reach
    // (the moved ones' before and now).
    const int lastColumn = out.columns() - 1, lastRow = out.rows() - 1;
    for (std::uint32_t v : moved_) {
        if (s.start[v] == s.start[v + 1]) continue;  // in no drawn triangle
        Reach r = span_[v];
        for (std::uint32_t k = s.start[v]; k < s.start[v + 1]; ++k) {
            const std::uint16_t u = s.neighbours[k];
            r = unite(r, isMoved_[u] ? span_[u] : s.reach[u]);
        }
        out.markBlocks(std::max(0, int{r.c0}), std::min(lastColumn, -int{r.negC1}), std::max(0, int{r.r0}),
                       std::min(lastRow, -int{r.negR1}));
    }
    return true;
}

}  // namespace tryster::render
