#pragma once
// The preview area (control 1000): the window the preview presents into.
// Its drawing surface is exactly preview::kPreviewWidth by kPreviewHeight
// pixels inside its frame, so the snapshot rectangles keep their meaning.
// It keeps a copy of the last presented frame and paints that; it never
// draws a frame itself. On a screen with a device pixel ratio above 1 the
// picture is scaled smoothly to the pane's size, never cropped.

#include "platform/DisplayWindow.h"

#include <QFrame>
#include <QImage>

#include <functional>

namespace tryster::app {

class PreviewPane final : public QFrame, public platform::DisplayWindow {
    Q_OBJECT

public:
    explicit PreviewPane(QWidget* parent = nullptr);

    // The drawing surface's size in pixels.
    QSize surfaceSize() const;
    // Where the surface lies in the pane.
    QRect surfaceRect() const { return contentsRect(); }
    // The last frame shown (the background colour before the first).
    const QImage& picture() const { return m_picture; }
    int framesShown() const { return m_framesShown; }

    // Called when the pane is exposed by something other than its own
    // frames (uncovered, restored): the owner asks for a fresh frame.
    void setExposedHandler(std::function<void()> handler) { m_exposed = std::move(handler); }

    platform::DisplayWindow* parentWindow() override { return nullptr; }
    platform::ScreenRect screenRect() override;
    void showFrame(const platform::LockedSurface& frame, const platform::ScreenRect& source) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    int m_framesShown = 0;
    bool m_ownUpdate = false;  // the next paint is for a frame of ours
    std::function<void()> m_exposed;
};

}  // namespace tryster::app
