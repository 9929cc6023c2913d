#include "brand/ui/card_grid.h"

#include "brand/brand.h"

#include <QGridLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

int CardGrid::columns(int width, int gap, int cardMinWidth)
{
    return std::max(1, (width + gap) / (cardMinWidth + gap));
}

void CardGrid::place(QGridLayout& grid, const QList<QWidget*>& cards, int columns, int shown)
{
    while (grid.count() > 0)
        delete grid.takeAt(0);
    for (int i = 0; i < cards.size(); ++i) {
        if (i < shown) {
            grid.addWidget(cards[i], i / columns, i % columns);
            cards[i]->show();
        } else {
            cards[i]->hide();
        }
    }
    for (int c = 0; c < grid.columnCount(); ++c)
        grid.setColumnStretch(c, c < columns ? 1 : 0);
}

int CardGrid::pageColumns(const QWidget& page, const QScrollArea& scroll, int gap, int cardMinWidth)
{
    const int width = page.width() - 2 * int(Brand::pagePadding) - scroll.verticalScrollBar()->sizeHint().width();
    return columns(width, gap, cardMinWidth);
}

bool CardGrid::placeFolded(QGridLayout& grid, const QList<QWidget*>& cards, int columns, bool unfolded, int foldedCount)
{
    const int count = int(cards.size());
    place(grid, cards, columns, unfolded ? count : std::min(count, foldedCount));
    return count > foldedCount;
}
