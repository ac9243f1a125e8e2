// Draws the program's bitmaps and synthesises its sounds, then lists them
// in a Qt resource file; with ICON_FOLDER, also draws the desktop icons
// (ICON_FOLDER/NxN/apps/ICON_NAME.png) that are installed beside the
// program. Run by the build; everything it writes comes from this code
// alone.
//   tryster-assets OUTPUT_FOLDER [ICON_FOLDER ICON_NAME]

#include "Art.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: tryster-assets OUTPUT_FOLDER [ICON_FOLDER ICON_NAME]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString folder = QString::fromLocal8Bit(argv[1]);
    tryster::assets::Output out(folder);
    tryster::assets::drawButtons(out);
    tryster::assets::drawPictures(out);
    tryster::assets::makeSounds(out);
    if (!out.ok()) return 1;

    QString qrc = QStringLiteral("<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n");
    for (const QString& file : out.files()) qrc += QStringLiteral("  <file>%1</file>\n").arg(file);
    qrc += QStringLiteral("</qresource>\n</RCC>\n");
    if (!out.saveBytes(qrc.toUtf8(), QStringLiteral("assets.qrc"))) return 1;
    if (argc == 4) {
        tryster::assets::Output icons(QString::fromLocal8Bit(argv[2]));
        if (!tryster::assets::drawDesktopIcons(icons, QString::fromLocal8Bit(argv[3]))) return 1;
    }
    return 0;
}
