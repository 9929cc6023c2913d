#pragma once

#include <QList>

class QGridLayout;
class QWidget;

// The pages' card grids: as many columns as fit, the first `shown` cards placed row by row and
// the rest hidden (a folded grid), the used columns sharing the width.
namespace CardGrid {
int columns(int width, int gap, int cardMinWidth);
void place(QGridLayout& grid, const QList<QWidget*>& cards, int columns, int shown);
}
