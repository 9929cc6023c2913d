#include "clock/clock_choices.h"

#include "clock/date_text.h"

DateShown ClockChoices::dateShown(const ClockStyle& style)
{
    if (style.showWeekday)
        return style.showDate ? DateShown::both : DateShown::weekday;
    return style.showDate ? DateShown::date : DateShown::none;
}

void ClockChoices::setDateShown(ClockStyle& style, DateShown shown)
{
    style.showWeekday = shown == DateShown::both || shown == DateShown::weekday;
    style.showDate = shown == DateShown::both || shown == DateShown::date;
}

DigitColour ClockChoices::digitColour(const ClockStyle& style)
{
    if (style.digitsFollowWallpaper)
        return DigitColour::wallpaper;
    return style.useGradient ? DigitColour::gradient : DigitColour::solid;
}

void ClockChoices::setDigitColour(ClockStyle& style, DigitColour colour)
{
    switch (colour) {
    case DigitColour::solid:
        style.useGradient = false;
        style.digitsFollowWallpaper = false;
        break;
    case DigitColour::gradient:
        style.useGradient = true;
        style.digitsFollowWallpaper = false;
        break;
    case DigitColour::wallpaper:
        style.digitsFollowWallpaper = true;
        break;
    }
}

std::optional<ClockTab> ClockChoices::tabNamed(const QString& name)
{
    for (const auto& c : EnumTable<ClockTab>::cases) {
        if (name.compare(QLatin1String(c.raw), Qt::CaseInsensitive) == 0)
            return c.value;
    }
    return std::nullopt;
}

const QList<ClockChoices::Language>& ClockChoices::languages()
{
    static const QList<Language> list{
        {QStringLiteral("System"), QString()},
        {QStringLiteral("English (UK)"), QStringLiteral("en_GB")},
        {QStringLiteral("English (US)"), QStringLiteral("en_US")},
        {QStringLiteral("Suomi"), QStringLiteral("fi_FI")},
        {QStringLiteral("Svenska"), QStringLiteral("sv_SE")},
        {QStringLiteral("Deutsch"), QStringLiteral("de_DE")},
        {QStringLiteral("日本語"), QStringLiteral("ja_JP")},
    };
    return list;
}

QString ClockChoices::dateFormatSample(DateFormatOption format, const QString& localeID, const QDateTime& date)
{
    return DateText::string(pattern(format), localeID, date);
}

TextLook ClockChoices::ownLookFrom(const ClockStyle& style)
{
    return style.labelLook();
}
