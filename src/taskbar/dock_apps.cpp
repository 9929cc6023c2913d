#include "taskbar/dock_apps.h"

#include "platform/defaults.h"
#include "platform/property_list.h"
#include "taskbar/layout_token.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <QVariantMap>

#include <algorithm>

AppCatalog AppCatalog::system()
{
    AppCatalog catalog;
    catalog.knows = [](const QString& id) {
        if (id.isEmpty() || id.contains(QLatin1Char('/')))
            return false;
        return !QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id + QStringLiteral(".desktop")).isEmpty();
    };
    catalog.identifierAt = [](const QString& url) -> std::optional<QString> {
        const QString path = QUrl(url).toLocalFile();
        if (path.isEmpty())
            return std::nullopt;
        const QFileInfo info(path);
        if (info.suffix() == QLatin1String("desktop") && info.isFile())
            return info.completeBaseName();
        QFile plist(path + QStringLiteral("/Contents/Info.plist"));
        if (!plist.open(QIODevice::ReadOnly) || plist.size() > 4 * 1024 * 1024)
            return std::nullopt;
        const std::optional<QVariant> parsed = PropertyList::parse(plist.readAll());
        if (!parsed)
            return std::nullopt;
        const QVariant id = parsed->toMap().value(QStringLiteral("CFBundleIdentifier"));
        if (id.typeId() != QMetaType::QString || id.toString().isEmpty())
            return std::nullopt;
        return id.toString();
    };
    return catalog;
}

namespace DockApps {

namespace {

std::optional<QString> identifierOf(const QVariantMap& tileData, const AppCatalog& apps)
{
    const QVariant bundle = tileData.value(QStringLiteral("bundle-identifier"));
    if (bundle.typeId() == QMetaType::QString)
        return bundle.toString();
    const QVariant fileData = tileData.value(QStringLiteral("file-data"));
    if (fileData.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariant url = fileData.toMap().value(QStringLiteral("_CFURLString"));
    if (url.typeId() != QMetaType::QString)
        return std::nullopt;
    return apps.identifierAt(url.toString());
}

} // namespace

std::optional<QStringList> layout(const AppCatalog& apps)
{
    Defaults& dock = Defaults::domain(domain());
    dock.sync();
    const std::optional<QVariantList> entries = dock.array(QStringLiteral("persistent-apps"));
    if (!entries)
        return std::nullopt;
    for (const QVariant& entry : *entries)
        if (entry.typeId() != QMetaType::QVariantMap)
            return std::nullopt;

    QStringList result;
    for (const QVariant& entry : *entries) {
        const QVariantMap tile = entry.toMap();
        const QVariant type = tile.value(QStringLiteral("tile-type"));
        if (type.typeId() == QMetaType::QString && type.toString().contains(QLatin1String("spacer"))) {
            result.append(LayoutToken::newSpacer());
            continue;
        }
        const std::optional<QString> id = identifierOf(tile.value(QStringLiteral("tile-data")).toMap(), apps);
        // An identifier beginning with "~" would read back as a token, not an app.
        if (!id || id->isEmpty() || !LayoutToken::isApp(*id) || result.contains(*id) || !apps.knows(*id))
            continue;
        result.append(*id);
    }
    const bool hasOtherApp = std::any_of(result.cbegin(), result.cend(), [](const QString& item) {
        return LayoutToken::isApp(item) && item != QLatin1String("com.apple.finder");
    });
    if (!hasOtherApp)
        return std::nullopt;
    return result;
}

} // namespace DockApps
