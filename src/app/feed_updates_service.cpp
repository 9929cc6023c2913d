#include "app/feed_updates_service.h"

#include "services/updates.h"

FeedUpdatesService::FeedUpdatesService(std::unique_ptr<Updater> updater, QObject* parent)
    : UpdatesService(parent)
    , m_updater(std::move(updater))
{
}

FeedUpdatesService::~FeedUpdatesService() = default;

void FeedUpdatesService::begin(bool checkOnly, std::function<void()> runEnded)
{
    if (m_updates)
        return;
    m_updates = new Updates(*m_updater, checkOnly, &QDateTime::currentDateTimeUtc, this);
    m_updates->onFinished = std::move(runEnded);
    connect(m_updates, &Updates::changed, this, &UpdatesService::changed);
    emit changed();
}

void FeedUpdatesService::checkNow()
{
    m_updater->checkForUpdates();
}

bool FeedUpdatesService::canCheck() const
{
    return m_updates ? m_updates->canCheck() : m_updater->canCheckForUpdates();
}

bool FeedUpdatesService::isChecking() const
{
    return m_updates && (m_updates->checking() || m_updates->showingUpdate());
}

bool FeedUpdatesService::sessionInProgress() const
{
    return m_updater->sessionInProgress();
}

bool FeedUpdatesService::automaticallyChecks() const
{
    return m_updater->automaticallyChecksForUpdates();
}

void FeedUpdatesService::setAutomaticallyChecks(bool on)
{
    m_updater->setAutomaticallyChecksForUpdates(on);
    emit changed();
}

std::optional<QDateTime> FeedUpdatesService::lastCheck() const
{
    return m_updates ? m_updates->lastChecked() : m_updater->lastUpdateCheckDate();
}

bool FeedUpdatesService::fromPackageManager() const
{
    return m_updater->isPackaged();
}

void FeedUpdatesService::setPresenter(Updater::Presenter presenter)
{
    m_updater->setPresenter(std::move(presenter));
}
