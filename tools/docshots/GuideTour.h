#pragma once
// The guide's walk through the real window: it builds CTrysterDlg on a demo
// game folder, uses it as a player would (clicks, typing, list choices),
// answers the modal dialogs it opens as their user would, and writes a
// picture at each step the guide shows.

#include "app/ModalRunner.h"
#include "platform/Clock.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QDialog;
class QListWidget;
class QWidget;

namespace tryster::app {
class CTrysterDlg;
}

namespace tryster::docshots {

struct Picture {
    const char* file;   // under the output folder
    const char* shows;  // one line, for --list
};

// Every picture the walk writes, in the order it writes them.
extern const std::vector<Picture> kPictures;

class GuideTour final : public app::ModalRunner {
public:
    // `startFolder` holds the template; the registry names the game.
    GuideTour(std::string startFolder, std::string gameFolder, QString outputFolder, platform::FixedClock& clock);
    ~GuideTour() override;

    // The whole walk; false (with a message on standard error) when the
    // window did not do what the guide says it does.
    bool run();

    int run(QDialog& dialog) override;

private:
    using Answer = std::function<int(QDialog&)>;

    void welcome();
    void createPath();
    void replacePath();
    void loadPath();
    void installPath();
    void historyPath();

    // The window's control of that accessible name, as assistive tools
    // find it; the walk fails without one.
    template <typename T>
    T* control(const char* name);
    void click(const char* name);
    // A list with entries, else the walk fails.
    QListWidget* list(const char* name);
    void pick(const char* listName, const QString& text);
    void type(const char* name, const QString& text);
    void expectStep(int step);
    // Moves the clock on and draws a frame, so each picture catches the
    // figure in its own moment of the idle animations.
    void pose(std::uint32_t ms);
    QImage window();
    // The dialog as it is shown now, with its title bar.
    QImage dialogPicture(QDialog& dialog);
    // The message box laid over the window, where it appears.
    QImage overWindow(QDialog& dialog);
    void save(const char* file, const QImage& picture);
    // The next modal dialog gets `answer`; one that comes unasked fails the
    // walk.
    void expectDialog(Answer answer);
    void fail(const QString& what);

    std::string m_startFolder;
    std::string m_gameFolder;
    QString m_output;
    platform::FixedClock& m_clock;
    std::unique_ptr<app::CTrysterDlg> m_dialog;
    std::vector<Answer> m_answers;
    std::vector<std::string> m_written;
    bool m_starting = true;
    bool m_failed = false;
};

}  // namespace tryster::docshots
