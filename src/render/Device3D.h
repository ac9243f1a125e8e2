#pragma once
// The Direct3D side of the engine: the device in one of two flavours
// (indexed primitives where the device offers them, else execute buffers),
// its viewports and its lights. Every drawing call asks `usesIndexed
// Primitives()`: the indexed-primitive device exists and the process-wide
// switch does not forbid it.

#include "platform/GraphicsDevice.h"
#include "render/AnimDevice.h"
#include "render/ExecuteBuffer.h"
#include "render/Light.h"
#include "render/RenderError.h"

#include <memory>
#include <span>
#include <vector>

namespace tryster::render {

class RenderMesh;
class Viewport3D;

// Must not outlive the AnimDevice it was made on.
class Device3D {
public:
    // kNotReady before the AnimDevice is initialised; device failures
    // pass through.
    [[nodiscard]] static RenderResult create(AnimDevice& animDevice, std::unique_ptr<Device3D>& out);
    ~Device3D();
    Device3D(const Device3D&) = delete;
    Device3D& operator=(const Device3D&) = delete;

    // The process's current device (set by the preview set-up).
    static Device3D* current();
    static void setCurrent(Device3D* device);

    // The process-wide switch; off by default.
    static void setIndexedPrimitivesForbidden(bool forbidden);
    static bool indexedPrimitivesForbidden();
    bool hasIndexedPrimitiveDevice() const { return graphics_->supportsIndexedPrimitives(); }
    bool usesIndexedPrimitives() const {
        return hasIndexedPrimitiveDevice() && !indexedPrimitivesForbidden();
    }

    // A viewport over the whole back buffer, owned by the device.
    [[nodiscard]] RenderResult createViewport(Viewport3D*& out);
    RenderResult releaseViewport(Viewport3D* viewport);

    // White, intensity 1, shining along +z; added to every viewport.
    [[nodiscard]] RenderResult createDirectionalLight(Ref<DirectionalLight>& out);

    // See AnimDevice::material.
    [[nodiscard]] RenderResult material(std::string_view name, Ref<Material>& out) {
        return animDevice_.material(name, out);
    }
    // A new, empty mesh of the flavour the device draws with.
    Ref<RenderMesh> createRenderMesh();

    // State changes through the device's path: direct calls with indexed
    // primitives, else a small execute buffer.
    [[nodiscard]] RenderResult setRenderStates(std::span<const ExecuteBuffer::StatePair> states) {
        return setStates(false, states);
    }
    [[nodiscard]] RenderResult setLightStates(std::span<const ExecuteBuffer::StatePair> states) {
        return setStates(true, states);
    }

    AnimDevice& animDevice() const { return animDevice_; }
    platform::GraphicsDevice& graphics() const { return *graphics_; }

private:
    friend class Light;
    Device3D(AnimDevice& animDevice, std::unique_ptr<platform::GraphicsDevice> graphics);
    void forgetLight(Light* light);
    RenderResult setStates(bool light, std::span<const ExecuteBuffer::StatePair> states);

    AnimDevice& animDevice_;
    std::unique_ptr<platform::GraphicsDevice> graphics_;
    std::vector<std::unique_ptr<Viewport3D>> viewports_;
    std::vector<Light*> lights_;  // room for 32, grows past that
    ExecuteBuffer stateBuffer_;
};

}  // namespace tryster::render
