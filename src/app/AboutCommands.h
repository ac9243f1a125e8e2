#pragma once
// About this program and its readme: the About and Help buttons under the
// preview, and the window menu that holds the About command (the window
// manager's own menu cannot take the program's commands, so the window
// opens it on a right click and offers it to assistive tools).

#include <QList>
#include <QObject>
#include <QString>

class QMenu;
class QWidget;

namespace tryster::app {

class AboutCommands final : public QObject {
    Q_OBJECT

public:
    // `readmePath`: what Help and the About box's HELP open.
    AboutCommands(QWidget* window, QString readmePath);

    // The window menu, with About first; the window adds its own commands.
    QMenu* menu() const { return m_menu; }
    // About and Help, in the order the keyboard visits them.
    QList<QWidget*> tabOrder() const { return m_buttons; }

    void openAbout();

private:
    QWidget* m_window;
    QString m_readmePath;
    QMenu* m_menu;
    QList<QWidget*> m_buttons;
};

}  // namespace tryster::app
