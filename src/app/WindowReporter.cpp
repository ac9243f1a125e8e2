#include "app/WindowReporter.h"

#include "app/Announcer.h"
#include "app/CPlomSaved.h"
#include "app/TextBoundary.h"
#include "wizard/Announcements.h"

#include <QLabel>
#include <QProgressBar>

namespace tryster::app {
WindowReporter::WindowReporter(QWidget* owner, QLabel* status, QProgressBar* progress,
                                   std::function<void()> drawFrame)
    : m_owner(owner), m_status(status), m_progress(progress), m_drawFrame(std::move(drawFrame)) {}

void WindowReporter::showMessage(std::string_view caption, std::string_view text) {
    if (m_holding)
        m_held.emplace_back(caption, text);
    else
        app::showMessage(m_owner, gameTextToQt(caption), gameTextToQt(text));
}

void WindowReporter::showHeld(std::string_view detail) {
    m_holding = false;
    if (!detail.empty() && !m_held.empty()) m_held.back().second += "\n\n" + std::string(detail);
    for (const auto& [caption, text] : m_held) showMessage(caption, text);
    m_held.clear();
}

// The command runs inside one button press: the label and the bar are
// painted at once, not when the loop next runs.
void WindowReporter::showStatus(std::string_view text) {
    if (!m_status) return;
    m_statusText = text;
    m_status->setText(gameTextToQt(text));
    m_status->repaint();
}

void WindowReporter::stepProgress() {
    if (!m_progress) return;
    m_progress->setValue(std::min(m_progress->value() + 1, m_progress->maximum()));
    m_progress->repaint();
    m_lastStep = gameTextToQt(wizard::progressAnnouncement(m_statusText, m_progress->value(), m_progress->maximum()));
}

void WindowReporter::announceLastStep() const {
    announce(m_owner, m_lastStep);
}

void WindowReporter::redrawPreview() {
    if (m_drawFrame) m_drawFrame();
}

}  // namespace tryster::app
