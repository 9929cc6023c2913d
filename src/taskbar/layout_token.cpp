#include "taskbar/layout_token.h"

#include <QDir>
#include <QUuid>

namespace LayoutToken {

namespace {

QString shortId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().left(8);
}

} // namespace

QString newDivider()
{
    return dividerPrefix() + shortId();
}

QString newSpacer()
{
    return spacerPrefix() + shortId();
}

bool isDivider(const QString& item)
{
    return item.startsWith(dividerPrefix());
}

bool isSpacer(const QString& item)
{
    return item.startsWith(spacerPrefix());
}

bool isApp(const QString& item)
{
    return !item.startsWith(QLatin1Char('~'));
}

namespace {

// "." and ".." resolved, repeated separators folded, no trailing "/"; ".." above the root stays
// at the root, as it does on the file system.
QString cleanAbsolute(const QString& path)
{
    QString clean = QDir::cleanPath(path);
    while (clean.startsWith(QLatin1String("/..")) && (clean.size() == 3 || clean.at(3) == QLatin1Char('/')))
        clean = clean.size() == 3 ? QStringLiteral("/") : clean.mid(3);
    return clean;
}

} // namespace

QString standardisedPath(const QString& path)
{
    return cleanAbsolute(QDir::current().absoluteFilePath(path));
}

QString folder(const QString& path)
{
    return folderPrefix() + standardisedPath(path);
}

std::optional<QString> folderURL(const QString& item)
{
    if (!item.startsWith(folderPrefix()))
        return std::nullopt;
    const QString path = item.mid(folderPrefix().size());
    if (!path.startsWith(QLatin1Char('/')))
        return std::nullopt;
    return cleanAbsolute(path);
}

QStringList defaultPinnedApps()
{
    return {QStringLiteral("com.apple.finder"), QStringLiteral("com.apple.Safari"),
            QStringLiteral("com.apple.systempreferences")};
}

std::optional<DesktopRole> systemRole(const QString& item)
{
    const QStringList pinned = defaultPinnedApps();
    static const DesktopRole roles[] = {DesktopRole::fileManager, DesktopRole::webBrowser, DesktopRole::settings};
    const qsizetype at = pinned.indexOf(item);
    return at < 0 ? std::nullopt : std::optional<DesktopRole>(roles[at]);
}

QStringList freshLayout(const QStringList& pinned)
{
    return pinned + QStringList {running(), newDivider(), downloads(), trash()};
}

QStringList withFixedTokens(QStringList layout)
{
    if (!layout.contains(running()))
        layout.append(running());
    if (!layout.contains(trash()))
        layout.append(trash());
    if (!layout.contains(downloads()))
        layout.insert(layout.indexOf(trash()), downloads());
    return layout;
}

} // namespace LayoutToken
