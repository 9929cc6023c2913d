#include "brand/ui/on_screen_watch.h"

#include <QEvent>

OnScreenWatch::OnScreenWatch(QWidget* widget)
    : QObject(widget)
    , m_widget(widget)
{
    widget->installEventFilter(this);
}

bool OnScreenWatch::isOnScreen() const
{
    return m_widget->isVisible() && !(m_widget->window()->windowState() & Qt::WindowMinimized);
}

bool OnScreenWatch::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // The window is known for sure only once the widget is shown in it.
    if (watched == m_widget && type == QEvent::Show && m_widget->window() != m_window) {
        if (m_window && m_window != m_widget)
            m_window->removeEventFilter(this);
        m_window = m_widget->window();
        if (m_window != m_widget)
            m_window->installEventFilter(this);
    }
    const bool shownOrHidden = type == QEvent::Show || type == QEvent::Hide;
    if ((watched == m_widget && shownOrHidden) || (watched == m_window && (shownOrHidden || type == QEvent::WindowStateChange)))
        emit changed();
    return QObject::eventFilter(watched, event);
}
