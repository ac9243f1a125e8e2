#include "app/ExportPage.h"

#include "app/CPictureButton.h"
#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"
#include "app/ControlIds.h"
#include "app/DialogUnits.h"
#include "app/ExchangeReporter.h"
#include "app/FileDialogs.h"
#include "app/TextBoundary.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/NewDate.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "preview/Preview.h"

#include <QLabel>
#include <QProgressBar>

namespace tryster::app {

ExportPage::ExportPage(const PageContext& context) : WizardPage(context) {
    QWidget* d = dialog();
    auto* ready =
        placeLabel(QStringLiteral("You are now ready to export your Plom. Click on Save Plom to Export. "
                                  "The Save dialog will automatically go to the proper folder. Just give it "
                                  "a file name."),
                   IDC_READY_TEXT, {16, 30, 414, 120});
    ready->setWordWrap(true);
    ready->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_save = place(new CPictureButton(QStringLiteral("Save"), d), IDC_SAVE,
                   QRect(dluPoint(157, 189), QSize(120, 36)));
    connect(m_save, &QPushButton::clicked, this, &ExportPage::save);
    m_status = placeLabel(QString(), IDC_STATUS, {16, 200, 414, 22});
    m_status->setAccessibleName(QStringLiteral("Status"));
    m_progress = place(new QProgressBar(d), IDC_PROGRESS, {16, 226, 414, 20});
    m_progress->setAccessibleName(QStringLiteral("Progress"));
    m_progress->setTextVisible(false);
    for (QWidget* w :
         {static_cast<QWidget*>(m_save), static_cast<QWidget*>(m_status), static_cast<QWidget*>(m_progress)})
        w->hide();
}

std::string ExportPage::exchangeAddress() {
    const platform::RegistryValue configured =
        platform::readMachineValue(kSettingsKey, kExchangeAddressValue);
    return configured.value.empty() ? std::string(kDefaultExchangeAddress) : configured.value;
}

void ExportPage::showProgress(bool shown) {
    m_status->setText(QString());
    m_status->setVisible(shown);
    m_progress->setVisible(shown);
}

QString ExportPage::askForPath() {
    FileChoice choice;
    choice.title = QStringLiteral("Select the name to save this Plom");
    choice.folder = gameSubfolder(host().installFolder(), "TemplateNPCs");
    choice.filter = QStringLiteral("Tryster Files (*.srf)");
    choice.save = true;
    choice.suffix = QStringLiteral("srf");
    return chooseFile(dialog(), choice);
}

void ExportPage::save() {
    platform::playClick();
    showProgress(true);
    m_progress->setRange(0, exchange::kSaveProgressSteps);
    m_progress->setValue(0);

    const QString chosen = askForPath();
    if (chosen.isEmpty()) {
        showProgress(false);
        return;
    }
    exchange::SaveRequest request;
    request.chosenPath = qtToFileName(chosen);
    request.gameFolder = host().installFolder();
    request.templatePath = exchange::templatePathIn(host().startFolder());
    request.record = record();
    request.look = preview().currentLook();

    ExchangeReporter reporter(dialog(), m_status, m_progress, [this] { host().redrawNow(); });
    m_lastSave = exchange::runSaveSequence(request, m_skinFiles, reporter, &preview());
    if (m_lastSave.webExchangeWritten && m_lastSave.dateWritten &&
        askOkCancel(dialog(), gameTextToQt(exchange::kInquiryCaption), gameTextToQt(exchange::kConnectQuestion)))
        platform::shell().open(exchangeAddress());
    showProgress(false);
}

}  // namespace tryster::app
