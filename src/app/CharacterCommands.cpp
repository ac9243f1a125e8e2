#include "app/CharacterCommands.h"

#include "app/FileDialogs.h"
#include "app/FolderRecovery.h"
#include "app/LivePreview.h"
#include "app/LoadExtraPanel.h"
#include "app/TextBoundary.h"
#include "app/WindowReporter.h"
#include "app/WizardPage.h"
#include "exchange/CharacterReading.h"
#include "exchange/SaveBack.h"
#include "platform/Sound.h"
#include "preview/LookModel.h"
#include "share/GameChange.h"

#include <QAction>
#include <QWidget>

namespace tryster::app {

CharacterCommands::CharacterCommands(QWidget* window, PageHost& host)
    : QObject(window), m_window(window), m_host(host) {
    m_load = new QAction(QString::fromLatin1(kLoadText), this);
    m_load->setShortcut(QKeySequence::Open);
    m_saveBack = new QAction(QString::fromLatin1(kSaveBackText), this);
    m_saveBack->setShortcut(QKeySequence::Save);
    m_saveBack->setEnabled(false);
    m_rescan = new QAction(QString::fromLatin1(kRescanText), this);
    m_rescan->setShortcut(QKeySequence::Refresh);
    for (QAction* action : {m_load, m_saveBack, m_rescan}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    }
    connect(m_load, &QAction::triggered, this, &CharacterCommands::load);
    connect(m_saveBack, &QAction::triggered, this, &CharacterCommands::saveBack);
    connect(m_rescan, &QAction::triggered, this, &CharacterCommands::rescan);
}

bool CharacterCommands::load() {
    platform::playClick(platform::PlayMode::Wait);
    m_host.livePreview().hold(true);
    FileChoice choice;
    choice.title = QStringLiteral("Select a Plom Character");
    choice.folder = gameSubfolder(m_host.installFolder(), "UserData\\Characters");
    choice.filter = QStringLiteral("Ploms Characters (*.iff) (User*.iff)");
    choice.extend = [](QFileDialog& chooser) { LoadExtraPanel::addTo(chooser); };
    const QString chosen = chooseFile(m_window, choice);
    if (chosen.isEmpty()) {
        m_host.look().rescan();
        m_host.livePreview().hold(false);
        return false;
    }
    const std::string path = qtToFileName(chosen);
    const exchange::CharacterReading reading = m_host.livePreview().showCharacterFile(path);
    m_window->setWindowTitle(gameTextToQt(exchange::loadedWindowTitle(reading)));
    // Save back needs a file that opened and told its look; a failed load
    // leaves it with the character loaded before, its file and its name.
    const bool loaded = reading.opened && reading.look;
    if (loaded) {
        m_path = path;
        m_name = reading.name;
        m_saveBack->setEnabled(true);
        Q_EMIT characterLoaded(gameTextToQt(m_name));
    }
    m_host.livePreview().hold(false);
    return loaded;
}

void CharacterCommands::saveBack() {
    platform::playClick(platform::PlayMode::Wait);
    if (m_path.empty() || !finishInterrupted(m_window, m_host.installFolder())) return;
    share::GameChange change(m_host.installFolder(), share::ChangeKind::Restyled);
    WindowReporter reporter(m_window, nullptr, nullptr, [this] { m_host.livePreview().redrawNow(); });
    reporter.holdMessages();
    const exchange::SaveBackResult saved =
        exchange::saveBack(m_path, m_name, m_host.look().character(), reporter, change);
    reporter.showHeld(exchange::failureDetail(saved));
}

void CharacterCommands::rescan() {
    platform::playClick();
    m_host.look().rescan();
}

}  // namespace tryster::app
