#pragma once

#include "library/ensemble_theme.h"
#include "looks/display_ensembles.h"
#include "platform/notifier.h"
#include "platform/screens.h"

#include <QList>
#include <QObject>
#include <QUuid>

#include <optional>

// What the menu bar item's menu shows: the ensembles, the current one, each secondary display's
// own and which display the menu is about. Read from the live-wallpaper part's files and settings,
// so every process sees the same list; reloads when that part's settings or the display map change.
class EnsembleMenuModel : public QObject
{
    Q_OBJECT
public:
    explicit EnsembleMenuModel(QObject* parent = nullptr);

    void reload();

    const QList<EnsembleEntry>& ensembles() const { return m_ensembles; }
    std::optional<QUuid> currentID() const { return m_currentID; }
    const DisplayMap& displayEnsembles() const { return m_displayEnsembles; }
    // The display the menu is about; none means the main display.
    std::optional<quint32> displayID() const { return m_displayID; }
    void setDisplayID(std::optional<quint32> id);

    // For a secondary chosen display: stores its own ensemble (none: follow the main display).
    // Nothing on the main display.
    void setOwn(const std::optional<QUuid>& id);
    // The popover opened on `screen`: the menu is about that display when it has an ensemble of
    // its own, else about the main display.
    void opened(const ScreenInfo& screen);

    // Derived values.
    QList<ScreenInfo> screens() const { return Screens::all(); }
    std::optional<ScreenInfo> chosen() const;
    bool onMain() const;
    std::optional<QUuid> inUseID() const;
    bool followsMain() const;
    std::optional<EnsembleEntry> current() const;
    std::optional<EnsembleEntry> shown() const;

    // A display's name for the display switch.
    static QString name(const ScreenInfo& screen);

signals:
    void changed();
    // The live-wallpaper part's settings were read again (its status may have changed).
    void reloaded();

private:
    std::optional<EnsembleEntry> entry(const std::optional<QUuid>& id) const;

    QList<EnsembleEntry> m_ensembles;
    std::optional<QUuid> m_currentID;
    DisplayMap m_displayEnsembles;
    std::optional<quint32> m_displayID;
    NoticeToken m_observer;
    NoticeToken m_displayObserver;
};
