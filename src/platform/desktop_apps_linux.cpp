#include "platform/desktop_apps.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace {

// QSettings reads "a, b" as a list; a name with a comma is one text.
QString text(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString().trimmed();
}

bool isTrue(const QVariant& value)
{
    return text(value).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<DesktopApp> DesktopApps::read(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.suffix() != QLatin1String("desktop"))
        return std::nullopt;
    QSettings entry(path, QSettings::IniFormat);
    if (entry.status() != QSettings::NoError)
        return std::nullopt;
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    const QString type = text(entry.value(QStringLiteral("Type")));
    if (!type.isEmpty() && type != QLatin1String("Application"))
        return std::nullopt;
    DesktopApp app;
    app.id = info.completeBaseName();
    app.name = text(entry.value(QStringLiteral("Name")));
    if (app.name.isEmpty())
        app.name = app.id;
    app.icon = text(entry.value(QStringLiteral("Icon")));
    return app;
}

QList<DesktopApp> DesktopApps::installed()
{
    QList<DesktopApp> apps;
    QSet<QString> seen;
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable);
        for (const QFileInfo& file : files) {
            const QString id = file.completeBaseName();
            if (seen.contains(id))
                continue;
            seen.insert(id);
            QSettings entry(file.filePath(), QSettings::IniFormat);
            entry.beginGroup(QStringLiteral("Desktop Entry"));
            if (isTrue(entry.value(QStringLiteral("NoDisplay"))) || isTrue(entry.value(QStringLiteral("Hidden"))))
                continue;
            if (const std::optional<DesktopApp> app = read(file.filePath()))
                apps.append(*app);
        }
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(apps.begin(), apps.end(), [&](const DesktopApp& a, const DesktopApp& b) { return collator.compare(a.name, b.name) < 0; });
    return apps;
}

std::optional<DesktopApp> DesktopApps::find(const QString& id)
{
    if (id.isEmpty() || id.contains(QLatin1Char('/')))
        return std::nullopt;
    const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id + QStringLiteral(".desktop"));
    return path.isEmpty() ? std::nullopt : read(path);
}
