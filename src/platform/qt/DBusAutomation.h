#pragma once
// The automation object over D-Bus: on the session bus the program owns the
// name "Tryster.Application" and offers, at kFactoryPath, a factory with
// Create (returns the path of a new automation object) and Release. The
// objects carry an interface with no methods and no properties; what they
// do is keep the program alive: the main window only hides on close while
// one exists. Objects of a client that leaves the bus are released for it.
//
// Started without the automation switches, the program instead rewrites its
// D-Bus activation file, so that a client's Create can start it.

#include "platform/Automation.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QHash>
#include <QObject>
#include <QString>

class QDBusServiceWatcher;

namespace tryster::platform {

class DBusAutomation final : public QObject, public AutomationServer, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Tryster.Application.Factory")

public:
    static constexpr const char* kServiceName = "Tryster.Application";
    static constexpr const char* kFactoryPath = "/Tryster/Application";

    explicit DBusAutomation(const QDBusConnection& bus = QDBusConnection::sessionBus());
    ~DBusAutomation() override;

    void registerRunning() override;
    void updateRegistration(std::string_view programPath) override;
    void setHost(AutomationHost* host) override;

    int objectCount() const { return static_cast<int>(owners_.size()); }

    // The activation file in the user's D-Bus services folder, and its text
    // for a program path.
    static QString activationFilePath();
    static QString activationFileText(const QString& programPath);

public Q_SLOTS:
    Q_SCRIPTABLE QDBusObjectPath Create();
    Q_SCRIPTABLE void Release(const QDBusObjectPath& object);

private:
    void releaseObject(const QString& path);
    void clientLeft(const QString& client);

    QDBusConnection bus_;
    AutomationHost* host_ = nullptr;
    bool running_ = false;
    int nextObject_ = 1;
    QHash<QString, QString> owners_;  // object path -> client's bus name
    QDBusServiceWatcher* watcher_ = nullptr;
};

}  // namespace tryster::platform
