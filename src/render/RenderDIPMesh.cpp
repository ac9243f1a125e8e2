#include "render/RenderDIPMesh.h"

#include "render/Device3D.h"

namespace tryster::render {
namespace {

namespace rs = platform::render_state;
namespace ls = platform::light_state;

}  // namespace

RenderResult RenderDIPMesh::commit() {
    if (!device_.usesIndexedPrimitives()) return RenderMesh::commit();
    locked_ = false;
    changed_ = true;
    if (RenderResult rc = refreshMaterials()) return rc;
    changedFirst_ = 1;
    changedLast_ = 0;
    bufferBuilt_ = false;
    return render_error::kOk;
}

RenderResult RenderDIPMesh::draw(Viewport3D& viewport, ClipMode mode) {
    if (!device_.usesIndexedPrimitives()) {
        if (!bufferBuilt_ && !materials_.empty()) buildExecuteBuffer();
        return RenderMesh::draw(viewport, mode);
    }
    if (!visible(viewport, mode)) return render_error::kOk;
    extent_.reset();
    const std::uint32_t count = drawnCount();
    collectGroups(scratchGroups_);
    if (count == 0 || scratchGroups_.empty()) return render_error::kOk;
    platform::GraphicsDevice& g = device_.graphics();
    g.setClipStatus({});
    for (const Group& group : scratchGroups_) {
        platform::DeviceResult rc = g.setLightState(ls::kMaterial, group.material->handle());
        if (!rc) rc = g.setRenderState(rs::kTextureHandle, group.material->textureHandle());
        if (!rc) rc = g.setRenderState(rs::kTextureMag, platform::texture_filter::kLinear);
        if (!rc) rc = g.setRenderState(rs::kAlphaBlendEnable, 0);
        if (!rc)
            rc = g.drawIndexedPrimitive(platform::PrimitiveType::TriangleList,
                                        platform::kVertexFormatXyzNormalTex1, vertices_.data() + drawnFirst_,
                                        count, indices_.data() + group.range.first, group.range.count,
                                        mode == ClipMode::Inside ? platform::kDrawDoNotClip : 0);
        if (rc) return RenderResult(rc);
    }
    platform::ClipStatus status = g.clipStatus();
    if (status.hasExtent) extent_ = ScreenExtent::from(status.extent);
    changed_ = false;
    return render_error::kOk;
}

}  // namespace tryster::render
