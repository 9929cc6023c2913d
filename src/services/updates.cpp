#include "services/updates.h"

#include "platform/bundle.h"
#include "platform/updater.h"

Updates::Updates(Updater& updater, bool checkOnly, std::function<QDateTime()> now, QObject* parent)
    : QObject(parent)
    , m_updater(updater)
    , m_checkOnly(checkOnly)
{
    m_lastChecked = m_updater.lastUpdateCheckDate();
    m_canCheck = m_updater.canCheckForUpdates();
    connect(&m_updater, &Updater::canCheckChanged, this, [this] {
        if (m_canCheck == m_updater.canCheckForUpdates())
            return;
        m_canCheck = m_updater.canCheckForUpdates();
        emit changed();
    });
    connect(&m_updater, &Updater::cycleFinished, this, &Updates::cycleFinished);
    connect(&m_updater, &Updater::willShowUpdate, this, [this] {
        m_showingUpdate = true;
        emit changed();
    });
    connect(&m_updater, &Updater::runFinished, this, &Updates::runFinishing);

    if (!m_checkOnly || !m_updater.automaticallyChecksForUpdates())
        return;
    // No previous check counts as long ago.
    const bool due = !m_lastChecked || m_lastChecked->secsTo(now()) > checkOnlyIntervalSeconds;
    if (!due)
        return;
    m_checking = true;
    m_updater.checkForUpdatesInBackground();
}

QString Updates::version()
{
    return Bundle::version();
}

bool Updates::sessionInProgress() const
{
    return m_updater.sessionInProgress();
}

bool Updates::isPackaged() const
{
    return m_updater.isPackaged();
}

bool Updates::automatic() const
{
    return m_updater.automaticallyChecksForUpdates();
}

void Updates::setAutomatic(bool on)
{
    m_updater.setAutomaticallyChecksForUpdates(on);
    emit changed();
}

void Updates::checkNow()
{
    m_updater.checkForUpdates();
}

void Updates::cycleFinished()
{
    m_lastChecked = m_updater.lastUpdateCheckDate();
    m_showingUpdate = false;
    m_checking = false;
    emit changed();
    finished();
}

void Updates::runFinishing()
{
    m_showingUpdate = false;
    emit changed();
    QMetaObject::invokeMethod(this, &Updates::finished, Qt::QueuedConnection);
}

void Updates::finished()
{
    if (onFinished)
        onFinished();
}
