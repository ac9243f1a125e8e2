#include "render/Light.h"

#include "render/Device3D.h"

namespace tryster::render {

void Light::destroy() {
    if (device_) device_->forgetLight(this);
    delete this;
}

RenderResult Light::push() {
    if (!device_) return render_error::kNotReady;
    platform::LightDesc desc;
    desc.type = type_;
    desc.colour = effectiveColour();
    desc.position = {position_.x, position_.y, position_.z};
    desc.direction = {direction_.x, direction_.y, direction_.z};
    return RenderResult(device_->graphics().setLight(handle_, desc));
}

RenderResult Light::setColour(float r, float g, float b) {
    colour_ = {r, g, b, 1.0f};
    return push();
}

RenderResult Light::setIntensity(float intensity) {
    intensity_ = intensity;
    return push();
}

RenderResult Light::setPosition(Vector3 position) {
    position_ = position;
    return push();
}

RenderResult Light::setDirection(Vector3 direction) {
    direction_ = normalised(direction);
    return push();
}

}  // namespace tryster::render
