#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The few line symbols the wallpapers page uses, drawn with QPainter in the given colour:
// "magnifyingglass", "xmark.circle.fill", "slider.horizontal.3", "film.stack",
// "chevron.left", "chevron.right", "chevron.down". An unknown name draws nothing.
namespace Symbols {

QPixmap pixmap(const QString& name, const QColor& color, int size, qreal devicePixelRatio = 1.0);
QIcon icon(const QString& name, const QColor& color, int size = 16);

} // namespace Symbols
