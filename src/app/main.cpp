// The Ploms Tryster: the wizard that builds new dates for the game.

#include "app/CTrysterApp.h"
#include "app/ProgramResources.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "platform/qt/DBusAutomation.h"
#include "platform/qt/QtShell.h"
#include "platform/qt/QtSoundPlayer.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tryster"));
    tryster::app::initProgramResources();

    tryster::platform::QtSoundPlayer sound;
    tryster::platform::QtShell shell;
    tryster::platform::DBusAutomation automation;
    tryster::platform::installSoundPlayer(&sound);
    tryster::platform::installShell(&shell);

    tryster::app::CTrysterApp app(automation);
    int code = app.initInstance(QApplication::arguments());

    tryster::platform::installShell(nullptr);
    tryster::platform::installSoundPlayer(nullptr);
    return code;
}
