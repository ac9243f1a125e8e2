#pragma once
// Lights of the device. Every change goes to the device at once. The
// effective colour is colour × intensity; setting a colour sets alpha 1.

#include "base/RefCounted.h"
#include "platform/GraphicsDevice.h"
#include "render/Math3D.h"
#include "render/RenderError.h"

namespace tryster::render {

using base::Ref;
using base::RefCounted;

class Device3D;

class Light : public RefCounted {
public:
    RenderResult setColour(float r, float g, float b);
    RenderResult setIntensity(float intensity);
    RenderResult setPosition(Vector3 position);
    // Kept normalised.
    RenderResult setDirection(Vector3 direction);

    platform::ColourValue colour() const { return colour_; }
    float intensity() const { return intensity_; }
    platform::ColourValue effectiveColour() const {
        return {colour_.r * intensity_, colour_.g * intensity_, colour_.b * intensity_,
                colour_.a * intensity_};
    }
    Vector3 position() const { return position_; }
    Vector3 direction() const { return direction_; }
    platform::LightHandle handle() const { return handle_; }

protected:
    Light(Device3D& device, platform::LightHandle handle, platform::LightType type)
        : device_(&device), handle_(handle), type_(type) {}
    void destroy() override;

private:
    friend class Device3D;
    RenderResult push();

    Device3D* device_;  // null once the device is gone
    platform::LightHandle handle_;
    platform::LightType type_;
    platform::ColourValue colour_{1, 1, 1, 1};
    float intensity_ = 1.0f;
    Vector3 position_;
    Vector3 direction_{0, 0, 1};
};

class DirectionalLight final : public Light {
private:
    friend class Device3D;
    DirectionalLight(Device3D& device, platform::LightHandle handle)
        : Light(device, handle, platform::LightType::Directional) {}
};

}  // namespace tryster::render
