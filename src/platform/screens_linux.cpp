#include "platform/screens.h"
#include "platform/screen_areas.h"

#include <QCryptographicHash>
#include <QHash>
#include <QGuiApplication>
#include <QScreen>
#include <QUuid>

namespace {

std::optional<QList<ScreenInfo>>& overridden()
{
    static std::optional<QList<ScreenInfo>> screens;
    return screens;
}

// A name-based UUID of the monitor's identity (maker, model, serial, connector), so the same
// monitor keeps its UUID across restarts and in every process.
std::optional<QString> uuidOf(const QScreen* screen)
{
    const QString identity = QStringList {screen->manufacturer(), screen->model(), screen->serialNumber(), screen->name()}
                                 .join(QLatin1Char('|'));
    if (identity == QLatin1String("|||"))
        return std::nullopt;
    static const QUuid space = QUuid::fromString(QLatin1String("5B0D8C4E-37A3-4C55-9E6A-0F3C4A8E2D11"));
    return QUuid::createUuidV5(space, identity).toString(QUuid::WithoutBraces).toUpper();
}

quint32 idOf(const QScreen* screen)
{
    const QByteArray hash = QCryptographicHash::hash(screen->name().toUtf8(), QCryptographicHash::Sha1);
    const quint32 id = (quint32(quint8(hash[0])) << 24) | (quint32(quint8(hash[1])) << 16) | (quint32(quint8(hash[2])) << 8)
                       | quint32(quint8(hash[3]));
    return id == 0 ? 1 : id;
}

ScreenInfo infoOf(const QScreen* screen)
{
    ScreenInfo info {idOf(screen), uuidOf(screen), screen->name()};
    info.size = screen->size();
    info.builtIn = Screens::isBuiltInOutput(screen->name());
    info.localizedName = screen->model().trimmed();
    return info;
}

} // namespace

QList<ScreenInfo> Screens::all()
{
    if (overridden())
        return *overridden();
    // Screens exist only in a GUI application; a console agent has none.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {};
    QList<ScreenInfo> result;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        result.append(infoOf(primary));
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            result.append(infoOf(screen));
    }
    return result;
}

std::optional<ScreenInfo> Screens::main()
{
    const QList<ScreenInfo> screens = all();
    if (screens.isEmpty())
        return std::nullopt;
    return screens.first();
}

bool Screens::isMain(const ScreenInfo& screen)
{
    const auto first = main();
    return first && first->displayID == screen.displayID;
}

void Screens::setOverride(std::optional<QList<ScreenInfo>> screens)
{
    overridden() = std::move(screens);
    if (QCoreApplication::instance())
        emit ScreensWatch::shared().changed();
}

bool Screens::isBuiltInOutput(const QString& name)
{
    for (const char* prefix : {"eDP", "LVDS", "DSI"})
        if (name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive))
            return true;
    return false;
}

namespace {

std::optional<QHash<quint32, QRect>>& overriddenAreas()
{
    static std::optional<QHash<quint32, QRect>> areas;
    return areas;
}

} // namespace

std::optional<QRect> ScreenAreas::of(quint32 displayID)
{
    if (overriddenAreas())
        return overriddenAreas()->contains(displayID) ? std::optional<QRect>(overriddenAreas()->value(displayID)) : std::nullopt;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return std::nullopt;
    for (const QScreen* screen : QGuiApplication::screens())
        if (idOf(screen) == displayID)
            return screen->geometry();
    return std::nullopt;
}

void ScreenAreas::setOverride(std::optional<QHash<quint32, QRect>> areas)
{
    overriddenAreas() = std::move(areas);
    if (QCoreApplication::instance())
        emit ScreensWatch::shared().changed();
}

ScreensWatch& ScreensWatch::shared()
{
    static ScreensWatch* watch = new ScreensWatch;
    return *watch;
}

ScreensWatch::ScreensWatch()
{
    auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!gui)
        return;
    // A display that moves or changes its mode changes where things are drawn on it.
    const auto watchGeometry = [this](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, &ScreensWatch::changed);
    };
    for (QScreen* screen : QGuiApplication::screens())
        watchGeometry(screen);
    connect(gui, &QGuiApplication::screenAdded, this, [this, watchGeometry](QScreen* screen) {
        watchGeometry(screen);
        emit changed();
    });
    connect(gui, &QGuiApplication::screenRemoved, this, &ScreensWatch::changed);
    connect(gui, &QGuiApplication::primaryScreenChanged, this, &ScreensWatch::changed);
}
