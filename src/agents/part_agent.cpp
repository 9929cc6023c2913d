#include "agents/part_agent.h"

#include "brand/brand.h"
#include "core/part.h"
#include "core/settings_sync.h"
#include "core/zentrove.h"
#include "library/ensemble_theme.h"
#include "library/library_store.h"
#include "menubar/paneflow_menu.h"
#include "menubar/zentrove_menu_bar.h"
#include "platform/defaults.h"
#include "platform/quit_signals.h"
#include "platform/workspace.h"
#include "services/safety.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcAgent, "zentrove.agent")

PartAgent::PartAgent(QString identifier, QString displayName, QString logPrefix, QObject* parent)
    : QObject(parent)
    , m_identifier(std::move(identifier))
    , m_logPrefix(logPrefix + displayName + QLatin1Char(':'))
    , m_workspace(Workspace::makeSystem())
{
}

PartAgent::~PartAgent() = default;

Defaults& PartAgent::settings() const
{
    return Defaults::domain(m_identifier);
}

PartAgent::Start PartAgent::start()
{
    // Before the bus name is taken: whoever sees the name may signal us at once.
    QuitSignals::install([this](int signal) {
        qCInfo(lcAgent).noquote() << m_logPrefix << "quitting on signal" << signal;
        quit(0);
    });
    switch (m_identity.claim(m_identifier)) {
    case BusIdentity::Claim::takenByAnother:
        qCInfo(lcAgent).noquote() << m_logPrefix << "already running";
        return Start::alreadyRunning;
    case BusIdentity::Claim::noBus:
        qCWarning(lcAgent).noquote() << m_logPrefix << "no session bus; cannot run";
        return Start::failed;
    case BusIdentity::Claim::owned:
        break;
    }
    connect(&m_identity, &BusIdentity::quitRequested, this, [this] {
        qCInfo(lcAgent).noquote() << m_logPrefix << "quitting on request";
        // Answer the caller first, then leave.
        QTimer::singleShot(0, this, [this] { quit(0); });
    });
    keep(SettingsSync::observe(m_identifier, [this] {
        qCInfo(lcAgent).noquote() << m_logPrefix << "settings reloaded";
        reload();
        emit reloaded();
    }));
    settings().sync();
    // A part that the safety list switched off, or that keeps crashing at start, takes nothing
    // over: it records why and leaves (the queued quit runs once the event loop does).
    const std::optional<Part> part = Part::withID(m_identifier);
    if (part && !Safety::start(part->shortName(), [this](std::function<void()> done) {
            quit(0);
            done();
        })) {
        qCInfo(lcAgent).noquote() << m_logPrefix << "stood down";
        return Start::running;
    }
    startWork();
    hostMenuBar();
    qCInfo(lcAgent).noquote() << m_logPrefix << "running";
    return Start::running;
}

void PartAgent::quit(int exitCode)
{
    if (m_quitting)
        return;
    m_quitting = true;
    emit quitting();
    // The item goes first: its menu may show what the work below holds.
    m_menuBar.reset();
    stopWork();
    m_tokens.clear();
    QCoreApplication::exit(exitCode);
}

void PartAgent::hostMenuBar()
{
    if (m_identifier != Zentrove::paneflowID()) {
        // An ensemble chosen in this part's menu is asked of the live-wallpaper part when it runs.
        Workspace* workspace = m_workspace.get();
        EnsembleTheme::setPartRunningCheck([workspace] { return !workspace->runningApplications(Zentrove::paneflowID()).isEmpty(); });
    }
    // The popover draws in the product's fonts.
    Brand::registerFonts();
    m_menuBar = std::make_unique<ZentroveMenuBar>([this](ZentroveMenuBar& bar) { return menuContent(bar); }, *m_workspace,
                                                  [this] { quit(0); });
    m_menuBar->setPaused(wallpaperPaused());
    connect(&m_menuBar->model(), &EnsembleMenuModel::reloaded, this, [this] {
        if (m_menuBar)
            m_menuBar->setPaused(wallpaperPaused());
    });
}

std::unique_ptr<EnsembleMenu> PartAgent::menuContent(ZentroveMenuBar& bar)
{
    return PlainMenu::make(bar.model(), bar.actions(), MenuStatus::wallpaperStoreCheck());
}

bool PartAgent::wallpaperPaused() const
{
    Defaults& paneflow = Defaults::domain(Zentrove::paneflowID());
    paneflow.sync();
    return paneflow.boolean(LibrarySwitches::key(LibrarySwitch::userPaused), false);
}
