#include "library/library_switches.h"

#include "platform/defaults.h"

#include <QVariant>

namespace {
const QString playbackStatusKey = QStringLiteral("playbackStatus");
const QString lockScreenStatusKey = QStringLiteral("lockScreenStatus");

constexpr LibrarySwitch allSwitches[] = {
    LibrarySwitch::lockScreenEnabled, LibrarySwitch::pauseOnBattery, LibrarySwitch::pauseOnFullScreen,
    LibrarySwitch::pauseOnLowPower,   LibrarySwitch::pauseOnThermal, LibrarySwitch::pauseOnHighCPU,
    LibrarySwitch::recordPerformance, LibrarySwitch::userPaused,     LibrarySwitch::lockScreenFailed,
    LibrarySwitch::lockScreenTaken,
};

QVariant optionalValue(const std::optional<QString>& text)
{
    return text ? QVariant(*text) : QVariant();
}
} // namespace

LibrarySwitches::LibrarySwitches(const QString& domain, ChangeRule& rule, QObject* parent)
    : QObject(parent)
    , m_domain(domain)
    , m_rule(rule)
{
    for (LibrarySwitch which : allSwitches)
        m_switches.insert(which, defaultValue(which));
}

Defaults& LibrarySwitches::defaults() const
{
    return Defaults::domain(m_domain);
}

bool LibrarySwitches::on(LibrarySwitch which) const
{
    return m_switches.value(which, defaultValue(which));
}

QString LibrarySwitches::key(LibrarySwitch which)
{
    switch (which) {
    case LibrarySwitch::lockScreenEnabled: return QStringLiteral("lockScreenEnabled");
    case LibrarySwitch::pauseOnBattery: return QStringLiteral("pauseOnBattery");
    case LibrarySwitch::pauseOnFullScreen: return QStringLiteral("pauseOnFullScreen");
    case LibrarySwitch::pauseOnLowPower: return QStringLiteral("pauseOnLowPower");
    case LibrarySwitch::pauseOnThermal: return QStringLiteral("pauseOnThermal");
    case LibrarySwitch::pauseOnHighCPU: return QStringLiteral("pauseOnHighCPU");
    case LibrarySwitch::recordPerformance: return QStringLiteral("recordPerformance");
    case LibrarySwitch::userPaused: return QStringLiteral("userPaused");
    case LibrarySwitch::lockScreenFailed: return QStringLiteral("lockScreenFailed");
    case LibrarySwitch::lockScreenTaken: return QStringLiteral("lockScreenTaken");
    }
    return {};
}

bool LibrarySwitches::defaultValue(LibrarySwitch which)
{
    switch (which) {
    case LibrarySwitch::lockScreenEnabled:
    case LibrarySwitch::pauseOnFullScreen:
    case LibrarySwitch::pauseOnLowPower:
    case LibrarySwitch::pauseOnThermal:
    case LibrarySwitch::pauseOnHighCPU:
    case LibrarySwitch::recordPerformance:
        return true;
    case LibrarySwitch::pauseOnBattery:
    case LibrarySwitch::userPaused:
    case LibrarySwitch::lockScreenFailed:
    case LibrarySwitch::lockScreenTaken:
        return false;
    }
    return false;
}

void LibrarySwitches::set(LibrarySwitch which, bool on)
{
    m_rule.assign(m_switches[which], on, [&] { defaults().set(key(which), on); }, [&] { emit changed(which); });
}

void LibrarySwitches::setPlaybackStatus(const std::optional<QString>& status)
{
    m_rule.assign(m_playbackStatus, status, [&] { defaults().setValue(playbackStatusKey, optionalValue(status)); },
                  [&] { emit playbackStatusChanged(); });
}

void LibrarySwitches::setLockScreenStatus(const std::optional<QString>& status)
{
    m_rule.assign(m_lockScreenStatus, status, [&] { defaults().setValue(lockScreenStatusKey, optionalValue(status)); },
                  [&] { emit lockScreenStatusChanged(); });
}

void LibrarySwitches::read()
{
    Defaults& prefs = defaults();
    for (LibrarySwitch which : allSwitches)
        set(which, prefs.boolean(key(which), defaultValue(which)));
    setPlaybackStatus(prefs.string(playbackStatusKey));
    setLockScreenStatus(prefs.string(lockScreenStatusKey));
}
