#include "menubar/ui/menu_content_view.h"

#include "brand/brand.h"
#include "menubar/ensemble_menu.h"
#include "menubar/ensemble_menu_model.h"

#include <QKeyEvent>
#include <QPainter>

namespace {
constexpr int margin = 16;
}

MenuContentView::MenuContentView(std::unique_ptr<EnsembleMenuModel> model,
                                 std::function<std::unique_ptr<EnsembleMenu>(EnsembleMenuModel&)> make, QWidget* parent)
    : QWidget(parent)
    , m_model(std::move(model))
    , m_menu(make(*m_model))
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Zentrove"));
    connect(m_menu.get(), &EnsembleMenu::changed, this, [this] {
        updateGeometry();
        update();
    });
}

MenuContentView::~MenuContentView()
{
    m_menu.reset();
}

QSize MenuContentView::sizeHint() const
{
    return m_menu->size().toSize() + QSize(2 * margin, 2 * margin);
}

QPointF MenuContentView::content(const QPointF& at) const
{
    const QSizeF size = m_menu->size();
    return at - QPointF((width() - size.width()) / 2, margin);
}

void MenuContentView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Brand::sidebar());
    const QSizeF size = m_menu->size();
    painter.translate((width() - size.width()) / 2, margin);
    EnsembleMenu::paintChrome(painter, QRectF(QPointF(), size));
    m_menu->paint(painter);
}

void MenuContentView::mouseMoveEvent(QMouseEvent* event)
{
    m_menu->hover(content(event->position()));
}

void MenuContentView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_menu->click(content(event->position()));
}

void MenuContentView::wheelEvent(QWheelEvent* event)
{
    m_menu->scroll(event->angleDelta().y() / 4.0);
}

void MenuContentView::keyPressEvent(QKeyEvent* event)
{
    if (!m_menu->shortcut(event->keyCombination()))
        QWidget::keyPressEvent(event);
}

void MenuContentView::leaveEvent(QEvent*)
{
    m_menu->hover(QPointF(-1, -1));
}
