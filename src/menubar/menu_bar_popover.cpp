#include "menubar/menu_bar_popover.h"

#include "menubar/ensemble_menu.h"
#include "platform/status_item.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

PopoverWindow::PopoverWindow(EnsembleMenu& menu)
    : m_menu(menu)
{
    setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setTitle(QStringLiteral("Zentrove"));
    connect(&m_menu, &EnsembleMenu::changed, this, [this] {
        fitContent();
        requestUpdate();
    });
    fitContent();
}

void PopoverWindow::fitContent()
{
    const QSize wanted = m_menu.size().toSize();
    if (wanted != size())
        resize(wanted);
}

void PopoverWindow::place(const QPoint& anchor, const QRect& area)
{
    fitContent();
    // Below the item when it sits at the top of the screen, above it when at the bottom.
    QPoint topLeft(anchor.x() - width() / 2, anchor.y() + 8);
    if (topLeft.y() + height() > area.bottom())
        topLeft.setY(anchor.y() - height() - 8);
    topLeft.setX(std::clamp(topLeft.x(), area.left() + 4, std::max(area.left() + 4, area.right() - width() - 4)));
    topLeft.setY(std::clamp(topLeft.y(), area.top() + 4, std::max(area.top() + 4, area.bottom() - height() - 4)));
    setPosition(topLeft);
}

void PopoverWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(QPoint(), size()), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    EnsembleMenu::paintChrome(painter, QRectF(QPointF(), size()));
    m_menu.paint(painter);
}

void PopoverWindow::mouseMoveEvent(QMouseEvent* event)
{
    m_menu.hover(event->position());
}

void PopoverWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_menu.click(event->position());
}

void PopoverWindow::wheelEvent(QWheelEvent* event)
{
    m_menu.scroll(event->angleDelta().y() / 4.0);
}

void PopoverWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    if (!m_menu.shortcut(event->keyCombination()))
        QRasterWindow::keyPressEvent(event);
}

void PopoverWindow::focusOutEvent(QFocusEvent* event)
{
    // Transient: a click anywhere else closes it.
    if (event->reason() != Qt::PopupFocusReason)
        hide();
}

void PopoverWindow::hideEvent(QHideEvent* event)
{
    QRasterWindow::hideEvent(event);
    emit closed();
}

bool PopoverWindow::event(QEvent* event)
{
    if (event->type() == QEvent::Leave)
        m_menu.hover(QPointF(-1, -1));
    return QRasterWindow::event(event);
}

MenuBarPopover::MenuBarPopover(const QString& identifier, std::unique_ptr<EnsembleMenu> content, QObject* parent)
    : QObject(parent)
    , m_item(StatusItem::make(identifier))
    , m_content(std::move(content))
{
    connect(m_item.get(), &StatusItem::activated, this, &MenuBarPopover::toggle);
}

MenuBarPopover::~MenuBarPopover()
{
    // The window goes before the menu it draws.
    m_window.reset();
}

void MenuBarPopover::setImage(const QList<QImage>& masks, const QString& accessibleName)
{
    if (isOpen()) {
        m_pendingImage = std::make_pair(masks, accessibleName);
        return;
    }
    m_pendingImage.reset();
    m_item->setIcon(masks);
    m_item->setAccessibleName(accessibleName);
}

bool MenuBarPopover::isOpen() const
{
    return m_window && m_window->isVisible();
}

void MenuBarPopover::toggle(const QPoint& at)
{
    if (isOpen()) {
        close();
        return;
    }
    const QPoint anchor = at.isNull() ? QCursor::pos() : at;
    QScreen* screen = QGuiApplication::screenAt(anchor);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (willShow && screen) {
        for (const ScreenInfo& info : Screens::all())
            if (info.name == screen->name()) {
                willShow(info);
                break;
            }
    }
    if (!m_window) {
        m_window = std::make_unique<PopoverWindow>(*m_content);
        connect(m_window.get(), &PopoverWindow::closed, this, [this] {
            if (m_pendingImage) {
                const auto [masks, name] = *std::exchange(m_pendingImage, std::nullopt);
                m_item->setIcon(masks);
                m_item->setAccessibleName(name);
            }
        });
    }
    if (screen) {
        m_window->setScreen(screen);
        m_window->place(anchor, screen->availableGeometry());
    }
    m_window->show();
    m_window->raise();
    m_window->requestActivate();
}

void MenuBarPopover::close()
{
    if (m_window)
        m_window->hide();
}
