#pragma once

#include "platform/bus_identity.h"
#include "platform/notifier.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class Defaults;
class EnsembleMenu;
class Workspace;
class ZentroveMenuBar;

// What every part agent does for the control app: own its identifier on the bus (a second
// instance leaves at once), keep its settings domain and reload it when another process
// announces a change, and end cleanly on a quit request or on signals 15, 2 and 1.
//
// A part's own work goes into a subclass: startWork() runs once the agent owns its identity,
// reload() after another process changed the domain, stopWork() before the agent leaves (give
// back what the part took there).
class PartAgent : public QObject
{
    Q_OBJECT
public:
    enum class Start { running, alreadyRunning, failed };

    PartAgent(QString identifier, QString displayName, QString logPrefix, QObject* parent = nullptr);
    ~PartAgent() override;

    // Claims the identity and starts the work. `alreadyRunning`: another instance owns it.
    Start start();
    // Stops the work and leaves the event loop with `exitCode`. Safe to call more than once.
    void quit(int exitCode = 0);

    QString identifier() const { return m_identifier; }
    Defaults& settings() const;
    // The menu bar item's controller while the part runs; null before the start and after quitting.
    ZentroveMenuBar* menuBar() const { return m_menuBar.get(); }
    // Adds an observation that lives as long as the agent.
    void keep(NoticeToken token) { m_tokens.push_back(std::move(token)); }

signals:
    void reloaded();
    void quitting();

protected:
    virtual void startWork() {}
    virtual void reload() {}
    virtual void stopWork() {}
    // The menu bar item's content when this part shows the item. The parts without the library
    // store show the plain menu, which asks the live-wallpaper part to switch ensembles.
    virtual std::unique_ptr<EnsembleMenu> menuContent(ZentroveMenuBar& bar);
    // Whether the live wallpaper is paused, as the item's icon tells.
    virtual bool wallpaperPaused() const;
    Workspace& workspace() const { return *m_workspace; }
    // Log lines of this part begin with this: the system prefix and the part's name.
    QString logPrefix() const { return m_logPrefix; }

private:
    void hostMenuBar();

    const QString m_identifier;
    const QString m_logPrefix;
    BusIdentity m_identity;
    std::vector<NoticeToken> m_tokens;
    std::unique_ptr<Workspace> m_workspace;
    std::unique_ptr<ZentroveMenuBar> m_menuBar;
    bool m_quitting = false;
};
