#pragma once

#include <QHash>
#include <QList>
#include <QUuid>

class QGridLayout;
class QScrollArea;
class QWidget;

// The pages' card grids: as many columns as fit, the first `shown` cards placed row by row and
// the rest hidden (a folded grid), the used columns sharing the width.
namespace CardGrid {
int columns(int width, int gap, int cardMinWidth);
void place(QGridLayout& grid, const QList<QWidget*>& cards, int columns, int shown);
// The columns of a grid on a scrolling page, from the page's own width: the scroll area's
// viewport follows it only later, and its bar's room is kept free.
int pageColumns(const QWidget& page, const QScrollArea& scroll, int gap, int cardMinWidth);
// All cards when unfolded, else the first `foldedCount`; true when there are more than that.
bool placeFolded(QGridLayout& grid, const QList<QWidget*>& cards, int columns, bool unfolded, int foldedCount);

// The cards kept by id, in the order shown.
template<typename Card>
QList<Card*> inOrder(const QList<QUuid>& order, const QHash<QUuid, Card*>& cards)
{
    QList<Card*> list;
    list.reserve(order.size());
    for (const QUuid& id : order)
        list << cards.value(id);
    return list;
}
}
