#include "app/ExportPage.h"

#include "app/CPictureButton.h"
#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"
#include "app/FileDialogs.h"
#include "app/FolderRecovery.h"
#include "app/GameTextGuard.h"
#include "app/LivePreview.h"
#include "app/TextBoundary.h"
#include "app/WaitCursor.h"
#include "app/WindowReporter.h"
#include "character/Character.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/GameLayout.h"
#include "exchange/NewDate.h"
#include "exchange/SaveSequence.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "preview/LookModel.h"
#include "share/GameChange.h"
#include "share/PackBuilder.h"
#include "share/ShareOffer.h"
#include "wizard/Announcements.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace tryster::app {
namespace {

// The exchange's web page, where the player configured one.
std::string configuredExchangeAddress() {
    return platform::readMachineValue(ExportPage::kSettingsKey, ExportPage::kExchangeAddressValue).value;
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
    save->setAccessibleDescription(gameTextToQt(wizard::kSaveDateDescription));
    connect(save, &QPushButton::clicked, this, &ExportPage::save);
    setMoveButtons({nullptr, save});
    auto* share = place(new CPictureButton(sharedTextToQt(share::kShareCommandText), this, QStringLiteral("SHARE")),
                        {16, 150, 170, 36});
    share->loadBitmaps();
    share->setToolTip(QStringLiteral("Put the saved date, its pictures and its skins in one file for other players."));
    connect(share, &QPushButton::clicked, this, &ExportPage::share);
    share->hide();  // until a save has written a date
    m_share = share;
    m_status = placeLabel(QString(), {16, 200, 414, 22});
    m_status->setAccessibleName(QStringLiteral("Status"));
    m_progress = place(new QProgressBar(this), {16, 226, 414, 20});
    m_progress->setAccessibleName(QStringLiteral("Progress"));
    m_progress->setTextVisible(false);
    showProgress(false);
    setTabOrder({m_share});
}

void ExportPage::showProgress(bool shown) {
    m_status->setText(QString());
    m_status->setVisible(shown);
    m_progress->setVisible(shown);
}

QString ExportPage::askForPath() {
    FileChoice choice;
    choice.title = QStringLiteral("Select the name to save this Plom");
    choice.folder = gameSubfolder(host().installFolder(), exchange::kDatesFolder);
    choice.filter = QStringLiteral("Tryster Files (*.srf)");
    choice.save = true;
    choice.suffix = QStringLiteral("srf");
    // The file's name becomes the date's name in the game's files: kept to
    // what the game can store as it is typed.
    choice.extend = [](QFileDialog& chooser) {
        if (auto* name = chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) new GameTextGuard(name);
    };
    // A name the game's platform keeps for a device is asked again.
    choice.refuse = [](const QString& path) {
        return sharedTextToQt(exchange::chosenNameProblem(qtToFileName(path)));
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
    if (!finishInterrupted(this, host().installFolder())) {
        showProgress(false);
        return;
    }
    // The folder is held for the whole save, snapshots and all.
    share::GameChange change(host().installFolder(), share::ChangeKind::NewDate);
    exchange::SaveRequest request;
    request.chosenPath = qtToFileName(chosen);
    request.gameFolder = host().installFolder();
    request.templatePath = exchange::templatePathIn(host().startFolder());
    const Character& character = host().look().character();

    WindowReporter reporter(this, m_status, m_progress, [this] { host().livePreview().redrawNow(); });
    const exchange::SaveResult saved =
        exchange::runSaveSequence(request, character, m_skinFiles, reporter, &host().livePreview().preview(), change);
    reporter.announceLastStep();
    if (saved.dateWritten) {
        m_savedDate = exchange::basePathOf(request.chosenPath) + ".iff";
        m_savedName = character.record.name();
        m_share->setAccessibleDescription(gameTextToQt(wizard::shareDescription(m_savedName)));
        m_share->show();
    }
    if (saved.webExchangeWritten && saved.dateWritten) askAfterSave(gameTextToQt(saved.closingNote));
    showProgress(false);
}

// The exchange's page where one is configured; where none is, the default
// would lead nowhere, so a shared date's file is offered instead. The
// question follows what the save says of itself (that it can be undone).
void ExportPage::askAfterSave(const QString& note) {
    const QString caption = gameTextToQt(exchange::kInquiryCaption);
    const QString lead = note.isEmpty() ? QString() : note + QStringLiteral("\n\n");
    const std::string address = configuredExchangeAddress();
    if (!share::offersPackAfterSave(address)) {
        if (askOkCancel(this, caption, lead + gameTextToQt(exchange::kConnectQuestion))) platform::shell().open(address);
        return;
    }
    if (askOkCancel(this, caption, lead + sharedTextToQt(share::kPackQuestion))) share();
}

void ExportPage::share() {
    platform::playClick();
    if (m_savedDate.empty()) return;
    FileChoice choice;
    choice.title = sharedTextToQt(share::kShareDialogTitle);
    choice.folder = QDir::homePath();
    choice.filter = sharedTextToQt(share::kPackFilter);
    choice.file = sharedTextToQt(share::defaultPackFileName(m_savedName));
    choice.save = true;
    choice.suffix = QStringLiteral("zip");
    const QString chosen = chooseFile(this, choice);
    if (chosen.isEmpty()) return;

    showProgress(true);
    m_progress->setRange(0, share::kPackProgressSteps);
    m_progress->setValue(0);
    share::PackRequest request;
    request.datePath = m_savedDate;
    request.gameFolder = host().installFolder();
    request.outPath = qtToFileName(chosen);
    // The pack is made inside this press: the line and the bar are painted
    // at once. (It ends with a message box, which screen readers read
    // whole: they are told nothing more.)
    request.progress = [this](std::string_view status) {
        m_status->setText(sharedTextToQt(status));
        m_progress->setValue(m_progress->value() + 1);
        m_status->repaint();
        m_progress->repaint();
    };
    share::PackOutcome outcome;
    {
        const WaitCursor wait;
        outcome = share::packDate(request);
    }
    if (outcome.written) {
        m_status->setText(gameTextToQt(exchange::kFinishedStatus));
        showMessage(this, sharedTextToQt(share::kShareCompleteCaption),
                    sharedTextToQt(share::kSharedMessage) + QLatin1Char('\n') + QDir::toNativeSeparators(chosen));
    } else {
        showMessage(this, gameTextToQt(exchange::kErrorCaption),
                    sharedTextToQt(share::asSentence("this date could not be shared: " + outcome.problem)));
    }
    showProgress(false);
}

}  // namespace tryster::app
