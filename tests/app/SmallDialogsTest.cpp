#include "AppFixture.h"

#include "app/CAboutDlg.h"
#include "app/CPictureButton.h"
#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"
#include "app/CTitleDlg.h"
#include "app/TextLimits.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

namespace tryster::app::tests {
namespace {

using platform::PlayMode;

const Sound kClick{Sound::Resource, "Click", PlayMode::Async};

QString text(qsizetype length, QChar fill = QLatin1Char('x')) { return QString(length, fill); }

using SmallDialogs = AppTest;

TEST_F(SmallDialogs, TextsAreCutAtTheirLimitsAndKeptBelow) {
    struct Case {
        qsizetype given, kept;
    };
    for (Case c : {Case{0, 0}, Case{1022, 1022}, Case{1023, 1023}, Case{1024, 1023}, Case{5000, 1023}}) {
        CPlomSaved box(text(c.given, QLatin1Char('c')), text(c.given), nullptr);
        EXPECT_EQ(box.caption().size(), c.kept) << c.given;
        EXPECT_EQ(box.message().size(), c.kept) << c.given;
    }
    for (Case c : {Case{2047, 2047}, Case{2048, 2047}, Case{9000, 2047}}) {
        CTROKCancel box(QStringLiteral("Tryster Inquery:"), text(c.given), nullptr);
        EXPECT_EQ(box.message().size(), c.kept) << c.given;
    }
}

TEST_F(SmallDialogs, ACutNeverSplitsACharacter) {
    // 1022 letters, then a character outside the basic plane (two halves).
    QString message = text(1022) + QString::fromUtf8("\xF0\x9F\x92\x98") + QStringLiteral("tail");
    CPlomSaved box(QStringLiteral("Error"), message, nullptr);
    EXPECT_EQ(box.message(), text(1022));
    EXPECT_EQ(cutToLimit(text(1021) + QString::fromUtf8("\xF0\x9F\x92\x98"), 1023).size(), 1023);
}

TEST_F(SmallDialogs, MessageBoxOkClicksAndCloses) {
    CPlomSaved box(QStringLiteral("Tryster Warning:"), QStringLiteral("Careful"), nullptr);
    EXPECT_EQ(box.caption(), "Tryster Warning:");
    EXPECT_TRUE(box.okButton()->hasBitmaps());
    EXPECT_EQ(box.okButton()->bitmapName('U'), "OKU");
    QSignalSpy accepted(&box, &QDialog::accepted);
    box.okButton()->click();
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(sounds.events, std::vector<Sound>{kClick});
}

TEST_F(SmallDialogs, QuestionBoxAnswersWithAClickEitherWay) {
    CTROKCancel box(QStringLiteral("Tryster Inquery:"), QStringLiteral("Sure?"), nullptr);
    EXPECT_EQ(box.cancelButton()->bitmapName('X'), "CANCELX");
    QSignalSpy accepted(&box, &QDialog::accepted), rejected(&box, &QDialog::rejected);
    box.okButton()->click();
    box.cancelButton()->click();
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_EQ(sounds.events, (std::vector<Sound>{kClick, kClick}));

    runner.result = QDialog::Rejected;
    EXPECT_FALSE(askOkCancel(nullptr, "Tryster Inquery:", "Replace?"));
    runner.result = QDialog::Accepted;
    EXPECT_TRUE(askOkCancel(nullptr, "Tryster Inquery:", "Replace?"));
    ASSERT_EQ(runner.shown.size(), 2u);
    EXPECT_EQ(runner.shown[1].message, "Replace?");
}

TEST_F(SmallDialogs, AboutOkClicksAndCloses) {
    CAboutDlg about(QStringLiteral("/x/readme.txt"));
    QSignalSpy accepted(&about, &QDialog::accepted);
    about.okButton()->click();
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(sounds.events, std::vector<Sound>{kClick});
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(SmallDialogs, PictureButtonsPaintTheBitmapOfTheirState) {
    QWidget window;
    auto* button = new CPictureButton(QStringLiteral("&Back"), &window);
    EXPECT_EQ(button->bitmapName('F'), "BACKF");
    ASSERT_TRUE(button->loadBitmaps());
    window.show();
    auto same = [](const QPixmap& a, const QString& name) {
        return a.toImage() == QPixmap(QStringLiteral(":/bitmaps/%1.png").arg(name)).toImage();
    };
    EXPECT_TRUE(same(button->currentBitmap(), "BACKU"));
    button->setDown(true);
    EXPECT_TRUE(same(button->currentBitmap(), "BACKD"));
    button->setDown(false);
    window.activateWindow();
    button->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return button->hasFocus(); }, 2000));
    EXPECT_TRUE(same(button->currentBitmap(), "BACKF"));
    button->setEnabled(false);
    EXPECT_TRUE(same(button->currentBitmap(), "BACKX"));
    EXPECT_EQ(button->size(), QPixmap(QStringLiteral(":/bitmaps/BACKU.png")).size());

    CPictureButton unknown(QStringLiteral("Nowhere"));
    EXPECT_FALSE(unknown.loadBitmaps());
    EXPECT_FALSE(unknown.hasBitmaps());
}

class Splash : public AppTest {
protected:
    void send(QEvent::Type type, Qt::Key key) {
        QKeyEvent event(type, key, Qt::NoModifier);
        QApplication::sendEvent(&splash, &event);
    }
    void click(Qt::MouseButton button) { QTest::mouseClick(&splash, button, Qt::NoModifier, QPoint(20, 20)); }

    CTitleDlg splash{nullptr, 60 * 1000};
};

TEST_F(Splash, EnterClosesIt) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        splash.show();
        send(QEvent::KeyPress, key);
        EXPECT_FALSE(splash.isVisible()) << key;
        EXPECT_EQ(splash.result(), QDialog::Accepted);
    }
}

TEST_F(Splash, ALeftClickClosesItOtherButtonsDoNot) {
    splash.show();
    click(Qt::RightButton);
    click(Qt::MiddleButton);
    EXPECT_TRUE(splash.isVisible());
    click(Qt::LeftButton);
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(Splash, EscapeAndOtherKeysLeaveItOpen) {
    splash.show();
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Space, Qt::Key_A}) send(QEvent::KeyPress, key);
    EXPECT_TRUE(splash.isVisible());
}

TEST_F(Splash, ItClosesByItselfWhenItsTimeIsUp) {
    CTitleDlg quick(nullptr, 30);
    quick.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !quick.isVisible(); }, 5000));
    EXPECT_EQ(quick.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tryster::app::tests
