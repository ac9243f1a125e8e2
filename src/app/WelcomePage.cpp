#include "app/WelcomePage.h"

#include "app/CPictureButton.h"
#include "app/ControlIds.h"
#include "app/ProgramResources.h"
#include "app/TextBoundary.h"
#include "share/ShareOffer.h"
#include "wizard/Announcements.h"

#include <QLabel>

namespace tryster::app {
namespace {

// Where the picture leaves room for the Load, Install and History buttons,
// beside the lines that explain them (the picture's own pixels).
constexpr QPoint kLoadInPicture(274, 188);
constexpr QPoint kInstallInPicture(274, 220);
constexpr QPoint kHistoryInPicture(274, 252);
constexpr QSize kWayButtonSize(90, 30);

}  // namespace

WelcomePage::WelcomePage(PageHost& host, QWidget* parent) : WizardPage(host, parent) {
    auto* picture = place(new QLabel(this), {16, 14, 380, 284});
    picture->setPixmap(programBitmap(IDB_STEP0));
    picture->setAccessibleName(QStringLiteral("Welcome to The Ploms Tryster"));
    picture->setAccessibleDescription(
        QStringLiteral("Create a new date, replace a Townie with a date, load one of your Ploms to restyle it, "
                       "install a date another player shared, or look back at what Tryster changed and undo it."));

    auto* create = new CPictureButton(QStringLiteral("Create"), this);
    create->setToolTip(QStringLiteral("Create a new Date."));
    auto* replace = new CPictureButton(QStringLiteral("Replace"), this);
    replace->setToolTip(QStringLiteral("Replace an existing Townie with one downloaded."));
    auto* load = place(new CPictureButton(QStringLiteral("Load"), this),
                       QRect(picture->pos() + kLoadInPicture, kWayButtonSize));
    load->setToolTip(QStringLiteral("Load a Plom from the game."));
    // A verb needs its object: the line beside the button.
    load->setAccessibleDescription(gameTextToQt(wizard::kLoadDescription));
    auto* install = place(new CPictureButton(QStringLiteral("Install"), this, QStringLiteral("INSTALLSHARED")),
                          QRect(picture->pos() + kInstallInPicture, kWayButtonSize));
    // Named for the command, which the page's Install button is not.
    install->setAccessibleName(sharedTextToQt(share::kInstallCommandText));
    install->setToolTip(QStringLiteral("Install a date another player shared as one file."));
    install->setAccessibleDescription(gameTextToQt(wizard::kInstallSharedDescription));
    auto* history = place(new CPictureButton(QStringLiteral("History"), this),
                          QRect(picture->pos() + kHistoryInPicture, kWayButtonSize));
    history->setToolTip(QStringLiteral("See what Tryster changed in the game, and undo it."));
    history->setAccessibleDescription(gameTextToQt(wizard::kHistoryDescription));
    for (CPictureButton* button : {create, replace, load, install, history}) button->loadBitmaps();
    connect(create, &QPushButton::clicked, this, &WelcomePage::createChosen);
    connect(replace, &QPushButton::clicked, this, &WelcomePage::replaceChosen);
    connect(load, &QPushButton::clicked, this, &WelcomePage::restyleChosen);
    connect(install, &QPushButton::clicked, this, &WelcomePage::installChosen);
    connect(history, &QPushButton::clicked, this, &WelcomePage::historyChosen);
    setMoveButtons({create, replace});
    setTabOrder({create, replace, load, install, history});
}

}  // namespace tryster::app
