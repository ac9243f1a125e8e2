#include "app/CTROKCancel.h"

#include "app/CPictureButton.h"
#include "app/DialogUnits.h"
#include "app/MessageLayout.h"
#include "app/ModalRunner.h"
#include "app/TextLimits.h"
#include "platform/Sound.h"

namespace tryster::app {

CTROKCancel::CTROKCancel(const QString& caption, const QString& message, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(caption);
    m_message = makeMessageLabel(*this, cutToLimit(message, kMaxQuestionText));
    m_ok = new CPictureButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    m_cancel = new CPictureButton(QStringLiteral("Cancel"), this);
    connect(m_ok, &QPushButton::clicked, this, &CTROKCancel::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CTROKCancel::reject);
    layOutMessageBox(*this, m_message, {m_ok, m_cancel}, dluSize(148, 61));
    m_ok->setFocus();
}

QString CTROKCancel::message() const { return m_message->text(); }

void CTROKCancel::accept() {
    platform::playClick();
    QDialog::accept();
}

void CTROKCancel::reject() {
    platform::playClick();
    QDialog::reject();
}

bool askOkCancel(QWidget* parent, const QString& caption, const QString& message) {
    CTROKCancel box(caption, message, parent);
    return runModal(box) == QDialog::Accepted;
}

}  // namespace tryster::app
