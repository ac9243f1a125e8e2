#include "app/LivePreview.h"

#include "app/PreviewPane.h"
#include "app/WaitCursor.h"
#include "platform/Clock.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tryster::app {

LivePreview::LivePreview(QWidget* window, QPoint at, preview::LookModel& look, preview::PreviewPresenter& presenter)
    : QObject(window), m_window(window), m_look(look), m_preview(look, presenter), m_pane(new PreviewPane(window)) {
    // The pane's drawing surface holds both snapshot rectangles.
    m_pane->move(at);
    // The pane keeps what it was shown, so only the figure's boxes travel.
    m_preview.setPresentChangesOnly(true);
    // A pane that painted frames straight asks for the last one again to
    // paint for the toolkit; if even that is not to be had, the next frame
    // shows everything.
    m_pane->setRefreshHandler([this] { return m_preview.presentAgain(); });
    m_pane->setExposedHandler([this] {
        if (m_pane->pictureBehind()) m_wholeWanted = true;
        wantFrame();
    });
    // Before the set-up the scale is kept for it.
    m_pane->setScaleHandler([this](float scale) {
        if (m_preview.renderScale() != scale && m_preview.setRenderScale(scale)) wantFrame();
    });
    // A repeating timer for the fixed periods: re-arming a single shot at
    // every tick cost as much as the clock's step. A delay to the next
    // display refresh is armed anew at each tick. Qt never queues a late
    // timer's events, so a slow tick (the set-up) is followed by one tick,
    // not a burst.
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_frameTimer, &QTimer::timeout, this, &LivePreview::tick);
    m_pacing.setApplicationActive(QGuiApplication::applicationState() == Qt::ApplicationActive);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) { setApplicationActive(state == Qt::ApplicationActive); });
    window->installEventFilter(this);
}

void LivePreview::tick() {
    if (!m_pacing.nextFrameDelayMs(platform::tickCountMs())) {
        pace();  // stops the timer
        return;
    }
    {
        const preview::FramePacing::Frame frame(m_pacing);
        if (!m_preview.initialised() && !m_preview.gameMissing()) {
            const WaitCursor wait;
            const QSize size = m_pane->surfaceSize();
            // A set-up that stops short is tried again at the next tick,
            // unless the game is missing: then there is nothing to draw.
            const bool started =
                preview::startPreview(m_preview, m_look, m_pane, size.width(), size.height(), m_pane->renderScale());
            if (!started && m_preview.gameMissing()) m_pacing.setGameMissing();
        }
        if (m_preview.initialised() && !m_pacing.held()) {
            // The clock and the pose move at every tick; the picture at
            // most once per display refresh.
            const QScreen* screen = m_window->screen();
            m_pacing.setDisplayRefreshHz(screen ? screen->refreshRate() : 0);
            const std::uint32_t now = platform::tickCountMs();
            const bool draw = m_pacing.drawDue(now);
            const double started = platform::threadProcessorMs();
            // The ticks slept through until this refresh, at their own times.
            for (std::optional<std::uint32_t> missed;
                 (missed = preview::FramePacing::missedTick(m_preview.clock().lastRealTimeMs(), now));)
                m_preview.missedTick(*missed);
            (void)m_preview.frame(nullptr, draw, draw && m_wholeWanted);  // a refused frame: the next tick draws anew
            if (draw) m_wholeWanted = false;
            m_pacing.frameTook(platform::threadProcessorMs() - started);
            if (draw) m_pacing.drew(now);
        }
    }
    // The period may have changed during the tick; the set-up is tried
    // again at the next tick until it completes.
    pace();
}

void LivePreview::drawFrame() {
    if (!m_preview.initialised() || m_pacing.held()) return;
    (void)m_preview.frame(nullptr, true, m_wholeWanted);  // a refused frame: the next tick draws anew
    m_wholeWanted = false;
}

void LivePreview::redrawNow() {
    const int shown = m_pane->framesShown();
    drawFrame();
    if (m_pane->framesShown() == shown) m_pane->repaint();  // a frame shown was painted at once
}

void LivePreview::hold(bool held) {
    if (held)
        m_pacing.hold();
    else
        m_pacing.release();
    pace();
}

void LivePreview::quit() {
    m_pacing.quit();
    pace();
}

void LivePreview::setApplicationActive(bool active) {
    m_pacing.setApplicationActive(active);
    pace();
}

void LivePreview::tearDown() {
    m_frameTimer.stop();
    m_preview.tearDown();
}

exchange::CharacterReading LivePreview::showCharacterFile(const std::string& path) {
    hold(true);
    exchange::CharacterReading reading;
    {
        const WaitCursor wait;
        reading = exchange::readCharacter(path);
        if (reading.look) {
            m_look.showCharacter(*reading.look);
            m_preview.standStill();
        }
    }
    hold(false);
    return reading;
}

void LivePreview::showHeldCharacter(std::shared_ptr<const platform::HeldFiles> files, const Character& look) {
    hold(true);
    {
        const WaitCursor wait;
        m_preview.holdFiles(std::move(files));
        m_look.showCharacter(look);
        m_preview.standStill();
    }
    hold(false);
}

void LivePreview::pace() {
    const std::optional<int> delay = m_pacing.nextFrameDelayMs(platform::tickCountMs());
    if (!delay)
        m_frameTimer.stop();
    else if (!m_frameTimer.isActive() || m_frameTimer.interval() != *delay ||
             (*delay != preview::FramePacing::kActivePeriodMs && *delay != preview::FramePacing::kInactivePeriodMs))
        m_frameTimer.start(*delay);
}

// An uncovered or restored pane, or one of another scale, wants its frame
// at once.
void LivePreview::wantFrame() {
    if (!m_preview.initialised()) return;
    m_pacing.wantFrame();
    pace();
}

bool LivePreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_window) return false;
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
        m_preview.windowMoved();
        m_pacing.setOnScreen(m_window->isVisible() && !m_window->isMinimized());
        pace();
        break;
    case QEvent::Move:
        m_preview.windowMoved();
        break;
    default:
        break;
    }
    return false;
}

}  // namespace tryster::app
