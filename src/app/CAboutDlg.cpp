#include "app/CAboutDlg.h"

#include "app/CPictureButton.h"
#include "app/DialogUnits.h"
#include "app/ProgramResources.h"
#include "app/TextBoundary.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tryster::app {
namespace {

QLabel* makeLabel(const QString& text, QWidget* parent, bool bold = false, int pointDelta = 0) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setBold(bold);
    if (pointDelta) font.setPointSizeF(font.pointSizeF() + pointDelta);
    label->setFont(font);
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QString readmePath, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_readmePath(std::move(readmePath)) {
    setWindowTitle(QStringLiteral("The Ploms Tryster"));
    setFixedSize(dluSize(345, 159));

    auto* icon = new QLabel(this);
    icon->setPixmap(programIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);
    auto* heading = new QVBoxLayout;
    heading->addWidget(makeLabel(QStringLiteral("The Ploms Tryster"), this, true, 4));
    heading->addWidget(makeLabel(QStringLiteral("Version 1.00 Beta"), this));
    heading->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(10);
    top->addLayout(heading, 1);

    auto* credits = new QGridLayout;
    credits->setHorizontalSpacing(24);
    credits->addWidget(makeLabel(QStringLiteral("The Ploms Tryster Tool:"), this, true), 0, 0);
    credits->addWidget(makeLabel(QStringLiteral("Web Components:"), this, true), 0, 1);
    credits->addWidget(makeLabel(QStringLiteral("Wizard, preview and game files by the Tryster team. "
                                                "Pictures and sounds made by its own generator."),
                                 this),
                       1, 0);
    credits->addWidget(makeLabel(QStringLiteral("Exchange file and snapshots by the Tryster team, "
                                                "with JPEG writing by libjpeg-turbo."),
                                 this),
                       1, 1);
    credits->setColumnStretch(0, 1);
    credits->setColumnStretch(1, 1);

    m_ok = new CPictureButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    m_ok->loadBitmaps();
    m_help = new CPictureButton(QStringLiteral("HELP"), this);
    m_help->loadBitmaps();
    m_help->hide();
    connect(m_ok, &QPushButton::clicked, this, &CAboutDlg::accept);
    connect(m_help, &QPushButton::clicked, this, &CAboutDlg::onHelp);

    auto* bottom = new QHBoxLayout;
    auto* notes = new QVBoxLayout;
    notes->addWidget(makeLabel(QStringLiteral("Thanks to everyone who shares their dates."), this));
    notes->addWidget(makeLabel(QStringLiteral("Questions and ideas: see readme.txt."), this));
    notes->addWidget(makeLabel(QStringLiteral("Free to share. Not made or endorsed by the makers of The Ploms."), this));
    bottom->addLayout(notes, 1);
    bottom->addWidget(m_help, 0, Qt::AlignBottom);
    bottom->addWidget(m_ok, 0, Qt::AlignBottom);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 14, 16, 12);
    column->setSpacing(8);
    column->addLayout(top);
    column->addSpacing(4);
    column->addLayout(credits);
    column->addStretch();
    column->addLayout(bottom);
    m_ok->setFocus();
}

void CAboutDlg::accept() {
    platform::playClick();
    QDialog::accept();
}

void CAboutDlg::onHelp() {
    platform::playClick();
    platform::shell().open(qtToFileName(m_readmePath));
    QDialog::reject();
}

}  // namespace tryster::app
