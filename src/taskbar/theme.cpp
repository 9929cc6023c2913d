#include "taskbar/theme.h"

#include "core/record_json.h"
#include "taskbar/taskbar_json.h"

#include <QJsonDocument>

using TaskbarJson::readKey;
using TaskbarJson::writeKey;

namespace {

using RecordJson::uuidText;

using RecordJson::parseUuid;

} // namespace

// --- ThemeLayout ----------------------------------------------------------------------------

ThemeLayout::ThemeLayout(const TaskbarSettings& s)
    : hoverOpacity(s.hoverOpacity), tileRadius(s.tileRadius), barRadius(s.barRadius), barHeight(s.barHeight),
      barWidth(s.barWidth), edgeGap(s.edgeGap), iconSize(s.iconSize), iconSpacing(s.iconSpacing),
      barCorners(s.barCorners), edge(s.edge), alignment(s.alignment), indicator(s.indicator),
      indicatorGap(s.indicatorGap), hoverZoom(s.hoverZoom)
{
}

void ThemeLayout::apply(TaskbarSettings& s) const
{
    s.hoverOpacity = hoverOpacity;
    s.tileRadius = tileRadius;
    s.barRadius = barRadius;
    s.barHeight = barHeight;
    s.barWidth = barWidth;
    s.edgeGap = edgeGap;
    s.iconSize = iconSize;
    s.iconSpacing = iconSpacing;
    s.barCorners = barCorners;
    s.edge = edge;
    s.alignment = alignment;
    s.indicator = indicator;
    s.indicatorGap = indicatorGap;
    s.hoverZoom = hoverZoom;
}

QJsonObject ThemeLayout::toJson() const
{
    QJsonObject o;
    writeKey(o, QStringLiteral("hoverOpacity"), hoverOpacity);
    writeKey(o, QStringLiteral("tileRadius"), tileRadius);
    writeKey(o, QStringLiteral("barRadius"), barRadius);
    writeKey(o, QStringLiteral("barHeight"), barHeight);
    writeKey(o, QStringLiteral("barWidth"), barWidth);
    writeKey(o, QStringLiteral("edgeGap"), edgeGap);
    writeKey(o, QStringLiteral("iconSize"), iconSize);
    writeKey(o, QStringLiteral("iconSpacing"), iconSpacing);
    writeKey(o, QStringLiteral("barCorners"), barCorners);
    writeKey(o, QStringLiteral("edge"), edge);
    writeKey(o, QStringLiteral("alignment"), alignment);
    writeKey(o, QStringLiteral("indicator"), indicator);
    writeKey(o, QStringLiteral("indicatorGap"), indicatorGap);
    writeKey(o, QStringLiteral("hoverZoom"), hoverZoom);
    return o;
}

std::optional<ThemeLayout> ThemeLayout::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    ThemeLayout l;
    const bool required = readKey(o, QStringLiteral("hoverOpacity"), l.hoverOpacity)
        && readKey(o, QStringLiteral("tileRadius"), l.tileRadius) && readKey(o, QStringLiteral("barRadius"), l.barRadius)
        && readKey(o, QStringLiteral("barHeight"), l.barHeight) && readKey(o, QStringLiteral("barWidth"), l.barWidth)
        && readKey(o, QStringLiteral("edgeGap"), l.edgeGap) && readKey(o, QStringLiteral("iconSize"), l.iconSize)
        && readKey(o, QStringLiteral("iconSpacing"), l.iconSpacing)
        && readKey(o, QStringLiteral("barCorners"), l.barCorners) && readKey(o, QStringLiteral("edge"), l.edge)
        && readKey(o, QStringLiteral("alignment"), l.alignment)
        && readKey(o, QStringLiteral("indicatorGap"), l.indicatorGap);
    if (!required)
        return std::nullopt;
    // Styles saved before these settings existed take the settings' defaults.
    std::optional<IndicatorStyle> indicator;
    std::optional<double> hoverZoom;
    if (!readKey(o, QStringLiteral("indicator"), indicator) || !readKey(o, QStringLiteral("hoverZoom"), hoverZoom))
        return std::nullopt;
    l.indicator = indicator.value_or(IndicatorStyle::pill);
    l.hoverZoom = hoverZoom.value_or(1.0);
    return l;
}

bool ThemeLayout::isWritable() const
{
    using TaskbarJson::isWritable;
    return isWritable(hoverOpacity) && isWritable(tileRadius) && isWritable(barRadius) && isWritable(barHeight)
        && isWritable(barWidth) && isWritable(edgeGap) && isWritable(iconSize) && isWritable(iconSpacing)
        && isWritable(indicatorGap) && isWritable(hoverZoom);
}

// --- ThemeClock -----------------------------------------------------------------------------

ThemeClock::ThemeClock(const TaskbarSettings& s)
    : show(s.showClock), showDate(s.showDate), showSeconds(s.showSeconds), use24Hour(s.use24Hour),
      dateFormat(s.dateFormat), scale(s.clockScale), font(s.clockFont), click(s.clockClick)
{
    if (s.nowPlaying != NowPlayingStyle::off)
        nowPlaying = s.nowPlaying;
}

void ThemeClock::apply(TaskbarSettings& s) const
{
    s.showClock = show;
    s.showDate = showDate;
    s.showSeconds = showSeconds;
    s.dateFormat = dateFormat;
    s.clockScale = scale;
    s.clockFont = font;
    s.clockClick = click;
    s.nowPlaying = nowPlaying.value_or(NowPlayingStyle::off);
}

bool ThemeClock::operator==(const ThemeClock& o) const
{
    return show == o.show && showDate == o.showDate && showSeconds == o.showSeconds && dateFormat == o.dateFormat
        && scale == o.scale && font == o.font && click == o.click && nowPlaying == o.nowPlaying;
}

QJsonObject ThemeClock::toJson() const
{
    QJsonObject o;
    writeKey(o, QStringLiteral("show"), show);
    writeKey(o, QStringLiteral("showDate"), showDate);
    writeKey(o, QStringLiteral("showSeconds"), showSeconds);
    writeKey(o, QStringLiteral("use24Hour"), use24Hour);
    writeKey(o, QStringLiteral("dateFormat"), dateFormat);
    writeKey(o, QStringLiteral("scale"), scale);
    writeKey(o, QStringLiteral("font"), font);
    writeKey(o, QStringLiteral("click"), click);
    writeKey(o, QStringLiteral("nowPlaying"), nowPlaying);
    return o;
}

std::optional<ThemeClock> ThemeClock::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    ThemeClock c;
    const bool ok = readKey(o, QStringLiteral("show"), c.show) && readKey(o, QStringLiteral("showDate"), c.showDate)
        && readKey(o, QStringLiteral("showSeconds"), c.showSeconds)
        && readKey(o, QStringLiteral("use24Hour"), c.use24Hour)
        && readKey(o, QStringLiteral("dateFormat"), c.dateFormat) && readKey(o, QStringLiteral("scale"), c.scale)
        && readKey(o, QStringLiteral("font"), c.font) && readKey(o, QStringLiteral("click"), c.click)
        && readKey(o, QStringLiteral("nowPlaying"), c.nowPlaying);
    if (!ok)
        return std::nullopt;
    return c;
}

bool ThemeClock::isWritable() const
{
    return TaskbarJson::isWritable(scale);
}

// --- Theme ----------------------------------------------------------------------------------

Theme::Theme(const QString& themeName, const TaskbarSettings& s)
    : id(QUuid::createUuid()), name(themeName), style(s.backgroundStyle), background(s.background),
      background2(s.background2), foreground(s.foreground), indicator(s.indicatorColor),
      indicatorFollowsWallpaper(s.indicatorFollowsWallpaper), border(s.topBorderOpacity), layout(ThemeLayout(s)),
      clock(ThemeClock(s))
{
}

void Theme::apply(TaskbarSettings& s) const
{
    s.backgroundStyle = style;
    s.background = background;
    s.background2 = background2;
    s.foreground = foreground;
    s.indicatorColor = indicator;
    s.indicatorFollowsWallpaper = indicatorFollowsWallpaper.value_or(false);
    s.topBorderOpacity = border;
    const TaskbarSettings defaults;
    layout.value_or(ThemeLayout(defaults)).apply(s);
    clock.value_or(ThemeClock(defaults)).apply(s);
}

bool Theme::matches(const TaskbarSettings& s) const
{
    if (style != s.backgroundStyle || background != s.background || foreground != s.foreground
        || indicator != s.indicatorColor || indicatorFollowsWallpaper.value_or(false) != s.indicatorFollowsWallpaper)
        return false;
    if (style == BackgroundStyle::gradient && background2 != s.background2)
        return false;
    const TaskbarSettings defaults;
    return ThemeLayout(s) == layout.value_or(ThemeLayout(defaults)) && ThemeClock(s) == clock.value_or(ThemeClock(defaults));
}

QJsonObject Theme::toJson() const
{
    QJsonObject o;
    o.insert(QStringLiteral("id"), uuidText(id));
    writeKey(o, QStringLiteral("name"), name);
    writeKey(o, QStringLiteral("style"), style);
    writeKey(o, QStringLiteral("background"), background);
    writeKey(o, QStringLiteral("background2"), background2);
    writeKey(o, QStringLiteral("foreground"), foreground);
    writeKey(o, QStringLiteral("indicator"), indicator);
    writeKey(o, QStringLiteral("indicatorFollowsWallpaper"), indicatorFollowsWallpaper);
    writeKey(o, QStringLiteral("border"), border);
    if (layout)
        o.insert(QStringLiteral("layout"), layout->toJson());
    if (clock)
        o.insert(QStringLiteral("clock"), clock->toJson());
    writeKey(o, QStringLiteral("builtIn"), builtIn);
    return o;
}

std::optional<Theme> Theme::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    Theme t;
    const std::optional<QUuid> id = parseUuid(o.value(QStringLiteral("id")));
    if (!id)
        return std::nullopt;
    t.id = *id;
    const bool ok = readKey(o, QStringLiteral("name"), t.name) && readKey(o, QStringLiteral("style"), t.style)
        && readKey(o, QStringLiteral("background"), t.background)
        && readKey(o, QStringLiteral("background2"), t.background2)
        && readKey(o, QStringLiteral("foreground"), t.foreground) && readKey(o, QStringLiteral("indicator"), t.indicator)
        && readKey(o, QStringLiteral("indicatorFollowsWallpaper"), t.indicatorFollowsWallpaper)
        && readKey(o, QStringLiteral("border"), t.border) && readKey(o, QStringLiteral("builtIn"), t.builtIn);
    if (!ok)
        return std::nullopt;
    const QJsonValue layout = o.value(QStringLiteral("layout"));
    if (!layout.isUndefined() && !layout.isNull()) {
        t.layout = ThemeLayout::fromJson(layout);
        if (!t.layout)
            return std::nullopt;
    }
    const QJsonValue clock = o.value(QStringLiteral("clock"));
    if (!clock.isUndefined() && !clock.isNull()) {
        t.clock = ThemeClock::fromJson(clock);
        if (!t.clock)
            return std::nullopt;
    }
    return t;
}

bool Theme::isWritable() const
{
    using TaskbarJson::isWritable;
    return isWritable(background) && isWritable(background2) && isWritable(foreground) && isWritable(indicator)
        && isWritable(border) && (!layout || layout->isWritable()) && (!clock || clock->isWritable());
}

namespace Themes {

QList<Theme> decode(const QByteArray& data)
{
    const QJsonDocument document = QJsonDocument::fromJson(data);
    QList<Theme> themes;
    if (!document.isArray())
        return themes;
    const QJsonArray array = document.array();
    themes.reserve(array.size());
    for (const QJsonValue& element : array)
        if (std::optional<Theme> theme = Theme::fromJson(element))
            themes.append(std::move(*theme));
    return themes;
}

std::optional<QByteArray> encode(const QList<Theme>& themes)
{
    QJsonArray array;
    for (const Theme& theme : themes) {
        if (!theme.isWritable())
            return std::nullopt;
        array.append(theme.toJson());
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

} // namespace Themes
