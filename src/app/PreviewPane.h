#pragma once
// The preview area: the window the preview presents into.
// Its drawing surface is exactly preview::kPreviewWidth by kPreviewHeight
// pixels inside its frame, so the snapshot rectangles keep their meaning.
// A frame presented while the pane is shown is painted at once, straight
// from the locked surface into the window's own store of pixels (made
// opaque on the way, as the surface's fourth byte is not alpha): no copy
// of ours. The pane's copy of the picture is made only when it has to
// paint without a frame in hand (uncovered, or asked for its picture): the
// owner presents the last frame again for it. The pane never draws a
// frame itself. On a screen with a device pixel ratio above 1 the
// preview draws at that ratio (renderScale), so the picture fills the
// pane's device pixels one to one; a frame of another size (while the
// scale changes) is scaled smoothly to the pane, never cropped.

#include "platform/DisplayWindow.h"

#include <QFrame>
#include <QImage>

#include <functional>

namespace tryster::app {

class PreviewPane final : public QFrame, public platform::DisplayWindow {
    Q_OBJECT

public:
    explicit PreviewPane(QWidget* parent = nullptr);

    // The drawing surface's size in the preview's pixels, and the device
    // pixels per preview pixel the screen asks for.
    QSize surfaceSize() const;
    float renderScale() const;
    // Where the surface lies in the pane.
    QRect surfaceRect() const { return contentsRect(); }
    // The last frame shown (the background colour before the first),
    // brought up to date first.
    const QImage& picture();
    int framesShown() const { return m_framesShown; }

    // Called when the pane is exposed by something other than its own
    // frames (uncovered, restored): the owner asks for a fresh frame.
    void setExposedHandler(std::function<void()> handler) { m_exposed = std::move(handler); }
    // Called when the pane must paint and its copy is behind the frames
    // it painted straight: the owner presents the last frame again, whole,
    // at once, and says whether it did.
    void setRefreshHandler(std::function<bool()> handler) { m_refresh = std::move(handler); }
    // Whether the copy still lacks the last frame (the refresh failed).
    bool pictureBehind() const { return m_pictureBehind; }
    // Called (from the event loop) when the pane's screen asks for another
    // render scale: moved to another screen, or the screen's ratio changed.
    void setScaleHandler(std::function<void(float)> handler) { m_scaleChanged = std::move(handler); }

    platform::DisplayWindow* parentWindow() override { return nullptr; }
    platform::ScreenRect screenRect() override;
    void showFrame(const platform::LockedSurface& frame, const platform::ScreenRect& source) override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    const platform::LockedSurface* m_locked = nullptr;  // the frame being painted straight
    platform::ScreenRect m_lockedPart;                   // and its part presented
    bool m_pictureBehind = false;  // frames were painted straight since the copy was made
    bool m_copyFrames = false;     // frames go into the copy (while it is brought up to date)
    // The last paint went into a store of 32-bit words 0xAARRGGBB, which a
    // frame can be written into as it is, made opaque.
    bool m_storeWritable = false;
    int m_framesShown = 0;
    bool m_ownUpdate = false;  // the next paint is for a frame of ours
    std::function<void()> m_exposed;
    std::function<bool()> m_refresh;
    std::function<void(float)> m_scaleChanged;
    float m_scale = 0;  // the scale last reported (0: none yet)

    void checkScale();
    void copyFrame(const platform::LockedSurface& frame, const platform::ScreenRect& r);
    void refreshPicture();
    QRect paneRect(const platform::ScreenRect& r) const;
    bool paintStraight(QImage& store, const QTransform& toDevice, const QRegion& region);
};

}  // namespace tryster::app
