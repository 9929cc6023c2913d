#pragma once

#include "clock/rgba.h"
#include "taskbar/taskbar_enums.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

// Everything about the bar the taskbar part draws: fill and colours, geometry, items, clicks, the
// clock, the now-playing widget and the displays it appears on. The control app edits and stores
// it; the taskbar part reads the same JSON. Sizes are in points, times in seconds.
struct TaskbarSettings
{
    BackgroundStyle backgroundStyle = BackgroundStyle::solid;
    RGBA background = RGBA::fromHex(0x1A1B1E, 1);
    RGBA background2 = RGBA::fromHex(0x141517, 1);
    RGBA foreground = RGBA::fromHex(0xE9E6E1, 1);
    double topBorderOpacity = 0.08;
    double hoverOpacity = 0.12;
    double tileRadius = 6;
    BarCorners barCorners = BarCorners::square;
    double barRadius = 10;
    BarEdge edge = BarEdge::bottom;
    double barHeight = 52;
    double barWidth = 1.0;
    double edgeGap = 0;
    IconAlignment alignment = IconAlignment::center;
    double iconSize = 38;
    double iconSpacing = 4;
    double hoverZoom = 1.0;
    bool startButton = false;
    BarOverflow overflow = BarOverflow::scale;
    bool showRunningApps = true;
    bool separateRunningApps = false;
    IndicatorStyle indicator = IndicatorStyle::pill;
    std::optional<double> indicatorGap;
    RGBA indicatorColor = RGBA::fromHex(0xF0A08A, 0.9);
    bool indicatorFollowsWallpaper = true;
    bool dimHiddenApps = true;
    bool showBadges = true;
    bool hideIdleFinder = false;
    bool launchBounce = true;
    ClickAction clickActive = ClickAction::bringForward;
    ClickAction optionClick = ClickAction::hideOthers;
    ClickAction commandClick = ClickAction::showInFinder;
    bool showTooltips = true;
    double tooltipDelay = 0.5;
    bool showWindowPreviews = false;
    double previewDelay = 0.7;
    bool showClock = true;
    bool showDate = true;
    bool showSeconds = false;
    bool use24Hour = true;  // set from the locale by the constructor
    QString dateFormat;     // set from the locale by the constructor
    double clockScale = 1.0;
    ClockFont clockFont = ClockFont::standard;
    ClockClick clockClick = ClockClick::calendar;
    TrashPlacement trash = TrashPlacement::apps;
    bool showDownloads = true;
    NowPlayingStyle nowPlaying = NowPlayingStyle::off;
    BarDisplays displays = BarDisplays::all;
    bool reserveSpace = true;
    bool autoHide = false;

    // The defaults; the 12/24-hour choice and the date pattern come from the current locale.
    TaskbarSettings();

    bool operator==(const TaskbarSettings&) const = default;

    // Calls visit(key, field) for every field, in declaration order.
    template<typename Self, typename Visit>
    static void forEachField(Self& s, Visit&& visit);

    // --- JSON -------------------------------------------------------------------------------
    QJsonObject toJson() const;
    // Compact JSON; nullopt when a number cannot be written (infinite or NaN).
    std::optional<QByteArray> encode() const;
    // Strict: every key required, except indicatorGap; unknown enumeration texts fail, except
    // nowPlaying's, which read as the full widget.
    static std::optional<TaskbarSettings> fromJson(const QJsonObject& object);
    // The only way stored settings are read: tolerates missing keys and migrates old ones.
    static std::optional<TaskbarSettings> decode(const QByteArray& data);

    // "EEE MMM d" where the locale puts the month before the day, else "EEE d MMM".
    static QString macDateFormat();
    // The same for a given ICU locale identifier (tests, previews in other locales).
    static QString macDateFormat(const QString& localeID);

    // --- derived values ---------------------------------------------------------------------
    bool vertical() const { return edge == BarEdge::left || edge == BarEdge::right; }
    // The indicator colour, or the wallpaper accent at the indicator's opacity when it follows
    // the wallpaper.
    RGBA indicatorTint(quint32 accentHex) const;
    // The same with the product's current wallpaper accent (main thread).
    RGBA indicatorTint() const;
    TaskbarSettings asBottomBar() const;
    TaskbarSettings withoutWindowBlur() const;

    // --- geometry (shared with the real bar) ------------------------------------------------
    static constexpr double minIconSize = 12;
    double largestIcon() const;
    double fullIconSize() const;
    double tileHeight() const;
    double tileGap() const;
    double tilePadding() const;
    double hoverGrowth(double icon) const;
    double hoverRoom(double icon) const;
    double tileLength(double icon) const;
    double rowLength(double tiles, int dividers, int entries, std::optional<double> icon = std::nullopt) const;
    double nowPlayingLength() const;
    double clockLength() const;
    double cornerLength() const;
    double barLength(double row) const { return row + cornerLength(); }
    // The icon size that fits a row into `available` points, `fixed` of which do not scale.
    double iconSizeForRow(double row, double fixed, double available) const;
    double centerShift(double row, double barLength) const;
    // The bar's rectangle in screen coordinates (y up). `visibleTop` is the bottom of the menu
    // bar; `content` the measured length of the bar's content.
    QRectF barFrame(const QRectF& screenFrame, double visibleTop, double content) const;
    // The screens that get a bar: all of them, or only the first (the one with the menu bar).
    template<typename Screen>
    QList<Screen> barScreens(const QList<Screen>& screens) const
    {
        if (displays == BarDisplays::all || screens.isEmpty())
            return screens;
        return {screens.first()};
    }
};

// Along-bar length of the now-playing widget for these settings.
double length(NowPlayingStyle style, const TaskbarSettings& settings);

template<typename Self, typename Visit>
void TaskbarSettings::forEachField(Self& s, Visit&& visit)
{
    visit(QStringLiteral("backgroundStyle"), s.backgroundStyle);
    visit(QStringLiteral("background"), s.background);
    visit(QStringLiteral("background2"), s.background2);
    visit(QStringLiteral("foreground"), s.foreground);
    visit(QStringLiteral("topBorderOpacity"), s.topBorderOpacity);
    visit(QStringLiteral("hoverOpacity"), s.hoverOpacity);
    visit(QStringLiteral("tileRadius"), s.tileRadius);
    visit(QStringLiteral("barCorners"), s.barCorners);
    visit(QStringLiteral("barRadius"), s.barRadius);
    visit(QStringLiteral("edge"), s.edge);
    visit(QStringLiteral("barHeight"), s.barHeight);
    visit(QStringLiteral("barWidth"), s.barWidth);
    visit(QStringLiteral("edgeGap"), s.edgeGap);
    visit(QStringLiteral("alignment"), s.alignment);
    visit(QStringLiteral("iconSize"), s.iconSize);
    visit(QStringLiteral("iconSpacing"), s.iconSpacing);
    visit(QStringLiteral("hoverZoom"), s.hoverZoom);
    visit(QStringLiteral("startButton"), s.startButton);
    visit(QStringLiteral("overflow"), s.overflow);
    visit(QStringLiteral("showRunningApps"), s.showRunningApps);
    visit(QStringLiteral("separateRunningApps"), s.separateRunningApps);
    visit(QStringLiteral("indicator"), s.indicator);
    visit(QStringLiteral("indicatorGap"), s.indicatorGap);
    visit(QStringLiteral("indicatorColor"), s.indicatorColor);
    visit(QStringLiteral("indicatorFollowsWallpaper"), s.indicatorFollowsWallpaper);
    visit(QStringLiteral("dimHiddenApps"), s.dimHiddenApps);
    visit(QStringLiteral("showBadges"), s.showBadges);
    visit(QStringLiteral("hideIdleFinder"), s.hideIdleFinder);
    visit(QStringLiteral("launchBounce"), s.launchBounce);
    visit(QStringLiteral("clickActive"), s.clickActive);
    visit(QStringLiteral("optionClick"), s.optionClick);
    visit(QStringLiteral("commandClick"), s.commandClick);
    visit(QStringLiteral("showTooltips"), s.showTooltips);
    visit(QStringLiteral("tooltipDelay"), s.tooltipDelay);
    visit(QStringLiteral("showWindowPreviews"), s.showWindowPreviews);
    visit(QStringLiteral("previewDelay"), s.previewDelay);
    visit(QStringLiteral("showClock"), s.showClock);
    visit(QStringLiteral("showDate"), s.showDate);
    visit(QStringLiteral("showSeconds"), s.showSeconds);
    visit(QStringLiteral("use24Hour"), s.use24Hour);
    visit(QStringLiteral("dateFormat"), s.dateFormat);
    visit(QStringLiteral("clockScale"), s.clockScale);
    visit(QStringLiteral("clockFont"), s.clockFont);
    visit(QStringLiteral("clockClick"), s.clockClick);
    visit(QStringLiteral("trash"), s.trash);
    visit(QStringLiteral("showDownloads"), s.showDownloads);
    visit(QStringLiteral("nowPlaying"), s.nowPlaying);
    visit(QStringLiteral("displays"), s.displays);
    visit(QStringLiteral("reserveSpace"), s.reserveSpace);
    visit(QStringLiteral("autoHide"), s.autoHide);
}
