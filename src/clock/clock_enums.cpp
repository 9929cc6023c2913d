#include "clock/clock_enums.h"

#include "clock/clock_hours.h"

int axisValue(FontWeightOption weight)
{
    switch (weight) {
    case FontWeightOption::ultraLight: return 100;
    case FontWeightOption::thin: return 200;
    case FontWeightOption::light: return 300;
    case FontWeightOption::regular: return 400;
    case FontWeightOption::medium: return 500;
    case FontWeightOption::semibold: return 600;
    case FontWeightOption::bold: return 700;
    case FontWeightOption::heavy: return 800;
    case FontWeightOption::black: return 900;
    }
    return 400;
}

int managerWeight(FontWeightOption weight)
{
    switch (weight) {
    case FontWeightOption::ultraLight: return 2;
    case FontWeightOption::thin: return 3;
    case FontWeightOption::light: return 4;
    case FontWeightOption::regular: return 5;
    case FontWeightOption::medium: return 6;
    case FontWeightOption::semibold: return 8;
    case FontWeightOption::bold: return 9;
    case FontWeightOption::heavy: return 10;
    case FontWeightOption::black: return 11;
    }
    return 5;
}

TextAlign textAlign(ScreenPosition position)
{
    switch (position) {
    case ScreenPosition::topLeft:
    case ScreenPosition::bottomLeft:
        return TextAlign::leading;
    case ScreenPosition::topRight:
    case ScreenPosition::bottomRight:
        return TextAlign::trailing;
    case ScreenPosition::topCenter:
    case ScreenPosition::center:
    case ScreenPosition::bottomCenter:
        return TextAlign::center;
    }
    return TextAlign::leading;
}

QString pattern(DateFormatOption format)
{
    switch (format) {
    case DateFormatOption::dayMonth: return QStringLiteral("d MMMM");
    case DateFormatOption::monthDay: return QStringLiteral("MMMM d");
    case DateFormatOption::dayMonthYear: return QStringLiteral("d MMM yyyy");
    case DateFormatOption::numeric: return QStringLiteral("d.M.yyyy");
    case DateFormatOption::numericUS: return QStringLiteral("M/d/yyyy");
    }
    return QStringLiteral("d MMMM");
}

QString text(TimeSeparator separator)
{
    switch (separator) {
    case TimeSeparator::colon: return QStringLiteral(":");
    case TimeSeparator::dot: return QString(QChar(0x00B7));
    case TimeSeparator::none: return QString();
    }
    return QString();
}

bool is24Hour(ClockTimeFormat format)
{
    switch (format) {
    case ClockTimeFormat::twelve: return false;
    case ClockTimeFormat::twentyFour: return true;
    case ClockTimeFormat::mac: return ClockHours::systemUses24Hour();
    }
    return true;
}
