#pragma once
// Textures and materials as the device draws them. Both are reference
// counted and known to the AnimDevice that made them, so that a reload
// (after the display took the surfaces away) can make their device
// objects anew in place, behind the pointers meshes hold.

#include "base/RefCounted.h"
#include "platform/GraphicsDevice.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tryster::render {

using base::Ref;
using base::RefCounted;

class AnimDevice;
class TextureCache;

struct MaterialValues {
    platform::ColourValue diffuse;
    platform::ColourValue ambient;
    platform::ColourValue specular;
    platform::ColourValue emissive;
    float power = 5.0f;
};

// The engine's named materials ("red", "Jeans", "Flesh", ...): exact names,
// case counts.
std::optional<MaterialValues> namedMaterial(std::string_view name);

class Texture final : public RefCounted {
public:
    const std::string& name() const { return name_; }
    // 0 while the image could not be (re)loaded.
    platform::TextureHandle handle() const { return handle_; }
    const std::shared_ptr<platform::Surface>& surface() const { return surface_; }

private:
    friend class TextureCache;
    Texture(TextureCache* cache, std::string name) : cache_(cache), name_(std::move(name)) {}
    void destroy() override;

    TextureCache* cache_;
    std::string name_;
    std::shared_ptr<platform::Surface> surface_;
    platform::TextureHandle handle_ = 0;
};

class Material final : public RefCounted {
public:
    const std::string& name() const { return name_; }
    const MaterialValues& values() const { return values_; }
    platform::MaterialHandle handle() const { return handle_; }
    // 0 for an untextured material.
    platform::TextureHandle textureHandle() const { return texture_ ? texture_->handle() : 0; }
    const Texture* texture() const { return texture_.get(); }

private:
    friend class AnimDevice;
    Material(AnimDevice* owner, std::string name, const MaterialValues& values, Ref<Texture> texture)
        : owner_(owner), name_(std::move(name)), values_(values), texture_(std::move(texture)) {}
    void destroy() override;

    AnimDevice* owner_;
    std::string name_;
    MaterialValues values_;
    Ref<Texture> texture_;
    platform::MaterialHandle handle_ = 0;
};

}  // namespace tryster::render
