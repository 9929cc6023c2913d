#include "brand/ui/page_scroll.h"

#include <QScrollArea>
#include <QVBoxLayout>

QScrollArea* PageScroll::around(QWidget* content, QWidget* parent)
{
    auto* scroll = new QScrollArea(parent);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content);
    return scroll;
}

QScrollArea* PageScroll::fill(QWidget& page, QWidget* content)
{
    QScrollArea* scroll = around(content, &page);
    auto* outer = new QVBoxLayout(&page);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    return scroll;
}
