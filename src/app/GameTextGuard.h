#pragma once
// Keeps a text field to what the game can store: a change that brings in a
// character the game's code page lacks (typed, pasted, or set by an
// assistive tool) is undone at once, and the field says why, in its tool
// tip shown under it and in its accessible description, until the next
// change is taken. Each change is converted to the game's bytes once, as it
// is checked; the page takes the bytes from here.

#include <QObject>
#include <QString>

#include <string>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace tryster::app {

class GameTextGuard final : public QObject {
    Q_OBJECT

public:
    explicit GameTextGuard(QLineEdit* field);
    explicit GameTextGuard(QPlainTextEdit* field);

    // The field's text in the game's code page (line breaks as CR LF in a
    // multi-line field): the text it shows, which is always one the game
    // can store.
    const std::string& gameText() const { return m_acceptedBytes; }

private:
    void check();
    QString text() const;
    QWidget* field() const;
    void restore();
    bool multiLine() const { return m_plain != nullptr; }

    QLineEdit* m_line = nullptr;
    QPlainTextEdit* m_plain = nullptr;
    QString m_accepted;  // the last text the game can store
    std::string m_acceptedBytes;  // and its game bytes
    bool m_restoring = false;
};

}  // namespace tryster::app
