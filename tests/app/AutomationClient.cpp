// Another program holding Tryster's automation object: it creates one on the
// session bus and prints its path, keeps it while standard input is open,
// and on a line "release" lets it go and says "released".

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

QDBusMessage call(const char* method, const QVariantList& args = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("Tryster.Application"), QStringLiteral("/Tryster/Application"),
        QStringLiteral("Tryster.Application.Factory"), QString::fromLatin1(method));
    message.setArguments(args);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, 10'000);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QDBusMessage created = call("Create");
    if (created.type() != QDBusMessage::ReplyMessage) {
        std::fprintf(stderr, "automation_client: %s\n", qPrintable(created.errorMessage()));
        return 1;
    }
    const QDBusObjectPath object = created.arguments().value(0).value<QDBusObjectPath>();
    std::printf("%s\n", qPrintable(object.path()));
    std::fflush(stdout);
    for (std::string line; std::getline(std::cin, line);) {
        if (line != "release") continue;
        const QDBusMessage released = call("Release", {QVariant::fromValue(object)});
        std::printf("%s\n", released.type() == QDBusMessage::ReplyMessage ? "released" : "refused");
        std::fflush(stdout);
        return 0;
    }
    return 0;
}
