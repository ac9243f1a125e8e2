#include "app/ExportPage.h"

#include "app/CPictureButton.h"
#include "app/CTROKCancel.h"
#include "app/FileDialogs.h"
#include "app/GameTextGuard.h"
#include "app/TextBoundary.h"
#include "app/WindowReporter.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/NewDate.h"
#include "exchange/SaveSequence.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "preview/LookModel.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace tryster::app {
namespace {

// The exchange's web page: the registry's, else the default.
std::string exchangeAddress() {
    const platform::RegistryValue configured =
        platform::readMachineValue(ExportPage::kSettingsKey, ExportPage::kExchangeAddressValue);
    return configured.value.empty() ? std::string(ExportPage::kDefaultExchangeAddress) : configured.value;
}

}  // namespace

ExportPage::ExportPage(PageHost& host, QWidget* parent) : WizardPage(host, parent) {
    auto* ready = placeLabel(QStringLiteral("You are now ready to export your Plom. Click on Save Plom to Export. "
                                            "The Save dialog will automatically go to the proper folder. Just give "
                                            "it a file name."),
                             {16, 30, 414, 120});
    ready->setWordWrap(true);
    ready->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* save = new CPictureButton(QStringLiteral("Save"), this);
    save->loadBitmaps();
    connect(save, &QPushButton::clicked, this, &ExportPage::save);
    setMoveButtons({nullptr, save});
    m_status = placeLabel(QString(), {16, 200, 414, 22});
    m_status->setAccessibleName(QStringLiteral("Status"));
    m_progress = place(new QProgressBar(this), {16, 226, 414, 20});
    m_progress->setAccessibleName(QStringLiteral("Progress"));
    m_progress->setTextVisible(false);
    showProgress(false);
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
    // The file's name becomes the date's name in the game's files: kept to
    // what the game can store as it is typed.
    choice.extend = [](QFileDialog& chooser) {
        if (auto* name = chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) new GameTextGuard(name);
    };
    return chooseFile(this, choice);
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
    request.record = host().record();
    request.look = host().look().written();

    WindowReporter reporter(this, m_status, m_progress, [this] { host().redrawNow(); });
    const exchange::SaveResult saved = exchange::runSaveSequence(request, m_skinFiles, reporter, &host().snapshots());
    if (saved.webExchangeWritten && saved.dateWritten &&
        askOkCancel(this, gameTextToQt(exchange::kInquiryCaption), gameTextToQt(exchange::kConnectQuestion)))
        platform::shell().open(exchangeAddress());
    showProgress(false);
}

}  // namespace tryster::app
