#include "platform/notifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QHash>
#include <QLoggingCategory>
#include <QMutex>
#include <QObject>
#include <QThread>

#include <vector>

Q_LOGGING_CATEGORY(lcNotifier, "zentrove.notifier")

namespace {

const QString noticePath = QStringLiteral("/app/zentrove/Notices");
const QString noticeInterface = QStringLiteral("app.zentrove.Notices");
const QString noticeMember = QStringLiteral("Posted");

// Receives the bus signal and fans it out to the handlers observing its name.
class NoticeHub : public QObject
{
    Q_OBJECT
public:
    static NoticeHub& instance()
    {
        static NoticeHub* hub = new NoticeHub;
        return *hub;
    }

    quint64 add(const QString& name, Notifier::Handler handler)
    {
        QMutexLocker lock(&m_mutex);
        const quint64 id = ++m_nextID;
        m_handlers[name].push_back({id, std::move(handler)});
        m_nameOf.insert(id, name);
        return id;
    }

    void remove(quint64 id)
    {
        QMutexLocker lock(&m_mutex);
        const QString name = m_nameOf.take(id);
        auto it = m_handlers.find(name);
        if (it == m_handlers.end())
            return;
        std::erase_if(it.value(), [id](const Entry& e) { return e.id == id; });
        if (it.value().empty())
            m_handlers.erase(it);
    }

    void post(const QString& name, const std::optional<QString>& object)
    {
        if (object && object->size() > Notifier::maxObjectLength) {
            qCWarning(lcNotifier).noquote() << "Zentrove: notice" << name << "not posted: its object is too large";
            return;
        }
        if (m_bus) {
            QDBusMessage signal = QDBusMessage::createSignal(noticePath, noticeInterface, noticeMember);
            signal << name << object.has_value() << object.value_or(QString());
            if (QDBusConnection::sessionBus().send(signal))
                return;
        }
        // No bus: the notice stays in this process, delivered on the main thread like any other.
        QMetaObject::invokeMethod(this, [this, name, object] { deliver(name, object); }, Qt::QueuedConnection);
    }

    bool onBus() const { return m_bus; }

private slots:
    void onSignal(const QDBusMessage& message)
    {
        // Anyone on the bus can send this signal: check every argument before trusting it.
        const QVariantList args = message.arguments();
        if (args.size() != 3 || args[0].metaType().id() != QMetaType::QString || args[1].metaType().id() != QMetaType::Bool
            || args[2].metaType().id() != QMetaType::QString)
            return;
        const QString name = args[0].toString();
        const QString object = args[2].toString();
        if (name.isEmpty() || object.size() > Notifier::maxObjectLength)
            return;
        deliver(name, args[1].toBool() ? std::optional<QString>(object) : std::nullopt);
    }

private:
    struct Entry
    {
        quint64 id;
        Notifier::Handler handler;
    };

    NoticeHub()
    {
        // Lives on the main thread so every handler runs there.
        if (QCoreApplication::instance())
            moveToThread(QCoreApplication::instance()->thread());
        QDBusConnection bus = QDBusConnection::sessionBus();
        m_bus = bus.isConnected()
            && bus.connect(QString(), noticePath, noticeInterface, noticeMember, this, SLOT(onSignal(QDBusMessage)));
        if (!m_bus)
            qCWarning(lcNotifier).noquote() << "Zentrove: no session bus; notices stay inside this process";
        if (QCoreApplication::instance())
            connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &NoticeHub::flush);
    }

public:
    // Returns once every notice posted so far has reached the bus: a round trip to the bus daemon
    // answers only after the messages queued before it were written.
    void flush()
    {
        if (!m_bus)
            return;
        QDBusMessage ping = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                                          QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId"));
        QDBusConnection::sessionBus().call(ping, QDBus::Block, 2000);
    }

private:

    void deliver(const QString& name, const std::optional<QString>& object)
    {
        // Copy first: a handler may add or drop observations while we iterate.
        std::vector<std::pair<quint64, Notifier::Handler>> targets;
        {
            QMutexLocker lock(&m_mutex);
            const auto it = m_handlers.constFind(name);
            if (it == m_handlers.constEnd())
                return;
            for (const Entry& e : it.value())
                targets.emplace_back(e.id, e.handler);
        }
        for (const auto& [id, handler] : targets) {
            bool stillObserved;
            {
                QMutexLocker lock(&m_mutex);
                stillObserved = m_nameOf.contains(id);
            }
            if (stillObserved)
                handler(object);
        }
    }

    QMutex m_mutex;
    QHash<QString, std::vector<Entry>> m_handlers;
    QHash<quint64, QString> m_nameOf;
    quint64 m_nextID = 0;
    bool m_bus = false;
};

} // namespace

NoticeToken& NoticeToken::operator=(NoticeToken&& other) noexcept
{
    if (this != &other) {
        reset();
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

void NoticeToken::reset()
{
    if (m_id != 0)
        NoticeHub::instance().remove(std::exchange(m_id, 0));
}

void Notifier::post(const QString& name, const std::optional<QString>& object)
{
    NoticeHub::instance().post(name, object);
}

NoticeToken Notifier::observe(const QString& name, Handler handler)
{
    return NoticeToken(NoticeHub::instance().add(name, std::move(handler)));
}

void Notifier::flush()
{
    NoticeHub::instance().flush();
}

bool Notifier::reachesOtherProcesses()
{
    return NoticeHub::instance().onBus();
}

#include "notifier_linux.moc"
