#pragma once

#include "clock/clock_enums.h"
#include "clock/clock_font.h"
#include "clock/rgba.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QStringList>

#include <optional>

// Everything about how the lock screen clock looks. Exchanged with the clock part as JSON whose
// keys are the field names.
struct ClockStyle
{
    FontSpec timeFont{QString(), FontDesign::rounded, FontWeightOption::semibold, 104, std::nullopt};
    bool use24Hour = true; // carried only: the hour format drawn follows ClockHours
    bool showSeconds = false;
    TimeArrangement arrangement = TimeArrangement::oneLine;
    TimeSeparator separator = TimeSeparator::colon;
    bool leadingZero = true;
    FontSpec labelFont{QString(), FontDesign::standard, FontWeightOption::semibold, 17, std::nullopt};
    double labelTracking = 3.5;
    bool showWeekday = true;
    bool showDate = true;
    DateFormatOption dateFormat = DateFormatOption::dayMonth;
    bool uppercaseLabels = true;
    QString localeID = QStringLiteral("en_GB"); // empty: the current locale
    DatePlacement datePlacement = DatePlacement::around;
    QString ownLine;
    LinePlacement ownLinePlacement = LinePlacement::below;
    std::optional<TextLook> ownLineLook; // absent: the label look
    std::optional<TextAlign> labelAlign;   // absent: the position's alignment
    std::optional<TextAlign> ownLineAlign; // absent: the position's alignment
    bool useGradient = true;
    RGBA timeColor{1, 1, 1, 1};
    RGBA timeColorBottom{0.8, 0.76, 1.0, 1};
    RGBA labelColor{1, 1, 1, 0.85};
    bool digitsFollowWallpaper = false;
    DigitFinish finish = DigitFinish::filled;
    double outlineWidth = 3;
    double timeOpacity = 1;
    double shadowOpacity = 0;
    double shadowRadius = 10;
    ScreenPosition position = ScreenPosition::topLeft;
    double horizontalMargin = 72;
    double verticalMargin = 56;
    double lineSpacing = -4;     // between time, weekday and date rows; negative overlaps
    double textLineSpacing = 2;  // between the own line and its neighbour

    TextAlign textAlign() const { return ::textAlign(position); }
    TextLook labelLook() const { return TextLook{labelFont, labelTracking, labelColor, false}; }
    // Room around the drawn text so the shadow is not clipped, in points at scale 1.
    double canvasPadding() const;

    QJsonObject toJson() const;
    QByteArray encode() const;
    // Strict: every key present and well-typed.
    static std::optional<ClockStyle> fromJson(const QJsonObject& object);
    // Tolerant reading of a stored style: its top-level keys replace those of ClockStyle(), so
    // keys added in later versions take their defaults and extra keys are ignored. A nested record
    // is replaced whole and must be complete. Not a JSON object, or a bad value: nullopt.
    static std::optional<ClockStyle> decode(const QByteArray& data);
    static std::optional<ClockStyle> decode(const QJsonObject& stored);

    // The strings of the time: hours, minutes and, when `seconds` says so (by default
    // showSeconds), seconds. The hour format is the app-wide one; no AM/PM marker.
    QStringList timeParts(const QDateTime& date, std::optional<bool> seconds = std::nullopt) const;

    bool operator==(const ClockStyle&) const = default;
};
