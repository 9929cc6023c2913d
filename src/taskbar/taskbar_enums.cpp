#include "taskbar/taskbar_enums.h"

QString title(BarCorners corners, BarEdge edge)
{
    if (corners != BarCorners::top)
        return TaskbarEnum::title(corners);
    switch (edge) {
    case BarEdge::bottom: return QStringLiteral("Top only");
    case BarEdge::top: return QStringLiteral("Bottom only");
    case BarEdge::left: return QStringLiteral("Right only");
    case BarEdge::right: return QStringLiteral("Left only");
    }
    return TaskbarEnum::title(corners);
}

FontDesign design(ClockFont font)
{
    switch (font) {
    case ClockFont::standard: return FontDesign::standard;
    case ClockFont::rounded: return FontDesign::rounded;
    case ClockFont::monospaced: return FontDesign::monospaced;
    }
    return FontDesign::standard;
}
