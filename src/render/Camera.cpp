#include "render/Camera.h"

#include "render/Viewport3D.h"

#include <cmath>

namespace tryster::render {

void Camera::setPosition(Vector3 position) {
    position_ = position;
    update();
}

void Camera::setDirection(Vector3 direction) {
    if (length(direction) > 0) direction_ = normalised(direction);
    update();
}

void Camera::setFrontClip(float front) {
    front_ = front;
    update();
}

void Camera::setBackClip(float back) {
    back_ = back;
    update();
}

Matrix4 Camera::viewMatrix() const {
    Vector3 z = direction_;
    Vector3 up{0, 1, 0};
    if (length(cross(up, z)) < 1e-6f) up = {0, 0, 1};  // looking straight up or down
    Vector3 x = normalised(cross(up, z));
    Vector3 y = cross(z, x);
    Matrix4 v;
    v.m[0][0] = x.x, v.m[0][1] = y.x, v.m[0][2] = z.x;
    v.m[1][0] = x.y, v.m[1][1] = y.y, v.m[1][2] = z.y;
    v.m[2][0] = x.z, v.m[2][1] = y.z, v.m[2][2] = z.z;
    v.m[3][0] = -dot(x, position_), v.m[3][1] = -dot(y, position_), v.m[3][2] = -dot(z, position_);
    return v;
}

Matrix4 Camera::projectionMatrix(float aspect) const {
    const float t = std::tan(kFieldOfView / 2), n = front_, f = back_;
    Matrix4 p;
    p.m[0][0] = aspect <= 1 ? 1 / aspect : 1;
    p.m[1][1] = aspect <= 1 ? 1 : aspect;
    p.m[2][2] = t * f / (f - n);
    p.m[2][3] = t;
    p.m[3][2] = -t * f * n / (f - n);
    p.m[3][3] = 0;
    return p;
}

Matrix4 parallelProjection(float viewWidth, float aspect, float depth) {
    const float h = viewWidth / 2;
    Matrix4 p;
    p.m[0][0] = h / aspect;
    p.m[1][1] = h;
    p.m[2][2] = h * h / (aspect * depth);
    p.m[3][3] = h * h / aspect;
    return p;
}

void Camera::update() {
    if (!viewport_) return;
    viewport_->setView(viewMatrix());
    viewport_->setProjection(projectionMatrix(viewport_->aspect()));
}

}  // namespace tryster::render
