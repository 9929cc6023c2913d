#pragma once

#include "wallpaper/pause_rules.h"
#include "wallpaper/store_pause_settings.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class LibraryStore;
class PerformanceRecorder;

// The live-wallpaper part's playing state: combines the pause rules with the user's own pause,
// publishes why the wallpaper is paused as the store's playback status, tells the recorder about
// every change, and records while the store's recordPerformance switch is on.
class LivePlayback : public QObject
{
    Q_OBJECT
public:
    // `displays` lists the ids of the displays the part plays on.
    LivePlayback(LibraryStore& store, PauseRules::Sensors sensors, PerformanceRecorder& recorder,
                 std::function<QSet<quint32>()> displays, QObject* parent = nullptr);
    ~LivePlayback() override;

    bool isPlaying() const { return m_playing; }
    // Why the wallpaper does not play; none while it plays.
    std::optional<QString> reason() const { return m_reason; }
    PauseRules& rules() { return m_rules; }

    static QString statusText(const QString& reason);
    static QString pausedByYou() { return QStringLiteral("paused by you"); }
    static QString fullScreenReason() { return QStringLiteral("an app is full screen"); }

    // Looks at the rules, the user's pause and the current wallpaper again.
    void update();
    // Why the wallpaper cannot be shown (a file missing or broken); shown as the playback status
    // while no rule pauses the wallpaper.
    void setFailure(const std::optional<QString>& reason);

    // Displays (their areas) hidden under another app's full-screen window while the rest plays.
    QList<QRect> coveredAreas() const { return m_covered; }

signals:
    void playingChanged(bool playing);
    void coveredChanged(const QList<QRect>& areas);

private:
    void updateRecording();

    LibraryStore& m_store;
    PerformanceRecorder& m_recorder;
    std::function<QSet<quint32>()> m_displays;
    bool m_ready = false; // the rules may call back while they are being made
    StorePauseSettings m_settings;
    PauseRules m_rules;
    bool m_playing = false;
    std::optional<QString> m_reason;
    std::optional<QString> m_failure;
    QList<QRect> m_covered;
    bool m_reported = false; // the recorder logs "starting" until the first state is known
};
