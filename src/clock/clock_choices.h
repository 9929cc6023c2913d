#pragma once

#include "clock/clock_enums.h"
#include "clock/clock_style.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The composite choices the clock editor offers over several fields of a style, and the tabs
// the editor is organised in.

// Which of weekday and date are shown.
enum class DateShown { both, weekday, date, none };
// How the digits are coloured: one colour, a gradient, or the wallpaper's accent.
enum class DigitColour { solid, gradient, wallpaper };
enum class ClockTab { time, look, date, text, layout };

template<> struct EnumTable<DateShown>
{
    static constexpr std::array<EnumCase<DateShown>, 4> cases{{{DateShown::both, "both", "Both"},
                                                               {DateShown::weekday, "weekday", "Weekday"},
                                                               {DateShown::date, "date", "Date"},
                                                               {DateShown::none, "none", "None"}}};
};
template<> struct EnumTable<DigitColour>
{
    static constexpr std::array<EnumCase<DigitColour>, 3> cases{{{DigitColour::solid, "solid", "Solid"},
                                                                 {DigitColour::gradient, "gradient", "Gradient"},
                                                                 {DigitColour::wallpaper, "wallpaper", "Wallpaper"}}};
};
template<> struct EnumTable<ClockTab>
{
    static constexpr std::array<EnumCase<ClockTab>, 5> cases{{{ClockTab::time, "time", "Time"},
                                                              {ClockTab::look, "look", "Look"},
                                                              {ClockTab::date, "date", "Date"},
                                                              {ClockTab::text, "text", "Text"},
                                                              {ClockTab::layout, "layout", "Layout"}}};
};

namespace ClockChoices {

DateShown dateShown(const ClockStyle& style);
void setDateShown(ClockStyle& style, DateShown shown);

// Reading: wallpaper when the digits follow it, else gradient when on, else solid. Choosing the
// wallpaper keeps the gradient flag as it was, so switching back finds the colours unchanged.
DigitColour digitColour(const ClockStyle& style);
void setDigitColour(ClockStyle& style, DigitColour colour);

// A tab by its raw value, ignoring case ("Look", "look").
std::optional<ClockTab> tabNamed(const QString& name);

// The languages offered for weekday and date: a title in its own language and a locale id
// (empty: the system's).
struct Language
{
    QString title;
    QString localeID;
};
const QList<Language>& languages();

// A date format as the menu shows it: the date formatted with its pattern in the language.
QString dateFormatSample(DateFormatOption format, const QString& localeID, const QDateTime& date);

// The own line's look when it gets one of its own: the date's look as it is now, not upper-cased.
TextLook ownLookFrom(const ClockStyle& style);

} // namespace ClockChoices
