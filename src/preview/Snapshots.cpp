// The head and body snapshots that a saved date carries: parts of the
// preview drawn from the front at a fixed zoom.

#include "preview/Preview.h"
#include "preview/PreviewEngine.h"

#include "platform/FileSystem.h"
#include "render/Snapshot.h"

#include <string>

namespace tryster::preview {
namespace {

constexpr int kSnapshotZoomLevel = 2;
// Frames drawn before the body is taken.
constexpr int kBodySettleFrames = 3;

// Written where the caller asks (the save's staged name); one that cannot
// be written whole leaves nothing there.
bool writeRect(const std::string& path, platform::Surface* surface, const platform::ScreenRect& rect) {
    if (render::writeSnapshot(path, surface, rect)) return true;
    (void)platform::fileSystem().remove(path);  // often there is none
    return false;
}

}  // namespace

std::vector<std::string> Preview::takeSnapshots(std::string_view headPath, std::string_view bodyPath) {
    std::vector<std::string> written;
    platform::SurfaceDesc description;
    if (!initialised_ || !engine_->animDevice || !engine_->animDevice->backSurface() ||
        engine_->animDevice->backSurface()->description(description))
        return written;
    platform::Surface* surface = engine_->animDevice->backSurface()->get();

    // At another render scale the snapshots are drawn at scale 1 in the
    // surface's top left corner, without showing those frames.
    const bool scaled = engine_->viewport->width() != width_ || engine_->viewport->height() != height_;
    if (scaled && engine_->viewport->setSize(width_, height_)) return written;
    presenting_ = !scaled;

    // Drawn from the front at the snapshot zoom; the view the controls set
    // is left as it is.
    CameraView front;
    front.zoomLevel = kSnapshotZoomLevel;
    (void)frameFrom(&front, nullptr, true);  // a frame that fails shows in the pictures
    if (writeRect(std::string(headPath), surface, kHeadSnapshotRect)) written.emplace_back(headPath);

    for (int i = 0; i < kBodySettleFrames; ++i)
        (void)frameFrom(&front, nullptr, true);  // a frame that fails shows in the pictures
    if (writeRect(std::string(bodyPath), surface, kBodySnapshotRect)) written.emplace_back(bodyPath);

    presenting_ = true;
    if (scaled) (void)engine_->viewport->setSize(engine_->animDevice->width(), engine_->animDevice->height());  // as before, or the next frame says
    (void)frame();  // a frame that fails shows in the pictures
    return written;
}

}  // namespace tryster::preview
