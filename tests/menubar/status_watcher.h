#pragma once

// Plays the desktop's status area on the private bus: owns org.kde.StatusNotifierWatcher, takes
// the items that register, and forgets each one when its bus name goes away.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QMap>
#include <QObject>

class StatusWatcher : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")

public:
    static QString service() { return QStringLiteral("org.kde.StatusNotifierWatcher"); }

    // Item bus name -> process id of its owner.
    QMap<QString, qint64> items;
    int registrations = 0;

    bool start()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this, QDBusConnection::ExportScriptableSlots))
            return false;
        m_names = new QDBusServiceWatcher(QString(), bus, QDBusServiceWatcher::WatchForUnregistration, this);
        connect(m_names, &QDBusServiceWatcher::serviceUnregistered, this, [this](const QString& name) {
            items.remove(name);
            m_names->removeWatchedService(name);
        });
        return bus.registerService(service());
    }

    void stop()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService(service());
        bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
        items.clear();
        delete m_names;
        m_names = nullptr;
    }

    // The process ids that show an item.
    QList<qint64> owners() const { return items.values(); }

public slots:
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& name)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        const QString itemName = name.startsWith(QLatin1Char('/')) ? message().service() : name;
        const qint64 pid = bus.interface()->servicePid(itemName).value();
        ++registrations;
        if (!bus.interface()->isServiceRegistered(itemName).value())
            return;
        items.insert(itemName, pid);
        m_names->addWatchedService(itemName);
    }

private:
    QDBusServiceWatcher* m_names = nullptr;
};
