#include "app/CPlomSaved.h"

#include "app/CPictureButton.h"
#include "app/DialogUnits.h"
#include "app/MessageLayout.h"
#include "app/ModalRunner.h"
#include "app/TextLimits.h"
#include "platform/Sound.h"

namespace tryster::app {

CPlomSaved::CPlomSaved(const QString& caption, const QString& message, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(cutToLimit(caption, kMaxMessageCaption));
    m_message = makeMessageLabel(*this, cutToLimit(message, kMaxMessageText));
    m_ok = new CPictureButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &CPlomSaved::accept);
    layOutMessageBox(*this, m_message, {m_ok}, dluSize(154, 56));
    m_ok->setFocus();
}

QString CPlomSaved::message() const { return m_message->text(); }

void CPlomSaved::accept() {
    platform::playClick();
    QDialog::accept();
}

void showMessage(QWidget* parent, const QString& caption, const QString& message) {
    CPlomSaved box(caption, message, parent);
    runModal(box);
}

}  // namespace tryster::app
