#include "app/TextBoundary.h"

#include <QFile>

namespace tryster::app {

QString gameTextToQt(std::string_view bytes) {
    const std::string utf8 = platform::fromGameText(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

platform::GameTextResult qtToGameText(const QString& text, bool multiLine) {
    const QByteArray utf8 = text.toUtf8();
    return platform::toGameText(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                              multiLine);
}

// The hint is the program's own words around the refused character, in
// UTF-8: it names a character that the game's code page has no byte for.
QString refusalHint(char32_t refused) {
    return QString::fromStdString(platform::refusalHint(refused));
}

QString sharedTextToQt(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString fileNameToQt(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string qtToFileName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace tryster::app
