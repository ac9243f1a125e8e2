#pragma once
// Step 6, "Ready to Export?": the ready text and Save, which lies over Next.
// The save command asks for the web exchange file's name in the game's
// "TemplateNPCs" folder, then writes that file, the new date and the two
// snapshots, with its progress in the page's status line and bar. Then it
// asks about the exchange's web page, where one is configured, or offers
// to put the date in one file to share. After a save, "Share this date..."
// does that at any time: a save dialog in the home folder, the progress,
// and a message naming the file.

#include "app/WizardPage.h"
#include "exchange/SkinFileList.h"

class QAbstractButton;
class QLabel;
class QProgressBar;

namespace tryster::app {

class ExportPage final : public WizardPage {
    Q_OBJECT

public:
    // The exchange's web page the question after a save offers: the value
    // "ExchangeAddress" under kSettingsKey. Without one the question offers
    // a shared date's file instead.
    static constexpr const char* kSettingsKey = "Software\\Orvel\\The Ploms Tryster";
    static constexpr const char* kExchangeAddressValue = "ExchangeAddress";

    ExportPage(PageHost& host, QWidget* parent);

private:
    void save();
    // The chosen ".srf" path, or empty when the user cancelled.
    QString askForPath();
    void askAfterSave(const QString& note);
    void share();
    void showProgress(bool shown);

    QLabel* m_status;
    QProgressBar* m_progress;
    QAbstractButton* m_share;
    // The skin files of every save since the program started.
    exchange::SkinFileList m_skinFiles;
    // The date the last save wrote, and its character's name (game text).
    std::string m_savedDate;
    std::string m_savedName;
};

}  // namespace tryster::app
