#pragma once

#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

// A job shown with progress: an import, a conversion, the lock-screen installation.
struct Activity
{
    enum class State { running, done, failed };

    QUuid id = QUuid::createUuid();
    QString title;
    QString detail;
    std::optional<double> progress; // absent: indeterminate
    State state = State::running;

    // Title of the live-wallpaper part's own lock-screen installation job.
    static QString lockScreenInstall() { return QStringLiteral("Installing Lock Screen"); }

    bool operator==(const Activity&) const = default;

    static QString rawValue(State state);
    static std::optional<State> stateFromRawValue(const QString& raw);

    QJsonObject toJson() const;
    static std::optional<Activity> fromJson(const QJsonObject& object);
};
