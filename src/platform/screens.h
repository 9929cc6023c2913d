#pragma once

#include <QList>
#include <QString>

#include <optional>

// One connected display as the rest of the product sees it.
struct ScreenInfo
{
    quint32 displayID = 0;               // identity within this session; 0 when unknown
    std::optional<QString> displayUUID; // identity across processes and restarts
    QString name;

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
};
