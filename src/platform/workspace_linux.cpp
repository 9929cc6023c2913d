#include "platform/workspace.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <csignal>
#include <sys/types.h>

Q_LOGGING_CATEGORY(lcWorkspace, "zentrove.workspace")

namespace {

struct ProcessState
{
    bool exists = false;
    bool zombie = false;
    quint64 startTime = 0;
};

// /proc/<pid>/stat: "pid (comm) state ... starttime" with starttime the 22nd field. comm may
// hold spaces and parentheses, so fields are counted from the last ')'.
ProcessState readProcess(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = file.readAll();
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0)
        return {};
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    ProcessState state;
    state.exists = true;
    state.zombie = !fields.isEmpty() && (fields[0] == "Z" || fields[0] == "X");
    if (fields.size() > 19)
        state.startTime = fields[19].toULongLong();
    return state;
}

// The calendar and clock apps of the common desktops, the most likely first.
QStringList systemAppPrograms(SystemApp app)
{
    switch (app) {
    case SystemApp::calendar:
        return {QStringLiteral("gnome-calendar"), QStringLiteral("korganizer"), QStringLiteral("evolution"),
                QStringLiteral("orage"), QStringLiteral("thunderbird")};
    case SystemApp::clock:
        return {QStringLiteral("gnome-clocks"), QStringLiteral("kclock")};
    }
    return {};
}

// Every process of the product owns the session-bus name equal to its identifier; the owner of
// that name is the running application.
class BusWorkspace final : public Workspace
{
public:
    BusWorkspace()
        : m_watcher(new QDBusServiceWatcher(this))
    {
        m_watcher->setConnection(QDBusConnection::sessionBus());
        m_watcher->setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
        connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
            // Signals may pile up while a part starts; one change per main-loop turn is enough.
            if (m_changePending)
                return;
            m_changePending = true;
            QTimer::singleShot(0, this, [this] {
                m_changePending = false;
                emit runningApplicationsChanged();
            });
        });
    }

    QSet<QString> runningIdentifiers(const QStringList& identifiers) const override
    {
        QSet<QString> result;
        QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        if (!bus)
            return result;
        for (const QString& identifier : identifiers)
            if (bus->isServiceRegistered(identifier).value())
                result.insert(identifier);
        return result;
    }

    QList<RunningApplication> runningApplications(const QString& identifier) const override
    {
        QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        if (!bus || !bus->isServiceRegistered(identifier).value())
            return {};
        const QDBusReply<uint> pid = bus->servicePid(identifier);
        if (!pid.isValid())
            return {};
        const ProcessState state = readProcess(pid.value());
        if (!state.exists)
            return {};
        return {RunningApplication{identifier, qint64(pid.value()), state.startTime}};
    }

    bool terminate(const RunningApplication& application) override
    {
        if (isTerminated(application))
            return false;
        return ::kill(pid_t(application.pid), SIGTERM) == 0;
    }

    bool isTerminated(const RunningApplication& application) const override
    {
        const ProcessState state = readProcess(application.pid);
        return !state.exists || state.zombie || state.startTime != application.startTime;
    }

    void watch(const QStringList& identifiers) override
    {
        m_watcher->setWatchedServices(identifiers);
    }

    bool openURL(const QUrl& url) override
    {
        return QDesktopServices::openUrl(url);
    }

    void openApplication(const QString& program, const QStringList& arguments, std::function<void(bool)> done) override
    {
        const bool started = QProcess::startDetached(program, arguments);
        if (!started)
            qCWarning(lcWorkspace).noquote() << "Zentrove: could not start" << program;
        QTimer::singleShot(0, this, [started, done = std::move(done)] {
            if (done)
                done(started);
        });
    }

    bool revealFile(const QString& path) override
    {
        // The portable way: open the folder that holds the file.
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
    }

    bool openSystemApp(SystemApp app) override
    {
        for (const QString& program : systemAppPrograms(app)) {
            const QString path = QStandardPaths::findExecutable(program);
            if (path.isEmpty())
                continue;
            if (QProcess::startDetached(path, {}))
                return true;
            qCWarning(lcWorkspace).noquote() << "Zentrove: could not start" << path;
        }
        qCInfo(lcWorkspace).noquote() << "Zentrove: no" << (app == SystemApp::calendar ? "calendar" : "clock")
                                      << "app is installed on this desktop";
        return false;
    }

private:
    QDBusServiceWatcher* m_watcher;
    bool m_changePending = false;
};

} // namespace

std::unique_ptr<Workspace> Workspace::makeSystem()
{
    return std::make_unique<BusWorkspace>();
}
