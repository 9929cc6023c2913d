#include "library/ensemble_automation.h"

#include "core/notices.h"
#include "core/record_json.h"
#include "library/library_store.h"
#include "platform/appearance.h"

EnsembleAutomation::EnsembleAutomation(LibraryStore& store, Appearance* appearance, QObject* parent)
    : QObject(parent)
    , m_store(store)
{
    m_interval.setInterval(checkIntervalMs);
    connect(&m_interval, &QTimer::timeout, this, &EnsembleAutomation::checkDaily);
    m_interval.start();
    m_boundary.setSingleShot(true);
    m_boundary.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_boundary, &QTimer::timeout, this, [this] {
        checkDaily();
        armBoundary();
    });
    armBoundary();
    checkDaily();

    if (appearance) {
        connect(appearance, &Appearance::changed, this, [this](bool dark) { m_store.changeForAppearance(dark); });
        if (const auto dark = appearance->isDark())
            m_store.changeForAppearance(*dark);
    }

    m_chooseToken = Notifier::observe(Notices::chooseEnsembleTheme(), [this](const std::optional<QString>& object) {
        const auto id = object ? RecordJson::parseUuid(QStringView(*object)) : std::nullopt;
        if (id && m_store.ensemble(*id))
            m_store.setCurrentEnsembleID(id);
    });
}

qint64 EnsembleAutomation::msecsToNextBoundary(const QDateTime& now)
{
    QDateTime boundary(now.date(), QTime(5, 0), now.timeSpec() == Qt::UTC ? Qt::UTC : Qt::LocalTime);
    if (boundary <= now)
        boundary = boundary.addDays(1);
    // A second late, so the new day has surely begun.
    return now.msecsTo(boundary) + 1000;
}

void EnsembleAutomation::checkDaily()
{
    m_store.changeDailyIfDue(QDateTime::currentDateTime());
}

void EnsembleAutomation::armBoundary()
{
    m_boundary.start(int(qMin<qint64>(msecsToNextBoundary(QDateTime::currentDateTime()), 24LL * 3600 * 1000 + 2000)));
}
