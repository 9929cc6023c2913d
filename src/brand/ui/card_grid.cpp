#include "brand/ui/card_grid.h"

#include <QGridLayout>
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
