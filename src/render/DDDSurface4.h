#pragma once
// The engine's hold on a display surface (primary, back buffer, z-buffer,
// background bitmap or texture).

#include "platform/Surface.h"
#include "render/RenderError.h"

#include <memory>

namespace tryster::render {

class DDDSurface4 {
public:
    explicit DDDSurface4(std::shared_ptr<platform::Surface> surface) : surface_(std::move(surface)) {}

    platform::Surface* get() const { return surface_.get(); }
    const std::shared_ptr<platform::Surface>& shared() const { return surface_; }

    // The surface's size and format; kNotReady without a surface.
    [[nodiscard]] RenderResult description(platform::SurfaceDesc& out) const {
        if (!surface_) return render_error::kNotReady;
        out = surface_->description();
        return render_error::kOk;
    }
    bool isLost() const { return surface_ && surface_->isLost(); }

private:
    std::shared_ptr<platform::Surface> surface_;
};

}  // namespace tryster::render
