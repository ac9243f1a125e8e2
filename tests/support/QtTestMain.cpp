// main() of the test programs that need Qt: a QApplication on the offscreen
// platform (unless the environment chose another) and the program's
// built-in pictures and sounds.

#include <QApplication>

#include <gtest/gtest.h>

static void initAssets() { Q_INIT_RESOURCE(tryster_assets); }

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    initAssets();
    return RUN_ALL_TESTS();
}
