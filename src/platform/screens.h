#pragma once

#include <QList>
#include <QObject>
#include <QSizeF>
#include <QString>

#include <optional>

// One connected display as the rest of the product sees it.
struct ScreenInfo
{
    quint32 displayID = 0;               // identity within this session; 0 when unknown
    std::optional<QString> displayUUID; // identity across processes and restarts
    QString name;                        // the output's name ("eDP-1", "HDMI-1")
    QSizeF size;                         // in points; empty when unknown
    bool builtIn = false;                // the panel built into the computer
    QString localizedName;               // the monitor's own name when it gives one ("DELL U2720Q")

    bool operator==(const ScreenInfo&) const = default;
};

// The connected displays, the main one (the one with the menu bar / primary output) first.
class Screens
{
public:
    static QList<ScreenInfo> all();
    static std::optional<ScreenInfo> main();
    static bool isMain(const ScreenInfo& screen);

    // Replaces the system's list for this process (tests, headless agents); nullopt restores it.
    static void setOverride(std::optional<QList<ScreenInfo>> screens);

    // Whether an output name is that of a panel built into the computer (eDP, LVDS, DSI).
    static bool isBuiltInOutput(const QString& name);
};

// Says when the connected displays changed: one plugged in or out, another main one, or the
// override replaced. One per process, on the main thread.
class ScreensWatch : public QObject
{
    Q_OBJECT
public:
    static ScreensWatch& shared();

signals:
    void changed();

private:
    ScreensWatch();
};
