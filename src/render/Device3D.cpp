#include "render/Device3D.h"

#include "render/RenderDIPMesh.h"
#include "render/Viewport3D.h"

#include <algorithm>
#include <new>

namespace tryster::render {
namespace {

Device3D* gCurrent = nullptr;
bool gIndexedForbidden = false;
constexpr std::size_t kInitialLights = 32;

}  // namespace

Device3D* Device3D::current() {
    return gCurrent;
}
void Device3D::setCurrent(Device3D* device) {
    gCurrent = device;
}
void Device3D::setIndexedPrimitivesForbidden(bool forbidden) {
    gIndexedForbidden = forbidden;
}
bool Device3D::indexedPrimitivesForbidden() {
    return gIndexedForbidden;
}

RenderResult Device3D::create(AnimDevice& animDevice, std::unique_ptr<Device3D>& out) {
    if (!animDevice.initialised() || animDevice.graphics()) return render_error::kNotReady;
    std::unique_ptr<platform::GraphicsDevice> graphics;
    if (RenderResult rc{
            animDevice.display()->createDevice(animDevice.chosenDriver(), animDevice.backSurface()->shared(),
                                               animDevice.zBufferSurface()->shared(), graphics)})
        return rc;
    out.reset(new Device3D(animDevice, std::move(graphics)));
    return render_error::kOk;
}

Device3D::Device3D(AnimDevice& animDevice, std::unique_ptr<platform::GraphicsDevice> graphics)
    : animDevice_(animDevice), graphics_(std::move(graphics)) {
    lights_.reserve(kInitialLights);
    animDevice_.attachGraphics(graphics_.get());
}

Device3D::~Device3D() {
    if (gCurrent == this) gCurrent = nullptr;
    for (Light* l : lights_) l->device_ = nullptr;
    viewports_.clear();
    animDevice_.attachGraphics(nullptr);
}

RenderResult Device3D::createViewport(Viewport3D*& out) {
    std::unique_ptr<Viewport3D> v(new Viewport3D(*this));
    if (RenderResult rc = v->create()) return rc;
    for (Light* l : lights_) (void)graphics_->addLight(v->handle(), l->handle());  // refused: only darker
    out = v.get();
    viewports_.push_back(std::move(v));
    return render_error::kOk;
}

RenderResult Device3D::releaseViewport(Viewport3D* viewport) {
    auto it =
        std::find_if(viewports_.begin(), viewports_.end(), [&](auto& v) { return v.get() == viewport; });
    if (it == viewports_.end()) return render_error::kBadArgument;
    viewports_.erase(it);
    return render_error::kOk;
}

RenderResult Device3D::createDirectionalLight(Ref<DirectionalLight>& out) {
    platform::LightHandle handle = 0;
    if (RenderResult rc{graphics_->createLight(handle)}) return rc;
    Ref<DirectionalLight> light = Ref<DirectionalLight>::adopt(new DirectionalLight(*this, handle));
    try {
        lights_.push_back(light.get());
    } catch (const std::bad_alloc&) {
        light->device_ = nullptr;
        (void)graphics_->releaseLight(handle);  // the failure reported is the one that made it go
        return render_error::kCannotCreate;
    }
    if (RenderResult rc = light->push()) return rc;
    for (auto& v : viewports_)
        if (RenderResult rc{graphics_->addLight(v->handle(), handle)}) return rc;
    out = std::move(light);
    return render_error::kOk;
}

void Device3D::forgetLight(Light* light) {
    (void)graphics_->releaseLight(light->handle());  // the light is gone either way
    lights_.erase(std::remove(lights_.begin(), lights_.end(), light), lights_.end());
}

Ref<RenderMesh> Device3D::createRenderMesh() {
    if (hasIndexedPrimitiveDevice()) return RenderDIPMesh::create(*this);
    return RenderMesh::create(*this);
}

RenderResult Device3D::setStates(bool light, std::span<const ExecuteBuffer::StatePair> states) {
    if (usesIndexedPrimitives()) {
        for (auto [state, value] : states)
            if (RenderResult rc{
                    light ? graphics_->setLightState(state, value) : graphics_->setRenderState(state, value)})
                return rc;
        return render_error::kOk;
    }
    stateBuffer_.begin(0);
    if (light)
        stateBuffer_.stateLight(states);
    else
        stateBuffer_.stateRender(states);
    stateBuffer_.exit();
    return RenderResult(
        graphics_->execute(stateBuffer_.bytes(), stateBuffer_.data(), platform::ExecuteClipping::Clipped));
}

}  // namespace tryster::render
