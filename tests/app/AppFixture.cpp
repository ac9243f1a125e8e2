#include "AppFixture.h"

#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"
#include "demoworld/DemoFolder.h"
#include "demoworld/GameContainers.h"

#include <QKeyEvent>
#include <QProcess>

#include <fstream>

namespace tryster::app::tests {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

QByteArray checkWritten(const QStringList& arguments) {
    QProcess checker;
    checker.start(QStringLiteral("python3"),
                  QStringList{TRYSTER_TEST_SOURCE "/app/check_written.py"} + arguments);
    EXPECT_TRUE(checker.waitForFinished(60'000));
    const QByteArray out = checker.readAllStandardOutput();
    EXPECT_EQ(checker.exitCode(), 0) << out.toStdString() << checker.readAllStandardError().toStdString();
    return out;
}

int RecordingModalRunner::run(QDialog& dialog) {
    ShownDialog seen;
    seen.className = QString::fromLatin1(dialog.metaObject()->className());
    seen.caption = dialog.windowTitle();
    if (auto* box = qobject_cast<CPlomSaved*>(&dialog)) seen.message = box->message();
    if (auto* box = qobject_cast<CTROKCancel*>(&dialog)) seen.message = box->message();
    if (QWidget* owner = dialog.parentWidget()) seen.ownerTitle = owner->window()->windowTitle();
    shown.push_back(seen);
    if (onShow) onShow(dialog);
    return result;
}

void AppTest::SetUp() {
    savedCwd_ = platform::fileSystem().currentDirectory();
    ASSERT_TRUE(platform::fileSystem().setCurrentDirectory(startDir.str()));
    ::setenv("TRYSTER_REGISTRY", configDir.file("registry.ini").c_str(), 1);
    platform::installSoundPlayer(&sounds);
    platform::installShell(&shell);
    installModalRunner(&runner);
}

void AppTest::TearDown() {
    dialog.reset();
    installModalRunner(nullptr);
    platform::installShell(nullptr);
    platform::installSoundPlayer(nullptr);
    ::unsetenv("TRYSTER_REGISTRY");
    (void)platform::fileSystem().setCurrentDirectory(savedCwd_);
}

std::string AppTest::installGame() {
    std::string game = configDir.file("The Ploms");
    configDir.write("The Ploms/GameData/keep.txt", "");
    pointRegistryAt(game);
    return game;
}

void AppTest::pointRegistryAt(const std::string& folder) {
    configDir.write("registry.ini",
                    "[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\nPLOMS_DATA=" + folder + "\n");
}

void WindowTest::SetUp() {
    AppTest::SetUp();
    std::string error;
    ASSERT_TRUE(demoworld::writeTemplateFile(startDir.file("TR_Template.iff"), error)) << error;
    game = configDir.file("game");
    fs::copy(test::demoFolder(), game, fs::copy_options::recursive);
    pointRegistryAt(game);
    platform::installClockSource(&clock);
    dialog = std::make_unique<CTrysterDlg>(startDir.str());
    QObject::connect(dialog.get(), &QWidget::windowTitleChanged, [this](const QString& t) { titles << t; });
    dialog->initDialog();
    if (showWindow) {
        ASSERT_TRUE(waitUntilReady()) << titles.join(QLatin1Char('\n')).toStdString();
    }
    runner.shown.clear();
    sounds.events.clear();
    titles.clear();
    runner.onShow = [this](QDialog& d) { answerDialog(d); };
}

void WindowTest::TearDown() {
    AppTest::TearDown();
    platform::installClockSource(nullptr);
}

bool WindowTest::waitUntilReady() {
    dialog->show();
    return QTest::qWaitFor([&] { return dialog->windowTitle() == QLatin1String("The Ploms Tryster: Ready!"); },
                           60'000);
}

void WindowTest::answerDialog(QDialog& d) {
    auto* chooser = qobject_cast<QFileDialog*>(&d);
    if (!chooser) {
        if (onBox) onBox(d);
        runner.result = answer;
        return;
    }
    chooserFolders << chooser->directory().absolutePath();
    const QString file = files.empty() ? QString() : files.front();
    if (!files.empty()) files.erase(files.begin());
    if (onChooser) onChooser(*chooser);
    if (!file.isEmpty()) chooser->selectFile(file);
    runner.result = file.isEmpty() ? QDialog::Rejected : QDialog::Accepted;
}

void WindowTest::click(const char* name) {
    QWidget* w = control(name);
    ASSERT_TRUE(w && w->isVisible() && w->isEnabled()) << name;
    QTest::mouseClick(w, Qt::LeftButton);
}

void WindowTest::pick(const char* list, const QString& text) {
    auto* l = control<QListWidget>(list);
    const QList<QListWidgetItem*> found = l->findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    l->scrollToItem(found.front());
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(found.front()).center());
}

QStringList WindowTest::entries(const char* list) {
    QStringList out;
    auto* l = control<QListWidget>(list);
    for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out;
}

QStringList WindowTest::selected(const char* list) {
    QStringList out;
    for (const QListWidgetItem* item : control<QListWidget>(list)->selectedItems()) out << item->text();
    return out;
}

void WindowTest::type(QWidget* field, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
        QApplication::sendEvent(field, &release);
    }
}

}  // namespace tryster::app::tests
