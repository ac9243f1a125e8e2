#include "app/CTrysterApp.h"

#include "app/CTrysterDlg.h"
#include "app/StartFolder.h"
#include "app/TextBoundary.h"
#include "formats/ImageLibrary.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "platform/Sound.h"

#include <QApplication>
#include <QPalette>

namespace tryster::app {

CTrysterApp::CTrysterApp(platform::AutomationServer& automation) : m_automation(automation) {}

bool CTrysterApp::hasAutomationSwitch(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg.size() < 2 || (arg[0] != QLatin1Char('-') && arg[0] != QLatin1Char('/'))) continue;
        QString name = arg.mid(1);
        if (name.compare(QLatin1String("Embedding"), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String("Automation"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void CTrysterApp::applyDialogColours() {
    QPalette colours = QApplication::palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Window, QColor(142, 0, 0));
        colours.setColor(group, QPalette::WindowText, group == QPalette::Disabled ? QColor(220, 160, 160)
                                                                                 : QColor(255, 255, 255));
    }
    QApplication::setPalette(colours, "QDialog");
}

int CTrysterApp::initInstance(const QStringList& arguments) {
    // The image library that writes the snapshots lives from the program's
    // start to its end.
    const formats::ImageLibrarySession images;
    // Sockets and OLE need no start-up here; those steps always succeed.
    if (hasAutomationSwitch(arguments))
        m_automation.registerRunning();
    else
        m_automation.updateRegistration(qtToFileName(QCoreApplication::applicationFilePath()));

    applyDialogColours();
    m_startFolder = chooseStartFolder(platform::fileSystem().currentDirectory(), platform::installedDataFolder());
    platform::soundPlayer().playResource("PLOMS", platform::PlayMode::Async);

    CTrysterDlg dialog(m_startFolder);
    m_automation.setHost(&dialog);
    int code = dialog.doModal();
    m_automation.setHost(nullptr);
    return code;
}

}  // namespace tryster::app
