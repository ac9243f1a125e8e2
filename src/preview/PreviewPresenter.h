#pragma once
// What the preview needs from the window that shows it: a place for its
// progress texts, a modal message box, and a way to end the program.

#include <string_view>

namespace tryster::preview {

class PreviewPresenter {
public:
    virtual ~PreviewPresenter() = default;
    // One step of the set-up; the window shows "The Ploms Tryster: " + text
    // in its title.
    virtual void showProgress(std::string_view stepText) = 0;
    // A modal message box; returns when the user has closed it.
    virtual void showMessage(std::string_view caption, std::string_view text) = 0;
    // Ends the program with `code` once control is back in its event loop.
    virtual void postQuit(int code) = 0;
};

// Shows nothing and ends nothing (headless tools that report on their own).
class SilentPresenter final : public PreviewPresenter {
public:
    void showProgress(std::string_view) override {}
    void showMessage(std::string_view, std::string_view) override {}
    void postQuit(int) override {}
};

}  // namespace tryster::preview
