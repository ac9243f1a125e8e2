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
#include <utility>
#include <vector>

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

    // From now on messages wait for showHeld: a command whose outcome knows
    // more than its message adds that to it, in the same box.
    void holdMessages() { m_holding = true; }
    // Shows the held messages in order, `detail` (a sentence, when not
    // empty) after the last one, and stops holding.
    void showHeld(std::string_view detail);

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
    bool m_holding = false;
    std::vector<std::pair<std::string, std::string>> m_held;  // caption, text
    std::string m_statusText;  // game text
    QString m_lastStep;
};

}  // namespace tryster::app
