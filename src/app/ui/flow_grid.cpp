#include "app/ui/flow_grid.h"

#include <algorithm>

FlowGrid::FlowGrid(QSize cell, int spacing, QWidget* parent)
    : QWidget(parent)
    , m_cell(cell)
    , m_spacing(spacing)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void FlowGrid::setItems(const QList<QWidget*>& items)
{
    for (QWidget* item : items) {
        if (item->parent() != this)
            item->setParent(this);
        item->show();
    }
    m_items = items;
    place();
    updateGeometry();
}

int FlowGrid::columns(int width) const
{
    return std::max(1, (width + m_spacing) / (m_cell.width() + m_spacing));
}

int FlowGrid::heightForWidth(int width) const
{
    if (m_items.isEmpty())
        return 0;
    const int rows = int((m_items.size() + columns(width) - 1) / columns(width));
    return rows * m_cell.height() + (rows - 1) * m_spacing;
}

QSize FlowGrid::sizeHint() const
{
    return {4 * m_cell.width() + 3 * m_spacing, heightForWidth(4 * m_cell.width() + 3 * m_spacing)};
}

QSize FlowGrid::minimumSizeHint() const
{
    return {m_cell.width(), 0};
}

void FlowGrid::resizeEvent(QResizeEvent*)
{
    place();
}

void FlowGrid::place()
{
    const int perRow = columns(width());
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const int column = int(i % perRow);
        const int row = int(i / perRow);
        m_items[i]->move(column * (m_cell.width() + m_spacing), row * (m_cell.height() + m_spacing));
    }
}
