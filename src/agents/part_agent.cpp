#include "agents/part_agent.h"

#include "core/part.h"
#include "core/settings_sync.h"
#include "platform/defaults.h"
#include "platform/quit_signals.h"
#include "services/safety.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcAgent, "zentrove.agent")

PartAgent::PartAgent(QString identifier, QString displayName, QString logPrefix, QObject* parent)
    : QObject(parent)
    , m_identifier(std::move(identifier))
    , m_logPrefix(logPrefix + displayName + QLatin1Char(':'))
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
    qCInfo(lcAgent).noquote() << m_logPrefix << "running";
    return Start::running;
}

void PartAgent::quit(int exitCode)
{
    if (m_quitting)
        return;
    m_quitting = true;
    emit quitting();
    stopWork();
    m_tokens.clear();
    QCoreApplication::exit(exitCode);
}
