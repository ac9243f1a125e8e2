#pragma once
// Keeps a text field to what the game can store: a change that brings in a
// character the game's code page lacks (typed, pasted, or set by an
// assistive tool) is undone at once, and the field says why, in its tool
// tip shown under it and in its accessible description, until the next
// change is taken.

#include <QObject>
#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace tryster::app {

class GameTextGuard final : public QObject {
    Q_OBJECT

public:
    explicit GameTextGuard(QLineEdit* field);
    explicit GameTextGuard(QPlainTextEdit* field);

private:
    void check();
    QString text() const;
    QWidget* field() const;
    void restore();

    QLineEdit* m_line = nullptr;
    QPlainTextEdit* m_plain = nullptr;
    QString m_accepted;  // the last text the game can store
    bool m_restoring = false;
};

}  // namespace tryster::app
