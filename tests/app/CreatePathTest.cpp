// The Create path as a user walks it on the demo game folder: the look
// chosen on the live preview, every check of the pages failing first with
// its message, then a save answered in the file dialog, with the files it
// wrote read back by the independent readers.

#include "AppFixture.h"

#include "app/CTrysterDlg.h"
#include "app/ControlIds.h"
#include "app/ExportPage.h"
#include "app/PreviewPane.h"
#include "demoworld/DemoFolder.h"
#include "demoworld/GameContainers.h"
#include "platform/Clock.h"
#include "platform/ImageLibrary.h"
#include "preview/Preview.h"
#include "wizard/PageRules.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <filesystem>

namespace tryster::app::tests {
namespace {

using platform::PlayMode;

const Sound kClick{Sound::Resource, "Click", PlayMode::Async};
const QString kWarning = QStringLiteral("Tryster Warning:");

// Typing as a keyboard does, any character (QTest's key clicks know ASCII
// only).
void type(QWidget* field, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
        QApplication::sendEvent(field, &release);
    }
}

class CreatePath : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        std::string error;
        ASSERT_TRUE(demoworld::writeTemplateFile(startDir.file("TR_Template.iff"), error)) << error;
        // A game folder of this test's own: the saves write into it.
        game = configDir.file("game");
        std::filesystem::copy(test::demoFolder(), game, std::filesystem::copy_options::recursive);
        pointRegistryAt(game);
        platform::installClockSource(&clock);
        dialog = std::make_unique<CTrysterDlg>(startDir.str());
        dialog->initDialog();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return dialog->windowTitle() == QLatin1String("The Ploms Tryster: Ready!"); }, 60'000));
        runner.shown.clear();
        sounds.events.clear();
    }
    void TearDown() override {
        dialog.reset();
        platform::installClockSource(nullptr);
        AppTest::TearDown();
    }

    template <typename T>
    T* control(int id) {
        return qobject_cast<T*>(dialog->control(id));
    }
    void click(int id) {
        QWidget* w = dialog->control(id);
        ASSERT_TRUE(w && w->isVisible() && w->isEnabled()) << id;
        QTest::mouseClick(w, Qt::LeftButton);
    }
    // A click on the entry with this text.
    void pick(int listId, const QString& text) {
        auto* list = control<QListWidget>(listId);
        const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << text.toStdString();
        list->scrollToItem(found.front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.front()).center());
    }
    QStringList entries(int listId) {
        QStringList out;
        auto* list = control<QListWidget>(listId);
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
    // Next; returns the warning it showed, if any.
    QString next() {
        const std::size_t before = runner.shown.size();
        click(IDC_NEXT);
        if (runner.shown.size() == before) return {};
        EXPECT_EQ(runner.shown.back().caption, kWarning);
        return runner.shown.back().message;
    }
    void setSliders(int nice, int neat, int outgoing, int active, int playful) {
        const std::pair<int, int> values[] = {{IDC_NICE_SLIDER, nice},
                                              {IDC_NEAT_SLIDER, neat},
                                              {IDC_OUTGOING_SLIDER, outgoing},
                                              {IDC_ACTIVE_SLIDER, active},
                                              {IDC_PLAYFUL_SLIDER, playful}};
        for (auto [id, value] : values) control<QSlider>(id)->setValue(value);
    }
    QString points() { return control<QLabel>(IDC_POINTS_LEFT)->text(); }

    // Steps 1 to 5 as a user fills them in, each check failing first.
    void walkToExport();
    // Answers the save dialog with `path` (or cancels), and records what the
    // status line showed at the exchange question.
    void answerSave(const QString& path) {
        runner.onShow = [this, path](QDialog& d) {
            if (auto* chooser = qobject_cast<QFileDialog*>(&d)) {
                chooserTitle = chooser->windowTitle();
                chooserFolder = chooser->directory().absolutePath();
                chooserFilter = chooser->nameFilters().join(QLatin1Char(';'));
                if (path.isEmpty()) {
                    runner.result = QDialog::Rejected;
                    return;
                }
                chooser->selectFile(path);
                runner.result = QDialog::Accepted;
                return;
            }
            runner.result = QDialog::Accepted;
            statusAtQuestion = control<QLabel>(IDC_STATUS)->text();
            progressAtQuestion = control<QProgressBar>(IDC_PROGRESS)->value();
        };
    }
    QString templateNpcs() const { return QString::fromStdString(game) + QStringLiteral("/TemplateNPCs"); }
    // Runs the independent check of what a save wrote.
    QJsonObject checkSaved(const QString& base, const QJsonObject& expected) {
        const QString json = base + QStringLiteral(".expected.json");
        QFile f(json);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QJsonDocument(expected).toJson());
        f.close();
        QProcess checker;
        checker.start(QStringLiteral("python3"),
                      {QStringLiteral(TRYSTER_TEST_SOURCE "/app/check_saved_date.py"), base, json});
        EXPECT_TRUE(checker.waitForFinished(60'000));
        const QByteArray out = checker.readAllStandardOutput();
        EXPECT_EQ(checker.exitCode(), 0) << out.toStdString() << checker.readAllStandardError().toStdString();
        const QList<QByteArray> lines = out.split('\n');
        for (const QByteArray& line : lines)
            if (line.startsWith('{')) return QJsonDocument::fromJson(line).object();
        return {};
    }

    platform::FixedClock clock{20'000'000};
    platform::ImageLibrarySession images;  // as the program holds it
    std::string game;
    std::unique_ptr<CTrysterDlg> dialog;
    QString chooserTitle, chooserFolder, chooserFilter, statusAtQuestion;
    int progressAtQuestion = -1;
};

void CreatePath::walkToExport() {
    click(IDC_CREATE);
    ASSERT_EQ(dialog->step(), 1);
    EXPECT_EQ(dialog->windowTitle(), "The Ploms Tryster: Beauty is Skin Deep");
    EXPECT_TRUE(control<QPushButton>(IDC_MALE)->isChecked()) << "the record's gender";
    EXPECT_TRUE(control<QPushButton>(IDC_NEXT)->isEnabled());

    // Every click flips both buttons; the lists follow the gender.
    click(IDC_FEMALE);
    EXPECT_TRUE(control<QPushButton>(IDC_FEMALE)->isChecked());
    EXPECT_FALSE(control<QPushButton>(IDC_MALE)->isChecked());
    for (const QString& mesh : entries(IDC_BODY_MESH_LIST))
        EXPECT_TRUE(mesh.contains("fa")) << mesh.toStdString();
    click(IDC_FEMALE);
    EXPECT_TRUE(control<QPushButton>(IDC_MALE)->isChecked());
    click(IDC_FEMALE);
    ASSERT_TRUE(control<QPushButton>(IDC_FEMALE)->isChecked());

    // "Full" offers the full figures.
    control<QComboBox>(IDC_BODY_TYPE_LIST)->setCurrentIndex(1);
    ASSERT_FALSE(entries(IDC_BODY_MESH_LIST).isEmpty());
    for (const QString& mesh : entries(IDC_BODY_MESH_LIST))
        EXPECT_TRUE(mesh.contains("fafat")) << mesh.toStdString();
    control<QComboBox>(IDC_SKIN_TYPE_LIST)->setCurrentIndex(2);

    const QString body = entries(IDC_BODY_MESH_LIST).back();
    pick(IDC_BODY_MESH_LIST, body);
    EXPECT_EQ(dialog->preview().look().bodyMesh, body.toStdString());
    const QStringList heads = entries(IDC_HEAD_MESH_LIST);
    ASSERT_FALSE(heads.isEmpty());
    pick(IDC_HEAD_MESH_LIST, heads.back());
    EXPECT_EQ(dialog->preview().look().headMesh, heads.back().toStdString());
    ASSERT_FALSE(entries(IDC_HEAD_TEXTURE_LIST).isEmpty());
    EXPECT_EQ(dialog->preview().look().headTexture, entries(IDC_HEAD_TEXTURE_LIST).front().toStdString())
        << "a new head takes its first texture";
    const QStringList bodyTextures = entries(IDC_BODY_TEXTURE_LIST);
    ASSERT_FALSE(bodyTextures.isEmpty());
    pick(IDC_BODY_TEXTURE_LIST, bodyTextures.back());
    EXPECT_EQ(dialog->preview().look().bodyTexture, bodyTextures.back().toStdString());
    EXPECT_EQ(next(), QString());

    ASSERT_EQ(dialog->step(), 2);
    EXPECT_EQ(next(), wizard::kNoNameMessage.data());
    auto* name = control<QLineEdit>(IDC_NAME);
    QTest::keyClicks(name, QString(31, QLatin1Char('x')));
    EXPECT_EQ(next(), wizard::kLongNameMessage.data());
    name->clear();
    type(name, QStringLiteral("Zo\u00eb Quill"));
    EXPECT_EQ(next(), wizard::kNoDescriptionMessage.data());
    auto* description = control<QPlainTextEdit>(IDC_DESCRIPTION);
    description->setPlainText(QString(1023, QLatin1Char('d')));
    QTest::keyClick(description, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(description, Qt::Key_Return);  // two characters: 1025
    EXPECT_EQ(next(), wizard::kLongDescriptionMessage.data());
    description->clear();
    QTest::keyClicks(description, QStringLiteral("Writes letters"));
    QTest::keyClick(description, Qt::Key_Return);
    QTest::keyClicks(description, QStringLiteral("by hand."));
    EXPECT_EQ(next(), QString());

    ASSERT_EQ(dialog->step(), 3);
    EXPECT_EQ(points(), "25");
    EXPECT_EQ(control<QPushButton>(IDC_SIGN_BUTTON)->text(), "Cancer") << "all zeros";
    setSliders(10, 10, 6, 0, 0);
    EXPECT_EQ(points(), "-1");
    EXPECT_EQ(next(), wizard::kTooManyPointsMessage.data());
    click(IDC_SIGN_BUTTON);  // Cancer's successor's preset
    EXPECT_EQ(points(), "0");
    setSliders(7, 4, 3, 6, 5);
    EXPECT_EQ(points(), "0");
    EXPECT_EQ(next(), QString());

    ASSERT_EQ(dialog->step(), 4);
    EXPECT_FALSE(control<QPushButton>(IDC_TOP_REMOVE)->isEnabled());
    EXPECT_FALSE(control<QPushButton>(IDC_LOW_REMOVE)->isEnabled());
    click(IDC_TOP_ADD);  // nothing selected: nothing moves
    EXPECT_TRUE(entries(IDC_TOP_INTERESTS).isEmpty());
    for (const char* interest : {"Music", "Travel", "Food", "Romance"}) {
        pick(IDC_REMAINING_INTERESTS, QString::fromLatin1(interest));
        click(IDC_TOP_ADD);
    }
    EXPECT_EQ(next(), wizard::kFewInterestsMessage.data());
    pick(IDC_REMAINING_INTERESTS, QStringLiteral("Style"));
    click(IDC_TOP_ADD);
    EXPECT_FALSE(control<QPushButton>(IDC_TOP_ADD)->isEnabled()) << "five is the most";
    for (const char* interest : {"Politics", "Weather"}) {
        pick(IDC_REMAINING_INTERESTS, QString::fromLatin1(interest));
        click(IDC_LOW_ADD);
    }
    EXPECT_EQ(entries(IDC_LOW_INTERESTS), (QStringList{"Politics", "Weather"})) << "sorted";
    // A move takes one entry out and puts it in its place; the rest keep
    // their rows, and the source's next entry is selected for the next press.
    const QStringList remaining = entries(IDC_REMAINING_INTERESTS);
    const QListWidgetItem* weather = control<QListWidget>(IDC_LOW_INTERESTS)->item(1);
    pick(IDC_LOW_INTERESTS, QStringLiteral("Politics"));
    click(IDC_LOW_REMOVE);
    EXPECT_EQ(control<QListWidget>(IDC_LOW_INTERESTS)->item(0), weather) << "the entry left was not made anew";
    EXPECT_EQ(entries(IDC_LOW_INTERESTS), QStringList{"Weather"});
    EXPECT_EQ(entries(IDC_REMAINING_INTERESTS), remaining + QStringList{"Politics"}) << "new entries go last";
    const QList<QListWidgetItem*> selected = control<QListWidget>(IDC_LOW_INTERESTS)->selectedItems();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.front()->text(), "Weather");
    pick(IDC_REMAINING_INTERESTS, QStringLiteral("Politics"));
    click(IDC_LOW_ADD);
    EXPECT_EQ(entries(IDC_LOW_INTERESTS), (QStringList{"Politics", "Weather"}));
    EXPECT_EQ(entries(IDC_REMAINING_INTERESTS), remaining);
    EXPECT_EQ(entries(IDC_TOP_INTERESTS), (QStringList{"Music", "Travel", "Food", "Romance", "Style"}));
    EXPECT_EQ(next(), QString());

    ASSERT_EQ(dialog->step(), 5);
    control<QComboBox>(IDC_JOB_TRACK)->setCurrentIndex(8);  // Science
    control<QSlider>(IDC_JOB_LEVEL)->setValue(7);
    EXPECT_EQ(next(), QString());
    ASSERT_EQ(dialog->step(), 6);
    EXPECT_EQ(dialog->windowTitle(), "The Ploms Tryster: Ready to Export?");
    EXPECT_FALSE(control<QPushButton>(IDC_NEXT)->isEnabled());
    EXPECT_TRUE(control<QPushButton>(IDC_SAVE)->isVisible());
}

QJsonObject expectedRecord(const CTrysterDlg& dialog, const PlomData& r) {
    QJsonObject e;
    e["name"] = QString::fromLatin1(r.name().c_str());
    e["description"] = QString::fromLatin1(r.description().c_str());
    e["gender"] = r.gender() == kMale ? "Male" : "Female";
    QJsonObject p;
    p["neat"] = r.personality(kNeat);
    p["active"] = r.personality(kActive);
    p["playful"] = r.personality(kPlayful);
    p["outgoing"] = r.personality(kOutgoing);
    p["nice"] = r.personality(kNice);
    e["personality"] = p;
    QJsonArray ranking;
    for (std::int32_t id : r.interestRankingValues()) ranking.append(id);
    e["ranking"] = ranking;
    e["careerTrack"] = r.careerTrack();
    e["careerLevel"] = r.careerLevel();
    e["skinTone"] = r.skinTone();
    e["bodyType"] = r.bodyType();
    Q_UNUSED(dialog);
    return e;
}

TEST_F(CreatePath, AUserBuildsADateAndSavesItIntoTheGame) {
    walkToExport();
    const PlomData& r = dialog->record();
    EXPECT_EQ(r.name(), "Zo\xEB Quill") << "stored in the game's code page";
    EXPECT_EQ(r.description(), "Writes letters\r\nby hand.");
    EXPECT_EQ(r.gender(), kFemale);
    EXPECT_EQ(r.bodyType(), 1);
    EXPECT_EQ(r.skinTone(), 2);
    EXPECT_EQ(r.careerTrack(), 8);
    EXPECT_EQ(r.careerLevel(), 7);
    EXPECT_EQ(r.interestRanking(0), kMusic);
    EXPECT_EQ(r.interestRanking(14), kPolitics);

    sounds.events.clear();
    const QString chosen = templateNpcs() + QStringLiteral("/Zoe");
    answerSave(chosen);
    click(IDC_SAVE);
    EXPECT_EQ(chooserTitle, "Select the name to save this Plom");
    EXPECT_EQ(QDir(chooserFolder), QDir(templateNpcs()));
    EXPECT_TRUE(chooserFilter.contains("*.srf"));
    EXPECT_EQ(statusAtQuestion, "Finished!");
    EXPECT_EQ(progressAtQuestion, 9);
    EXPECT_EQ(runner.shown.back().caption, "Tryster Inquery:");
    EXPECT_EQ(runner.shown.back().message, "Would you like to connect to The Ploms Date Exchange now?");
    EXPECT_EQ(shell.opened, std::vector<std::string>{ExportPage::exchangeAddress()});
    EXPECT_FALSE(control<QLabel>(IDC_STATUS)->isVisible());
    EXPECT_FALSE(control<QProgressBar>(IDC_PROGRESS)->isVisible());
    EXPECT_EQ(dialog->step(), 6);
    ASSERT_FALSE(sounds.events.empty());
    EXPECT_EQ(sounds.events.front(), kClick);

    QJsonObject e = expectedRecord(*dialog, r);
    const Appearance& look = dialog->preview().look();
    e["bodyMesh"] = QString::fromStdString(look.bodyMesh);
    e["bodyTexture"] = QString::fromStdString(look.bodyTexture);
    e["headMesh"] = QString::fromStdString(look.headMesh);
    e["headTexture"] = QString::fromStdString(look.headTexture);
    e["objectName"] = "Zoe.iff";
    e["templateIdentifier"] = 0x54520001;
    const QJsonObject first = checkSaved(chosen, e);
    const QJsonArray firstSkins = first["skinFiles"].toArray();
    EXPECT_FALSE(firstSkins.isEmpty());

    // A second save with another look lists the first one's skins first.
    click(IDC_BACK);
    click(IDC_BACK);
    click(IDC_BACK);
    click(IDC_BACK);
    click(IDC_BACK);
    ASSERT_EQ(dialog->step(), 1);
    click(IDC_FEMALE);  // male again
    for (int i = 0; i < 5; ++i) EXPECT_EQ(next(), QString());
    const QString second = templateNpcs() + QStringLiteral("/Quill.srf");
    answerSave(second);
    click(IDC_SAVE);
    e = expectedRecord(*dialog, dialog->record());
    e["bodyMesh"] = QString::fromStdString(look.bodyMesh);
    e["bodyTexture"] = QString::fromStdString(look.bodyTexture);
    e["headMesh"] = QString::fromStdString(look.headMesh);
    e["headTexture"] = QString::fromStdString(look.headTexture);
    e["objectName"] = "Quill.iff";
    e["templateIdentifier"] = 0x54520001;
    const QJsonArray secondSkins =
        checkSaved(templateNpcs() + QStringLiteral("/Quill"), e)["skinFiles"].toArray();
    ASSERT_GT(secondSkins.size(), firstSkins.size());
    for (qsizetype i = 0; i < firstSkins.size(); ++i) EXPECT_EQ(secondSkins[i], firstSkins[i]);
}

TEST_F(CreatePath, ACancelledSaveWritesNothing) {
    walkToExport();
    const auto before = std::distance(std::filesystem::directory_iterator(templateNpcs().toStdString()),
                                      std::filesystem::directory_iterator());
    answerSave(QString());
    click(IDC_SAVE);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(templateNpcs().toStdString()),
                            std::filesystem::directory_iterator()),
              before);
    EXPECT_FALSE(control<QLabel>(IDC_STATUS)->isVisible());
    EXPECT_FALSE(control<QProgressBar>(IDC_PROGRESS)->isVisible());
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(CreatePath, TextTheGameCannotStoreIsRefusedAsItIsTyped) {
    click(IDC_CREATE);
    EXPECT_EQ(next(), QString());
    auto* name = control<QLineEdit>(IDC_NAME);
    type(name, QStringLiteral("Ann"));
    type(name, QStringLiteral("\u0416"));  // a Cyrillic letter
    EXPECT_EQ(name->text(), "Ann");
    type(name, QStringLiteral("\u00e9"));
    EXPECT_EQ(name->text(), "Ann\u00e9");
    auto* description = control<QPlainTextEdit>(IDC_DESCRIPTION);
    description->setPlainText(QStringLiteral("\u65e5\u672c"));
    EXPECT_EQ(description->toPlainText(), QString());
}

TEST_F(CreatePath, ClicksComeFromTheButtonsAndTheTypeListsOnly) {
    click(IDC_CREATE);
    sounds.events.clear();
    const QStringList heads = entries(IDC_HEAD_MESH_LIST);
    ASSERT_FALSE(heads.isEmpty());
    pick(IDC_HEAD_MESH_LIST, heads.front());
    control<QSlider>(IDC_ZOOM_SLIDER)->setValue(2);
    EXPECT_TRUE(sounds.events.empty()) << "appearance lists and sliders are silent";
    control<QComboBox>(IDC_SKIN_TYPE_LIST)->setCurrentIndex(0);
    click(IDC_MALE);
    EXPECT_EQ(sounds.events, (std::vector<Sound>{kClick, kClick}));
}

}  // namespace
}  // namespace tryster::app::tests
