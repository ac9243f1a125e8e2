#include "app/ProgramResources.h"

#include "app/ControlIds.h"

#include <QFile>

static void initAssets() { Q_INIT_RESOURCE(tryster_assets); }

namespace tryster::app {

void initProgramResources() {
    [[maybe_unused]] static const bool once = (initAssets(), true);
}

QPixmap programBitmap(const QString& name) {
    QString path = QStringLiteral(":/bitmaps/%1.png").arg(name);
    if (!QFile::exists(path)) return {};
    return QPixmap(path);
}

QPixmap programBitmap(int id) { return programBitmap(QString::number(id)); }

QIcon programIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(IDR_MAINFRAME));
    icon.addFile(QStringLiteral(":/icons/%1-large.png").arg(IDR_MAINFRAME));
    return icon;
}

}  // namespace tryster::app
