#include "clock/desktop_clock.h"

#include "brand/brand_accent.h"
#include "clock/clock_hours.h"
#include "clock/clock_ticker.h"
#include "clock/desktop_clock_window.h"
#include "clock/style_store.h"
#include "platform/screen_areas.h"
#include "platform/screens.h"

#include <QLoggingCategory>
#include <QMetaObject>

Q_LOGGING_CATEGORY(lcDesktopClock, "zentrove.clock.desktop")

DesktopClock::DesktopClock(StyleStore& store, DesktopLayer& layer, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_layer(layer)
{
    connect(&m_store, &StyleStore::showOnDesktopChanged, this, &DesktopClock::scheduleUpdate);
    connect(&ScreensWatch::shared(), &ScreensWatch::changed, this, &DesktopClock::scheduleUpdate);
    connect(&m_store, &StyleStore::styleChanged, this, &DesktopClock::restyle);
    connect(&BrandAccent::shared(), &BrandAccent::hexChanged, this, &DesktopClock::restyle);
    connect(&ClockHours::shared(), &ClockHours::formatChanged, this, &DesktopClock::restyle);
    update();
}

DesktopClock::~DesktopClock() = default;

DesktopClockWindow* DesktopClock::window(quint32 displayID) const
{
    const auto found = m_windows.find(displayID);
    return found == m_windows.end() ? nullptr : found->second.get();
}

QList<DesktopClockWindow*> DesktopClock::windows() const
{
    QList<DesktopClockWindow*> all;
    for (const auto& [id, window] : m_windows)
        all.append(window.get());
    return all;
}

void DesktopClock::scheduleUpdate()
{
    // Several changes in one turn (a display and its area) make one update.
    if (m_updateQueued)
        return;
    m_updateQueued = true;
    QMetaObject::invokeMethod(this, &DesktopClock::update, Qt::QueuedConnection);
}

void DesktopClock::update()
{
    m_updateQueued = false;
    if (!m_store.showOnDesktop()) {
        if (!m_windows.empty())
            qCInfo(lcDesktopClock).noquote() << "VizaVedid: the clock leaves the desktop";
        m_windows.clear();
        m_ticker.reset();
        m_view.reset();
        return;
    }
    // The displays as they are now; windows of displays that went are closed.
    std::map<quint32, QRect> areas;
    for (const ScreenInfo& screen : Screens::all()) {
        if (const std::optional<QRect> area = ScreenAreas::of(screen.displayID); area && !area->isEmpty())
            areas.emplace(screen.displayID, *area);
    }
    std::erase_if(m_windows, [&](const auto& entry) { return !areas.contains(entry.first); });
    for (const auto& [id, area] : areas) {
        if (!m_windows.contains(id))
            m_windows.emplace(id, std::make_unique<DesktopClockWindow>(m_layer, QRect(area.topLeft(), QSize(1, 1))));
    }
    if (!m_ticker) {
        qCInfo(lcDesktopClock).noquote() << "VizaVedid: the clock is on the desktop of" << areas.size() << "displays";
        restyle();
        return;
    }
    redraw(ClockView::currentDate());
}

void DesktopClock::restyle()
{
    if (!m_store.showOnDesktop())
        return;
    const ClockStyle& style = m_store.style();
    // Each display is its own screen, drawn at one pixel per point as the lock screen is.
    m_view.emplace(style, 1.0);
    if (!m_ticker) {
        m_ticker = std::make_unique<ClockTicker>(style.showSeconds);
        connect(m_ticker.get(), &ClockTicker::tick, this, &DesktopClock::redraw);
    }
    m_ticker->setSeconds(style.showSeconds);
    redraw(ClockView::currentDate());
}

void DesktopClock::redraw(const QDateTime& date)
{
    if (!m_view)
        return;
    for (const auto& [id, window] : m_windows) {
        const std::optional<QRect> area = ScreenAreas::of(id);
        if (!area)
            continue;
        const ClockView::Placed placed = m_view->placed(QRectF(QPointF(0, 0), QSizeF(area->size())), date, window->devicePixelRatio());
        window->showClock(placed.image, QPointF(area->topLeft()) + placed.topLeft);
    }
}
