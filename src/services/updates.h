#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class Updater;

// What the app needs of its updater: what the Settings page shows, the quiet check of a launch
// made only for checking, and word when an update run ends so the app can quit once idle.
class Updates : public QObject
{
    Q_OBJECT
public:
    // A launch made only to check looks again after this long without a check.
    static constexpr qint64 checkOnlyIntervalSeconds = 72000;

    // `updater` must outlive this object. `now` is the clock (tests set their own).
    Updates(Updater& updater, bool checkOnly, std::function<QDateTime()> now = &QDateTime::currentDateTimeUtc,
            QObject* parent = nullptr);

    static QString version();

    bool checkOnly() const { return m_checkOnly; }
    bool canCheck() const { return m_canCheck; }
    std::optional<QDateTime> lastChecked() const { return m_lastChecked; }
    bool showingUpdate() const { return m_showingUpdate; }
    bool checking() const { return m_checking; }
    bool sessionInProgress() const;
    bool isPackaged() const;

    bool automatic() const;
    void setAutomatic(bool on);
    void checkNow();

    // Called when an update run ends.
    std::function<void()> onFinished;

signals:
    void changed();

private:
    void cycleFinished();
    void runFinishing();
    void finished();

    Updater& m_updater;
    bool m_checkOnly;
    bool m_canCheck = false;
    std::optional<QDateTime> m_lastChecked;
    bool m_showingUpdate = false;
    bool m_checking = false;
};
