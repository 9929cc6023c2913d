#include "wallpaper/live_playback.h"

#include "library/library_store.h"
#include "wallpaper/performance_recorder.h"

LivePlayback::LivePlayback(LibraryStore& store, PauseRules::Sensors sensors, PerformanceRecorder& recorder,
                           std::function<QSet<quint32>()> displays, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_recorder(recorder)
    , m_displays(std::move(displays))
    , m_settings(store)
    , m_rules(m_settings, sensors, [this] { update(); })
{
    connect(&m_store.switches(), &LibrarySwitches::changed, this, [this](LibrarySwitch which) {
        if (which == LibrarySwitch::userPaused)
            update();
        else if (which == LibrarySwitch::recordPerformance)
            updateRecording();
    });
    connect(&m_store, &LibraryStore::currentIDChanged, this, &LivePlayback::update);
    m_ready = true;
    updateRecording();
    update();
}

LivePlayback::~LivePlayback()
{
    m_recorder.stop();
}

QString LivePlayback::statusText(const QString& reason)
{
    return QStringLiteral("Paused · ") + reason;
}

void LivePlayback::update()
{
    if (!m_ready)
        return;
    const bool userPaused = m_store.switches().on(LibrarySwitch::userPaused);
    const bool nothingToPlay = !m_store.current().has_value();
    // Nothing plays: no need to watch the load or the windows for it.
    m_rules.setIdle(userPaused || nothingToPlay);

    std::optional<QString> ruleReason = m_rules.pauseReason();
    if (!ruleReason && m_rules.fullScreen(m_displays()))
        ruleReason = fullScreenReason();
    const std::optional<QString> reason = userPaused ? std::optional<QString>(pausedByYou()) : ruleReason;
    const bool playing = !nothingToPlay && !reason;

    // The user's own pause shows as such elsewhere; the status says why the wallpaper stopped
    // by itself.
    const std::optional<QString> shownReason = ruleReason ? ruleReason : m_failure;
    m_store.switches().setPlaybackStatus(!userPaused && shownReason ? std::optional<QString>(statusText(*shownReason)) : std::nullopt);
    if (!m_reported || playing != m_playing || reason != m_reason) {
        m_recorder.stateChanged(playing, reason);
        m_reported = true;
        const bool changed = playing != m_playing;
        m_playing = playing;
        m_reason = reason;
        if (changed)
            emit playingChanged(playing);
    }
    const QList<QRect> covered = m_rules.coveredAreas();
    if (covered != m_covered) {
        m_covered = covered;
        emit coveredChanged(covered);
    }
}

void LivePlayback::setFailure(const std::optional<QString>& reason)
{
    if (reason == m_failure)
        return;
    m_failure = reason;
    update();
}

void LivePlayback::updateRecording()
{
    if (m_store.switches().on(LibrarySwitch::recordPerformance)) {
        m_recorder.start();
        if (m_reported)
            m_recorder.stateChanged(m_playing, m_reason);
    } else {
        m_recorder.stop();
    }
}
