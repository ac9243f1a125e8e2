#include "app/CTitleDlg.h"

#include "app/ControlIds.h"
#include "app/DialogUnits.h"
#include "app/ProgramResources.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace tryster::app {

CTitleDlg::CTitleDlg(QWidget* parent, int showMs)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("The Ploms Tryster"));
    QSize size = dluSize(333, 231);
    QPixmap picture = programBitmap(IDB_TITLE);
    if (!picture.isNull()) size = picture.size();
    setFixedSize(size);
    auto* label = new QLabel(this);
    label->setPixmap(picture);
    label->setGeometry(0, 0, size.width(), size.height());

    m_timer.setSingleShot(true);
    m_timer.setInterval(showMs);
    connect(&m_timer, &QTimer::timeout, this, &QDialog::accept);
}

void CTitleDlg::startCloseTimer() {
    if (!m_timer.isActive()) m_timer.start();
}

void CTitleDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    startCloseTimer();
}

void CTitleDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CTitleDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: accept(); return;
    case Qt::Key_Escape: event->accept(); return;
    default: QDialog::keyPressEvent(event);
    }
}

}  // namespace tryster::app
