#pragma once
// A group: a box and children drawn in list order, culled as a whole by
// its box, with a screen extent that unites its children's.

#include "render/RenderObject.h"

#include <vector>

namespace tryster::render {

class RenderGroup : public RenderObject {
public:
    static Ref<RenderGroup> create() { return Ref<RenderGroup>::adopt(new RenderGroup); }

    // Takes a reference; the child's box, carried by its matrix, extends
    // the group's box. Clears the group's changed flag and the child's
    // transform-changed flag.
    void addChild(RenderObject& child);
    // kNotAChild (and no change) when it is not a child.
    [[nodiscard]] RenderResult removeChild(RenderObject& child);
    const std::vector<RenderObject*>& children() const { return children_; }

    void setBox(const Box& box) { box_ = box; }

    // A box entirely outside draws nothing and resets every child's
    // extent; entirely inside draws the children unclipped. A child's
    // failure ends the draw and is returned.
    RenderResult draw(Viewport3D& viewport, ClipMode mode) override;
    Box bounds() const override { return box_; }
    bool needsRedraw() const override;
    void resetScreenExtent() override;

protected:
    RenderGroup() = default;
    ~RenderGroup() override;

private:
    std::vector<RenderObject*> children_;
    Box box_;
};

// The character's group: it reports only its own changed flag.
class KinoRenderGroup final : public RenderGroup {
public:
    static Ref<KinoRenderGroup> create() { return Ref<KinoRenderGroup>::adopt(new KinoRenderGroup); }
    bool needsRedraw() const override { return changed_; }

private:
    KinoRenderGroup() = default;
};

}  // namespace tryster::render
