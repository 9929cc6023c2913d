#include "platform/appearance.h"
#include "platform/appearance_portal_linux.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include <functional>

// The freedesktop settings portal: "org.freedesktop.appearance" "color-scheme" is 1 for a
// dark preference, 2 for light and 0 when the user has none (taken as light).
namespace {
const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");

// Read answers a variant inside a variant; unwrap however deep it comes.
QVariant unwrap(QVariant value)
{
    for (int depth = 0; depth < 4; ++depth) {
        if (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>())
            value = qvariant_cast<QDBusVariant>(value).variant();
        else if (value.userType() == qMetaTypeId<QDBusArgument>()) {
            const QDBusArgument argument = qvariant_cast<QDBusArgument>(value);
            if (argument.currentType() != QDBusArgument::VariantType)
                break;
            QDBusVariant inner;
            argument >> inner;
            value = inner.variant();
        } else
            break;
    }
    return value;
}
} // namespace

Appearance::Appearance(QObject* parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto* listener = new PortalListener(appearanceGroup, colorSchemeKey, [this](const QVariant& value) { take(value); }, this);
    bus.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"), listener,
                SLOT(onSettingChanged(QDBusMessage)));
    QDBusMessage read = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, QStringLiteral("Read"));
    read << appearanceGroup << colorSchemeKey;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(read, 2000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusMessage reply = call->reply();
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            take(reply.arguments().first());
    });
}

void Appearance::take(const QVariant& value)
{
    const QVariant scheme = unwrap(value);
    bool ok = false;
    const uint code = scheme.toUInt(&ok);
    if (!ok || code > 2)
        return;
    const bool dark = code == 1;
    if (m_dark == dark)
        return;
    m_dark = dark;
    emit changed(dark);
}
