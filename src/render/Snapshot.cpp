#include "render/Snapshot.h"

#include "formats/ImageLibrary.h"
#include "platform/FileSystem.h"
#include "platform/SurfacePixels.h"

#include <string>
#include <vector>

namespace tryster::render {

bool writeSnapshot(std::string_view path, platform::Surface* surface, const platform::ScreenRect& requested) {
    if (path.empty() || !surface) return false;
    const platform::SurfaceDesc d = surface->description();
    platform::ScreenRect rect =
        requested.left < 0 ? platform::ScreenRect{0, 0, d.width, d.height} : requested;
    if (rect.empty() || rect.top < 0 || rect.right > d.width || rect.bottom > d.height) return false;
    const int bits = d.format.bitsPerPixel;
    if (bits != 16 && bits != 24 && bits != 32) return false;

    platform::LockedSurface locked;
    if (surface->lock(locked)) return false;
    std::vector<std::uint32_t> block(static_cast<std::size_t>(rect.width()) *
                                     static_cast<std::size_t>(rect.height()));
    convertPixels(locked, rect, block.data());

    formats::ImageLibrary& library = formats::ImageLibrary::instance();
    const formats::ImageLibrary::Format* jpeg = library.find("jpg", 0);
    if (!jpeg) {
        (void)surface->unlock();  // locked above: it cannot fail
        return false;
    }
    const std::string name(path);
    void* stream = library.callbacks().openWrite(name.c_str());
    if (!stream) {
        (void)surface->unlock();  // locked above: it cannot fail
        return false;
    }
    formats::ImageDescription description{rect.width(), rect.height(), 32, 1};
    formats::ImageLibrary::Writer* writer = library.wopen(jpeg, description, stream, path, 1);
    if (!writer) {
        library.callbacks().close(stream);
        platform::fileSystem().remove(path);
        (void)surface->unlock();  // locked above: it cannot fail
        return false;
    }
    bool ok = library.write(writer, description, block.data(), rect.width() * 4);
    ok = library.close(writer) && ok;
    block = {};
    ok = library.callbacks().close(stream) == 0 && ok;
    (void)surface->unlock();  // locked above: it cannot fail
    // A half-written snapshot is worse than none.
    if (!ok) platform::fileSystem().remove(path);
    return ok;
}

}  // namespace tryster::render
