#pragma once
// A mesh: vertices (position, normal, texture coordinates), 16-bit
// triangle indices and materials by name. This class draws through an
// execute buffer rebuilt on commit; RenderDIPMesh draws the same data with
// indexed primitives.
//
// Editing: lock, change the contents (mark the changed vertex range so the
// execute buffer picks it up), commit. A mesh that was not committed draws
// what its last commit built. Triangles with an index past the drawn
// vertices are skipped.

#include "platform/DeviceTypes.h"
#include "render/ExecuteBuffer.h"
#include "render/Material.h"
#include "render/RenderObject.h"

#include <span>
#include <string>
#include <vector>

namespace tryster::render {

class Device3D;

using RenderVertex = platform::DeviceVertex;

// Indices first .. first + count − 1 (whole triangles).
struct IndexRange {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
};

class RenderMesh : public ConcreteRenderObject {
public:
    // An execute-buffer mesh (Device3D::createRenderMesh picks the flavour).
    static Ref<RenderMesh> create(Device3D& device) { return Ref<RenderMesh>::adopt(new RenderMesh(device)); }

    // Marks the mesh as being edited; gives its material names.
    std::vector<std::string>& lock() {
        locked_ = true;
        return materialNames();
    }
    bool locked() const { return locked_; }
    // The names the next commit makes materials from.
    std::vector<std::string>& materialNames() {
        materialsChanged_ = true;
        return materialNames_;
    }
    void setTextureName(std::string_view name);

    // Sizes keep the contents up to the new size (new entries are zero);
    // the vertex count also makes every vertex drawn.
    void setVertexCount(std::size_t count);
    void setIndexCount(std::size_t count);
    std::span<RenderVertex> vertices() { return vertices_; }
    std::span<const RenderVertex> vertices() const { return vertices_; }
    // Writable access counts as a change of the triangles.
    std::span<std::uint16_t> indices() {
        structureChanged_ = true;
        return indices_;
    }
    std::span<const std::uint16_t> indices() const { return indices_; }

    // Inclusive; clamped to the vertices at draw time.
    void setDrawnRange(std::uint32_t first, std::uint32_t last);
    void markChanged(std::uint32_t first, std::uint32_t last);

    void setBox(const Box& box) { box_ = box; }
    // Triangles per material, in material order; without groups every
    // triangle takes the first material.
    void setMaterialGroups(std::vector<IndexRange> groups);

    // Makes the materials (a name that fails takes "Flesh"; no names take
    // "default") and, on the execute-buffer path, the buffer. Fails only
    // when "Flesh" itself cannot be made.
    [[nodiscard]] virtual RenderResult commit();
    const std::vector<Ref<Material>>& materials() const { return materials_; }
    const ExecuteBuffer& executeBuffer() const { return buffer_; }

    // What a draw sends, for those that compare one frame with another:
    // the drawn vertices and, material by material, the handles and the
    // triangles (indices into the drawn vertices).
    struct DrawnGroup {
        platform::MaterialHandle material = 0;
        platform::TextureHandle texture = 0;
        IndexRange range;
        friend bool operator==(const DrawnGroup& a, const DrawnGroup& b) {
            return a.material == b.material && a.texture == b.texture && a.range.first == b.range.first &&
                   a.range.count == b.range.count;
        }
    };
    std::span<const RenderVertex> drawnVertices() const {
        return std::span(vertices_).subspan(drawnFirst_ < vertices_.size() ? drawnFirst_ : 0, drawnCount());
    }
    void drawnGroups(std::vector<DrawnGroup>& out) const;

    // Draws the last commit; a successful draw clears the changed flag.
    RenderResult draw(Viewport3D& viewport, ClipMode mode) override;
    Box bounds() const override { return box_; }

protected:
    explicit RenderMesh(Device3D& device) : device_(device) {}

    struct Group {
        const Material* material;
        IndexRange range;
    };
    // The drawn vertices' count after clamping, and the material groups.
    std::uint32_t drawnCount() const;
    void collectGroups(std::vector<Group>& out) const;
    RenderResult buildMaterials();
    // Builds the materials when their names differ from the last build, so
    // a mesh locked and committed every frame keeps its materials.
    RenderResult refreshMaterials();
    void buildExecuteBuffer();
    // The box test: false when the mesh is entirely outside (its extent
    // is then empty); `mode` becomes Inside or Partial.
    bool visible(Viewport3D& viewport, ClipMode& mode);
    RenderResult drawExecuteBuffer(ClipMode mode);

    Device3D& device_;
    std::vector<RenderVertex> vertices_;
    std::vector<std::uint16_t> indices_;
    std::vector<std::string> materialNames_;
    std::vector<Ref<Material>> materials_;
    std::vector<std::string> builtNames_;  // the names materials_ was made from
    std::vector<IndexRange> groups_;
    std::uint32_t drawnFirst_ = 0, drawnLast_ = 0;
    std::uint32_t changedFirst_ = 1, changedLast_ = 0;  // empty
    bool locked_ = false;
    bool materialsChanged_ = true;
    bool structureChanged_ = true;
    Box box_;
    ExecuteBuffer buffer_;
    std::uint32_t bufferGeneration_ = 0;
    bool bufferBuilt_ = false;
    mutable std::vector<Group> scratchGroups_;  // reused by the draws and drawnGroups()
};

}  // namespace tryster::render
