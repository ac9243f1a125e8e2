#include "app/AboutCommands.h"

#include "app/Accessibility.h"
#include "app/CAboutDlg.h"
#include "app/CPictureButton.h"
#include "app/ControlIds.h"
#include "app/ModalRunner.h"
#include "app/TextBoundary.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

#include <QAction>
#include <QMenu>

namespace tryster::app {

AboutCommands::AboutCommands(QWidget* window, QString readmePath)
    : QObject(window), m_window(window), m_readmePath(std::move(readmePath)), m_menu(new QMenu(window)) {
    auto* about = new CPictureButton(QStringLiteral("About"), window);
    about->setGeometry(306, 359, 90, 30);
    about->setToolTip(QStringLiteral("About this program."));
    auto* help = new CPictureButton(QStringLiteral("Help"), window);
    help->setGeometry(306, 399, 90, 30);
    help->setToolTip(QStringLiteral("View the ReadMe file."));
    for (CPictureButton* button : {about, help}) button->loadBitmaps();
    // The button plays its click to the end first; the menu plays none.
    connect(about, &QPushButton::clicked, this, [this] {
        platform::playClick(platform::PlayMode::Wait);
        openAbout();
    });
    connect(help, &QPushButton::clicked, this, [this] {
        platform::playClick();
        platform::shell().open(qtToFileName(m_readmePath));
    });
    m_buttons = {about, help};

    offerWindowMenu(window, m_menu);
    m_menu->addSeparator();
    QAction* command = m_menu->addAction(QStringLiteral("&About this program..."));
    command->setData(IDM_ABOUTBOX);
    connect(command, &QAction::triggered, this, &AboutCommands::openAbout);
}

void AboutCommands::openAbout() {
    CAboutDlg about(m_readmePath, m_window);
    runModal(about);
}

}  // namespace tryster::app
