#include "app/PreviewPresenter.h"

#include "app/CPlomSaved.h"
#include "app/CTrysterDlg.h"
#include "app/TextBoundary.h"

namespace tryster::app {
PreviewPresenter::PreviewPresenter(CTrysterDlg& dialog, std::function<void()> inputsChosen)
    : m_dialog(dialog), m_inputsChosen(std::move(inputsChosen)) {}

void PreviewPresenter::showProgress(std::string_view stepText) {
    m_dialog.setProgressTitle(gameTextToQt(stepText));
}

void PreviewPresenter::showMessage(std::string_view caption, std::string_view text) {
    app::showMessage(&m_dialog, gameTextToQt(caption), gameTextToQt(text));
}

void PreviewPresenter::postQuit(int code) {
    m_dialog.postQuit(code);
}

void PreviewPresenter::catalogInputsChosen() {
    if (m_inputsChosen) m_inputsChosen();
}

}  // namespace tryster::app
