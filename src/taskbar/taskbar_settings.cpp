#include "taskbar/taskbar_settings.h"

#include "taskbar/taskbar_json.h"
#include "brand/brand_accent.h"
#include "clock/clock_hours.h"
#include "taskbar/locale_patterns.h"
#include "taskbar/settings_migration.h"

#include <QHash>
#include <QJsonDocument>
#include <QMutex>

namespace {

// The locale's own hour format, looked up once per locale: defaults are made on every read.
bool systemUses24Hour()
{
    static QMutex mutex;
    static QHash<QString, bool> known;
    const QString locale = LocalePatterns::currentLocale();
    QMutexLocker lock(&mutex);
    const auto it = known.constFind(locale);
    if (it != known.constEnd())
        return *it;
    const bool uses24Hour = ClockHours::systemUses24Hour();
    known.insert(locale, uses24Hour);
    return uses24Hour;
}

} // namespace

TaskbarSettings::TaskbarSettings()
    : use24Hour(systemUses24Hour())
    , dateFormat(macDateFormat())
{
}

QJsonObject TaskbarSettings::toJson() const
{
    QJsonObject object;
    forEachField(*this, [&](const QString& key, const auto& field) { TaskbarJson::writeKey(object, key, field); });
    return object;
}

std::optional<QByteArray> TaskbarSettings::encode() const
{
    bool writable = true;
    forEachField(*this, [&](const QString&, const auto& field) { writable = writable && TaskbarJson::isWritable(field); });
    if (!writable)
        return std::nullopt;
    return QJsonDocument(toJson()).toJson(QJsonDocument::Compact);
}

std::optional<TaskbarSettings> TaskbarSettings::fromJson(const QJsonObject& object)
{
    TaskbarSettings settings;
    bool ok = true;
    forEachField(settings, [&](const QString& key, auto& field) { ok = ok && TaskbarJson::readKey(object, key, field); });
    if (!ok)
        return std::nullopt;
    return settings;
}

std::optional<TaskbarSettings> TaskbarSettings::decode(const QByteArray& data)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;

    // The defaults as JSON; stored keys win over them, so missing keys read as their defaults.
    QJsonObject merged = TaskbarSettings().toJson();

    QJsonObject stored = document.object();
    SettingsMigration::migrate(stored);
    for (auto it = stored.constBegin(); it != stored.constEnd(); ++it)
        merged.insert(it.key(), it.value());

    return fromJson(merged);
}

QString TaskbarSettings::macDateFormat()
{
    return macDateFormat(QString());
}

QString TaskbarSettings::macDateFormat(const QString& localeID)
{
    const QString pattern = LocalePatterns::bestPattern(QStringLiteral("MMMd"), localeID);
    const auto firstOf = [&](QChar letter) {
        const qsizetype at = pattern.indexOf(letter);
        return at < 0 ? pattern.size() : at;
    };
    return firstOf(QLatin1Char('M')) < firstOf(QLatin1Char('d')) ? QStringLiteral("EEE MMM d")
                                                                   : QStringLiteral("EEE d MMM");
}

RGBA TaskbarSettings::indicatorTint(quint32 accentHex) const
{
    if (!indicatorFollowsWallpaper)
        return indicatorColor;
    return RGBA::fromHex(accentHex, indicatorColor.a);
}

RGBA TaskbarSettings::indicatorTint() const
{
    return indicatorFollowsWallpaper ? indicatorTint(BrandAccent::shared().hex()) : indicatorColor;
}

TaskbarSettings TaskbarSettings::asBottomBar() const
{
    TaskbarSettings copy = *this;
    copy.edge = BarEdge::bottom;
    return copy;
}

TaskbarSettings TaskbarSettings::withoutWindowBlur() const
{
    TaskbarSettings copy = *this;
    if (copy.backgroundStyle == BackgroundStyle::glass)
        copy.backgroundStyle = BackgroundStyle::solid;
    return copy;
}
