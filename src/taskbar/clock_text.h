#pragma once

#include "taskbar/taskbar_enums.h"

#include <QDateTime>
#include <QFont>
#include <QString>

struct TaskbarSettings;

// The texts and fonts of the bar clock. Lengths along the bar are measured on a sample moment, so
// the bar does not change size as the minutes pass; previews show the same sample.
class ClockText
{
public:
    explicit ClockText(const TaskbarSettings& settings, QDateTime moment = sampleMoment());

    // A Wednesday morning with two-digit hours and minutes.
    static QDateTime sampleMoment();

    QString time() const;    // "HH:mm" or "h:mm"
    QString seconds() const; // ":ss"
    QString date() const;    // in the settings' date pattern

    // The system font of the clock's design: semibold for the time, medium for the date. Sizes
    // are in points; measure and draw them on a 72-dpi device so points and pixels agree.
    static QFont timeFont(ClockFont design, double size);
    static QFont dateFont(ClockFont design, double size);
    static QFont designFont(ClockFont design);

    // Advance width of the text in points.
    static double width(const QString& text, const QFont& font);

private:
    const TaskbarSettings& m_settings;
    QDateTime m_moment;
};
