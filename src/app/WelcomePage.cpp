#include "app/WelcomePage.h"

#include "app/CPictureButton.h"
#include "app/ControlIds.h"
#include "app/ProgramResources.h"

#include <QLabel>

namespace tryster::app {
namespace {

// Where the picture leaves room for the Load button, beside the line that
// explains it (the picture's own pixels).
constexpr QPoint kLoadInPicture(274, 246);

}  // namespace

WelcomePage::WelcomePage(PageHost& host, QWidget* parent) : WizardPage(host, parent) {
    auto* picture = place(new QLabel(this), {16, 14, 380, 284});
    picture->setPixmap(programBitmap(IDB_STEP0));
    picture->setAccessibleName(QStringLiteral("Welcome to The Ploms Tryster"));
    picture->setAccessibleDescription(
        QStringLiteral("Create a new date, replace a Townie with a date, or load one of your Ploms to restyle it."));

    auto* create = new CPictureButton(QStringLiteral("Create"), this);
    create->setToolTip(QStringLiteral("Create a new Date."));
    auto* replace = new CPictureButton(QStringLiteral("Replace"), this);
    replace->setToolTip(QStringLiteral("Replace an existing Townie with one downloaded."));
    auto* load = place(new CPictureButton(QStringLiteral("Load"), this),
                       QRect(picture->pos() + kLoadInPicture, QSize(90, 30)));
    load->setToolTip(QStringLiteral("Load a Plom from the game."));
    for (CPictureButton* button : {create, replace, load}) button->loadBitmaps();
    connect(create, &QPushButton::clicked, this, &WelcomePage::createChosen);
    connect(replace, &QPushButton::clicked, this, &WelcomePage::replaceChosen);
    connect(load, &QPushButton::clicked, this, &WelcomePage::restyleChosen);
    setMoveButtons({create, replace});
    setTabOrder({create, replace, load});
}

}  // namespace tryster::app
