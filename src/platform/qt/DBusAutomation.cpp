#include "platform/qt/DBusAutomation.h"

#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace tryster::platform {
namespace {

// An automation object: an interface with nothing in it.
class AutomationObject final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Tryster.Application.Dispatch")

public:
    using QObject::QObject;
};

// Quotes a program path for the Exec line (the bus splits it like a shell).
QString shellQuoted(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

}  // namespace

DBusAutomation::DBusAutomation(const QDBusConnection& bus) : bus_(bus) {}

DBusAutomation::~DBusAutomation() {
    if (!running_) return;
    for (const QString& path : owners_.keys()) bus_.unregisterObject(path);
    bus_.unregisterObject(QString::fromLatin1(kFactoryPath));
    bus_.unregisterService(QString::fromLatin1(kServiceName));
}

void DBusAutomation::registerRunning() {
    if (running_ || !bus_.isConnected()) return;
    if (!bus_.registerObject(QString::fromLatin1(kFactoryPath), this, QDBusConnection::ExportScriptableSlots))
        return;
    if (!bus_.registerService(QString::fromLatin1(kServiceName))) {
        bus_.unregisterObject(QString::fromLatin1(kFactoryPath));
        return;
    }
    watcher_ = new QDBusServiceWatcher(this);
    watcher_->setConnection(bus_);
    watcher_->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this, &DBusAutomation::clientLeft);
    running_ = true;
}

void DBusAutomation::updateRegistration(std::string_view programPath) {
    if (!bus_.isConnected() || programPath.empty()) return;
    QString path = activationFilePath();
    QByteArray text = activationFileText(QString::fromUtf8(programPath.data(),
                                                           static_cast<qsizetype>(programPath.size())))
                          .toUtf8();
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == text) return;
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(text);
    (void)file.commit();  // without the file the program still runs
}

void DBusAutomation::setHost(AutomationHost* host) {
    host_ = host;
    // A client may have attached before the window existed.
    if (host_ && !owners_.isEmpty()) host_->automationAttached();
}

QString DBusAutomation::activationFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/dbus-1/services/") + QString::fromLatin1(kServiceName) +
           QStringLiteral(".service");
}

QString DBusAutomation::activationFileText(const QString& programPath) {
    return QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2 -Embedding\n")
        .arg(QString::fromLatin1(kServiceName), shellQuoted(programPath));
}

QDBusObjectPath DBusAutomation::Create() {
    QString path = QStringLiteral("%1/Object%2").arg(QString::fromLatin1(kFactoryPath)).arg(nextObject_++);
    auto* object = new AutomationObject(this);
    object->setObjectName(path);
    if (!bus_.registerObject(path, object, QDBusConnection::ExportAllContents)) {
        delete object;
        if (calledFromDBus()) sendErrorReply(QDBusError::Failed, QStringLiteral("cannot create the object"));
        return {};
    }
    QString client = calledFromDBus() ? message().service() : QString();
    bool first = owners_.isEmpty();
    owners_.insert(path, client);
    if (!client.isEmpty()) watcher_->addWatchedService(client);
    if (first && host_) host_->automationAttached();
    return QDBusObjectPath(path);
}

void DBusAutomation::Release(const QDBusObjectPath& object) { releaseObject(object.path()); }

void DBusAutomation::releaseObject(const QString& path) {
    auto it = owners_.find(path);
    if (it == owners_.end()) return;
    QString client = it.value();
    owners_.erase(it);
    bus_.unregisterObject(path);
    if (auto* object = findChild<AutomationObject*>(path, Qt::FindDirectChildrenOnly)) object->deleteLater();
    if (!client.isEmpty() && !owners_.values().contains(client)) watcher_->removeWatchedService(client);
    if (owners_.isEmpty() && host_) host_->automationReleased();
}

void DBusAutomation::clientLeft(const QString& client) {
    const QStringList paths = owners_.keys(client);
    for (const QString& path : paths) releaseObject(path);
}

}  // namespace tryster::platform

#include "DBusAutomation.moc"
