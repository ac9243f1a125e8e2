// The head and body snapshots that a saved date carries: parts of the
// preview drawn from the front at a fixed zoom.

#include "preview/Preview.h"

#include "platform/FileSystem.h"
#include "render/Snapshot.h"

#include <string>

namespace tryster::preview {
namespace {

constexpr int kSnapshotZoomLevel = 2;
// Frames drawn before the body is taken.
constexpr int kBodySettleFrames = 3;

bool writeRect(const std::string& path, platform::Surface* surface, const platform::ScreenRect& rect) {
    platform::fileSystem().remove(path);
    return render::writeSnapshot(path, surface, rect);
}

}  // namespace

bool Preview::takeSnapshots(std::string_view basePath) {
    platform::SurfaceDesc description;
    if (!animDevice_ || !animDevice_->backSurface() || animDevice_->backSurface()->description(description))
        return false;
    platform::Surface* surface = animDevice_->backSurface()->get();

    const ViewControls saved = view_;
    view_.facing = 0;
    view_.rotationSpeed = 0;
    view_.zoomLevel = kSnapshotZoomLevel;
    (void)frame();
    const bool head = writeRect(std::string(basePath) + "head.jpg", surface, kHeadSnapshotRect);

    view_.zoomLevel = kSnapshotZoomLevel;
    for (int i = 0; i < kBodySettleFrames; ++i) (void)frame();
    const bool body = writeRect(std::string(basePath) + "body.jpg", surface, kBodySnapshotRect);

    view_.facing = saved.facing;
    view_.rotationSpeed = saved.rotationSpeed;
    view_.zoomLevel = saved.zoomLevel;
    (void)frame();
    return head && body;
}

}  // namespace tryster::preview
