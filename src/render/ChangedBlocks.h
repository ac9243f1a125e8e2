#pragma once
// Which blocks of the render target a group's next frame has to draw
// again: those crossed by the triangles with a corner that moved since the
// frame last drawn, where they were and where they are now. Every other
// pixel is drawn from the same triangles, seen the same way, so it would
// come out as it is. Lights, textures, states and the background are the
// caller's to keep the same (or to forget() when they change).

#include "platform/RedrawBlocks.h"
#include "render/RenderGroup.h"
#include "render/RenderMesh.h"
#include "render/Viewport3D.h"

#include <cstdint>
#include <vector>

namespace tryster::render {

class ChangedBlocks {
public:
    // After the skins are deformed, before the scene; takes this frame as
    // the one drawn next. True, with `out` marked, when it compares with
    // the frame remembered; false when it has to be drawn whole (nothing
    // remembered; another target size, camera or placement; other meshes,
    // triangles or materials; a mesh coming into or going out of the view;
    // a child that is not a mesh; a moved corner at or behind the camera).
    bool find(const RenderGroup& group, const Viewport3D& viewport, platform::RedrawBlocks& out);
    // The frame last given to find() is the one on the target now.
    void remember() { shownValid_ = true; }
    // Nothing on the target can be relied on.
    void forget() { shownValid_ = false; }

private:
    // The blocks within reach of a corner's screen position: columns c0..
    // -negC1 and rows r0..-negR1 (inclusive, one past the surface on each
    // side at most). Stored so that the union is the smaller of each.
    struct alignas(8) Reach {
        std::int16_t c0, negC1, r0, negR1;
    };
    static Reach unite(Reach a, Reach b);
    struct MeshState {
        const RenderMesh* mesh = nullptr;
        Matrix4 toClip;       // world × view × projection
        bool hidden = false;  // wholly outside the view, so not drawn
        std::vector<std::uint16_t> indices;
        std::vector<RenderMesh::DrawnGroup> groups;
        std::vector<RenderVertex> vertices;  // as last drawn
        // Each vertex's reach as last drawn, when worked out.
        std::vector<Reach> reach;
        bool placed = false;
        // The corners of the drawn triangles around each vertex:
        // neighbours[start[v] .. start[v + 1]).
        std::vector<std::uint32_t> start;
        std::vector<std::uint16_t> neighbours;
    };

    // Takes the mesh's shape; false when it differs from the one kept.
    bool takeShape(MeshState& s, const RenderMesh& mesh, const Matrix4& toClip, bool hidden);
    void buildNeighbours(MeshState& s);
    // Takes the mesh's vertices, marking the blocks the moved ones reach
    // when `mark`; false when one cannot be placed on the screen.
    bool takeVertices(MeshState& s, std::span<const RenderVertex> now, bool mark,
                      platform::RedrawBlocks& out);
    bool place(const MeshState& s, const RenderVertex& v, Reach& out) const;

    std::vector<MeshState> meshes_;
    int width_ = 0, height_ = 0;
    bool shownValid_ = false;
    std::vector<std::uint32_t> moved_;  // this mesh's moved vertices
    std::vector<Reach> span_;           // their reach before and now
    std::vector<std::uint8_t> isMoved_;
    std::vector<RenderMesh::DrawnGroup> groups_;  // the mesh's, as it draws now
};

}  // namespace tryster::render
