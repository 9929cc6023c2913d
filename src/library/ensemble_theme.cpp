#include "library/ensemble_theme.h"

#include "core/record_json.h"
#include "core/settings_sync.h"
#include "library/library_files.h"
#include "looks/look.h"
#include "looks/look_request.h"
#include "platform/defaults.h"
#include "platform/notifier.h"

namespace {

std::function<bool()>& runningCheck()
{
    static std::function<bool()> check;
    return check;
}

std::function<void(const QString&)>& accentRefresh()
{
    static std::function<void(const QString&)> refresh;
    return refresh;
}

} // namespace

QList<EnsembleEntry> EnsembleEntry::decodeList(const QByteArray& bytes)
{
    using namespace RecordJson;
    const auto array = parseArray(bytes);
    if (!array)
        return {};
    QList<EnsembleEntry> entries;
    for (const QJsonValue& element : *array) {
        if (!element.isObject())
            return {};
        const QJsonObject object = element.toObject();
        const auto id = uuid(object, QStringLiteral("id"));
        const auto name = string(object, QStringLiteral("name"));
        const auto wallpaper = uuid(object, QStringLiteral("wallpaper"));
        const auto clock = optionalUuid(object, QStringLiteral("clockPreset"));
        const auto theme = optionalUuid(object, QStringLiteral("taskbarTheme"));
        if (!id || !name || !wallpaper || !clock.valid || !theme.valid)
            return {};
        entries.append(EnsembleEntry {*id, *name, *wallpaper, clock.value, theme.value});
    }
    return entries;
}

namespace EnsembleTheme {

QString chooseNotification()
{
    return Notices::chooseEnsembleTheme();
}

QList<EnsembleEntry> all()
{
    const auto bytes = LibraryFiles::readSmallFile(LibraryLocations::standard().ensemblesFile());
    return bytes ? EnsembleEntry::decodeList(*bytes) : QList<EnsembleEntry> {};
}

std::optional<QUuid> currentID()
{
    Defaults& prefs = Look::paneflowPrefs();
    prefs.sync();
    const auto text = prefs.string(QStringLiteral("currentEnsembleID"));
    return text ? RecordJson::parseUuid(QStringView(*text)) : std::nullopt;
}

QString thumbnailPath(const QUuid& wallpaper)
{
    return LibraryLocations::standard().thumbnailPath(wallpaper);
}

QString thumbnailPath(const EnsembleEntry& entry)
{
    return thumbnailPath(entry.wallpaper);
}

void choose(const QUuid& id)
{
    if (runningCheck() && runningCheck()()) {
        Notifier::post(chooseNotification(), RecordJson::uuidText(id));
        return;
    }
    const QList<EnsembleEntry> entries = all();
    const auto entry = std::find_if(entries.cbegin(), entries.cend(), [&](const EnsembleEntry& e) { return e.id == id; });
    if (entry == entries.cend())
        return;
    Defaults& prefs = Look::paneflowPrefs();
    prefs.setValues({
        {QStringLiteral("currentEnsembleID"), RecordJson::uuidText(entry->id)},
        {QStringLiteral("currentID"), RecordJson::uuidText(entry->wallpaper)},
    });
    prefs.sync();
    if (accentRefresh())
        accentRefresh()(thumbnailPath(entry->wallpaper));
    if (entry->clockPreset || entry->taskbarTheme)
        LookRequest {entry->clockPreset, entry->taskbarTheme, LookRequest::now()}.publish(prefs);
    SettingsSync::changed(Look::paneflowDomain());
    Notifier::post(Look::wallpaperChanged(), RecordJson::uuidText(entry->wallpaper));
}

void setPartRunningCheck(std::function<bool()> check)
{
    runningCheck() = std::move(check);
}

void setAccentRefresh(std::function<void(const QString&)> refresh)
{
    accentRefresh() = std::move(refresh);
}

} // namespace EnsembleTheme
