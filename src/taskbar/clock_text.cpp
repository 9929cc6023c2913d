#include "taskbar/clock_text.h"

#include "clock/date_text.h"
#include "clock/clock_font.h"
#include "taskbar/point_canvas.h"
#include "taskbar/taskbar_settings.h"

#include <QFontMetricsF>
#include <QImage>

#include <algorithm>

ClockText::ClockText(const TaskbarSettings& settings, QDateTime moment)
    : m_settings(settings), m_moment(std::move(moment))
{
}

QDateTime ClockText::sampleMoment()
{
    return QDateTime(QDate(2023, 9, 20), QTime(10, 8, 8));
}

QString ClockText::time() const
{
    return DateText::string(m_settings.use24Hour ? QStringLiteral("HH:mm") : QStringLiteral("h:mm"), QString(), m_moment);
}

QString ClockText::seconds() const
{
    return DateText::string(QStringLiteral("':'ss"), QString(), m_moment);
}

QString ClockText::date() const
{
    return DateText::string(m_settings.dateFormat, QString(), m_moment);
}

namespace {

// The system face of the clock's design, the way the lock screen clock finds it.
QFont systemFont(ClockFont clockFont, FontWeightOption weight, double size)
{
    FontSpec fontSpec;
    fontSpec.design = design(clockFont);
    fontSpec.weight = weight;
    fontSpec.size = std::max(size, 0.5);
    return fontSpec.font(1.0);
}

} // namespace

QFont ClockText::designFont(ClockFont design)
{
    return systemFont(design, FontWeightOption::regular, 12);
}

QFont ClockText::timeFont(ClockFont design, double size)
{
    return systemFont(design, FontWeightOption::semibold, size);
}

QFont ClockText::dateFont(ClockFont design, double size)
{
    return systemFont(design, FontWeightOption::medium, size);
}

double ClockText::width(const QString& text, const QFont& font)
{
    return QFontMetricsF(font, PointCanvas::device()).horizontalAdvance(text);
}
