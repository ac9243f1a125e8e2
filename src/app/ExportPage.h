#pragma once
// Step 6, "Ready to Export?": the ready text and Save, which lies over Next.
// The save command asks for the web exchange file's name in the game's
// "TemplateNPCs" folder, then writes that file, the new date and the two
// snapshots, with its progress in the page's status line and bar, and
// offers the exchange's web page.

#include "app/WizardPage.h"
#include "exchange/SkinFileList.h"

class QLabel;
class QProgressBar;

namespace tryster::app {

class ExportPage final : public WizardPage {
    Q_OBJECT

public:
    // Where the exchange question leads unless the registry names another
    // page: the value "ExchangeAddress" under kSettingsKey.
    static constexpr const char* kDefaultExchangeAddress = "https://date-exchange.example/";
    static constexpr const char* kSettingsKey = "Software\\Orvel\\The Ploms Tryster";
    static constexpr const char* kExchangeAddressValue = "ExchangeAddress";

    ExportPage(PageHost& host, QWidget* parent);

private:
    void save();
    // The chosen ".srf" path, or empty when the user cancelled.
    QString askForPath();
    void showProgress(bool shown);

    QLabel* m_status;
    QProgressBar* m_progress;
    // The skin files of every save since the program started.
    exchange::SkinFileList m_skinFiles;
};

}  // namespace tryster::app
