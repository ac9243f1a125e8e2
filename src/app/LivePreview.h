#pragma once
// The preview in the window: the pane it draws into, the frame timer armed
// as the pacing says, and the preview's set-up at the first frame. It
// follows the window (shown, hidden, minimised, moved) and the application
// (active or not) by itself; the dialog holds it and tells it when the
// preview is held, redrawn at once, or when the program quits.

#include "exchange/CharacterReading.h"
#include "preview/FramePacing.h"
#include "preview/Preview.h"

#include <QObject>
#include <QTimer>

class QWidget;

namespace tryster::app {

class PreviewPane;

class LivePreview final : public QObject {
    Q_OBJECT

public:
    // The pane goes on `window` at `at`; the preview reads `look` and shows
    // its set-up's steps through `presenter`.
    LivePreview(QWidget* window, QPoint at, preview::LookModel& look, preview::PreviewPresenter& presenter);

    preview::Preview& preview() { return m_preview; }
    const preview::Preview& preview() const { return m_preview; }
    PreviewPane* pane() const { return m_pane; }

    // One tick of the frame timer: the preview's set-up until it has
    // completed, then a frame, drawn when the pacing says a refresh is due.
    void tick();
    // One frame now, presented to the pane (nothing while held).
    void drawFrame();
    // A frame drawn and painted at once (long commands redraw between
    // their steps).
    void redrawNow();
    // While held (holds nest), no frame is drawn.
    void hold(bool held);
    // No frame from now on.
    void quit();
    void setApplicationActive(bool active);
    bool frameTimerActive() const { return m_frameTimer.isActive(); }
    int frameTimerIntervalMs() const { return m_frameTimer.interval(); }
    const preview::FramePacing& pacing() const { return m_pacing; }
    // Releases the preview; safe to run any number of times.
    void tearDown();
    // Reads a character file and shows its look, standing still, the
    // preview held and the wait cursor up meanwhile; what was read comes
    // back.
    exchange::CharacterReading showCharacterFile(const std::string& path);
    // The same for a character whose files are held in memory, which the
    // preview wears until holdFiles(nullptr).
    void showHeldCharacter(std::shared_ptr<const platform::HeldFiles> files, const Character& look);
    void holdFiles(std::shared_ptr<const platform::HeldFiles> files) { m_preview.holdFiles(std::move(files)); }
    // Character files just written into the game's folders (game paths):
    // the preview reads them so it can wear them, and the look's lists
    // offer their outfits.
    void readNewCharacterFiles(const std::vector<std::string>& gamePaths) {
        m_preview.readNewCharacterFiles(gamePaths);
        m_look.offerOutfits(m_preview.outfitNames());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The frame timer armed as the pacing says, or stopped.
    void pace();
    void wantFrame();

    QWidget* m_window;
    preview::LookModel& m_look;
    preview::Preview m_preview;
    preview::FramePacing m_pacing;
    QTimer m_frameTimer;
    PreviewPane* m_pane;
    bool m_wholeWanted = false;  // the pane's copy is behind: the next frame drawn shows everything
};

}  // namespace tryster::app
