#pragma once

#include "platform/updater.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// The updater as the control app drives it. This base never checks: it cannot check, is never
// busy, and has no last check. `changed` fires when anything it reports changes.
class UpdatesService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Called once at launch. `runEnded` is called whenever an update run ends.
    virtual void begin(bool /*checkOnly*/, std::function<void()> /*runEnded*/) {}
    virtual void checkNow() {}
    virtual bool canCheck() const { return false; }
    virtual bool isChecking() const { return false; }
    virtual bool sessionInProgress() const { return false; }
    virtual bool automaticallyChecks() const { return false; }
    virtual void setAutomaticallyChecks(bool /*on*/) {}
    virtual std::optional<QDateTime> lastCheck() const { return std::nullopt; }
    // Installed by the distribution's package manager: updates come from there.
    virtual bool fromPackageManager() const { return false; }
    // How an offer (or "nothing newer", for a check the user asked for) is shown.
    virtual void setPresenter(Updater::Presenter /*presenter*/) {}

signals:
    void changed();
};
