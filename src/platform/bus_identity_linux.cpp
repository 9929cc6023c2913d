#include "platform/bus_identity.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcBusIdentity, "zentrove.busidentity")

namespace {
const QString objectPath = QStringLiteral("/app/zentrove/Instance");
const QString interfaceName = QStringLiteral("app.zentrove.Instance");
constexpr int callTimeoutMs = 3000;
// The running instance answers once its event loop turns, which can be seconds after it took
// the name on a slow or loaded machine; waiting that out beats opening a second instance.
constexpr int activateTimeoutMs = 15000;
} // namespace

// Exposes Activate and Quit on the bus and turns them into BusIdentity's signals.
class InstanceAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "app.zentrove.Instance")
public:
    explicit InstanceAdaptor(BusIdentity* owner)
        : QDBusAbstractAdaptor(owner)
        , m_owner(owner)
    {
    }

public slots:
    void Activate(const QStringList& arguments) { emit m_owner->activated(arguments); }
    void Quit() { emit m_owner->quitRequested(); }

private:
    BusIdentity* m_owner;
};

BusIdentity::BusIdentity(QObject* parent)
    : QObject(parent)
{
}

BusIdentity::~BusIdentity()
{
    if (m_identifier.isEmpty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(objectPath);
    bus.unregisterService(m_identifier);
}

BusIdentity::Claim BusIdentity::claim(const QString& identifier)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return Claim::noBus;
    // Without queueing or replacement: the name is ours now or never.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
        identifier, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
        qCWarning(lcBusIdentity).noquote() << "Zentrove: cannot claim" << identifier << reply.error().message();
        return Claim::noBus;
    }
    if (reply.value() != QDBusConnectionInterface::ServiceRegistered)
        return Claim::takenByAnother;
    m_identifier = identifier;
    if (!m_adaptor)
        m_adaptor = new InstanceAdaptor(this);
    bus.registerObject(objectPath, this, QDBusConnection::ExportAdaptors);
    return Claim::owned;
}

bool BusIdentity::activate(const QString& identifier, const QStringList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(identifier, objectPath, interfaceName, QStringLiteral("Activate"));
    call << arguments;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, activateTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool BusIdentity::requestQuit(const QString& identifier)
{
    QDBusMessage call = QDBusMessage::createMethodCall(identifier, objectPath, interfaceName, QStringLiteral("Quit"));
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, callTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

#include "bus_identity_linux.moc"
