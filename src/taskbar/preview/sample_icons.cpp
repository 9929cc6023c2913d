#include "taskbar/preview/sample_icons.h"

#include <QDir>
#include <QHash>
#include <QIcon>
#include <QMutex>
#include <QPainter>
#include <QPainterPath>
#include <QStandardPaths>

namespace SampleIcons {

namespace {

// Icon-theme names for the apps and places the previews show.
QString themeName(const QString& id)
{
    static const QHash<QString, QString> names {
        {QStringLiteral("com.apple.finder"), QStringLiteral("system-file-manager")},
        {QStringLiteral("com.apple.Safari"), QStringLiteral("web-browser")},
        {QStringLiteral("com.apple.systempreferences"), QStringLiteral("preferences-system")},
        {QStringLiteral("com.apple.Music"), QStringLiteral("multimedia-player")},
        {QStringLiteral("com.apple.mail"), QStringLiteral("mail-client")},
        {QStringLiteral("com.apple.Terminal"), QStringLiteral("utilities-terminal")},
        {QStringLiteral("com.apple.TextEdit"), QStringLiteral("accessories-text-editor")},
        {QStringLiteral("~trash"), QStringLiteral("user-trash")},
        {QStringLiteral("~downloads"), QStringLiteral("folder-download")},
    };
    return names.value(id, id);
}


QImage placeholder(const QString& id, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor base = QColor::fromHsv(int(qHash(id) % 360), 150, 220);
    QLinearGradient fill(0, 0, 0, size);
    fill.setColorAt(0, base.lighter(120));
    fill.setColorAt(1, base.darker(130));
    QPainterPath tile;
    tile.addRoundedRect(QRectF(size * 0.06, size * 0.06, size * 0.88, size * 0.88), size * 0.22, size * 0.22);
    painter.fillPath(tile, fill);
    const QString name = id.section(QLatin1Char('.'), -1).remove(QLatin1Char('~'));
    QFont font;
    font.setPixelSize(std::max(1, int(size * 0.45)));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, name.left(1).toUpper());
    return image;
}

} // namespace

QImage icon(const QString& id, int size)
{
    size = std::clamp(size, 1, 1024);
    useAThemeWhenNoneIsSet();
    const QIcon themed = QIcon::fromTheme(themeName(id));
    if (!themed.isNull()) {
        const QImage image = themed.pixmap(QSize(size, size)).toImage();
        if (!image.isNull())
            return image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return placeholder(id, size);
}

} // namespace SampleIcons

void SampleIcons::useAThemeWhenNoneIsSet()
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    if (!QIcon::themeName().isEmpty() && QIcon::themeName() != QLatin1String("hicolor"))
        return;
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString icons = data + QStringLiteral("/icons");
        if (!paths.contains(icons) && QDir(icons).exists())
            paths.append(icons);
    }
    QIcon::setThemeSearchPaths(paths);
    for (const QString& theme : {QStringLiteral("Adwaita"), QStringLiteral("breeze"), QStringLiteral("hicolor")}) {
        for (const QString& root : QIcon::themeSearchPaths()) {
            if (QDir(root + QLatin1Char('/') + theme).exists()) {
                QIcon::setThemeName(theme);
                return;
            }
        }
    }
}
