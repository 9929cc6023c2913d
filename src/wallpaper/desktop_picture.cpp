#include "wallpaper/desktop_picture.h"

#include "platform/desktop_picture_settings.h"
#include "platform/paths.h"
#include "wallpaper/system_wallpaper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QUrl>

Q_LOGGING_CATEGORY(lcDesktopPicture, "zentrove.wallpaper.desktoppicture")

namespace {

const QString stillName = QStringLiteral("Desktop Picture");

// The stills of ours in the folder, newest name last.
QStringList stills()
{
    QStringList paths;
    const QDir folder(DesktopPicture::stillFolder());
    for (const QString& name : folder.entryList({stillName + QStringLiteral("*.png")}, QDir::Files, QDir::Name))
        paths.append(folder.filePath(name));
    return paths;
}

bool isOurs(const QString& uri)
{
    const QUrl url(uri);
    const QString path = url.isLocalFile() ? url.toLocalFile() : uri;
    return !path.isEmpty() && QDir::cleanPath(path).startsWith(QDir::cleanPath(DesktopPicture::stillFolder()) + QLatin1Char('/'));
}

struct Backup
{
    bool exists = false;
    bool damaged = false;
    QJsonObject values;
};

Backup readBackup()
{
    QFile file(DesktopPicture::backupPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    return {true, !document.isObject(), document.object()};
}

bool writeBackup(const DesktopPictureSettings& settings, QString* error)
{
    QJsonObject saved;
    for (const QString& key : settings.keys()) {
        if (const auto value = settings.value(key))
            saved.insert(key, QJsonObject {{QStringLiteral("value"), value->text}, {QStringLiteral("own"), value->ownValue}});
    }
    QDir().mkpath(QFileInfo(DesktopPicture::backupPath()).absolutePath());
    QSaveFile file(DesktopPicture::backupPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(saved).toJson()) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("couldn't back up the desktop picture: ") + file.errorString();
        return false;
    }
    return true;
}

} // namespace

QString DesktopPicture::backupPath()
{
    return SystemWallpaper::backupsDir() + QStringLiteral("/desktop-picture.json");
}

QString DesktopPicture::stillFolder()
{
    return Paths::applicationSupport() + QStringLiteral("/Paneflow/Desktop");
}

bool DesktopPicture::showsOurs(const DesktopPictureSettings& settings)
{
    for (const QString& key : settings.keys()) {
        const auto value = settings.value(key);
        if (value && isOurs(value->text))
            return true;
    }
    return false;
}

bool DesktopPicture::place(DesktopPictureSettings& settings, const QImage& still, QString* error)
{
    if (!settings.isSetUp()) {
        if (error)
            *error = QStringLiteral("this desktop keeps no wallpaper settings that can be set");
        return false;
    }
    if (!QFileInfo::exists(backupPath()) && !showsOurs(settings) && !writeBackup(settings, error))
        return false;
    // A new name each time: desktops keep showing a file they already read when only its
    // contents change.
    const QStringList old = stills();
    int next = 1;
    if (!old.isEmpty())
        next = QFileInfo(old.last()).completeBaseName().section(QLatin1Char(' '), -1).toInt() + 1;
    const QString path = QStringLiteral("%1/%2 %3.png").arg(stillFolder(), stillName).arg(next, 6, 10, QLatin1Char('0'));
    QDir().mkpath(stillFolder());
    QSaveFile file(path);
    if (still.isNull() || !file.open(QIODevice::WriteOnly) || !still.save(&file, "PNG") || !file.commit()) {
        if (error)
            *error = QStringLiteral("couldn't write the desktop picture ") + path;
        return false;
    }
    const QString uri = QUrl::fromLocalFile(path).toString();
    bool placed = true;
    for (const QString& key : settings.keys())
        placed = settings.set(key, uri) && placed;
    for (const QString& stale : old)
        QFile::remove(stale);
    if (!placed && error)
        *error = QStringLiteral("couldn't set the desktop picture through ") + settings.backend();
    return placed;
}

bool DesktopPicture::giveBack(DesktopPictureSettings& settings)
{
    const Backup saved = readBackup();
    const auto removeStills = [] {
        for (const QString& still : stills())
            QFile::remove(still);
    };
    if (!settings.isSetUp()) {
        // Nothing can be read or put back now (the desktop's schemas are gone): the backup may be
        // the only copy of the user's choice, so it stays for a later give-back.
        return !saved.exists;
    }
    if (!showsOurs(settings)) {
        // The user has picked other pictures since: keep their choice.
        removeStills();
        if (saved.exists)
            QFile::remove(backupPath());
        return true;
    }
    if (saved.damaged) {
        // It may still be the only copy of the user's choice: leave everything for a person to see.
        qCWarning(lcDesktopPicture).noquote() << "Paneflow: the desktop picture backup cannot be read; it is kept at" << backupPath();
        return false;
    }
    bool restored = true;
    for (const QString& key : settings.keys()) {
        const auto now = settings.value(key);
        // A setting the user changed since is theirs already.
        if (!now || !isOurs(now->text))
            continue;
        const QJsonObject entry = saved.values.value(key).toObject();
        // Without a backup of the key, the desktop's default is the user's own.
        const bool put = entry.value(QStringLiteral("own")).toBool() ? settings.set(key, entry.value(QStringLiteral("value")).toString())
                                                                      : settings.reset(key);
        if (!put)
            qCWarning(lcDesktopPicture).noquote() << "Paneflow: putting the desktop picture back failed for" << key;
        restored = restored && put;
    }
    removeStills();
    // A backup that could not be put back is the only copy of the user's choice: keep it.
    if (saved.exists && restored)
        QFile::remove(backupPath());
    return restored;
}
