#pragma once

#include <QString>

class QColor;

// Style sheet pieces that more than one page uses.
namespace PageStyle {
// A colour as style sheets write it, alpha included.
QString css(const QColor& color);
// The editing pages' shared controls: cards of presets and styles, segmented choices, fields,
// drop-downs and sliders. Pages add their own rules after these.
QString editingControls();
}
