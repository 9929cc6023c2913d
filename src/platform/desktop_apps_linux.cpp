#include "platform/desktop_apps.h"

#include <QCollator>
#include <QDir>
#include <QFile>
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

constexpr qint64 maxListSize = 1 << 20;

// Desktop-entry ids in the order mimeapps.list files name them for one MIME type, the user's
// lists first (XDG MIME Applications: config folders, then data folders' applications folders).
QStringList defaultEntries(const QString& mimeType)
{
    QStringList lists;
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        lists << folder + QStringLiteral("/mimeapps.list");
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        lists << folder + QStringLiteral("/mimeapps.list");
    QStringList ids;
    for (const QString& path : lists) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text) || file.size() > maxListSize)
            continue;
        // Key files separate list items with ';', which QSettings takes for a comment: read the
        // lines of the one group we need.
        bool inDefaults = false;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.startsWith(QLatin1Char('[')))
                inDefaults = line == QLatin1String("[Default Applications]");
            else if (inDefaults && line.section(QLatin1Char('='), 0, 0).trimmed() == mimeType)
                for (const QString& entry : line.section(QLatin1Char('='), 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
                    if (entry.trimmed().endsWith(QLatin1String(".desktop")))
                        ids << entry.trimmed().chopped(8);
        }
    }
    return ids;
}

struct RoleFacts
{
    QStringList mimeTypes;
    QStringList wellKnown; // desktop-entry ids, the common desktops' own first
    const char* name;
    const char* icon;
};

RoleFacts factsOf(DesktopRole role)
{
    switch (role) {
    case DesktopRole::fileManager:
        return {{QStringLiteral("inode/directory")},
                {QStringLiteral("org.gnome.Nautilus"), QStringLiteral("nautilus"), QStringLiteral("thunar"),
                 QStringLiteral("org.kde.dolphin"), QStringLiteral("nemo"), QStringLiteral("caja"), QStringLiteral("pcmanfm"),
                 QStringLiteral("pcmanfm-qt")},
                "Files", "system-file-manager"};
    case DesktopRole::webBrowser:
        return {{QStringLiteral("x-scheme-handler/https"), QStringLiteral("x-scheme-handler/http")},
                {QStringLiteral("firefox-esr"), QStringLiteral("firefox"), QStringLiteral("chromium"),
                 QStringLiteral("google-chrome"), QStringLiteral("org.gnome.Epiphany"), QStringLiteral("org.kde.falkon")},
                "Web Browser", "web-browser"};
    case DesktopRole::settings:
        return {{},
                {QStringLiteral("org.gnome.Settings"), QStringLiteral("gnome-control-center"), QStringLiteral("xfce-settings-manager"),
                 QStringLiteral("systemsettings"), QStringLiteral("lxqt-config"), QStringLiteral("cinnamon-settings"),
                 QStringLiteral("mate-control-center")},
                "Settings", "preferences-system"};
    }
    return {};
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

DesktopApp DesktopApps::forRole(DesktopRole role)
{
    const RoleFacts facts = factsOf(role);
    QStringList candidates;
    for (const QString& type : facts.mimeTypes)
        candidates << defaultEntries(type);
    candidates << facts.wellKnown;
    for (const QString& id : std::as_const(candidates))
        if (const std::optional<DesktopApp> app = find(id))
            return *app;
    return {QString(), QString::fromLatin1(facts.name), QString::fromLatin1(facts.icon)};
}
