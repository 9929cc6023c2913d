#include "app/ui/sheet_overlay.h"

#include "brand/brand.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

SheetOverlay::SheetOverlay(QWidget* window, QWidget* sheet, QSize size)
    : QWidget(window)
    , m_sheet(sheet)
    , m_size(size)
{
    sheet->setParent(this);
    sheet->setWindowFlags(Qt::Widget);
    // A child does not fill its background by itself as a window does.
    sheet->setAutoFillBackground(true);
    QPalette palette = sheet->palette();
    palette.setColor(QPalette::Window, Brand::base());
    sheet->setPalette(palette);
    window->installEventFilter(this);
    // Its size hint settles once it is polished and shown, and changes with its content.
    sheet->installEventFilter(this);
    place();
}

bool SheetOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        place();
    else if (watched == m_sheet && (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest))
        place();
    return QWidget::eventFilter(watched, event);
}

void SheetOverlay::place()
{
    setGeometry(parentWidget()->rect());
    QSize wanted = m_size.expandedTo(m_sheet->minimumSizeHint());
    // Wrapped text needs more height at the width the sheet gets.
    if (m_sheet->hasHeightForWidth())
        wanted.setHeight(std::max(wanted.height(), m_sheet->heightForWidth(wanted.width())));
    wanted = wanted.boundedTo(size());
    m_sheet->setGeometry(QRect(QPoint((width() - wanted.width()) / 2, (height() - wanted.height()) / 2), wanted));
    raise();
}

void SheetOverlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QColor dim = Brand::sidebar();
    dim.setAlphaF(0.72f);
    painter.fillRect(rect(), dim);
    painter.setPen(Brand::line());
    painter.drawRect(m_sheet->geometry().adjusted(-1, -1, 0, 0));
}

void SheetOverlay::mousePressEvent(QMouseEvent* event)
{
    // The window under the sheet waits until the sheet is gone.
    event->accept();
}
