#pragma once
// How the exporters talk to whoever runs them. The wizard shows messages in
// its message box and progress in its status label, progress bar and
// preview; the command-line tool prints them. The exporters never block on
// an answer: every message has a single OK.

#include <string_view>

namespace tryster::exchange {

class ExchangeReporter {
public:
    virtual ~ExchangeReporter() = default;
    // A notice, warning or error: caption and text.
    virtual void showMessage(std::string_view caption, std::string_view text) = 0;
    virtual void showStatus(std::string_view text) = 0;
    virtual void stepProgress() = 0;
    // Draws one preview frame so the status and bar update during a long
    // operation.
    virtual void redrawPreview() = 0;
};

// One progress report: the status text, one step of the bar, one redraw.
inline void reportProgress(ExchangeReporter& reporter, std::string_view status) {
    reporter.showStatus(status);
    reporter.stepProgress();
    reporter.redrawPreview();
}

}  // namespace tryster::exchange
