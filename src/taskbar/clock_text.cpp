#include "taskbar/clock_text.h"

#include "taskbar/locale_patterns.h"
#include "taskbar/point_canvas.h"
#include "taskbar/taskbar_settings.h"

#include <QFontDatabase>
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
    return LocalePatterns::format(m_settings.use24Hour ? QStringLiteral("HH:mm") : QStringLiteral("h:mm"), m_moment);
}

QString ClockText::seconds() const
{
    return LocalePatterns::format(QStringLiteral("':'ss"), m_moment);
}

QString ClockText::date() const
{
    return LocalePatterns::format(m_settings.dateFormat, m_moment);
}

QFont ClockText::designFont(ClockFont design)
{
    switch (design) {
    case ClockFont::monospaced:
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    case ClockFont::rounded: {
        // Linux desktops have no rounded system design: prefer a rounded family when one is
        // installed, else the general system font.
        QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        font.setFamilies({QStringLiteral("Nunito"), QStringLiteral("Varela Round"), QStringLiteral("Comfortaa"),
                          font.family()});
        return font;
    }
    case ClockFont::standard:
        break;
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

QFont ClockText::timeFont(ClockFont design, double size)
{
    QFont font = designFont(design);
    font.setPointSizeF(std::max(size, 0.5));
    font.setWeight(QFont::DemiBold);
    return font;
}

QFont ClockText::dateFont(ClockFont design, double size)
{
    QFont font = designFont(design);
    font.setPointSizeF(std::max(size, 0.5));
    font.setWeight(QFont::Medium);
    return font;
}

double ClockText::width(const QString& text, const QFont& font)
{
    return QFontMetricsF(font, PointCanvas::device()).horizontalAdvance(text);
}
