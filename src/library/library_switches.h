#pragma once

#include "core/change_rule.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <optional>

class Defaults;

// The live-wallpaper part's switches, kept in its settings domain under these names.
enum class LibrarySwitch {
    lockScreenEnabled,
    pauseOnBattery,
    pauseOnFullScreen,
    pauseOnLowPower,
    pauseOnThermal,
    pauseOnHighCPU,
    recordPerformance,
    userPaused,
    lockScreenFailed,
    lockScreenTaken,
};

// The live-wallpaper part's switches and the two status lines it publishes, over its settings
// domain. Writes follow the library store's change rule, so a reload writes nothing back.
class LibrarySwitches : public QObject
{
    Q_OBJECT

public:
    LibrarySwitches(const QString& domain, ChangeRule& rule, QObject* parent = nullptr);

    bool on(LibrarySwitch which) const;
    std::optional<QString> playbackStatus() const { return m_playbackStatus; }
    std::optional<QString> lockScreenStatus() const { return m_lockScreenStatus; }

    void set(LibrarySwitch which, bool on);
    void setPlaybackStatus(const std::optional<QString>& status);
    void setLockScreenStatus(const std::optional<QString>& status);

    static QString key(LibrarySwitch which);
    static bool defaultValue(LibrarySwitch which);

    // Takes over the stored values (through the setters: the caller decides whether that writes).
    void read();

signals:
    void changed(LibrarySwitch which);
    void playbackStatusChanged();
    void lockScreenStatusChanged();

private:
    Defaults& defaults() const;

    QString m_domain;
    ChangeRule& m_rule;
    QHash<LibrarySwitch, bool> m_switches;
    std::optional<QString> m_playbackStatus;
    std::optional<QString> m_lockScreenStatus;
};
