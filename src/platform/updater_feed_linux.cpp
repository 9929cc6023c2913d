#include "platform/updater.h"

#include "platform/bundle.h"
#include "platform/defaults.h"
#include "platform/http.h"

#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>

Q_LOGGING_CATEGORY(lcUpdater, "zentrove.updates")

namespace {

const QString lastCheckedKey = QStringLiteral("updatesLastChecked");
const QString automaticKey = QStringLiteral("updatesAutomatically");
constexpr int rescheduleMs = 3600 * 1000;

// Reads the feed over HTTP and offers a newer build through the presenter. One check at a time;
// the session lasts until the user closed what was shown.
class FeedUpdater : public Updater
{
public:
    explicit FeedUpdater(const Settings& settings)
        : m_settings(settings)
    {
        // Its own schedule: a check once a day while the app runs, if automatic checks are on.
        auto* schedule = new QTimer(this);
        connect(schedule, &QTimer::timeout, this, [this, schedule] {
            schedule->setInterval(rescheduleMs);
            if (automaticallyChecksForUpdates() && isDue())
                checkForUpdatesInBackground();
        });
        schedule->start(m_settings.scheduleDelayMs);
    }

    bool canCheckForUpdates() const override { return !m_settings.packaged && !m_session; }
    bool sessionInProgress() const override { return m_session; }
    bool isPackaged() const override { return m_settings.packaged; }

    bool automaticallyChecksForUpdates() const override
    {
        return !m_settings.packaged && Defaults::standard().boolean(automaticKey, true);
    }

    void setAutomaticallyChecksForUpdates(bool on) override
    {
        if (!m_settings.packaged)
            Defaults::standard().set(automaticKey, on);
    }

    std::optional<QDateTime> lastUpdateCheckDate() const override { return Defaults::standard().date(lastCheckedKey); }

    void checkForUpdatesInBackground() override { check(false); }
    void checkForUpdates() override { check(true); }
    void setPresenter(Presenter presenter) override { m_presenter = std::move(presenter); }

private:
    bool isDue() const
    {
        const std::optional<QDateTime> last = lastUpdateCheckDate();
        return !last || last->secsTo(QDateTime::currentDateTimeUtc()) >= m_settings.scheduleSeconds;
    }

    void setSession(bool on)
    {
        if (m_session == on)
            return;
        m_session = on;
        emit canCheckChanged();
    }

    void check(bool userInitiated)
    {
        if (!canCheckForUpdates())
            return;
        setSession(true);
        HttpRequest request;
        request.url = m_settings.feed;
        request.timeoutMs = m_settings.timeoutMs;
        request.maxBytes = UpdateFeed::maxBytes;
        Http::get(request, this, [this, userInitiated](const HttpResponse& response) { checked(response, userInitiated); });
    }

    void checked(const HttpResponse& response, bool userInitiated)
    {
        Defaults::standard().set(lastCheckedKey, QDateTime::currentDateTimeUtc());
        std::optional<UpdateOffer> offer;
        bool failed = true;
        QString why;
        if (!response.completed)
            qCInfo(lcUpdater).noquote() << "Zentrove: update check failed:" << response.error;
        else if (response.status != 200)
            qCInfo(lcUpdater).noquote() << "Zentrove: update check failed: status" << response.status;
        else if (!(offer = UpdateFeed::decode(response.body, &why)))
            qCWarning(lcUpdater).noquote() << "Zentrove: update feed ignored:" << why;
        else
            failed = false;

        const bool newer = offer && offer->build > m_settings.currentBuild;
        if (!m_presenter || (!newer && !userInitiated)) {
            setSession(false);
            emit cycleFinished(failed);
            return;
        }
        if (newer)
            emit willShowUpdate();
        QPointer<FeedUpdater> self(this);
        m_presenter(newer ? offer : std::nullopt, [self, failed] {
            if (!self)
                return;
            self->setSession(false);
            emit self->runFinished();
            emit self->cycleFinished(failed);
        });
    }

    Settings m_settings;
    Presenter m_presenter;
    bool m_session = false;
};

} // namespace

Updater::Settings Updater::systemSettings()
{
    Settings settings;
    const QString feed = qEnvironmentVariable("ZENTROVE_UPDATE_FEED");
    settings.feed = QUrl(feed.isEmpty() ? QStringLiteral("https://zentrove.app/updates/linux.json") : feed);
    settings.currentBuild = Bundle::buildNumber().toLongLong();
    settings.packaged = Bundle::installedByPackage();
    return settings;
}

std::unique_ptr<Updater> Updater::makeSystem(const Settings& settings)
{
    return std::make_unique<FeedUpdater>(settings);
}
