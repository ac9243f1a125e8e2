#include "platform/qt/DBusAutomation.h"

#include "support/TempDir.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace tryster::platform {
namespace {

class CountingHost final : public AutomationHost {
public:
    void automationAttached() override { ++attached; }
    void automationReleased() override { ++released; }
    int attached = 0;
    int released = 0;
};

// A second connection to the session bus, as another program would have.
class Client {
public:
    explicit Client(const char* name)
        : name_(QString::fromLatin1(name)), bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name_)) {}
    ~Client() { leave(); }
    void leave() { QDBusConnection::disconnectFromBus(name_); }

    QDBusMessage call(const char* method, const QVariantList& args = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QString::fromLatin1(DBusAutomation::kServiceName), QString::fromLatin1(DBusAutomation::kFactoryPath),
            QStringLiteral("Tryster.Application.Factory"), QString::fromLatin1(method));
        message.setArguments(args);
        QDBusPendingCall pending = bus_.asyncCall(message);
        // The server runs in this thread: let the event loop answer.
        EXPECT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 5000)) << method;
        return pending.reply();
    }
    QDBusObjectPath create() {
        QDBusMessage reply = call("Create");
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().value(0).value<QDBusObjectPath>();
    }
    void release(const QDBusObjectPath& object) { call("Release", {QVariant::fromValue(object)}); }

private:
    QString name_;
    QDBusConnection bus_;
};

// The tests own a private session bus when dbus-daemon is at hand, so they
// neither need nor disturb the user's.
class SessionBus : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        daemon_ = new QProcess;
        daemon_->start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (daemon_->waitForStarted(5000) && daemon_->waitForReadyRead(5000)) {
            QByteArray address = daemon_->readLine().trimmed();
            qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        }
    }
    static void TearDownTestSuite() {
        daemon_->kill();
        daemon_->waitForFinished(5000);
        delete daemon_;
        daemon_ = nullptr;
    }
    // Without a bus the tests skip on a developer's machine, but CI must
    // not pass by skipping what it is meant to check.
    void SetUp() override {
        if (QDBusConnection::sessionBus().isConnected()) return;
        if (!qEnvironmentVariableIsEmpty("CI"))
            FAIL() << "no D-Bus session bus could be started (is dbus-daemon installed?)";
        GTEST_SKIP() << "no D-Bus session bus";
    }

    static QProcess* daemon_;
};

QProcess* SessionBus::daemon_ = nullptr;

TEST_F(SessionBus, TheHostStaysAttachedUntilTheLastObjectIsReleased) {
    CountingHost host;
    DBusAutomation server;
    server.setHost(&host);
    server.registerRunning();
    Client client("client-a");
    QDBusObjectPath first = client.create();
    QDBusObjectPath second = client.create();
    EXPECT_NE(first.path(), second.path());
    EXPECT_EQ(host.attached, 1);
    EXPECT_EQ(server.objectCount(), 2);
    client.release(first);
    EXPECT_EQ(host.released, 0);
    client.release(first);  // twice: ignored
    client.release(second);
    EXPECT_EQ(host.released, 1);
    EXPECT_EQ(server.objectCount(), 0);
}

TEST_F(SessionBus, ObjectsOfAClientThatLeavesTheBusAreReleased) {
    CountingHost host;
    DBusAutomation server;
    server.setHost(&host);
    server.registerRunning();
    {
        Client client("client-b");
        client.create();
        EXPECT_EQ(host.attached, 1);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return host.released == 1; }, 5000));
    EXPECT_EQ(server.objectCount(), 0);
}

TEST_F(SessionBus, AHostThatComesLaterHearsOfEarlierClients) {
    DBusAutomation server;
    server.registerRunning();
    Client client("client-c");
    client.create();
    CountingHost host;
    server.setHost(&host);
    EXPECT_EQ(host.attached, 1);
    server.setHost(nullptr);
}

TEST_F(SessionBus, StartedByTheUserItRewritesTheActivationFile) {
    test::TempDir dir;
    ::setenv("XDG_DATA_HOME", dir.str().c_str(), 1);
    DBusAutomation server;
    server.updateRegistration("/opt/my tryster/bin/tryster");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(dir.read("dbus-1/services/Tryster.Application.service"),
              "[D-BUS Service]\nName=Tryster.Application\nExec='/opt/my tryster/bin/tryster' -Embedding\n");
}

TEST(DBusAutomation, WithoutABusItDoesNothing) {
    test::TempDir dir;
    ::setenv("XDG_DATA_HOME", dir.str().c_str(), 1);
    QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "none");
    CountingHost host;
    {
        DBusAutomation server(none);
        server.setHost(&host);
        server.registerRunning();
        server.updateRegistration("/usr/bin/tryster");
        EXPECT_EQ(server.objectCount(), 0);
    }
    ::unsetenv("XDG_DATA_HOME");
    QDBusConnection::disconnectFromBus(QStringLiteral("none"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("dbus-1"))));
    EXPECT_EQ(host.attached + host.released, 0);
}

}  // namespace
}  // namespace tryster::platform
