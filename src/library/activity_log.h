#pragma once

#include "core/change_rule.h"
#include "library/activity.h"

#include <QList>
#include <QObject>

#include <optional>

// The jobs shown with progress: this process's own, and (in the control app) the ones the
// live-wallpaper part publishes under "activities" in its domain. Only the part writes that key.
class ActivityLog : public QObject
{
    Q_OBJECT

public:
    // `publishes`: this process is the part, whose own jobs are written for the others to show.
    ActivityLog(const QString& domain, ChangeRule& rule, bool publishes, QObject* parent = nullptr);

    const QList<Activity>& activities() const { return m_activities; }
    const QList<Activity>& engineActivities() const { return m_engineActivities; }

    QUuid begin(const QString& title, const QString& detail, std::optional<double> progress = std::nullopt,
                const QUuid& id = QUuid::createUuid());
    void update(const QUuid& id, const QString& detail, std::optional<double> progress);
    // A finished job stays listed; with `seconds` it leaves the list that long after.
    void finish(const QUuid& id, const std::optional<QString>& title, const std::optional<QString>& detail, bool failed,
                std::optional<double> seconds = std::nullopt);
    void clear();

    // Takes over the part's published jobs (the control app's side).
    void readEngine();

signals:
    void activitiesChanged();
    void engineActivitiesChanged();

private:
    QList<Activity> readStored() const;
    void changed();

    QString m_domain;
    ChangeRule& m_rule;
    bool m_publishes;
    QList<Activity> m_activities;
    QList<Activity> m_engineActivities;
};
