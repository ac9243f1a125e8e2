#include "app/GameTextGuard.h"

#include "app/Announcer.h"
#include "app/TextBoundary.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolTip>

namespace tryster::app {

// A field's first text is the program's own, which the game can store.
GameTextGuard::GameTextGuard(QLineEdit* field)
    : QObject(field), m_line(field), m_accepted(field->text()),
      m_acceptedBytes(qtToGameText(m_accepted, false).text.value_or(std::string())) {
    connect(field, &QLineEdit::textChanged, this, &GameTextGuard::check);
}

GameTextGuard::GameTextGuard(QPlainTextEdit* field)
    : QObject(field), m_plain(field), m_accepted(field->toPlainText()),
      m_acceptedBytes(qtToGameText(m_accepted, true).text.value_or(std::string())) {
    connect(field, &QPlainTextEdit::textChanged, this, &GameTextGuard::check);
}

QString GameTextGuard::text() const {
    return m_line ? m_line->text() : m_plain->toPlainText();
}

QWidget* GameTextGuard::field() const {
    return m_line ? static_cast<QWidget*>(m_line) : m_plain;
}

void GameTextGuard::check() {
    if (m_restoring) return;
    const QString now = text();
    platform::GameTextResult result = qtToGameText(now, multiLine());
    if (result.text) {
        m_accepted = now;
        m_acceptedBytes = std::move(*result.text);
        field()->setAccessibleDescription(QString());
        return;
    }
    const QString hint = refusalHint(result.refused);
    restore();
    field()->setAccessibleDescription(hint);
    QToolTip::showText(field()->mapToGlobal(QPoint(0, field()->height())), hint, field());
    // Screen readers present neither a new description nor a tip by
    // themselves: the player typing blind is told.
    announce(field(), hint);
}

// Puts the accepted text back, with the cursor where the refused change
// began (the common prefix of the two texts).
void GameTextGuard::restore() {
    const QString refused = text();
    qsizetype common = 0;
    while (common < refused.size() && common < m_accepted.size() && refused[common] == m_accepted[common])
        ++common;
    m_restoring = true;
    if (m_line) {
        m_line->setText(m_accepted);
        m_line->setCursorPosition(static_cast<int>(common));
    } else {
        m_plain->setPlainText(m_accepted);
        QTextCursor cursor = m_plain->textCursor();
        cursor.setPosition(static_cast<int>(common));
        m_plain->setTextCursor(cursor);
    }
    m_restoring = false;
}

}  // namespace tryster::app
