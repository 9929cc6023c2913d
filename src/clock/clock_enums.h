#pragma once

#include "platform/desktop_words.h"

#include <QJsonValue>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// The small vocabularies of a clock style. Each enumeration is stored as its raw string (equal to
// the case name) and shown to the user by its title; allCases() keeps the order of the menus.

enum class FontDesign { standard, rounded, serif, monospaced };
enum class FontWeightOption { ultraLight, thin, light, regular, medium, semibold, bold, heavy, black };
enum class ScreenPosition { topLeft, topCenter, topRight, center, bottomLeft, bottomCenter, bottomRight };
enum class TextAlign { leading, center, trailing };
enum class DateFormatOption { dayMonth, monthDay, dayMonthYear, numeric, numericUS };
enum class TimeArrangement { oneLine, stacked };
enum class TimeSeparator { colon, dot, none };
enum class DigitFinish { filled, outline, glass };
enum class DatePlacement { around, above, below };
enum class LinePlacement { above, below };
enum class ClockTimeFormat { mac, twelve, twentyFour };

template<typename E>
struct EnumCase
{
    E value;
    const char* raw;
    const char* title;
};

// One table per enumeration, in menu order.
template<typename E> struct EnumTable;

#define ZENTROVE_ENUM_TABLE(Type, N, ...)                                                          \
    template<> struct EnumTable<Type>                                                              \
    {                                                                                              \
        static constexpr std::array<EnumCase<Type>, N> cases{{__VA_ARGS__}};                       \
    };

ZENTROVE_ENUM_TABLE(FontDesign, 4,
    {FontDesign::standard, "standard", "Standard"}, {FontDesign::rounded, "rounded", "Rounded"},
    {FontDesign::serif, "serif", "Serif"}, {FontDesign::monospaced, "monospaced", "Monospaced"})
ZENTROVE_ENUM_TABLE(FontWeightOption, 9,
    {FontWeightOption::ultraLight, "ultraLight", "Ultra Light"}, {FontWeightOption::thin, "thin", "Thin"},
    {FontWeightOption::light, "light", "Light"}, {FontWeightOption::regular, "regular", "Regular"},
    {FontWeightOption::medium, "medium", "Medium"}, {FontWeightOption::semibold, "semibold", "Semibold"},
    {FontWeightOption::bold, "bold", "Bold"}, {FontWeightOption::heavy, "heavy", "Heavy"},
    {FontWeightOption::black, "black", "Black"})
ZENTROVE_ENUM_TABLE(ScreenPosition, 7,
    {ScreenPosition::topLeft, "topLeft", "Top Left"}, {ScreenPosition::topCenter, "topCenter", "Top Center"},
    {ScreenPosition::topRight, "topRight", "Top Right"}, {ScreenPosition::center, "center", "Center"},
    {ScreenPosition::bottomLeft, "bottomLeft", "Bottom Left"},
    {ScreenPosition::bottomCenter, "bottomCenter", "Bottom Center"},
    {ScreenPosition::bottomRight, "bottomRight", "Bottom Right"})
ZENTROVE_ENUM_TABLE(TextAlign, 3,
    {TextAlign::leading, "leading", "Left"}, {TextAlign::center, "center", "Center"},
    {TextAlign::trailing, "trailing", "Right"})
ZENTROVE_ENUM_TABLE(DateFormatOption, 5,
    {DateFormatOption::dayMonth, "dayMonth", "Day Month"}, {DateFormatOption::monthDay, "monthDay", "Month Day"},
    {DateFormatOption::dayMonthYear, "dayMonthYear", "Day Month Year"},
    {DateFormatOption::numeric, "numeric", "Numeric"}, {DateFormatOption::numericUS, "numericUS", "Numeric US"})
ZENTROVE_ENUM_TABLE(TimeArrangement, 2,
    {TimeArrangement::oneLine, "oneLine", "One line"}, {TimeArrangement::stacked, "stacked", "Stacked"})
ZENTROVE_ENUM_TABLE(TimeSeparator, 3,
    {TimeSeparator::colon, "colon", "Colon"}, {TimeSeparator::dot, "dot", "Dot"}, {TimeSeparator::none, "none", "None"})
ZENTROVE_ENUM_TABLE(DigitFinish, 3,
    {DigitFinish::filled, "filled", "Filled"}, {DigitFinish::outline, "outline", "Outline"},
    {DigitFinish::glass, "glass", "Glass"})
ZENTROVE_ENUM_TABLE(DatePlacement, 3,
    {DatePlacement::around, "around", "Split"}, {DatePlacement::above, "above", "Above"},
    {DatePlacement::below, "below", "Below"})
ZENTROVE_ENUM_TABLE(LinePlacement, 2,
    {LinePlacement::above, "above", "Above"}, {LinePlacement::below, "below", "Below"})
ZENTROVE_ENUM_TABLE(ClockTimeFormat, 3,
    {ClockTimeFormat::mac, "mac", "Follow {systemName}"}, {ClockTimeFormat::twelve, "twelve", "12-hour"},
    {ClockTimeFormat::twentyFour, "twentyFour", "24-hour"})

#undef ZENTROVE_ENUM_TABLE

template<typename E>
QList<E> allCases()
{
    QList<E> values;
    for (const auto& c : EnumTable<E>::cases)
        values.append(c.value);
    return values;
}

// The stored string (also the id in menus).
template<typename E>
QString rawValue(E value)
{
    for (const auto& c : EnumTable<E>::cases) {
        if (c.value == value)
            return QString::fromLatin1(c.raw);
    }
    return {};
}

template<typename E>
QString title(E value)
{
    for (const auto& c : EnumTable<E>::cases) {
        if (c.value == value)
            return DesktopWords::current().fill(QString::fromLatin1(c.title));
    }
    return {};
}

// nullopt for a string that names no case (exact, case-sensitive).
template<typename E>
std::optional<E> enumFromRaw(const QString& raw)
{
    for (const auto& c : EnumTable<E>::cases) {
        if (raw == QLatin1String(c.raw))
            return c.value;
    }
    return std::nullopt;
}

// Enumerations are stored as their raw strings (for the record reader of core/json_fields.h).
template<typename E>
auto readJsonField(const QJsonValue& json, E& out) -> decltype(EnumTable<E>::cases, bool())
{
    if (!json.isString())
        return false;
    const std::optional<E> value = enumFromRaw<E>(json.toString());
    if (!value)
        return false;
    out = *value;
    return true;
}

// Value of the variable-font weight axis ('wght'); 400 for anything out of range.
int axisValue(FontWeightOption weight);
// The platform font manager's weight scale (2 to 11; 7 is not used by any option).
int managerWeight(FontWeightOption weight);
// The alignment a screen position gives the text of the clock block.
TextAlign textAlign(ScreenPosition position);
// The fixed date-format pattern of the date line.
QString pattern(DateFormatOption format);
// What is drawn between hours and minutes in one-line arrangement.
QString text(TimeSeparator separator);
// Whether the hour format draws 24 hours; `mac` follows the current locale's preference.
bool is24Hour(ClockTimeFormat format);
