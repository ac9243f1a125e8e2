// The Create path as a user walks it on the demo game folder: the look
// chosen on the live preview, every check of the pages failing first with
// its message, then saves answered in the file dialog, with the files they
// wrote read back by the independent readers. Names, descriptions and file
// names carry the accents and signs of the game's code page.

#include "AppFixture.h"

#include "formats/ImageLibrary.h"
#include "share/ShareOffer.h"
#include "share/SharedDate.h"
#include "wizard/PageRules.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tryster::app::tests {
namespace {

const QString kZoe = QStringLiteral("Zo\u00eb Quill");
const QString kDescription = QStringLiteral("Writes letters \u00f8 \u00df \u20ac");

class CreatePath : public WindowTest {
protected:
    // Next; returns the warning it showed, if any.
    QString next() {
        const std::size_t before = runner.shown.size();
        click("Next");
        if (runner.shown.size() == before) return {};
        EXPECT_EQ(runner.shown.back().caption, "Tryster Warning:");
        return runner.shown.back().message;
    }
    void setSliders(int nice, int neat, int outgoing, int active, int playful) {
        const std::pair<const char*, int> values[] = {
            {"Nice", nice}, {"Neat", neat}, {"Outgoing", outgoing}, {"Active", active}, {"Playful", playful}};
        for (auto [name, value] : values) control<QSlider>(name)->setValue(value);
    }
    QString points() { return control<QLabel>("Personality Points Left")->text(); }
    // The number shown at a slider's right.
    QString besideSlider(const char* name) {
        auto* slider = control<QSlider>(name);
        for (auto* label : slider->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (label->y() == slider->y() && label->x() > slider->geometry().right()) return label->text();
        return {};
    }
    // Named by its caption, the sign it shows.
    QPushButton* signButton() { return dialog->page(wizard::kPersonalityStep)->findChild<QPushButton*>(); }
    QString dates() const { return QString::fromStdString(game) + QStringLiteral("/TemplateNPCs"); }

    // Steps 1 to 5 as a user fills them in, each check failing first.
    void walkToExport();
    // Saves as `base` and checks what it wrote; returns the checker's report.
    QJsonObject saveAndCheck(const QString& base, const char* objectName);

    formats::ImageLibrarySession images;  // as the program holds it
    QString statusAtQuestion;
    int progressAtQuestion = -1;
};

void CreatePath::walkToExport() {
    click("Create");
    ASSERT_EQ(dialog->step(), 1);
    EXPECT_EQ(dialog->windowTitle(), "The Ploms Tryster: Beauty is Skin Deep");
    EXPECT_TRUE(control<QPushButton>("Male")->isChecked()) << "the record's gender";

    // Every click flips both buttons; the lists follow the gender.
    click("Female");
    EXPECT_FALSE(control<QPushButton>("Male")->isChecked());
    click("Female");
    EXPECT_TRUE(control<QPushButton>("Male")->isChecked());
    click("Female");
    // "Full" offers the full figures.
    control<QComboBox>("Body Type")->setCurrentIndex(1);
    ASSERT_FALSE(entries("Body Mesh").isEmpty());
    for (const QString& mesh : entries("Body Mesh")) EXPECT_TRUE(mesh.contains("fafat")) << mesh.toStdString();
    control<QComboBox>("Skin Type")->setCurrentIndex(2);

    pick("Body Mesh", entries("Body Mesh").back());
    const QStringList heads = entries("Head Mesh");
    ASSERT_FALSE(heads.isEmpty());
    pick("Head Mesh", heads.back());
    EXPECT_EQ(selected("Head Texture"), entries("Head Texture").mid(0, 1)) << "a new head takes its first texture";
    pick("Body Texture", entries("Body Texture").back());
    EXPECT_EQ(QString::fromStdString(dialog->look().names().bodyTexture), entries("Body Texture").back());
    EXPECT_EQ(next(), QString());

    ASSERT_EQ(dialog->step(), 2);
    EXPECT_EQ(next(), wizard::kNoNameMessage.data());
    auto* name = control<QLineEdit>("Name of this Plom");
    QTest::keyClicks(name, QString(31, QLatin1Char('x')));
    EXPECT_EQ(next(), wizard::kLongNameMessage.data());
    name->clear();
    type(name, kZoe);
    EXPECT_EQ(next(), wizard::kNoDescriptionMessage.data());
    auto* description = control<QPlainTextEdit>("Describe this Plom");
    description->setPlainText(QString(1023, QLatin1Char('d')));
    QTest::keyClick(description, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(description, Qt::Key_Return);  // two characters: 1025
    EXPECT_EQ(next(), wizard::kLongDescriptionMessage.data());
    description->clear();
    type(description, kDescription);
    QTest::keyClick(description, Qt::Key_Return);
    QTest::keyClicks(description, QStringLiteral("by hand."));
    EXPECT_EQ(next(), QString());

    ASSERT_EQ(dialog->step(), 3);
    EXPECT_EQ(points(), "25");
    EXPECT_EQ(signButton()->text(), "Cancer") << "all zeros";
    setSliders(10, 10, 6, 0, 0);
    EXPECT_EQ(points(), "-1");
    EXPECT_EQ(next(), wizard::kTooManyPointsMessage.data());
    QTest::mouseClick(signButton(), Qt::LeftButton);  // the next sign's preset
    EXPECT_EQ(points(), "0");
    for (const char* trait : {"Nice", "Neat", "Outgoing", "Active", "Playful"})
        EXPECT_EQ(besideSlider(trait), QString::number(control<QSlider>(trait)->value())) << trait;
    setSliders(7, 4, 3, 6, 5);
    EXPECT_EQ(next(), QString());

    ASSERT_EQ(dialog->step(), 4);
    EXPECT_FALSE(control("Remove Top Interest")->isEnabled());
    EXPECT_FALSE(control("Remove Low Interest")->isEnabled());
    click("Add Top Interest");  // nothing selected: nothing moves
    EXPECT_TRUE(entries("Select Top 5 Interests").isEmpty());
    for (const char* interest : {"Music", "Travel", "Food", "Romance"}) {
        pick("Interests", QString::fromLatin1(interest));
        click("Add Top Interest");
    }
    EXPECT_EQ(next(), wizard::kFewInterestsMessage.data());
    pick("Interests", QStringLiteral("Style"));
    click("Add Top Interest");
    EXPECT_FALSE(control("Add Top Interest")->isEnabled()) << "five is the most";
    for (const char* interest : {"Politics", "Weather"}) {
        pick("Interests", QString::fromLatin1(interest));
        click("Add Low Interest");
    }
    EXPECT_EQ(entries("Low Interests"), (QStringList{"Politics", "Weather"})) << "sorted";
    // A move takes one entry out and puts it in its place; the rest keep
    // their rows, and the source's next entry is selected for the next press.
    const QStringList remaining = entries("Interests");
    const QListWidgetItem* weather = control<QListWidget>("Low Interests")->item(1);
    pick("Low Interests", QStringLiteral("Politics"));
    click("Remove Low Interest");
    EXPECT_EQ(control<QListWidget>("Low Interests")->item(0), weather) << "the entry left was not made anew";
    EXPECT_EQ(selected("Low Interests"), QStringList{"Weather"});
    EXPECT_EQ(entries("Interests"), remaining + QStringList{"Politics"}) << "new entries go last";
    pick("Interests", QStringLiteral("Politics"));
    click("Add Low Interest");
    EXPECT_EQ(next(), QString());

    ASSERT_EQ(dialog->step(), 5);
    control<QComboBox>("Job Track")->setCurrentIndex(8);  // Science
    control<QSlider>("Job Level")->setValue(7);
    EXPECT_EQ(next(), QString());
    ASSERT_EQ(dialog->step(), 6);
    EXPECT_EQ(dialog->windowTitle(), "The Ploms Tryster: Ready to Export?");
    EXPECT_FALSE(control("Next")->isEnabled());
}

QJsonObject CreatePath::saveAndCheck(const QString& base, const char* objectName) {
    files = {base + QStringLiteral(".srf")};
    onChooser = [this](QFileDialog& chooser) {
        EXPECT_EQ(chooser.windowTitle(), "Select the name to save this Plom");
        EXPECT_TRUE(chooser.nameFilters().join(QLatin1Char(';')).contains("*.srf"));
        // The file's name becomes the date's name in the game's files.
        auto* field = chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        type(field, QStringLiteral("\u674e"));
        EXPECT_EQ(field->text(), QString()) << "refused as typed";
    };
    // At the exchange question: the status line and the bar, full.
    onBox = [this](QDialog&) {
        statusAtQuestion = control<QLabel>("Status")->text();
        progressAtQuestion = control<QProgressBar>("Progress")->value();
    };
    click("Save");

    // What was entered, as the window shows it.
    const PlomData& r = dialog->record();
    const Appearance& look = dialog->look().names();
    QJsonObject e{{"name", kZoe}, {"description", kDescription + QStringLiteral("\r\nby hand.")},
                  {"gender", r.gender() == kMale ? "Male" : "Female"}, {"careerTrack", r.careerTrack()},
                  {"careerLevel", r.careerLevel()}, {"skinTone", r.skinTone()}, {"bodyType", r.bodyType()},
                  {"bodyMesh", QString::fromStdString(look.bodyMesh)},
                  {"bodyTexture", QString::fromStdString(look.bodyTexture)},
                  {"headMesh", QString::fromStdString(look.headMesh)},
                  {"headTexture", QString::fromStdString(look.headTexture)}, {"templateIdentifier", 0x54520001}};
    if (objectName) e["objectName"] = QString::fromLatin1(objectName);
    QJsonObject p;
    for (auto [key, trait] : {std::pair{"neat", kNeat}, {"active", kActive}, {"playful", kPlayful},
                              {"outgoing", kOutgoing}, {"nice", kNice}})
        p[key] = r.personality(trait);
    e["personality"] = p;
    e["ranking"] = QJsonArray::fromVariantList(
        QVariantList(r.interestRankingValues().begin(), r.interestRankingValues().end()));

    const QString json = base + QStringLiteral(".expected.json");
    QFile f(json);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QJsonDocument(e).toJson());
    f.close();
    for (const QByteArray& line : checkWritten({QStringLiteral("date"), base, json}).split('\n'))
        if (line.startsWith('{')) return QJsonDocument::fromJson(line).object();
    return {};
}

// The object name inside the date is checked with the second, plain name.
TEST_F(CreatePath, AUserBuildsADateAndSavesItIntoTheGame) {
    walkToExport();
    const PlomData& r = dialog->record();
    EXPECT_EQ(r.name(), "Zo\xEB Quill") << "stored in the game's code page";
    EXPECT_EQ(r.description(), "Writes letters \xF8 \xDF \x80\r\nby hand.");
    EXPECT_EQ(r.gender(), kFemale);
    EXPECT_EQ(r.bodyType(), 1);
    EXPECT_EQ(r.skinTone(), 2);
    EXPECT_EQ(r.careerTrack(), 8);
    EXPECT_EQ(r.interestRanking(0), kMusic);
    EXPECT_EQ(r.interestRanking(14), kPolitics);

    // A cancelled save writes nothing.
    const auto count = [this] { return std::distance(fs::directory_iterator(dates().toStdString()), {}); };
    const auto before = count();
    click("Save");  // no file given: cancelled
    EXPECT_EQ(count(), before);
    EXPECT_TRUE(shell.opened.empty());

    // Without an exchange address the question offers a shared date's
    // file instead of a page that does not exist.
    EXPECT_FALSE(control("Share this date...")->isVisible()) << "nothing saved to share yet";
    answer = QDialog::Rejected;
    const QJsonArray firstSkins = saveAndCheck(dates() + QStringLiteral("/Zo\u00eb\u20ac"), nullptr)["skinFiles"].toArray();
    EXPECT_EQ(QDir(chooserFolders.value(0)), QDir(dates()));
    EXPECT_EQ(statusAtQuestion, "Finished!");
    EXPECT_EQ(progressAtQuestion, 9);
    EXPECT_EQ(runner.shown.back().caption, "Tryster Inquery:");
    EXPECT_EQ(runner.shown.back().message, QStringLiteral("This change can be undone from History on the first page.\n\n") + share::kPackQuestion.data());
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_FALSE(control<QLabel>("Status")->isVisible());
    EXPECT_FALSE(control("Progress")->isVisible());
    EXPECT_EQ(dialog->step(), 6);
    EXPECT_FALSE(firstSkins.isEmpty());
    // A date named in the game's European letters is shared as it is named.
    answer = QDialog::Accepted;
    onBox = nullptr;
    onChooser = nullptr;
    files = {QString::fromStdString(configDir.file("zoe.zip"))};
    click("Share this date...");
    EXPECT_EQ(runner.shown.back().caption, "Share Complete") << runner.shown.back().message.toStdString();
    const share::SharedDateOpening zoe = share::openSharedDate(configDir.file("zoe.zip"));
    ASSERT_TRUE(zoe.date) << zoe.problem;
    EXPECT_EQ(zoe.date->pack.dateName(), "Zo\xC3\xAB\xE2\x82\xAC");

    // A name the game's platform keeps for a device is asked again.
    const auto beforeDevice = count();
    files = {dates() + QStringLiteral("/nul.srf"), QString()};
    click("Save");
    ASSERT_GE(runner.shown.size(), 2u);
    const ShownDialog& refusal = runner.shown[runner.shown.size() - 2];
    EXPECT_EQ(refusal.caption, "Tryster Error:");
    EXPECT_TRUE(refusal.message.startsWith("The name nul cannot be used: NUL is the name of a device"))
        << refusal.message.toStdString();
    EXPECT_EQ(runner.shown.back().caption, "Select the name to save this Plom") << "asked again";
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(count(), beforeDevice);

    // A second save with another look lists the first one's skins first;
    // with an address configured, the question offers its page.
    configDir.write("registry.ini", "[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\nPLOMS_DATA=" + game +
                                        "\n[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms Tryster]\n"
                                        "ExchangeAddress=https://dates.example.org/\n");
    for (int i = 0; i < 5; ++i) click("Back");
    ASSERT_EQ(dialog->step(), 1);
    click("Female");  // male again
    for (int i = 0; i < 5; ++i) EXPECT_EQ(next(), QString());
    const QJsonArray secondSkins = saveAndCheck(dates() + QStringLiteral("/Quill"), "Quill.iff")["skinFiles"].toArray();
    ASSERT_GT(secondSkins.size(), firstSkins.size());
    for (qsizetype i = 0; i < firstSkins.size(); ++i) EXPECT_EQ(secondSkins[i], firstSkins[i]);
    EXPECT_EQ(runner.shown.back().message, QStringLiteral("This change can be undone from History on the first page.\n\n") + "Would you like to connect to The Ploms Date Exchange now?");
    EXPECT_EQ(shell.opened, std::vector<std::string>{"https://dates.example.org/"});

    // Shared in one file, from the home folder, named after the character.
    const QString pack = QString::fromStdString(configDir.file("Quill.zip"));
    files = {pack};
    QStringList statuses;
    onChooser = [&](QFileDialog& chooser) {
        EXPECT_EQ(chooser.windowTitle(), "Share this date as one file");
        EXPECT_EQ(QDir(chooser.directory()), QDir::home());
        EXPECT_EQ(chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(), kZoe + QStringLiteral(".zip"));
    };
    onBox = [&](QDialog&) { statuses << control<QLabel>("Status")->text(); };
    click("Share this date...");
    EXPECT_EQ(statuses, QStringList{"Finished!"});
    EXPECT_EQ(runner.shown.back().caption, "Share Complete");
    EXPECT_TRUE(runner.shown.back().message.endsWith(QLatin1Char('\n') + pack)) << runner.shown.back().message.toStdString();
    const share::SharedDateOpening shared = share::openSharedDate(pack.toStdString());
    ASSERT_TRUE(shared.date) << shared.problem;
    EXPECT_EQ(shared.date->pack.manifest.name, "Zo\xC3\xAB Quill") << "UTF-8 in the manifest";
    EXPECT_EQ(shared.date->pack.date().path.path, "TemplateNPCs\\Quill.iff");
}

// A character the game's code page lacks is refused at once where it is
// typed, and the field says why; so is a file name, which names the date's
// object inside the game's files.
TEST_F(CreatePath, TextTheGameCannotStoreIsRefusedWhereItIsTyped) {
    click("Create");
    EXPECT_EQ(next(), QString());
    auto* name = control<QLineEdit>("Name of this Plom");
    type(name, QStringLiteral("Ann\u0141"));
    EXPECT_EQ(name->text(), "Ann");
    EXPECT_TRUE(name->accessibleDescription().contains(QStringLiteral("\"\u0141\"")))
        << name->accessibleDescription().toStdString();
    type(name, QStringLiteral("\u00e9\u00eb\u00f8\u00df\u20ac"));
    EXPECT_EQ(name->text(), QStringLiteral("Ann\u00e9\u00eb\u00f8\u00df\u20ac"));
    EXPECT_TRUE(name->accessibleDescription().isEmpty()) << "taken, so no reason is left standing";
    auto* description = control<QPlainTextEdit>("Describe this Plom");
    description->setPlainText(QStringLiteral("\u65e5\u672c \U0001F600"));
    EXPECT_EQ(description->toPlainText(), QString());
}

}  // namespace
}  // namespace tryster::app::tests
