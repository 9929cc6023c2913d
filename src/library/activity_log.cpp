#include "library/activity_log.h"

#include "core/record_json.h"
#include "platform/defaults.h"

#include <QTimer>

#include <algorithm>

namespace {
const QString activitiesKey = QStringLiteral("activities");
}

ActivityLog::ActivityLog(const QString& domain, ChangeRule& rule, bool publishes, QObject* parent)
    : QObject(parent)
    , m_domain(domain)
    , m_rule(rule)
    , m_publishes(publishes)
{
}

QUuid ActivityLog::begin(const QString& title, const QString& detail, std::optional<double> progress, const QUuid& id)
{
    m_activities.append(Activity {id, title, detail, progress, Activity::State::running});
    changed();
    return id;
}

void ActivityLog::update(const QUuid& id, const QString& detail, std::optional<double> progress)
{
    for (Activity& activity : m_activities) {
        if (activity.id != id)
            continue;
        if (activity.detail == detail && activity.progress == progress)
            return;
        activity.detail = detail;
        activity.progress = progress;
        changed();
        return;
    }
}

void ActivityLog::finish(const QUuid& id, const std::optional<QString>& title, const std::optional<QString>& detail, bool failed,
                         std::optional<double> seconds)
{
    const auto found = std::find_if(m_activities.begin(), m_activities.end(), [&](const Activity& a) { return a.id == id; });
    if (found == m_activities.end())
        return;
    if (title)
        found->title = *title;
    if (detail)
        found->detail = *detail;
    if (!failed)
        found->progress = 1.0;
    found->state = failed ? Activity::State::failed : Activity::State::done;
    changed();
    if (seconds) {
        QTimer::singleShot(qMax(0.0, *seconds) * 1000.0, this, [this, id] {
            if (m_activities.removeIf([&](const Activity& a) { return a.id == id; }) > 0)
                changed();
        });
    }
}

void ActivityLog::clear()
{
    const bool had = !m_activities.isEmpty();
    m_activities.clear();
    if (had)
        emit activitiesChanged();
    if (m_publishes) {
        Defaults::domain(m_domain).set(activitiesKey, QByteArrayLiteral("[]"));
        m_rule.announce();
    }
}

void ActivityLog::readEngine()
{
    const QList<Activity> engine = readStored();
    if (engine == m_engineActivities)
        return;
    m_engineActivities = engine;
    emit engineActivitiesChanged();
}

QList<Activity> ActivityLog::readStored() const
{
    const auto bytes = Defaults::domain(m_domain).data(activitiesKey);
    return (bytes ? RecordJson::decodeArray<Activity>(*bytes) : std::nullopt).value_or(QList<Activity> {});
}

// Tells the views, and in the part publishes the list for the control app.
void ActivityLog::changed()
{
    emit activitiesChanged();
    if (!m_publishes || m_rule.isReloading())
        return;
    Defaults::domain(m_domain).set(activitiesKey, RecordJson::encodeArray(m_activities));
    m_rule.announce();
}
