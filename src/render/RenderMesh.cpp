#include "render/RenderMesh.h"

#include "render/Device3D.h"

#include <algorithm>

namespace tryster::render {
namespace {

namespace rs = platform::render_state;
namespace ls = platform::light_state;

// The set-status instruction's status: every clip-intersection flag.
constexpr std::uint32_t kStatusAllIntersections = 0x1FFF000;

}  // namespace

void RenderMesh::setTextureName(std::string_view name) {
    materialNames_.assign(1, std::string(name));
    materialsChanged_ = true;
}

void RenderMesh::setVertexCount(std::size_t count) {
    vertices_.resize(std::min<std::size_t>(count, 65536));
    drawnFirst_ = 0;
    drawnLast_ = vertices_.empty() ? 0 : static_cast<std::uint32_t>(vertices_.size() - 1);
    structureChanged_ = true;
}

void RenderMesh::setIndexCount(std::size_t count) {
    indices_.resize(count);
    structureChanged_ = true;
}

void RenderMesh::setDrawnRange(std::uint32_t first, std::uint32_t last) {
    drawnFirst_ = first;
    drawnLast_ = last;
    structureChanged_ = true;
}

void RenderMesh::markChanged(std::uint32_t first, std::uint32_t last) {
    if (changedFirst_ > changedLast_) {
        changedFirst_ = first;
        changedLast_ = last;
    } else {
        changedFirst_ = std::min(changedFirst_, first);
        changedLast_ = std::max(changedLast_, last);
    }
}

void RenderMesh::setMaterialGroups(std::vector<IndexRange> groups) {
    groups_ = std::move(groups);
    structureChanged_ = true;
}

std::uint32_t RenderMesh::drawnCount() const {
    if (vertices_.empty() || drawnFirst_ >= vertices_.size() || drawnLast_ < drawnFirst_) return 0;
    std::uint32_t last =
        std::min<std::uint32_t>(drawnLast_, static_cast<std::uint32_t>(vertices_.size() - 1));
    return last - drawnFirst_ + 1;
}

void RenderMesh::drawnGroups(std::vector<DrawnGroup>& out) const {
    out.clear();
    collectGroups(scratchGroups_);
    for (const Group& g : scratchGroups_)
        out.push_back({g.material->handle(), g.material->textureHandle(), g.range});
}

void RenderMesh::collectGroups(std::vector<Group>& out) const {
    out.clear();
    const auto total = static_cast<std::uint32_t>(indices_.size() / 3 * 3);
    if (materials_.empty()) return;
    if (groups_.empty()) {
        out.push_back({materials_.front().get(), {0, total}});
        return;
    }
    for (std::size_t i = 0; i < groups_.size() && i < materials_.size(); ++i) {
        IndexRange r = groups_[i];
        if (r.first >= total) continue;
        r.count = std::min(r.count, total - r.first) / 3 * 3;
        out.push_back({materials_[i].get(), r});
    }
}

RenderResult RenderMesh::buildMaterials() {
    std::vector<Ref<Material>> made;
    auto flesh = [&](Ref<Material>& out) { return device_.material("Flesh", out); };
    if (materialNames_.empty()) {
        Ref<Material> m;
        if (device_.material("default", m))
            if (RenderResult rc = flesh(m)) return rc;
        made.push_back(std::move(m));
    }
    for (const std::string& name : materialNames_) {
        Ref<Material> m;
        if (device_.material(name, m))
            if (RenderResult rc = flesh(m)) return rc;
        made.push_back(std::move(m));
    }
    materials_ = std::move(made);
    builtNames_ = materialNames_;
    materialsChanged_ = false;
    structureChanged_ = true;
    return render_error::kOk;
}

RenderResult RenderMesh::refreshMaterials() {
    if (!materialsChanged_) return render_error::kOk;
    if (materials_.empty() || materialNames_ != builtNames_) return buildMaterials();
    materialsChanged_ = false;
    return render_error::kOk;
}

RenderResult RenderMesh::commit() {
    locked_ = false;
    changed_ = true;
    if (RenderResult rc = refreshMaterials()) return rc;
    if (structureChanged_ || !bufferBuilt_ ||
        bufferGeneration_ != device_.animDevice().resourceGeneration()) {
        buildExecuteBuffer();
    } else if (changedFirst_ <= changedLast_) {
        const std::uint32_t count = drawnCount();
        std::uint32_t first = std::max(changedFirst_, drawnFirst_);
        std::uint32_t last = std::min(changedLast_, drawnFirst_ + count - 1);
        if (count && first <= last)
            buffer_.writeVertices(first - drawnFirst_, std::span(vertices_).subspan(first, last - first + 1));
    }
    changedFirst_ = 1;
    changedLast_ = 0;
    return render_error::kOk;
}

void RenderMesh::buildExecuteBuffer() {
    const std::uint32_t count = drawnCount();
    buffer_.begin(count);
    if (count) buffer_.writeVertices(0, std::span(vertices_).subspan(drawnFirst_, count));
    buffer_.setStatus(platform::kSetStatusStatus | platform::kSetStatusExtents, kStatusAllIntersections, {});
    collectGroups(scratchGroups_);
    for (const Group& g : scratchGroups_) {
        if (g.range.count == 0 || count == 0) continue;
        std::span<const std::uint16_t> tris(indices_.data() + g.range.first, g.range.count);
        // Only the vertices this material's triangles use are processed.
        auto [lo, hi] = std::minmax_element(tris.begin(), tris.end());
        std::uint32_t first = *lo, last = std::min<std::uint32_t>(*hi, count - 1);
        const ExecuteBuffer::StatePair material{ls::kMaterial, g.material->handle()};
        buffer_.stateLight({&material, 1});
        if (first <= last)
            buffer_.processVertices(platform::kProcessTransformLight, static_cast<std::uint16_t>(first),
                                    static_cast<std::uint16_t>(first), last - first + 1);
        const ExecuteBuffer::StatePair states[] = {{rs::kTextureHandle, g.material->textureHandle()},
                                                   {rs::kAlphaBlendEnable, 0u}};
        buffer_.stateRender(states);
        buffer_.triangleList(tris);
    }
    buffer_.exit();
    bufferBuilt_ = true;
    bufferGeneration_ = device_.animDevice().resourceGeneration();
    structureChanged_ = false;
}

bool RenderMesh::visible(Viewport3D& viewport, ClipMode& mode) {
    if (mode == ClipMode::Inside) return true;
    switch (viewport.classifyBox(box_)) {
        case BoxClass::Outside:
            extent_.reset();
            return false;
        case BoxClass::Inside:
            mode = ClipMode::Inside;
            return true;
        case BoxClass::Partial:
            mode = ClipMode::Partial;
            return true;
    }
    return true;
}

RenderResult RenderMesh::drawExecuteBuffer(ClipMode mode) {
    extent_.reset();
    if (!bufferBuilt_) return render_error::kOk;
    if (bufferGeneration_ != device_.animDevice().resourceGeneration()) buildExecuteBuffer();
    platform::GraphicsDevice& g = device_.graphics();
    auto clipping =
        mode == ClipMode::Inside ? platform::ExecuteClipping::Unclipped : platform::ExecuteClipping::Clipped;
    if (RenderResult rc{g.execute(buffer_.bytes(), buffer_.data(), clipping)}) return rc;
    platform::ClipStatus status = g.clipStatus();
    if (status.hasExtent) extent_ = ScreenExtent::from(status.extent);
    changed_ = false;
    return render_error::kOk;
}

RenderResult RenderMesh::draw(Viewport3D& viewport, ClipMode mode) {
    if (!visible(viewport, mode)) return render_error::kOk;
    return drawExecuteBuffer(mode);
}

}  // namespace tryster::render
