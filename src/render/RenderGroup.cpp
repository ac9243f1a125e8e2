#include "render/RenderGroup.h"

#include <algorithm>

namespace tryster::render {

RenderGroup::~RenderGroup() {
    for (RenderObject* child : children_) child->release();
}

void RenderGroup::addChild(RenderObject& child) {
    child.addRef();
    children_.push_back(&child);
    Box b = child.bounds();
    box_.unite(child.matrixKind() == MatrixKind::Identity ? b : b.transformed(child.matrix()));
    changed_ = false;
    child.setTransformChanged(false);
}

RenderResult RenderGroup::removeChild(RenderObject& child) {
    auto it = std::find(children_.begin(), children_.end(), &child);
    if (it == children_.end()) return render_error::kNotAChild;
    children_.erase(it);
    child.release();
    return render_error::kOk;
}

RenderResult RenderGroup::draw(Viewport3D& viewport, ClipMode mode) {
    extent_.reset();
    if (mode != ClipMode::Inside) {
        switch (viewport.classifyBox(box_)) {
            case BoxClass::Outside:
                for (RenderObject* child : children_) child->resetScreenExtent();
                return render_error::kOk;
            case BoxClass::Inside:
                mode = ClipMode::Inside;
                break;
            case BoxClass::Partial:
                mode = ClipMode::Partial;
                break;
        }
    }
    for (RenderObject* child : children_) {
        if (RenderResult rc = viewport.draw(*child, mode)) return rc;
        extent_.unite(child->screenExtent());
    }
    viewport.addDirtyRect(extent_);
    return render_error::kOk;
}

bool RenderGroup::needsRedraw() const {
    return std::any_of(children_.begin(), children_.end(), [](RenderObject* c) { return c->needsRedraw(); });
}

void RenderGroup::resetScreenExtent() {
    extent_.reset();
    for (RenderObject* child : children_) child->resetScreenExtent();
}

}  // namespace tryster::render
