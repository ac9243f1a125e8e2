#pragma once
// The preview area: the window the preview presents into.
// Its drawing surface is exactly preview::kPreviewWidth by kPreviewHeight
// pixels inside its frame, so the snapshot rectangles keep their meaning.
// It keeps a copy of the last presented frame and paints that; it never
// draws a frame itself. On a screen with a device pixel ratio above 1 the
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
    // The last frame shown (the background colour before the first).
    const QImage& picture() const { return m_picture; }
    int framesShown() const { return m_framesShown; }

    // Called when the pane is exposed by something other than its own
    // frames (uncovered, restored): the owner asks for a fresh frame.
    void setExposedHandler(std::function<void()> handler) { m_exposed = std::move(handler); }
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
    int m_framesShown = 0;
    bool m_ownUpdate = false;  // the next paint is for a frame of ours
    std::function<void()> m_exposed;
    std::function<void(float)> m_scaleChanged;
    float m_scale = 0;  // the scale last reported (0: none yet)

    void checkScale();
};

}  // namespace tryster::app
