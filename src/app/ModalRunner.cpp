#include "app/ModalRunner.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tryster::app {
namespace {

ModalRunner* g_runner = nullptr;

// Qt places a dialog over its owner even while the owner is not on screen
// yet (the splash and the start-up error come before the main window):
// such dialogs go to the middle of the screen instead.
void placeOnScreen(QDialog& dialog) {
    QWidget* owner = dialog.parentWidget();
    if (owner && owner->window()->isVisible()) return;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    dialog.adjustSize();
    dialog.move(screen->availableGeometry().center() - dialog.rect().center());
}

}  // namespace

int runModal(QDialog& dialog) {
    if (g_runner) return g_runner->run(dialog);
    placeOnScreen(dialog);
    const int result = dialog.exec();
    // The keyboard goes back to the window the dialog came from, and with
    // it a screen reader's focus. Window managers do this; on a desktop
    // without one nothing would.
    if (QWidget* owner = dialog.parentWidget(); owner && owner->window()->isVisible()) owner->window()->activateWindow();
    return result;
}

void installModalRunner(ModalRunner* runner) { g_runner = runner; }

}  // namespace tryster::app
