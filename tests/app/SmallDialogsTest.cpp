// The message, question and About boxes, their picture buttons and the splash.

#include "AppFixture.h"

#include "app/CAboutDlg.h"
#include "app/CPictureButton.h"
#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"
#include "app/CTitleDlg.h"

namespace tryster::app::tests {
namespace {

QString text(qsizetype length, QChar fill = QLatin1Char('x')) { return QString(length, fill); }

using SmallDialogs = AppTest;

TEST_F(SmallDialogs, TextsAreCutAtTheirLimitsNeverSplittingACharacter) {
    for (auto [given, kept] : {std::pair<qsizetype, qsizetype>{1023, 1023}, {1024, 1023}, {5000, 1023}}) {
        CPlomSaved box(text(given, QLatin1Char('c')), text(given), nullptr);
        EXPECT_EQ(box.caption().size(), kept) << given;
        EXPECT_EQ(box.message().size(), kept) << given;
    }
    for (auto [given, kept] : {std::pair<qsizetype, qsizetype>{2047, 2047}, {2048, 2047}}) {
        CTROKCancel box(QStringLiteral("Tryster Inquery:"), text(given), nullptr);
        EXPECT_EQ(box.message().size(), kept) << given;
    }
    // 1022 letters, then a character outside the basic plane (two halves).
    CPlomSaved box(QStringLiteral("Error"), text(1022) + QString::fromUtf8("\xF0\x9F\x92\x98tail"), nullptr);
    EXPECT_EQ(box.message(), text(1022));
}

TEST_F(SmallDialogs, EveryButtonOfTheBoxesClicksAndCloses) {
    CPlomSaved message(QStringLiteral("Tryster Warning:"), QStringLiteral("Careful"), nullptr);
    CTROKCancel question(QStringLiteral("Tryster Inquery:"), QStringLiteral("Sure?"), nullptr);
    CAboutDlg about(QStringLiteral("/x/readme.txt"));
    QSignalSpy accepted(&message, &QDialog::accepted), yes(&question, &QDialog::accepted),
        no(&question, &QDialog::rejected), aboutAccepted(&about, &QDialog::accepted);
    for (CPictureButton* button : {message.okButton(), question.okButton(), question.cancelButton(), about.okButton()}) {
        EXPECT_TRUE(button->hasBitmaps());
        button->click();
    }
    EXPECT_EQ(accepted.count() + yes.count() + no.count() + aboutAccepted.count(), 4);
    EXPECT_TRUE(about.okButton()->isDefault() && about.helpButton()->hasBitmaps()) << "the About box's own buttons";
    EXPECT_EQ(sounds.events, std::vector<Sound>(4, kClick));
    EXPECT_TRUE(shell.opened.empty());

    runner.result = QDialog::Rejected;
    EXPECT_FALSE(askOkCancel(nullptr, "Tryster Inquery:", "Replace?"));
    runner.result = QDialog::Accepted;
    EXPECT_TRUE(askOkCancel(nullptr, "Tryster Inquery:", "Replace?"));
    EXPECT_EQ(runner.shown.at(1).message, "Replace?");
}

// The splash closes on Enter, a left click or its time; never on Escape,
// other keys or other buttons.
TEST_F(SmallDialogs, TheSplashClosesOnEnterALeftClickOrItsTime) {
    CTitleDlg splash(nullptr, 60 * 1000);
    splash.show();
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Space, Qt::Key_A}) QTest::keyClick(&splash, key);
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) QTest::mouseClick(&splash, button);
    EXPECT_TRUE(splash.isVisible());
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(&splash, key);
        EXPECT_FALSE(splash.isVisible()) << key;
        splash.show();
    }
    QTest::mouseClick(&splash, Qt::LeftButton);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(splash.result(), QDialog::Accepted);

    CTitleDlg quick(nullptr, 30);
    quick.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !quick.isVisible(); }, 5000));
}

}  // namespace
}  // namespace tryster::app::tests
