#pragma once

#include "clock/rgba.h"
#include "taskbar/taskbar_enums.h"
#include "taskbar/taskbar_settings.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// The geometry part of a bar style.
struct ThemeLayout
{
    double hoverOpacity = 0;
    double tileRadius = 0;
    double barRadius = 0;
    double barHeight = 0;
    double barWidth = 0;
    double edgeGap = 0;
    double iconSize = 0;
    double iconSpacing = 0;
    BarCorners barCorners = BarCorners::square;
    BarEdge edge = BarEdge::bottom;
    IconAlignment alignment = IconAlignment::center;
    IndicatorStyle indicator = IndicatorStyle::pill;
    std::optional<double> indicatorGap;
    double hoverZoom = 1.0;

    ThemeLayout() = default;
    explicit ThemeLayout(const TaskbarSettings& settings);
    void apply(TaskbarSettings& settings) const;

    bool operator==(const ThemeLayout&) const = default;

    QJsonObject toJson() const;
    // indicator, indicatorGap and hoverZoom may be missing; everything else is required.
    static std::optional<ThemeLayout> fromJson(const QJsonValue& value);
    bool isWritable() const;
};

// The clock part of a bar style. The 12/24-hour choice is carried but belongs to the user: it is
// neither compared nor applied.
struct ThemeClock
{
    bool show = true;
    bool showDate = true;
    bool showSeconds = false;
    bool use24Hour = true;
    QString dateFormat;
    double scale = 1;
    ClockFont font = ClockFont::standard;
    ClockClick click = ClockClick::calendar;
    std::optional<NowPlayingStyle> nowPlaying; // absent when the widget is off

    ThemeClock() = default;
    explicit ThemeClock(const TaskbarSettings& settings);
    void apply(TaskbarSettings& settings) const;

    bool operator==(const ThemeClock& other) const;

    QJsonObject toJson() const;
    static std::optional<ThemeClock> fromJson(const QJsonValue& value);
    bool isWritable() const;
};

// A named, reusable look for the bar: fill, colours, edge line, and optionally its geometry and
// clock. Applying one changes the look of the settings and never their behaviour.
struct Theme
{
    QUuid id;
    QString name;
    BackgroundStyle style = BackgroundStyle::solid;
    RGBA background;
    RGBA background2;
    RGBA foreground;
    RGBA indicator;
    std::optional<bool> indicatorFollowsWallpaper; // absent counts as false
    double border = 0;
    std::optional<ThemeLayout> layout; // absent: the default geometry
    std::optional<ThemeClock> clock;   // absent: the default clock
    std::optional<QString> builtIn;    // the built-in style this one was seeded from

    Theme() = default;
    // A new style (new id) holding the look of `settings`.
    Theme(const QString& name, const TaskbarSettings& settings);

    bool operator==(const Theme&) const = default;

    // Overwrites the look-related fields of `settings`; use24Hour and behaviour stay.
    void apply(TaskbarSettings& settings) const;
    TaskbarSettings applied(TaskbarSettings settings) const
    {
        apply(settings);
        return settings;
    }
    bool matches(const TaskbarSettings& settings) const;

    QJsonObject toJson() const;
    static std::optional<Theme> fromJson(const QJsonValue& value);
    bool isWritable() const;

    // The four built-in styles, decoded once.
    static const QList<Theme>& builtIns();
    static std::optional<Theme> builtInNamed(const QString& name);
};

// Lists of styles as stored: a JSON array of style objects.
namespace Themes {

// Every element that reads as a style, in order; elements that do not are skipped, so one
// damaged style does not cost the user the others. Anything but an array gives an empty list.
QList<Theme> decode(const QByteArray& data);
// nullopt when a style holds a number JSON cannot carry.
std::optional<QByteArray> encode(const QList<Theme>& themes);

} // namespace Themes
