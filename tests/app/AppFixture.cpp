#include "AppFixture.h"

#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"

namespace tryster::app::tests {

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

}  // namespace tryster::app::tests
