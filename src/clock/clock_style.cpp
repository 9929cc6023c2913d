#include "clock/clock_style.h"

#include "clock/clock_hours.h"
#include "clock/date_text.h"
#include "core/json_fields.h"

#include <QJsonDocument>

#include <algorithm>

double ClockStyle::canvasPadding() const
{
    return std::max(shadowRadius * 3 + 8, 16.0);
}

QJsonObject ClockStyle::toJson() const
{
    QJsonObject o;
    o.insert(QStringLiteral("timeFont"), timeFont.toJson());
    o.insert(QStringLiteral("use24Hour"), use24Hour);
    o.insert(QStringLiteral("showSeconds"), showSeconds);
    o.insert(QStringLiteral("arrangement"), rawValue(arrangement));
    o.insert(QStringLiteral("separator"), rawValue(separator));
    o.insert(QStringLiteral("leadingZero"), leadingZero);
    o.insert(QStringLiteral("labelFont"), labelFont.toJson());
    o.insert(QStringLiteral("labelTracking"), labelTracking);
    o.insert(QStringLiteral("showWeekday"), showWeekday);
    o.insert(QStringLiteral("showDate"), showDate);
    o.insert(QStringLiteral("dateFormat"), rawValue(dateFormat));
    o.insert(QStringLiteral("uppercaseLabels"), uppercaseLabels);
    o.insert(QStringLiteral("localeID"), localeID);
    o.insert(QStringLiteral("datePlacement"), rawValue(datePlacement));
    o.insert(QStringLiteral("ownLine"), ownLine);
    o.insert(QStringLiteral("ownLinePlacement"), rawValue(ownLinePlacement));
    if (ownLineLook)
        o.insert(QStringLiteral("ownLineLook"), ownLineLook->toJson());
    if (labelAlign)
        o.insert(QStringLiteral("labelAlign"), rawValue(*labelAlign));
    if (ownLineAlign)
        o.insert(QStringLiteral("ownLineAlign"), rawValue(*ownLineAlign));
    o.insert(QStringLiteral("useGradient"), useGradient);
    o.insert(QStringLiteral("timeColor"), timeColor.toJson());
    o.insert(QStringLiteral("timeColorBottom"), timeColorBottom.toJson());
    o.insert(QStringLiteral("labelColor"), labelColor.toJson());
    o.insert(QStringLiteral("digitsFollowWallpaper"), digitsFollowWallpaper);
    o.insert(QStringLiteral("finish"), rawValue(finish));
    o.insert(QStringLiteral("outlineWidth"), outlineWidth);
    o.insert(QStringLiteral("timeOpacity"), timeOpacity);
    o.insert(QStringLiteral("shadowOpacity"), shadowOpacity);
    o.insert(QStringLiteral("shadowRadius"), shadowRadius);
    o.insert(QStringLiteral("position"), rawValue(position));
    o.insert(QStringLiteral("horizontalMargin"), horizontalMargin);
    o.insert(QStringLiteral("verticalMargin"), verticalMargin);
    o.insert(QStringLiteral("lineSpacing"), lineSpacing);
    o.insert(QStringLiteral("textLineSpacing"), textLineSpacing);
    return o;
}

QByteArray ClockStyle::encode() const
{
    return QJsonDocument(toJson()).toJson(QJsonDocument::Compact);
}

std::optional<ClockStyle> ClockStyle::fromJson(const QJsonObject& object)
{
    const JsonFields::Record f(object);
    ClockStyle s;
    const bool ok = f.read("timeFont", s.timeFont) && f.read("use24Hour", s.use24Hour)
        && f.read("showSeconds", s.showSeconds) && f.read("arrangement", s.arrangement)
        && f.read("separator", s.separator) && f.read("leadingZero", s.leadingZero)
        && f.read("labelFont", s.labelFont) && f.read("labelTracking", s.labelTracking)
        && f.read("showWeekday", s.showWeekday) && f.read("showDate", s.showDate)
        && f.read("dateFormat", s.dateFormat) && f.read("uppercaseLabels", s.uppercaseLabels)
        && f.read("localeID", s.localeID) && f.read("datePlacement", s.datePlacement)
        && f.read("ownLine", s.ownLine) && f.read("ownLinePlacement", s.ownLinePlacement)
        && f.read("ownLineLook", s.ownLineLook) && f.read("labelAlign", s.labelAlign)
        && f.read("ownLineAlign", s.ownLineAlign) && f.read("useGradient", s.useGradient)
        && f.read("timeColor", s.timeColor) && f.read("timeColorBottom", s.timeColorBottom)
        && f.read("labelColor", s.labelColor) && f.read("digitsFollowWallpaper", s.digitsFollowWallpaper)
        && f.read("finish", s.finish) && f.read("outlineWidth", s.outlineWidth)
        && f.read("timeOpacity", s.timeOpacity) && f.read("shadowOpacity", s.shadowOpacity)
        && f.read("shadowRadius", s.shadowRadius) && f.read("position", s.position)
        && f.read("horizontalMargin", s.horizontalMargin) && f.read("verticalMargin", s.verticalMargin)
        && f.read("lineSpacing", s.lineSpacing) && f.read("textLineSpacing", s.textLineSpacing);
    if (!ok)
        return std::nullopt;
    return s;
}

std::optional<ClockStyle> ClockStyle::decode(const QJsonObject& stored)
{
    QJsonObject merged = ClockStyle().toJson();
    for (auto it = stored.begin(); it != stored.end(); ++it)
        merged.insert(it.key(), it.value());
    return fromJson(merged);
}

std::optional<ClockStyle> ClockStyle::decode(const QByteArray& data)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return decode(document.object());
}

QStringList ClockStyle::timeParts(const QDateTime& date, std::optional<bool> seconds) const
{
    const bool twentyFour = ClockHours::shared().uses24Hour();
    QString hour;
    if (twentyFour)
        hour = leadingZero ? QStringLiteral("HH") : QStringLiteral("H");
    else
        hour = leadingZero ? QStringLiteral("hh") : QStringLiteral("h");
    const bool withSeconds = seconds.value_or(showSeconds);
    // Formatted at once, joined by a private-use character that no locale writes, then split.
    const QChar mark(0xE000);
    const QString joint = QStringLiteral("'") + mark + QStringLiteral("'");
    QString pattern = hour + joint + QStringLiteral("mm");
    if (withSeconds)
        pattern += joint + QStringLiteral("ss");
    const QStringList parts = DateText::string(pattern, localeID, date).split(mark);
    if (parts.size() == (withSeconds ? 3 : 2))
        return parts;
    QStringList apart{DateText::string(hour, localeID, date), DateText::string(QStringLiteral("mm"), localeID, date)};
    if (withSeconds)
        apart.append(DateText::string(QStringLiteral("ss"), localeID, date));
    return apart;
}
