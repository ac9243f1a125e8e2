#include "platform/qt/QtSoundPlayer.h"

#include "formats/WaveFile.h"
#include "platform/qt/QtShell.h"
#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tryster::platform {
namespace {

// Every sound the program asks for by name, in the spelling it uses.
constexpr const char* kProgramSounds[] = {
    "Click", "PLOMS", "Vox_heyshM2", "Vox_Bored_SighM1", "Vox_bored_Sighf4", "Vox_indifferent_huhM1",
    "Vox_Indifferent_huhF2", "Vox_intrigued_hmmM1", "Vox_Indifferent_huhF3"};

TEST(QtSoundPlayer, EverySoundOfTheProgramIsBuiltInAndPlayable) {
    for (const char* name : kProgramSounds) {
        QString path = QtSoundPlayer::findResource(name);
        ASSERT_FALSE(path.isEmpty()) << name;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        QByteArray bytes = file.readAll();
        formats::WaveSound sound;
        std::span<const std::uint8_t> view(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                           static_cast<std::size_t>(bytes.size()));
        ASSERT_EQ(formats::parseWave(view, sound), formats::WaveError::None) << name;
        EXPECT_GT(sound.durationMs(), 10u) << name;
    }
}

TEST(QtSoundPlayer, NamesMatchWithoutRegardToCase) {
    EXPECT_EQ(QtSoundPlayer::findResource("click"), QtSoundPlayer::findResource("Click"));
    EXPECT_NE(QtSoundPlayer::findResource("vox_bored_sighm1"), QtSoundPlayer::findResource("vox_bored_sighf4"));
    EXPECT_TRUE(QtSoundPlayer::findResource("NoSuchSound").isEmpty());
    EXPECT_TRUE(QtSoundPlayer::findResource("").isEmpty());
}

TEST(QtShell, AddressesPassAsTheyAreAndNothingOpensNothing) {
    EXPECT_EQ(QtShell::urlFor("http://example.org/dates?x=1"), QUrl("http://example.org/dates?x=1"));
    EXPECT_EQ(QtShell::urlFor("mailto:someone@example.org").scheme(), "mailto");
    EXPECT_FALSE(QtShell::urlFor("").isValid());
}

TEST(QtShell, FilesAreResolvedLikeEveryProgramPath) {
    test::TempDir dir;
    std::string real = dir.write("Docs/ReadMe.TXT", "hello");
    QUrl url = QtShell::urlFor(dir.str() + "\\docs\\readme.txt");
    EXPECT_TRUE(url.isLocalFile());
    EXPECT_EQ(url.toLocalFile().toStdString(), real);
}

}  // namespace
}  // namespace tryster::platform
