#pragma once

#include "clock/clock_enums.h"
#include "platform/desktop_words.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// The choices of the bar's settings. Every enumeration is stored as its raw value (the case name)
// and shown by its title; the order of the cases is the order of every picker.

enum class BackgroundStyle { solid, gradient, glass };
enum class BarCorners { square, top, all };
enum class BarEdge { bottom, top, left, right };
enum class IconAlignment { center, left };
enum class BarOverflow { scale, scroll, menu };
enum class IndicatorStyle { pill, dot, line, none };
enum class ClickAction { bringForward, hide, hideOthers, showInFinder };
enum class TrashPlacement { apps, corner, hidden };
enum class ClockFont { standard, rounded, monospaced };
enum class NowPlayingStyle { off, song, artwork, full };
enum class ClockClick { calendar, clock, nothing };
enum class BarDisplays { all, main };

namespace TaskbarEnum {

template<typename E>
struct Case
{
    E value;
    const char* raw;
    const char* title;
};

// The table of one enumeration, in picker order.
template<typename E>
struct Table;

#define TASKBAR_ENUM_TABLE(Type, Count, ...)                                                      \
    template<>                                                                                     \
    struct Table<Type>                                                                             \
    {                                                                                              \
        static constexpr std::array<Case<Type>, Count> cases {{__VA_ARGS__}};                      \
    };

TASKBAR_ENUM_TABLE(BackgroundStyle, 3,
    {BackgroundStyle::solid, "solid", "Solid"},
    {BackgroundStyle::gradient, "gradient", "Gradient"},
    {BackgroundStyle::glass, "glass", "Glass"})
TASKBAR_ENUM_TABLE(BarCorners, 3,
    {BarCorners::square, "square", "Square"},
    {BarCorners::top, "top", "Top only"},
    {BarCorners::all, "all", "All"})
TASKBAR_ENUM_TABLE(BarEdge, 4,
    {BarEdge::bottom, "bottom", "Bottom"},
    {BarEdge::top, "top", "Top"},
    {BarEdge::left, "left", "Left"},
    {BarEdge::right, "right", "Right"})
TASKBAR_ENUM_TABLE(IconAlignment, 2,
    {IconAlignment::center, "center", "Center"},
    {IconAlignment::left, "left", "Left"})
TASKBAR_ENUM_TABLE(BarOverflow, 3,
    {BarOverflow::scale, "scale", "Scale to fit"},
    {BarOverflow::scroll, "scroll", "Scroll"},
    {BarOverflow::menu, "menu", "Show the rest in a menu"})
TASKBAR_ENUM_TABLE(IndicatorStyle, 4,
    {IndicatorStyle::pill, "pill", "Pill"},
    {IndicatorStyle::dot, "dot", "Dot"},
    {IndicatorStyle::line, "line", "Underline"},
    {IndicatorStyle::none, "none", "None"})
TASKBAR_ENUM_TABLE(ClickAction, 4,
    {ClickAction::bringForward, "bringForward", "Bring forward"},
    {ClickAction::hide, "hide", "Hide it"},
    {ClickAction::hideOthers, "hideOthers", "Hide the others"},
    {ClickAction::showInFinder, "showInFinder", "Show in {fileManager}"})
TASKBAR_ENUM_TABLE(TrashPlacement, 3,
    {TrashPlacement::apps, "apps", "After the apps"},
    {TrashPlacement::corner, "corner", "Next to the clock"},
    {TrashPlacement::hidden, "hidden", "Hidden"})
TASKBAR_ENUM_TABLE(ClockFont, 3,
    {ClockFont::standard, "standard", "Standard"},
    {ClockFont::rounded, "rounded", "Rounded"},
    {ClockFont::monospaced, "monospaced", "Monospaced"})
TASKBAR_ENUM_TABLE(NowPlayingStyle, 4,
    {NowPlayingStyle::off, "off", "Off"},
    {NowPlayingStyle::song, "song", "Song"},
    {NowPlayingStyle::artwork, "artwork", "Artwork"},
    {NowPlayingStyle::full, "full", "Artwork and song"})
TASKBAR_ENUM_TABLE(ClockClick, 3,
    {ClockClick::calendar, "calendar", "Opens Calendar"},
    {ClockClick::clock, "clock", "Opens Clock"},
    {ClockClick::nothing, "nothing", "Does nothing"})
TASKBAR_ENUM_TABLE(BarDisplays, 2,
    {BarDisplays::all, "all", "All displays"},
    {BarDisplays::main, "main", "Main display only"})

#undef TASKBAR_ENUM_TABLE

template<typename E>
const Case<E>& caseOf(E value)
{
    for (const Case<E>& c : Table<E>::cases)
        if (c.value == value)
            return c;
    return Table<E>::cases.front(); // unreachable for values made through this header
}

// The stored form, which is also the identifier.
template<typename E>
QString rawValue(E value)
{
    return QString::fromLatin1(caseOf(value).raw);
}

// Titles that name the desktop's things take its words.
template<typename E>
QString title(E value)
{
    return DesktopWords::current().fill(QString::fromLatin1(caseOf(value).title));
}

// nullopt for any text that is not exactly one of the raw values.
template<typename E>
std::optional<E> fromRaw(QStringView raw)
{
    for (const Case<E>& c : Table<E>::cases)
        if (raw == QLatin1String(c.raw))
            return c.value;
    return std::nullopt;
}

template<typename E>
QList<E> allCases()
{
    QList<E> all;
    for (const Case<E>& c : Table<E>::cases)
        all.append(c.value);
    return all;
}

} // namespace TaskbarEnum

// "Top only" named after the corners that face away from the bar's screen edge.
QString title(BarCorners corners, BarEdge edge);

// The system font design the bar clock is drawn in.
FontDesign design(ClockFont font);
