#include "GuideTour.h"

#include "Framing.h"

#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"
#include "app/CTitleDlg.h"
#include "app/CTrysterDlg.h"
#include "app/LoadExtraPanel.h"
#include "app/NamedControl.h"
#include "share/SharedDate.h"
#include "wizard/StepTable.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSlider>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace tryster::docshots {

const std::vector<Picture> kPictures = {
    {"welcome.png", "the first page: Create, Replace and Load, the figure idling in the preview"},
    {"create-look.png", "Create, page 1: gender, body type, skin, meshes and textures"},
    {"create-name.png", "Create, page 2: name and description"},
    {"create-personality.png", "Create, page 3: personality points and the star sign"},
    {"create-interests.png", "Create, page 4: top and low interests"},
    {"create-career.png", "Create, page 5: job track and level"},
    {"create-export.png", "Create, page 6: ready to export"},
    {"create-save-dialog.png", "the Save dialog in the game's TemplateNPCs folder"},
    {"create-finished.png", "the save finished, and the offer to share the date as one file"},
    {"share-dialog.png", "Share this date...: the save dialog in the home folder, named after the character"},
    {"share-done.png", "the date shared: the message naming the file, Share this date... on the last page"},
    {"replace-townies.png", "Replace: the neighbourhood's townies, one previewed"},
    {"replace-dates.png", "Replace: the dates that can take its place"},
    {"replace-confirm.png", "Replace: the last question before the townie is replaced"},
    {"window-menu.png", "the window menu with Load, Save back and Rescan"},
    {"load-dialog.png", "Load: the open dialog naming the character under the cursor"},
    {"load-loaded.png", "Load: the loaded character on the look page, with Save back"},
    {"load-restyle.png", "Load: the loaded character restyled on page 1"},
    {"load-saved.png", "Save back: the new look written into the character's file"},
    {"install-review.png", "Install a shared date: the date in its own skins, its files and a skin that differs"},
    {"install-done.png", "Install a shared date: installed, the player's differing skin kept"},
    {"history-list.png", "History: the changes of the tour, newest first, the install selected"},
    {"history-question.png", "History: Undo asks first, naming what it puts back"},
    {"history-undone.png", "History: the restyle undone, and its undo listed"},
};

namespace {

using app::CTrysterDlg;

constexpr int kStartTimeoutMs = 180'000;
constexpr int kListingTimeoutMs = 20'000;
// Between pictures the figure moves on by this much of its idle animations.
constexpr std::uint32_t kPoseStepMs = 700;

void settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    do QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    while (timer.elapsed() < ms);
}

template <typename Predicate>
bool waitFor(Predicate done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// The file dialog lists its folder in the background: waits until the
// listing is in (the folder's files, not just the side bar's places) and
// drawn. An empty folder shows nothing more after a moment.
bool waitForListing(QFileDialog& chooser, bool filesExpected) {
    const bool listed = waitFor(
        [&] {
            for (QAbstractItemView* view : chooser.findChildren<QAbstractItemView*>())
                if (view->isVisible() && view->objectName() != QLatin1String("sidebar") && view->model() &&
                    view->model()->rowCount(view->rootIndex()) > 0)
                    return true;
            return false;
        },
        filesExpected ? kListingTimeoutMs : 1000);
    // The detail columns wide enough for their values, as a user drags them.
    if (listed && filesExpected)
        for (QHeaderView* header : chooser.findChildren<QHeaderView*>())
            header->resizeSections(QHeaderView::ResizeToContents);
    settle(300);
    return listed || !filesExpected;
}

// Types `name` into the dialog's file name field, which has the focus when
// the dialog opens (selectFile leaves a focused field alone); the dialog
// selects the file of that name as it would for the keyboard.
bool typeFileName(QFileDialog& chooser, const QString& name) {
    auto* field = chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!field) return false;
    field->setText(name);
    return true;
}

QString textOf(QDialog& dialog) {
    QString text = dialog.windowTitle();
    if (auto* box = qobject_cast<app::CPlomSaved*>(&dialog)) text += QStringLiteral(" ") + box->message();
    if (auto* box = qobject_cast<app::CTROKCancel*>(&dialog)) text += QStringLiteral(" ") + box->message();
    return text;
}

}  // namespace

GuideTour::GuideTour(std::string startFolder, std::string gameFolder, QString outputFolder, platform::FixedClock& clock)
    : m_startFolder(std::move(startFolder)),
      m_gameFolder(std::move(gameFolder)),
      m_output(std::move(outputFolder)),
      m_clock(clock) {}

GuideTour::~GuideTour() {
    m_dialog.reset();
    app::installModalRunner(nullptr);
}

bool GuideTour::run() {
    app::installModalRunner(this);
    m_dialog = std::make_unique<CTrysterDlg>(m_startFolder);
    m_dialog->initDialog();
    if (m_dialog->quitPosted()) {
        fail(QStringLiteral("the program did not find the demo game folder"));
        return false;
    }
    m_dialog->show();
    if (!waitFor([&] { return m_dialog->windowTitle() == QLatin1String("The Ploms Tryster: Ready!"); },
                 kStartTimeoutMs)) {
        fail(QStringLiteral("the preview did not get ready; the title says \"%1\"").arg(m_dialog->windowTitle()));
        return false;
    }
    m_starting = false;

    for (void (GuideTour::*part)() :
         {&GuideTour::welcome, &GuideTour::createPath, &GuideTour::replacePath, &GuideTour::loadPath,
          &GuideTour::installPath, &GuideTour::historyPath}) {
        (this->*part)();
        if (m_failed) return false;
        if (!m_answers.empty()) {
            fail(QStringLiteral("a dialog the guide shows did not open"));
            return false;
        }
    }
    m_dialog.reset();
    app::installModalRunner(nullptr);

    std::vector<std::string> listed;
    for (const Picture& picture : kPictures) listed.emplace_back(picture.file);
    if (m_written != listed) fail(QStringLiteral("the walk did not write the pictures it lists"));
    return !m_failed;
}

int GuideTour::run(QDialog& dialog) {
    // The splash closes by itself.
    if (m_starting && qobject_cast<app::CTitleDlg*>(&dialog)) return QDialog::Accepted;
    if (m_answers.empty()) {
        fail(QStringLiteral("a dialog the guide does not expect: ") + textOf(dialog));
        return QDialog::Rejected;
    }
    const Answer answer = std::move(m_answers.front());
    m_answers.erase(m_answers.begin());
    dialog.show();
    settle(50);
    const int result = answer(dialog);
    dialog.hide();
    return result;
}

void GuideTour::fail(const QString& what) {
    if (!m_failed) std::fprintf(stderr, "tryster-docshots: %s\n", what.toLocal8Bit().constData());
    m_failed = true;
}

void GuideTour::expectDialog(Answer answer) {
    m_answers.push_back(std::move(answer));
}

template <typename T>
T* GuideTour::control(const char* name) {
    T* found = app::namedControl<T>(m_dialog.get(), QString::fromLatin1(name));
    if (!found) fail(QStringLiteral("the window has no \"%1\"").arg(QString::fromLatin1(name)));
    return found;
}

void GuideTour::click(const char* name) {
    auto* button = control<QAbstractButton>(name);
    if (!button || !button->isVisible() || !button->isEnabled()) {
        fail(QStringLiteral("\"%1\" cannot be pressed on step %2").arg(QString::fromLatin1(name)).arg(m_dialog->step()));
        return;
    }
    button->click();
}

QListWidget* GuideTour::list(const char* name) {
    auto* found = control<QListWidget>(name);
    if (found && found->count() == 0) fail(QStringLiteral("\"%1\" lists nothing").arg(QString::fromLatin1(name)));
    return found && found->count() > 0 ? found : nullptr;
}

void GuideTour::pick(const char* listName, const QString& text) {
    auto* list = control<QListWidget>(listName);
    const QList<QListWidgetItem*> found =
        list ? list->findItems(text, Qt::MatchExactly) : QList<QListWidgetItem*>();
    if (found.isEmpty()) {
        fail(QStringLiteral("\"%1\" offers no \"%2\"").arg(QString::fromLatin1(listName), text));
        return;
    }
    list->scrollToItem(found.front());
    list->setCurrentItem(found.front());
}

// As a keyboard types, one character at a time.
void GuideTour::type(const char* name, const QString& text) {
    QWidget* field = control<QWidget>(name);
    if (!field) return;
    for (const QChar c : text) {
        const bool newLine = c == QLatin1Char('\n');
        const int key = newLine ? Qt::Key_Return : Qt::Key_unknown;
        const QString typed = newLine ? QStringLiteral("\r") : QString(c);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, typed);
        QApplication::sendEvent(field, &press);
        QApplication::sendEvent(field, &release);
    }
}

void GuideTour::expectStep(int step) {
    if (m_dialog->step() != step)
        fail(QStringLiteral("the wizard is on step %1 where the guide expects %2").arg(m_dialog->step()).arg(step));
}

void GuideTour::pose(std::uint32_t ms) {
    m_clock.ticks += ms;
    m_dialog->livePreview().redrawNow();
}

QImage GuideTour::window() {
    return framed(*m_dialog);
}

QImage GuideTour::dialogPicture(QDialog& dialog) {
    return framed(dialog);
}

QImage GuideTour::overWindow(QDialog& dialog) {
    const QImage behind = window();
    const QImage box = dialogPicture(dialog);
    return overlay(behind, box, centredOn(behind, box));
}

void GuideTour::save(const char* file, const QImage& picture) {
    if (m_failed) return;
    if (!savePicture(picture, QDir(m_output).filePath(QString::fromLatin1(file)))) {
        fail(QStringLiteral("cannot write %1 in %2").arg(QString::fromLatin1(file), m_output));
        return;
    }
    m_written.emplace_back(file);
}

// --- The walk ----------------------------------------------------------------

void GuideTour::welcome() {
    pose(kPoseStepMs);
    save("welcome.png", window());
}

void GuideTour::createPath() {
    click("Create");
    expectStep(1);
    click("Female");
    control<QComboBox>("Skin Type")->setCurrentIndex(1);
    QListWidget* bodies = list("Body Mesh");
    QListWidget* heads = list("Head Mesh");
    if (!bodies || !heads) return;
    pick("Body Mesh", bodies->item(bodies->count() - 1)->text());
    pick("Head Mesh", heads->item(heads->count() - 1)->text());
    if (QListWidget* bodyTextures = list("Body Texture"))
        pick("Body Texture", bodyTextures->item(bodyTextures->count() - 1)->text());
    pose(kPoseStepMs);
    save("create-look.png", window());

    click("Next");
    expectStep(2);
    type("Name of this Plom", QStringLiteral("Mara Quill"));
    type("Describe this Plom", QStringLiteral("Writes letters by hand.\nKeeps every answer in a tin."));
    pose(kPoseStepMs);
    save("create-name.png", window());

    click("Next");
    expectStep(3);
    const std::pair<const char*, int> traits[] = {
        {"Nice", 7}, {"Neat", 4}, {"Outgoing", 3}, {"Active", 6}, {"Playful", 5}};
    for (auto [name, value] : traits)
        if (auto* slider = control<QSlider>(name)) slider->setValue(value);
    pose(kPoseStepMs);
    save("create-personality.png", window());

    click("Next");
    expectStep(4);
    for (const char* interest : {"Music", "Travel", "Food", "Romance", "Style"}) {
        pick("Interests", QString::fromLatin1(interest));
        click("Add Top Interest");
    }
    for (const char* interest : {"Politics", "Weather"}) {
        pick("Interests", QString::fromLatin1(interest));
        click("Add Low Interest");
    }
    pick("Interests", QStringLiteral("Exercise"));
    pose(kPoseStepMs);
    save("create-interests.png", window());

    click("Next");
    expectStep(5);
    control<QComboBox>("Job Track")->setCurrentText(QStringLiteral("Science"));
    control<QSlider>("Job Level")->setValue(7);
    pose(kPoseStepMs);
    save("create-career.png", window());

    click("Next");
    expectStep(6);
    pose(kPoseStepMs);
    save("create-export.png", window());

    expectDialog([this](QDialog& d) {
        auto* chooser = qobject_cast<QFileDialog*>(&d);
        if (!chooser || !waitForListing(*chooser, false)) {
            fail(QStringLiteral("the save dialog did not list the dates folder"));
            return int(QDialog::Rejected);
        }
        if (!typeFileName(*chooser, QStringLiteral("Mara"))) {
            fail(QStringLiteral("the save dialog has no file name field"));
            return int(QDialog::Rejected);
        }
        settle(100);
        save("create-save-dialog.png", dialogPicture(d));
        return int(QDialog::Accepted);
    });
    // No exchange page is configured: the question offers one file to
    // share, made in the home folder under the character's name.
    expectDialog([this](QDialog& d) {
        save("create-finished.png", overWindow(d));
        return int(QDialog::Accepted);
    });
    expectDialog([this](QDialog& d) {
        auto* chooser = qobject_cast<QFileDialog*>(&d);
        if (!chooser || !waitForListing(*chooser, true)) {
            fail(QStringLiteral("the share dialog did not list the home folder"));
            return int(QDialog::Rejected);
        }
        save("share-dialog.png", dialogPicture(d));
        return int(QDialog::Accepted);
    });
    expectDialog([this](QDialog& d) {
        save("share-done.png", overWindow(d));
        return int(QDialog::Accepted);
    });
    click("Save");
    if (!std::filesystem::exists(m_gameFolder + "/TemplateNPCs/Mara.iff"))
        fail(QStringLiteral("the save wrote no date"));
    if (!std::filesystem::exists(QDir::home().filePath(QStringLiteral("Mara Quill.zip")).toStdString()))
        fail(QStringLiteral("the date was not shared in the home folder"));
    // Back through the pages to the welcome page, where Replace is.
    for (int page = 6; page > 0 && m_dialog->step() > 0 && !m_failed; --page) click("Back");
    expectStep(0);
}

void GuideTour::replacePath() {
    expectDialog([this](QDialog& d) {
        auto* chooser = qobject_cast<QFileDialog*>(&d);
        if (!chooser) return int(QDialog::Rejected);
        chooser->selectFile(QString::fromStdString(m_gameFolder + "/UserData/Neighborhood.iff"));
        return int(QDialog::Accepted);
    });
    click("Replace");
    expectStep(10);
    pick("Townies", QStringLiteral("User00002.iff"));
    pose(kPoseStepMs);
    save("replace-townies.png", window());

    click("Next");
    expectStep(11);
    pick("Dates", QStringLiteral("Mara.iff"));
    pose(kPoseStepMs);
    save("replace-dates.png", window());

    expectDialog([this](QDialog& d) {
        save("replace-confirm.png", overWindow(d));
        return int(QDialog::Rejected);  // the townie stays for the Load section
    });
    click("Next");
    expectStep(0);
}

void GuideTour::loadPath() {
    pose(kPoseStepMs);
    // The menu a right click on the window opens.
    QMenu* menu = m_dialog->systemMenu();
    QWidget* pane = control<QWidget>("Preview");
    if (!pane) return;
    QPoint at = pane->geometry().center() - QPoint(80, 120);
    menu->popup(m_dialog->mapToGlobal(at));
    settle(100);
    // Kept inside the window's picture, as a menu stays on the screen.
    at.setX(std::min(at.x(), m_dialog->width() - menu->width() - 8));
    save("window-menu.png", overlay(window(), menu->grab().toImage(), insideOrigin() + at));
    menu->hide();

    expectDialog([this](QDialog& d) {
        auto* chooser = qobject_cast<QFileDialog*>(&d);
        auto* panel = chooser ? chooser->findChild<app::LoadExtraPanel*>() : nullptr;
        auto* name = panel ? app::namedControl<QLineEdit>(panel, QStringLiteral("Character Name")) : nullptr;
        if (!name || !waitForListing(*chooser, true)) {
            fail(QStringLiteral("the Load dialog did not list the characters with its panel"));
            return int(QDialog::Rejected);
        }
        // Typed again until the listing holds it and the panel follows.
        const bool named = waitFor(
            [&] {
                typeFileName(*chooser, QStringLiteral("User00002.iff"));
                return name->text() == QLatin1String("Nadia Brook");
            },
            kListingTimeoutMs);
        if (!named) fail(QStringLiteral("the Load dialog's panel did not name the character"));
        settle(100);
        save("load-dialog.png", dialogPicture(d));
        return int(QDialog::Accepted);
    });
    // The welcome page's third way: Load, then the look page.
    click("Load");
    expectStep(1);
    auto* saveBack = control<QAbstractButton>("Save Back");
    if (!saveBack || !saveBack->isVisible()) {
        fail(QStringLiteral("the look page offers no Save back after a load"));
        return;
    }
    pose(kPoseStepMs);
    save("load-loaded.png", window());

    QListWidget* textures = list("Body Texture");
    if (!textures) return;
    const QList<QListWidgetItem*> chosen = textures->selectedItems();
    for (int i = 0; i < textures->count(); ++i)
        if (chosen.isEmpty() || textures->item(i) != chosen.front()) {
            pick("Body Texture", textures->item(i)->text());
            break;
        }
    pose(kPoseStepMs);
    save("load-restyle.png", window());

    expectDialog([this](QDialog& d) {
        save("load-saved.png", overWindow(d));
        return int(QDialog::Accepted);
    });
    click("Save Back");
    click("Back");
    expectStep(0);
}

// Mara as a friend installs her: the friend's game has no Mara, and its own
// copy of one of the textures she wears differs from hers.
void GuideTour::installPath() {
    namespace fs = std::filesystem;
    const std::string pack = QDir::home().filePath(QStringLiteral("Mara Quill.zip")).toStdString();
    const std::string dates = m_gameFolder + "/TemplateNPCs/";
    const fs::path away = fs::path(m_gameFolder).parent_path() / "Mara, saved";
    std::error_code ec;
    fs::create_directories(away, ec);
    for (const char* file : {"Mara.iff", "Mara.srf", "Marahead.jpg", "Marabody.jpg"})
        fs::rename(dates + file, away / file, ec);
    const share::SharedDateOpening opened = share::openSharedDate(pack);
    if (!opened.date) {
        fail(QStringLiteral("the shared date does not open: ") + QString::fromStdString(opened.problem));
        return;
    }
    const share::PackFile* texture = nullptr;
    for (const share::PackFile& f : opened.date->pack.files)
        if (f.path.kind == share::PackFileKind::Texture) texture = &f;
    if (!texture) {
        fail(QStringLiteral("the shared date wears no texture"));
        return;
    }
    // The friend's own texture of that name: another of the game's.
    const fs::path skins = fs::path(m_gameFolder) / "GameData" / "Skins";
    const fs::path theirs = skins / std::string(texture->path.fileName());
    for (const fs::directory_entry& e : fs::directory_iterator(skins, ec))
        if (e.path().extension() == ".bmp" && e.path() != theirs) {
            fs::copy_file(e.path(), theirs, fs::copy_options::overwrite_existing, ec);
            break;
        }

    expectDialog([this](QDialog& d) {
        auto* chooser = qobject_cast<QFileDialog*>(&d);
        if (!chooser || !waitForListing(*chooser, true) || !typeFileName(*chooser, QStringLiteral("Mara Quill.zip"))) {
            fail(QStringLiteral("the install dialog did not list the home folder"));
            return int(QDialog::Rejected);
        }
        return int(QDialog::Accepted);
    });
    click("Install a shared date");
    expectStep(wizard::kInstallStep);
    pose(kPoseStepMs);
    save("install-review.png", window());

    expectDialog([this](QDialog& d) {
        save("install-done.png", overWindow(d));
        return int(QDialog::Accepted);
    });
    click("Install");
    expectStep(0);
    if (!fs::exists(dates + "Mara.iff")) fail(QStringLiteral("the install wrote no date"));
}

// The tour's own changes, listed; the restyle of the Load section taken
// back.
void GuideTour::historyPath() {
    click("History");
    expectStep(wizard::kHistoryStep);
    pose(kPoseStepMs);
    save("history-list.png", window());

    auto* changes = control<QListWidget>("Changes, newest first");
    const QList<QListWidgetItem*> restyle =
        changes ? changes->findItems(QStringLiteral("Restyled: Nadia Brook"), Qt::MatchEndsWith) : QList<QListWidgetItem*>();
    if (restyle.isEmpty()) {
        fail(QStringLiteral("History does not list the restyle"));
        return;
    }
    changes->setCurrentItem(restyle.front());
    pose(kPoseStepMs);
    expectDialog([this](QDialog& d) {
        save("history-question.png", overWindow(d));
        return int(QDialog::Accepted);
    });
    expectDialog([](QDialog&) { return int(QDialog::Accepted); });
    click("Undo");
    pose(kPoseStepMs);
    save("history-undone.png", window());
    click("Back");
    expectStep(0);
}

}  // namespace tryster::docshots
