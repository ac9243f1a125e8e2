#pragma once
// The viewport's camera. Each change recomputes the view matrix (looking
// along the direction, y up) and the projection, and hands both to the
// viewport.

#include "base/RefCounted.h"
#include "render/Math3D.h"

#include <numbers>

namespace tryster::render {

using base::Ref;
using base::RefCounted;

class Viewport3D;

// A parallel projection in the form the preview gives its viewport: zero
// except the diagonal (h/a, h, h²/(a·F), h²/a) with h = viewWidth / 2. A
// row vector (x, y, z, 1) times it, divided by its fourth component, is
// (x/h, y·a/h, z/F): the view is viewWidth units across and viewWidth / a
// high, with depth 0..F.
Matrix4 parallelProjection(float viewWidth, float aspect, float depth);

class Camera final : public RefCounted {
public:
    void setPosition(Vector3 position);
    // Normalised; a zero direction is ignored.
    void setDirection(Vector3 direction);
    void setFrontClip(float front);
    void setBackClip(float back);

    Vector3 position() const { return position_; }
    Vector3 direction() const { return direction_; }

    Matrix4 viewMatrix() const;
    // With t = tan(fov / 2), front n, back f, aspect a = width / height:
    // rows (sx, 0, 0, 0), (0, sy, 0, 0), (0, 0, t·f/(f−n), t),
    // (0, 0, −t·f·n/(f−n), 0); sx = 1/a, sy = 1 for a ≤ 1, else sx = 1,
    // sy = a: the field of view spans the larger dimension.
    Matrix4 projectionMatrix(float aspect) const;

private:
    friend class Viewport3D;

    // A parallel projection in the form the preview gives its viewport: zero
    // except the diagonal (h/a, h, h²/(a·F), h²/a) with h = viewWidth / 2. A
    // row vector (x, y, z, 1) times it, divided by its fourth component, is
    // (x/h, y·a/h, z/F): the view is viewWidth units across and viewWidth / a
    // high, with depth 0..F.
    Matrix4 parallelProjection(float viewWidth, float aspect, float depth);
    explicit Camera(Viewport3D& viewport) : viewport_(&viewport) {}
    void update();

    Viewport3D* viewport_;  // null once the viewport is gone
    Vector3 position_{-300, 0, 0};
    Vector3 direction_{1, 0, 0};
    float front_ = 10.0f;
    float back_ = 200.0f;
    static constexpr float kFieldOfView = std::numbers::pi_v<float> / 4;
};

}  // namespace tryster::render
