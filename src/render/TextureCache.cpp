#include "render/TextureCache.h"

#include "formats/ImageDecoder.h"
#include "platform/FileFinder.h"
#include "platform/FileSystem.h"
#include "render/AnimDevice.h"

#include <algorithm>
#include <cstring>

namespace tryster::render {

void Texture::destroy() {
    if (cache_) cache_->forget(this);
    delete this;
}

TextureCache::~TextureCache() {
    // Textures still held elsewhere outlive the cache without a device.
    for (Texture* t : entries_) {
        t->cache_ = nullptr;
        t->handle_ = 0;
    }
}

RenderResult TextureCache::find(std::string_view name, Ref<Texture>& out) {
    for (Texture* t : entries_)
        if (t->name_ == name) {
            out = Ref<Texture>::retain(t);
            return render_error::kOk;
        }
    if (!owner_.graphics()) return render_error::kNotReady;
    Ref<Texture> texture = Ref<Texture>::adopt(new Texture(this, std::string(name)));
    entries_.push_back(texture.get());
    if (RenderResult rc = load(*texture)) return rc;  // the failed entry goes with `texture`
    out = std::move(texture);
    return render_error::kOk;
}

RenderResult TextureCache::load(Texture& t) {
    platform::GraphicsDevice* graphics = owner_.graphics();
    if (!graphics) return render_error::kNotReady;
    platform::FileFinder& finder = platform::FileFinder::instance();
    formats::DecodedImage image;
    if (const platform::HeldFile* held = held_ ? held_->find(t.name_, finder.typesOf("IMAG")) : nullptr) {
        if (!formats::decodeImage(held->bytes, held->type(), image)) return render_error::kBadImage;
    } else {
        auto path = finder.find(t.name_, "IMAG", owner_.texturePath());
        if (!path) return render_error::kNotFound;
        auto bytes = platform::readWholeFile(*path);
        if (!bytes || !formats::decodeImage(*bytes, platform::fileType(*path), image)) return render_error::kBadImage;
    }

    std::shared_ptr<platform::Surface> surface;
    platform::SurfaceDesc desc{image.width, image.height, platform::pixel_format::kXrgb8888,
                               platform::SurfaceKind::Texture};
    if (RenderResult rc{owner_.display()->createSurface(desc, surface)}) return rc;
    platform::LockedSurface locked;
    if (RenderResult rc{surface->lock(locked)}) return rc;
    for (int y = 0; y < image.height; ++y)
        std::memcpy(locked.pixels + static_cast<std::ptrdiff_t>(y) * locked.pitch,
                    image.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width),
                    static_cast<std::size_t>(image.width) * 4);
    (void)surface->unlock();  // locked just above: it cannot fail
    platform::TextureHandle handle = 0;
    if (RenderResult rc{graphics->createTexture(surface, handle)}) return rc;
    t.surface_ = std::move(surface);
    t.handle_ = handle;
    return render_error::kOk;
}

void TextureCache::forget(Texture* t) {
    if (t->handle_ && owner_.graphics()) (void)owner_.graphics()->releaseTexture(t->handle_);  // gone anyway
    entries_.erase(std::remove(entries_.begin(), entries_.end(), t), entries_.end());
}

void TextureCache::releaseAll() {
    for (Texture* t : entries_) {
        if (t->handle_ && owner_.graphics())
            (void)owner_.graphics()->releaseTexture(t->handle_);  // the handle is forgotten either way
        t->handle_ = 0;
        t->surface_.reset();
    }
}

}  // namespace tryster::render
