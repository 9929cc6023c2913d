#include "app/ui/status_dot.h"

#include "brand/brand.h"

#include <QPainter>

StatusDot::StatusDot(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(sizeHint());
}

void StatusDot::setLit(std::optional<QColor> color)
{
    if (m_color == color)
        return;
    m_color = color;
    update();
}

void StatusDot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_color.value_or(Brand::off()));
    painter.drawEllipse(rect());
}
