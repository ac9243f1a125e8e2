#pragma once
// Keeps a text field to what the game can store: a change that brings in a
// character the game's code page lacks (typed, pasted, or set by an
// assistive tool) is undone at once, and a hint says why.

#include <QObject>
#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace tryster::app {

class GameTextGuard final : public QObject {
    Q_OBJECT

public:
    GameTextGuard(QLineEdit* field);
    GameTextGuard(QPlainTextEdit* field);

    // The hint shown for the last refusal (empty before any).
    const QString& lastHint() const { return m_lastHint; }

private:
    void check();
    QString text() const;
    void restore();

    QLineEdit* m_line = nullptr;
    QPlainTextEdit* m_plain = nullptr;
    QString m_accepted;  // the last text the game can store
    QString m_lastHint;
    bool m_restoring = false;
};

}  // namespace tryster::app
