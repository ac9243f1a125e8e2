#pragma once
// The objects the engine draws: a tree of groups and meshes, each with a
// matrix (relative to its group; identity-tagged matrices cost nothing),
// a box, and the screen extent it covered when last drawn.

#include "base/RefCounted.h"
#include "render/Math3D.h"
#include "render/RenderError.h"
#include "render/Viewport3D.h"

namespace tryster::render {

using base::Ref;
using base::RefCounted;

class RenderObject : public RefCounted {
public:
    // Draws on the viewport, whose world transform is already this
    // object's. Clip mode Inside skips every clip test.
    [[nodiscard]] virtual RenderResult draw(Viewport3D& viewport, ClipMode mode) = 0;
    virtual Box bounds() const = 0;
    virtual bool needsRedraw() const { return changed_; }
    virtual void resetScreenExtent() { extent_.reset(); }

    const ScreenExtent& screenExtent() const { return extent_; }
    void setTransform(const Matrix4& matrix, MatrixKind kind = MatrixKind::General) {
        matrix_ = matrix;
        kind_ = kind;
        transformChanged_ = true;
    }
    const Matrix4& matrix() const { return matrix_; }
    MatrixKind matrixKind() const { return kind_; }
    bool changed() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }
    bool transformChanged() const { return transformChanged_; }
    void setTransformChanged(bool changed) { transformChanged_ = changed; }

protected:
    ScreenExtent extent_;
    bool changed_ = false;
    bool transformChanged_ = false;

private:
    Matrix4 matrix_;
    MatrixKind kind_ = MatrixKind::Identity;
};

// A leaf object.
class ConcreteRenderObject : public RenderObject {
protected:
    void destroy() override { delete this; }
};

}  // namespace tryster::render
