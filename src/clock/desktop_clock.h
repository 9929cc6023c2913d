#pragma once

#include "clock/clock_view.h"

#include <QObject>

#include <map>
#include <memory>
#include <optional>

class ClockTicker;
class DesktopClockWindow;
class DesktopLayer;
class StyleStore;

// The clock on the desktop: while the store says to show it there, one window per display over
// the wallpaper, drawing the store's current style where the clock layout puts it on that
// display, redrawn on every minute (every second when it shows seconds). Follows the style, the
// setting, the hour format, the accent and the displays as they change.
class DesktopClock : public QObject
{
    Q_OBJECT
public:
    DesktopClock(StyleStore& store, DesktopLayer& layer, QObject* parent = nullptr);
    ~DesktopClock() override;

    // What is shown, for tests.
    DesktopClockWindow* window(quint32 displayID) const;
    QList<DesktopClockWindow*> windows() const;
    bool ticking() const { return m_ticker != nullptr; }

    // Looks at the setting and the displays again now (changes otherwise arrive on the next turn).
    void update();

private:
    void scheduleUpdate();
    void restyle();
    void redraw(const QDateTime& date);

    StyleStore& m_store;
    DesktopLayer& m_layer;
    std::optional<ClockView> m_view;
    std::unique_ptr<ClockTicker> m_ticker;
    std::map<quint32, std::unique_ptr<DesktopClockWindow>> m_windows;
    bool m_updateQueued = false;
};
