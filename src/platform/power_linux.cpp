#include "platform/power.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QLoggingCategory>
#include <QVariantMap>

#include <cmath>

Q_LOGGING_CATEGORY(lcPower, "zentrove.power")

namespace {

const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// UPower: the mains/battery switch and the combined battery.
const QString upowerService = QStringLiteral("org.freedesktop.UPower");
const QString upowerPath = QStringLiteral("/org/freedesktop/UPower");
const QString upowerInterface = QStringLiteral("org.freedesktop.UPower");
const QString displayDevicePath = QStringLiteral("/org/freedesktop/UPower/devices/DisplayDevice");
const QString deviceInterface = QStringLiteral("org.freedesktop.UPower.Device");

// power-profiles-daemon, under its old and its current name.
struct ProfilesEndpoint
{
    QString service, path, interface;
};
const ProfilesEndpoint profileEndpoints[] = {
    {QStringLiteral("org.freedesktop.UPower.PowerProfiles"), QStringLiteral("/org/freedesktop/UPower/PowerProfiles"),
     QStringLiteral("org.freedesktop.UPower.PowerProfiles")},
    {QStringLiteral("net.hadess.PowerProfiles"), QStringLiteral("/net/hadess/PowerProfiles"),
     QStringLiteral("net.hadess.PowerProfiles")},
};
const QString powerSaver = QStringLiteral("power-saver");

constexpr quint32 upowerTypeBattery = 2;

// Reads the power state over the system bus and keeps it current from PropertiesChanged.
class LinuxPower final : public Power
{
    Q_OBJECT
public:
    LinuxPower()
        : m_bus(QDBusConnection::systemBus())
    {
        if (!m_bus.isConnected()) {
            qCInfo(lcPower) << "no system bus: the machine counts as on mains power";
            return;
        }
        watch(upowerService, upowerPath, SLOT(onUPowerChanged(QString, QVariantMap, QStringList)));
        watch(upowerService, displayDevicePath, SLOT(onDeviceChanged(QString, QVariantMap, QStringList)));
        for (const auto& e : profileEndpoints)
            watch(e.service, e.path, SLOT(onProfilesChanged(QString, QVariantMap, QStringList)));

        fetchAll(upowerService, upowerPath, upowerInterface, [this](const QVariantMap& p) { applyUPower(p); });
        fetchAll(upowerService, displayDevicePath, deviceInterface, [this](const QVariantMap& p) { applyDevice(p); });
        for (const auto& e : profileEndpoints)
            fetchAll(e.service, e.path, e.interface, [this](const QVariantMap& p) { applyProfiles(p); });
    }

    bool onBattery() const override { return m_onBattery; }
    std::optional<int> batteryPercent() const override { return m_batteryPercent; }
    bool lowPowerMode() const override { return m_lowPower; }

private slots:
    void onUPowerChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated)
    {
        if (interface != upowerInterface)
            return;
        if (invalidated.contains(QStringLiteral("OnBattery")))
            fetchAll(upowerService, upowerPath, upowerInterface, [this](const QVariantMap& p) { applyUPower(p); });
        applyUPower(changed);
    }

    void onDeviceChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated)
    {
        if (interface != deviceInterface)
            return;
        if (!invalidated.isEmpty()) {
            fetchAll(upowerService, displayDevicePath, deviceInterface, [this](const QVariantMap& p) { applyDevice(p); });
            return;
        }
        applyDevice(changed);
    }

    void onProfilesChanged(const QString& interface, const QVariantMap& changed, const QStringList&)
    {
        for (const auto& e : profileEndpoints) {
            if (interface == e.interface)
                applyProfiles(changed);
        }
    }

private:
    void watch(const QString& service, const QString& path, const char* slot)
    {
        m_bus.connect(service, path, propertiesInterface, QStringLiteral("PropertiesChanged"), this, slot);
    }

    // Asynchronous, so a missing or slow service never holds up the caller.
    void fetchAll(const QString& service, const QString& path, const QString& interface,
                  std::function<void(const QVariantMap&)> apply)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, propertiesInterface, QStringLiteral("GetAll"));
        call << interface;
        auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 2000), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, apply = std::move(apply)] {
            QDBusPendingReply<QVariantMap> reply = *watcher;
            if (!reply.isError())
                apply(reply.value());
            watcher->deleteLater();
        });
    }

    static QVariant plain(const QVariant& v)
    {
        return v.canConvert<QDBusVariant>() && v.metaType() == QMetaType::fromType<QDBusVariant>()
            ? v.value<QDBusVariant>().variant()
            : v;
    }

    void applyUPower(const QVariantMap& properties)
    {
        const QVariant v = plain(properties.value(QStringLiteral("OnBattery")));
        if (v.metaType().id() != QMetaType::Bool)
            return;
        if (std::exchange(m_onBattery, v.toBool()) != m_onBattery)
            emit powerSourceChanged();
    }

    void applyDevice(const QVariantMap& properties)
    {
        for (auto it = properties.cbegin(); it != properties.cend(); ++it)
            m_device.insert(it.key(), plain(it.value()));
        std::optional<int> percent;
        const bool present = m_device.value(QStringLiteral("IsPresent")).toBool();
        const bool battery = m_device.value(QStringLiteral("Type")).toUInt() == upowerTypeBattery;
        bool ok = false;
        const double value = m_device.value(QStringLiteral("Percentage")).toDouble(&ok);
        if (present && battery && ok && std::isfinite(value))
            percent = int(std::lround(std::clamp(value, 0.0, 100.0)));
        if (std::exchange(m_batteryPercent, percent) != m_batteryPercent)
            emit powerSourceChanged();
    }

    void applyProfiles(const QVariantMap& properties)
    {
        const QVariant v = plain(properties.value(QStringLiteral("ActiveProfile")));
        if (v.metaType().id() != QMetaType::QString)
            return;
        if (std::exchange(m_lowPower, v.toString() == powerSaver) != m_lowPower)
            emit lowPowerModeChanged();
    }

    QDBusConnection m_bus;
    QVariantMap m_device;
    bool m_onBattery = false;
    std::optional<int> m_batteryPercent;
    bool m_lowPower = false;
};

} // namespace

std::unique_ptr<Power> Power::makeSystem()
{
    return std::make_unique<LinuxPower>();
}

Power& Power::system()
{
    static Power* power = makeSystem().release();
    return *power;
}

#include "power_linux.moc"
