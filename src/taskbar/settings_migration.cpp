#include "taskbar/settings_migration.h"

#include <QJsonValue>

namespace SettingsMigration {

namespace {

// The corner cluster once was one choice covering the date and the Trash.
void migrateCorner(QJsonObject& stored)
{
    const QJsonValue corner = stored.take(QStringLiteral("corner"));
    if (!corner.isString() || stored.contains(QStringLiteral("trash")))
        return;
    // "time" was the time alone: the date is off then, on for every other choice.
    const QString value = corner.toString();
    stored.insert(QStringLiteral("showDate"), value != QLatin1String("time"));
    stored.insert(QStringLiteral("trash"),
                  value == QLatin1String("timeDateTrash") ? QStringLiteral("corner") : QStringLiteral("apps"));
}

// Glass once was a switch of its own.
void migrateBlur(QJsonObject& stored)
{
    const QJsonValue blur = stored.take(QStringLiteral("blur"));
    if (blur.isBool() && blur.toBool() && !stored.contains(QStringLiteral("backgroundStyle")))
        stored.insert(QStringLiteral("backgroundStyle"), QStringLiteral("glass"));
}

// The gap once only existed for a bottom bar.
void migrateBottomGap(QJsonObject& stored)
{
    const auto it = stored.constFind(QStringLiteral("bottomGap"));
    if (it == stored.constEnd())
        return;
    const QJsonValue gap = *it;
    stored.remove(QStringLiteral("bottomGap"));
    if (!stored.contains(QStringLiteral("edgeGap")))
        stored.insert(QStringLiteral("edgeGap"), gap);
}

// Two overflow choices were folded into the menu.
void migrateOverflow(QJsonObject& stored)
{
    const QJsonValue overflow = stored.value(QStringLiteral("overflow"));
    if (overflow.isString()
        && (overflow.toString() == QLatin1String("trim") || overflow.toString() == QLatin1String("runPast")))
        stored.insert(QStringLiteral("overflow"), QStringLiteral("menu"));
}

// Clicking the front app once could only hide it or not.
void migrateClickFocusedHides(QJsonObject& stored)
{
    const QJsonValue hides = stored.take(QStringLiteral("clickFocusedHides"));
    if (hides.isBool() && !stored.contains(QStringLiteral("clickActive")))
        stored.insert(QStringLiteral("clickActive"),
                      hides.toBool() ? QStringLiteral("hide") : QStringLiteral("bringForward"));
}

// Records older than the running-apps split never followed the wallpaper.
void migrateWallpaperIndicator(QJsonObject& stored)
{
    if (!stored.contains(QStringLiteral("separateRunningApps")))
        stored.insert(QStringLiteral("indicatorFollowsWallpaper"), false);
}

} // namespace

void migrate(QJsonObject& stored)
{
    migrateCorner(stored);
    migrateBlur(stored);
    migrateBottomGap(stored);
    migrateOverflow(stored);
    migrateClickFocusedHides(stored);
    migrateWallpaperIndicator(stored);
}

} // namespace SettingsMigration
