#pragma once

#include <QList>
#include <QWidget>

// Lays its items out in rows of equal cells, as many per row as the width allows, and asks for
// the height that takes. Items keep their own fixed size.
class FlowGrid : public QWidget
{
    Q_OBJECT
public:
    FlowGrid(QSize cell, int spacing, QWidget* parent = nullptr);

    void setItems(const QList<QWidget*>& items);
    const QList<QWidget*>& items() const { return m_items; }
    int columns(int width) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    QSize m_cell;
    int m_spacing;
    QList<QWidget*> m_items;
};
