#include "platform/desktop_picture_settings.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QLoggingCategory>
#include <QUrl>

#include <algorithm>

Q_LOGGING_CATEGORY(lcXfconf, "zentrove.desktoppicture.xfconf")

namespace {

const QString service = QStringLiteral("org.xfce.Xfconf");
const QString path = QStringLiteral("/org/xfce/Xfconf");
const QString interface = QStringLiteral("org.xfce.Xfconf");
const QString channel = QStringLiteral("xfce4-desktop");
// Xfce keeps one picture per monitor and workspace, under /backdrop/screen0/monitor<name>/workspace<n>/.
const QString backdrops = QStringLiteral("/backdrop");
const QString imageSuffix = QStringLiteral("/last-image");
// The daemon answers at once or not at all.
constexpr int callTimeoutMs = 3000;

// Xfce's desktop pictures through the xfconf daemon on the session bus. Xfce keeps a plain file
// path where GNOME keeps a URI, so values travel as file URIs to and from the rest of the system.
// Xfce has no picture setting of its own for the lock screen: only the desktop's are kept.
class XfconfDesktopPicture final : public DesktopPictureSettings
{
public:
    bool isSetUp() const override
    {
        // Reachable, and Xfce's desktop has made its picture settings (it does on its first start).
        return reachable() && !keys().isEmpty();
    }

    QString backend() const override { return QStringLiteral("xfconf"); }

    QStringList keys() const override
    {
        const QDBusMessage reply = call(QStringLiteral("GetAllProperties"), {channel, backdrops});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        QStringList names;
        const QVariantMap all = qdbus_cast<QVariantMap>(reply.arguments().first());
        for (auto it = all.cbegin(); it != all.cend(); ++it)
            if (it.key().endsWith(imageSuffix))
                names.append(it.key());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::optional<Value> value(const QString& key) const override
    {
        const QDBusMessage reply = call(QStringLiteral("GetProperty"), {channel, key});
        if (reply.type() == QDBusMessage::ErrorMessage) {
            // Not set: Xfce shows its default there.
            if (reply.errorName() == QLatin1String("org.xfce.Xfconf.Error.PropertyNotFound"))
                return Value {QString(), false};
            return std::nullopt;
        }
        if (reply.arguments().isEmpty())
            return std::nullopt;
        const QVariant value = unwrap(reply.arguments().first());
        if (value.metaType().id() != QMetaType::QString)
            return std::nullopt;
        const QString text = value.toString();
        return Value {text.isEmpty() || text.contains(QLatin1String("://")) ? text : QUrl::fromLocalFile(text).toString(), true};
    }

    bool set(const QString& key, const QString& text) override
    {
        const QUrl url(text);
        const QString stored = url.isLocalFile() ? url.toLocalFile() : text;
        const QDBusMessage reply = call(QStringLiteral("SetProperty"), {channel, key, QVariant::fromValue(QDBusVariant(stored))});
        if (reply.type() == QDBusMessage::ErrorMessage) {
            qCWarning(lcXfconf).noquote() << "Paneflow: xfconf refused" << key << ":" << reply.errorMessage();
            return false;
        }
        return true;
    }

    bool reset(const QString& key) override
    {
        const QDBusMessage reply = call(QStringLiteral("ResetProperty"), {channel, key, false});
        return reply.type() != QDBusMessage::ErrorMessage;
    }

private:
    static bool reachable()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return false;
        QDBusConnectionInterface* names = bus.interface();
        if (names->isServiceRegistered(service).value())
            return true;
        // Started by the bus on the first call.
        return names->activatableServiceNames().value().contains(service);
    }

    static QVariant unwrap(const QVariant& value)
    {
        return value.metaType() == QMetaType::fromType<QDBusVariant>() ? value.value<QDBusVariant>().variant() : value;
    }

    static QDBusMessage call(const QString& method, const QVariantList& arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(arguments);
        return QDBusConnection::sessionBus().call(message, QDBus::Block, callTimeoutMs);
    }
};

} // namespace

std::unique_ptr<DesktopPictureSettings> DesktopPictureSettings::makeXfconf()
{
    return std::make_unique<XfconfDesktopPicture>();
}
