#pragma once
// Step 6, "Ready to Export?": the ready text and Save. The save command
// asks for the web exchange file's name in the game's "TemplateNPCs"
// folder, then writes that file, the new date and the two snapshots, with
// its progress in the status label and the bar, and offers the exchange's
// web page.

#include "app/WizardPage.h"
#include "exchange/SaveSequence.h"
#include "exchange/SkinFileList.h"

class QLabel;
class QProgressBar;

namespace tryster::app {

class CPictureButton;

class ExportPage final : public WizardPage {
    Q_OBJECT

public:
    // Where the exchange question leads unless the registry names another
    // page: the value "ExchangeAddress" under kSettingsKey.
    static constexpr const char* kDefaultExchangeAddress = "https://date-exchange.example/";
    static constexpr const char* kSettingsKey = "Software\\Orvel\\The Ploms Tryster";
    static constexpr const char* kExchangeAddressValue = "ExchangeAddress";

    explicit ExportPage(const PageContext& context);

    QLabel* statusLabel() const { return m_status; }
    QProgressBar* progressBar() const { return m_progress; }
    CPictureButton* saveButton() const { return m_save; }
    // The skin files of every save since the program started.
    const exchange::SkinFileList& skinFiles() const { return m_skinFiles; }
    const exchange::SaveResult& lastSave() const { return m_lastSave; }

    // The exchange's web page (the registry's, else the default).
    static std::string exchangeAddress();

    void save();

private:
    // The chosen ".srf" path, or empty when the user cancelled.
    QString askForPath();
    void showProgress(bool shown);

    CPictureButton* m_save;
    QLabel* m_status;
    QProgressBar* m_progress;
    exchange::SkinFileList m_skinFiles;
    exchange::SaveResult m_lastSave;
};

}  // namespace tryster::app
