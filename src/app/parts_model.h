#pragma once

#include "app/status_line.h"
#include "core/part.h"
#include "platform/login_items.h"

#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class InstallService;
class Launcher;
class SafetyService;
class Workspace;

// What the control app knows about the three parts (login-item status, running or not, the last
// error) and everything it does to them: turn on and off, start, quit, restart after an update.
// Everything runs on the main thread; waiting for a part to quit polls every 100 ms against a
// 5-second deadline, so the window stays live meanwhile.
class PartsModel : public QObject
{
    Q_OBJECT
public:
    static constexpr int quitDeadlineMs = 5000;
    static constexpr int pollIntervalMs = 100;
    // Control-app settings this model reads and writes.
    static QString dockKey() { return QStringLiteral("agreedToHideDock"); }
    static QString lastBuildKey() { return QStringLiteral("lastBuild"); }

    // The services must outlive the model.
    PartsModel(LoginItems& loginItems, Workspace& workspace, Launcher& launcher, SafetyService& safety,
               InstallService& install, QObject* parent = nullptr);
    ~PartsModel() override;

    const QMap<QString, LoginItemStatus>& status() const { return m_status; }
    std::optional<LoginItemStatus> status(const Part& part) const;
    const QSet<QString>& running() const { return m_running; }
    bool isRunning(const Part& part) const { return m_running.contains(part.id); }
    const std::optional<QString>& error() const { return m_error; }
    bool askDockConsent() const { return m_askDockConsent; }
    void setAskDockConsent(bool ask);

    void refresh();
    // On: enabled, or registered and waiting for the user's OK.
    bool isOn(const Part& part) const;
    bool dockAgreed() const;
    void agreeToHideDock();
    // Hide the Dock: the answer to the Dock consent question that turns the taskbar on.
    void acceptDockConsent();

    void set(const Part& part, bool on);
    void start(const Part& part);
    void quit(const Part& part);
    void registerAgain(const Part& part);
    // At launch: when the build changed since the last launch, restarts the parts that run.
    void restartAfterUpdate(const QString& build);
    void resumeStoodDown();
    // Quits and unregisters every part, one after the other; `done` runs at the end.
    void turnAllOff(std::function<void()> done = {});

    std::optional<StandDown> standDown(const Part& part) const;
    StatusLine statusLine(const Part& part) const;
    // Runs the action of the part's status line.
    void perform(StatusLine::Action action, const Part& part);

signals:
    void statusChanged();
    void runningChanged();
    void errorChanged();
    void askDockConsentChanged();

private:
    void setError(std::optional<QString> error);
    void failed(const Part& part, const QString& description);
    // Asks every running process of the part to quit; `then` runs once all are gone or the
    // deadline passed.
    void quitThen(const Part& part, std::function<void()> then);

    LoginItems& m_loginItems;
    Workspace& m_workspace;
    Launcher& m_launcher;
    SafetyService& m_safety;
    InstallService& m_install;

    QMap<QString, LoginItemStatus> m_status;
    QSet<QString> m_running;
    std::optional<QString> m_error;
    bool m_askDockConsent = false;
};
