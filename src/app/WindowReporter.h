#pragma once
// The exporters' reporter in the window: messages in the program's message
// box, the status text in the save's status line, a step of its progress
// bar, and a preview frame between steps so the window keeps up while the
// command runs inside one button press.
//
// Screen readers read the window only when it answers them, which a
// command inside one press does at its end: what they are told is the step
// it ended on (announceLastStep), not every step after the fact.

#include "exchange/ExchangeReporter.h"

#include <functional>
#include <string>

#include <QString>

class QLabel;
class QProgressBar;
class QWidget;

namespace tryster::app {

class WindowReporter final : public exchange::ExchangeReporter {
public:
    // `drawFrame` draws one preview frame; `status` and `progress` may be
    // null (operations without a status line).
    WindowReporter(QWidget* owner, QLabel* status, QProgressBar* progress, std::function<void()> drawFrame);

    void showMessage(std::string_view caption, std::string_view text) override;
    void showStatus(std::string_view text) override;
    void stepProgress() override;
    void redrawPreview() override;

    // Tells screen readers the last status and how far the bar came.
    void announceLastStep() const;

private:
    QWidget* m_owner;
    QLabel* m_status;
    QProgressBar* m_progress;
    std::function<void()> m_drawFrame;
    std::string m_statusText;  // game text
    QString m_lastStep;
};

}  // namespace tryster::app
