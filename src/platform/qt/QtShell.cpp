#include "platform/qt/QtShell.h"

#include "platform/FileSystem.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QRegularExpression>

namespace tryster::platform {

QUrl QtShell::urlFor(std::string_view target) {
    QString text = QString::fromUtf8(target.data(), static_cast<qsizetype>(target.size()));
    // "http://...", "mailto:...": a scheme of two or more letters. One letter
    // before a colon is a drive, not a scheme.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(text).hasMatch()) return QUrl(text);
    if (text.isEmpty()) return {};
    QString local = QString::fromStdString(resolvePath(target).string());
    return QUrl::fromLocalFile(QFileInfo(local).absoluteFilePath());
}

void QtShell::open(std::string_view target) {
    QUrl url = urlFor(target);
    if (url.isValid()) QDesktopServices::openUrl(url);
}

}  // namespace tryster::platform
