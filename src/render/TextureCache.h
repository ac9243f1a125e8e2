#pragma once
// Textures by name: a hit adds a reference; a miss finds the image file of
// category "IMAG" with that name among the held files, else along the
// texture path, decodes it into a 32-bit texture surface and makes its
// device texture. A texture leaves the cache when its last reference goes.

#include "platform/HeldFiles.h"
#include "render/Material.h"
#include "render/RenderError.h"

#include <string_view>
#include <vector>

namespace tryster::render {

class TextureCache {
public:
    explicit TextureCache(AnimDevice& owner) : owner_(owner) {}
    ~TextureCache();
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    // kNotFound when no image of that name is on the path, kBadImage when
    // it cannot be decoded, kNotReady before the 3D device exists.
    [[nodiscard]] RenderResult find(std::string_view name, Ref<Texture>& out);
    std::size_t size() const { return entries_.size(); }

    // Images held in memory that take the place of the texture folders'
    // files of the same name (null: the folders' only); they must outlive
    // their use here. Textures already made keep their images until they
    // are loaded again.
    void holdFiles(const platform::HeldFiles* files) { held_ = files; }

    // Drops every texture's surface and device texture (they stay in the
    // cache by name).
    void releaseAll();

private:
    friend class Texture;
    RenderResult load(Texture& texture);
    void forget(Texture* texture);

    AnimDevice& owner_;
    std::vector<Texture*> entries_;
    const platform::HeldFiles* held_ = nullptr;
};

}  // namespace tryster::render
