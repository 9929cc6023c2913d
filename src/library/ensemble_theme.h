#pragma once

#include <QList>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

// A light read-only view of one ensemble, for processes that do not run the library store.
struct EnsembleEntry
{
    QUuid id;
    QString name;
    QUuid wallpaper;
    std::optional<QUuid> clockPreset;
    std::optional<QUuid> taskbarTheme;

    bool operator==(const EnsembleEntry&) const = default;

    // Empty when the bytes are not an array of ensembles, or any one of them is malformed.
    static QList<EnsembleEntry> decodeList(const QByteArray& bytes);
};

// Reading the ensembles and making one current from outside the library store.
namespace EnsembleTheme {

QString chooseNotification();

QList<EnsembleEntry> all();
std::optional<QUuid> currentID();
QString thumbnailPath(const EnsembleEntry& entry);
QString thumbnailPath(const QUuid& wallpaper);

// Makes the ensemble current. When the live-wallpaper part runs, it is asked to do the switch
// itself; otherwise the shared settings are written here.
void choose(const QUuid& id);

// Whether the live-wallpaper part is running. Until someone who can tell installs a check,
// the part counts as not running.
void setPartRunningCheck(std::function<bool()> check);

// Called with the wallpaper's thumbnail path whenever a choice here changes the wallpaper.
void setAccentRefresh(std::function<void(const QString& thumbnailPath)> refresh);

} // namespace EnsembleTheme
