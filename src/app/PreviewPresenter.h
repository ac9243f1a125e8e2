#pragma once
// The preview's presenter in the window: set-up steps in the window title,
// messages in the program's message box, and a quit posted to the dialog's
// loop.

#include "preview/PreviewPresenter.h"

#include <functional>

namespace tryster::app {

class CTrysterDlg;

class PreviewPresenter final : public preview::PreviewPresenter {
public:
    // `inputsChosen` runs when the set-up has chosen the look's default
    // inputs, so the type lists can show them.
    PreviewPresenter(CTrysterDlg& dialog, std::function<void()> inputsChosen);

    void showProgress(std::string_view stepText) override;
    void showMessage(std::string_view caption, std::string_view text) override;
    void postQuit(int code) override;
    void catalogInputsChosen() override;

private:
    CTrysterDlg& m_dialog;
    std::function<void()> m_inputsChosen;
};

}  // namespace tryster::app
