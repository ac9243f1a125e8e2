#pragma once
// The exporters' reporter in the window: messages in the program's message
// box, the status text in the save's status line, a step of its progress
// bar, and a preview frame between steps so the window keeps up while the
// command runs inside one button press.

#include "exchange/ExchangeReporter.h"

#include <functional>

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

private:
    QWidget* m_owner;
    QLabel* m_status;
    QProgressBar* m_progress;
    std::function<void()> m_drawFrame;
};

}  // namespace tryster::app
