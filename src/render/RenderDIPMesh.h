#pragma once
// A mesh drawn with indexed primitives: per material, the material and
// texture handles, linear magnification, no blending, then one triangle
// list over the drawn vertices (unclipped
// when the box lies inside the view). Where indexed primitives are
// forbidden it draws as its base class does.

#include "render/RenderMesh.h"

namespace tryster::render {

class RenderDIPMesh final : public RenderMesh {
public:
    static Ref<RenderMesh> create(Device3D& device) {
        return Ref<RenderMesh>::adopt(new RenderDIPMesh(device));
    }

    RenderResult commit() override;
    RenderResult draw(Viewport3D& viewport, ClipMode mode) override;

private:
    friend class Device3D;
    explicit RenderDIPMesh(Device3D& device) : RenderMesh(device) {}
};

}  // namespace tryster::render
