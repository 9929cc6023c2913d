#pragma once

#include "brand/edge_brightness.h"
#include "taskbar/taskbar_settings.h"

#include <QImage>
#include <QPainter>
#include <QRectF>

#include <optional>

// The bar's fill: solid, a gradient between the two background colours, or glass (the wallpaper
// behind, softened, under a translucent tint); a shade under it that keeps light text readable
// over bright wallpapers; and the edge line along the bar's inner side.
namespace BarBackground {

// Opacity of the black shade under the fill, for the wallpaper brightness along the bar's edge.
double legibilityShade(const TaskbarSettings& settings, double edgeBrightness);
// The brightness along the screen edge the bar sits on.
double brightnessAt(const EdgeBrightness& edges, BarEdge edge);

// Draws the background into `rect`. `behind` is the picture under the bar (same coordinates as
// the painter) for glass; without it glass is drawn as its translucent tint alone.
void draw(QPainter& painter, const QRectF& rect, const TaskbarSettings& settings,
          std::optional<double> edgeBrightness = std::nullopt, const QImage* behind = nullptr);

} // namespace BarBackground
