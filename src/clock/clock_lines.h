#pragma once

#include "clock/clock_style.h"

#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include <optional>

// One secondary row of the clock block: weekday, date, or the user's own line.
struct SmallLine
{
    QString text;
    std::optional<TextAlign> align; // absent: the position's alignment
    TextLook look;
    bool own = false;

    bool operator==(const SmallLine&) const = default;
};

struct SmallLines
{
    QList<SmallLine> above;
    QList<SmallLine> below;
};

// The rows above and below the time for this instant.
SmallLines smallLines(const ClockStyle& style, const QDateTime& date);

// The vertical layout of the block's rows.
struct ClockLines
{
    QList<double> gaps; // one per adjacent pair of rows
    double inset = 0;   // how far leading and trailing rows move in from the widest row's edge

    // Gaps from the style: textLineSpacing next to the own line, lineSpacing elsewhere.
    static ClockLines of(const ClockStyle& style, double scale, const QList<bool>& ownRows);

    struct Placement
    {
        QList<QPointF> origins; // top-left of each row
        QSizeF size;            // bounding box of the placed rows
    };
    Placement place(const QList<QSizeF>& sizes, const QList<TextAlign>& sides) const;
};
