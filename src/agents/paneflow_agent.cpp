#include "agents/paneflow_agent.h"

#include "brand/brand_accent.h"
#include "core/zentrove.h"
#include "library/ensemble_automation.h"
#include "library/ensemble_theme.h"
#include "library/import/media_services.h"
#include "library/library_store.h"
#include "looks/display_ensembles.h"
#include "menubar/paneflow_menu.h"
#include "menubar/zentrove_menu_bar.h"
#include "platform/appearance.h"
#include "platform/defaults.h"
#include "platform/desktop_layer.h"
#include "platform/desktop_picture_settings.h"
#include "platform/window_list.h"
#include "wallpaper/desktop_picture_keeper.h"
#include "wallpaper/library_housekeeping.h"
#include "wallpaper/live_playback.h"
#include "wallpaper/performance_recorder.h"
#include "wallpaper/player/desktop_player.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPaneflowAgent, "zentrove.agent.paneflow")

PaneflowAgent::PaneflowAgent(QObject* parent)
    : PartAgent(Zentrove::paneflowID(), QStringLiteral("Live Wallpaper"), QStringLiteral("Paneflow: "), parent)
{
    // The live wallpaper decides the accent of the whole product.
    BrandAccent::followWallpapers();
}

PaneflowAgent::~PaneflowAgent() = default;

void PaneflowAgent::startWork()
{
    MediaServices::install();
    m_library = std::make_unique<LibraryStore>(settings().name(), true);
    LibraryHousekeeping::atStart(*m_library);
    m_appearance = std::make_unique<Appearance>();
    m_automation = std::make_unique<EnsembleAutomation>(*m_library, m_appearance.get());
    // What the part shows, in the log: the main display's ensemble and the other displays' own.
    connect(m_library.get(), &LibraryStore::currentEnsembleIDChanged, this, [this] {
        const std::optional<QUuid> id = m_library->currentEnsembleID();
        qCInfo(lcPaneflowAgent).noquote() << logPrefix() << "showing the ensemble"
                                          << (id ? id->toString(QUuid::WithoutBraces).toUpper() : QStringLiteral("none"));
    });
    connect(m_library.get(), &LibraryStore::displayEnsemblesChanged, this, [this] {
        qCInfo(lcPaneflowAgent).noquote() << logPrefix() << "display ensembles"
                                          << DisplayEnsembles::encode(m_library->displayEnsembles());
    });
    // This process is the part: choices made here go through the notice the automation answers.
    EnsembleTheme::setPartRunningCheck([] { return true; });

    PerformanceRecorder& recorder = PerformanceRecorder::shared();
    // Tests only: a short recording interval instead of half a minute.
    if (const int ms = qEnvironmentVariableIntValue("ZENTROVE_RECORD_INTERVAL_MS"); ms > 0)
        recorder.setInterval(ms);
    // The item's icon shows the pause at once, not at the next reload.
    connect(&m_library->switches(), &LibrarySwitches::changed, this, [this](LibrarySwitch which) {
        if (which == LibrarySwitch::userPaused && menuBar())
            menuBar()->setPaused(wallpaperPaused());
    });
    m_playback = std::make_unique<LivePlayback>(*m_library, PauseRules::Sensors::system(), recorder, [] {
        QSet<quint32> ids;
        for (const DisplayArea& display : WindowList::system().displays())
            ids.insert(display.id);
        return ids;
    });
    // Only a desktop that has a layer for it gets windows (not an offscreen or Wayland session).
    DesktopLayer& layer = DesktopLayer::system();
    if (!layer.available()) {
        qCInfo(lcPaneflowAgent).noquote() << logPrefix() << "no desktop layer to play on: the wallpaper is not shown";
        return;
    }
    // The decoder's threads may be fixed for comparing costs; FFmpeg chooses otherwise.
    m_player = std::make_unique<DesktopPlayer>(*m_library, layer, m_appearance.get(), qEnvironmentVariableIntValue("ZENTROVE_DECODER_THREADS"));
    m_player->setPaused(!m_playback->isPlaying());
    connect(m_playback.get(), &LivePlayback::playingChanged, m_player.get(), [this](bool playing) { m_player->setPaused(!playing); });
    // A display under a full-screen window stops its own video while the others play on.
    m_player->setCovered(m_playback->coveredAreas());
    connect(m_playback.get(), &LivePlayback::coveredChanged, m_player.get(), &DesktopPlayer::setCovered);
    connect(m_player.get(), &DesktopPlayer::failureChanged, m_playback.get(), [this] { m_playback->setFailure(m_player->failure()); });
    m_playback->setFailure(m_player->failure());
    // The desktop's own wallpaper shows where the player's windows do not (overviews, the lock
    // screen); the user's own comes back when the part quits.
    m_desktopPicture = std::make_unique<DesktopPictureKeeper>(*m_library, DesktopPictureSettings::system());
}

std::unique_ptr<EnsembleMenu> PaneflowAgent::menuContent(ZentroveMenuBar& bar)
{
    LibraryStore* library = m_library.get();
    return PaneflowMenu::make(bar.model(), *library, [library](const QUuid& id) { library->setCurrentEnsembleID(id); }, bar.actions(),
                              MenuStatus::wallpaperStoreCheck());
}

bool PaneflowAgent::wallpaperPaused() const
{
    return m_library && m_library->switches().on(LibrarySwitch::userPaused);
}

void PaneflowAgent::stopWork()
{
    m_desktopPicture.reset();
    m_player.reset();
    m_playback.reset();
    m_automation.reset();
    m_appearance.reset();
    m_library.reset();
}
