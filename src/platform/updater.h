#pragma once

#include "platform/update_feed.h"

#include <QDateTime>
#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

// The app's updater: reads the update feed, compares its build with this one and shows the
// offer. It never installs anything itself; the user downloads the new build.
class Updater : public QObject
{
    Q_OBJECT
public:
    // Shows an offer, or (for a check the user asked for) that this build is the newest when
    // `offer` is none; `closed` runs once the user closed what was shown.
    using Presenter = std::function<void(const std::optional<UpdateOffer>& offer, std::function<void()> closed)>;

    struct Settings
    {
        QUrl feed;
        int timeoutMs = 20000;
        qint64 currentBuild = 0;
        // Installed by the distribution's package manager: updates come from there, not from here.
        bool packaged = false;
        // Without a check for this long, an automatic check runs a few minutes after start.
        qint64 scheduleSeconds = 24 * 3600;
        int scheduleDelayMs = 5 * 60 * 1000;
    };

    using QObject::QObject;
    ~Updater() override = default;

    virtual bool canCheckForUpdates() const = 0;
    virtual bool sessionInProgress() const = 0;
    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool on) = 0;
    virtual bool isPackaged() const = 0;
    virtual std::optional<QDateTime> lastUpdateCheckDate() const = 0;
    // A quiet check: shows something only when there is an update.
    virtual void checkForUpdatesInBackground() = 0;
    // A check the user asked for: also says when there is nothing newer.
    virtual void checkForUpdates() = 0;
    virtual void setPresenter(Presenter presenter) = 0;

    // The feed updater of this platform. The feed address comes from ZENTROVE_UPDATE_FEED when set.
    static Settings systemSettings();
    static std::unique_ptr<Updater> makeSystem(const Settings& settings = systemSettings());

signals:
    void canCheckChanged();
    // A check ended (with an error or not); the last check date is updated first.
    void cycleFinished(bool failed);
    // An offer is about to be shown.
    void willShowUpdate();
    // What was shown has been closed: the update run is over.
    void runFinished();
};
