#include "app/parts_model.h"

#include "app/install_service.h"
#include "app/safety_service.h"
#include "core/zentrove.h"
#include "platform/defaults.h"
#include "platform/launcher.h"
#include "platform/workspace.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace {

QStringList partIDs()
{
    QStringList ids;
    for (const Part& part : Part::all())
        ids << part.id;
    return ids;
}

bool isTaskbar(const Part& part)
{
    return part.id == Zentrove::taskbarID();
}

} // namespace

PartsModel::PartsModel(LoginItems& loginItems, Workspace& workspace, Launcher& launcher, SafetyService& safety,
                       InstallService& install, QObject* parent)
    : QObject(parent)
    , m_loginItems(loginItems)
    , m_workspace(workspace)
    , m_launcher(launcher)
    , m_safety(safety)
    , m_install(install)
{
    refresh();
    // A taskbar that is already on implies the user agreed to lose the Dock.
    if (status(*Part::withID(Zentrove::taskbarID())) == LoginItemStatus::enabled)
        agreeToHideDock();
    m_workspace.watch(partIDs());
    connect(&m_workspace, &Workspace::runningApplicationsChanged, this, [this] {
        QTimer::singleShot(0, this, &PartsModel::refresh);
    }, Qt::QueuedConnection);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive)
                refresh();
        });
}

PartsModel::~PartsModel() = default;

std::optional<LoginItemStatus> PartsModel::status(const Part& part) const
{
    const auto it = m_status.constFind(part.id);
    return it == m_status.constEnd() ? std::nullopt : std::optional(*it);
}

void PartsModel::setAskDockConsent(bool ask)
{
    if (m_askDockConsent == ask)
        return;
    m_askDockConsent = ask;
    emit askDockConsentChanged();
}

void PartsModel::refresh()
{
    QMap<QString, LoginItemStatus> status;
    for (const Part& part : Part::all())
        status.insert(part.id, m_loginItems.status(part.id));
    if (status != m_status) {
        m_status = status;
        emit statusChanged();
    }
    const QSet<QString> running = m_workspace.runningIdentifiers(partIDs());
    if (running != m_running) {
        m_running = running;
        emit runningChanged();
    }
}

bool PartsModel::isOn(const Part& part) const
{
    const auto current = status(part);
    return current == LoginItemStatus::enabled || current == LoginItemStatus::requiresApproval;
}

bool PartsModel::dockAgreed() const
{
    return Defaults::standard().boolean(dockKey(), false);
}

void PartsModel::agreeToHideDock()
{
    Defaults::standard().set(dockKey(), true);
}

void PartsModel::acceptDockConsent()
{
    agreeToHideDock();
    set(*Part::withID(Zentrove::taskbarID()), true);
}

void PartsModel::setError(std::optional<QString> error)
{
    if (m_error == error)
        return;
    m_error = std::move(error);
    emit errorChanged();
}

void PartsModel::failed(const Part& part, const QString& description)
{
    setError(part.name + QStringLiteral(": ") + description);
}

void PartsModel::set(const Part& part, bool on)
{
    if (on) {
        // Nothing is registered until the user answers the Dock question.
        if (isTaskbar(part) && !dockAgreed()) {
            setAskDockConsent(true);
            return;
        }
        if (const LoginItems::Failure failure = m_loginItems.registerItem(part.id))
            failed(part, *failure);
        else
            setError(std::nullopt);
        refresh();
        return;
    }
    quitThen(part, [this, part] {
        if (const LoginItems::Failure failure = m_loginItems.unregisterItem(part.id))
            failed(part, *failure);
        else
            setError(std::nullopt);
        refresh();
        if (part.id == Zentrove::paneflowID())
            m_install.giveBackWallpaper([] {});
    });
}

void PartsModel::quitThen(const Part& part, std::function<void()> then)
{
    const QList<RunningApplication> applications = m_workspace.runningApplications(part.id);
    for (const RunningApplication& application : applications)
        m_workspace.terminate(application);
    const QDeadlineTimer deadline(quitDeadlineMs);
    // Polls on main-loop timers bound to the model: nothing runs once the model is gone.
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [this, applications, deadline, then = std::move(then), weakPoll = std::weak_ptr(poll)] {
        const bool allGone = std::all_of(applications.begin(), applications.end(),
                                         [this](const RunningApplication& a) { return m_workspace.isTerminated(a); });
        if (allGone || deadline.hasExpired()) {
            then();
            return;
        }
        if (const auto again = weakPoll.lock())
            QTimer::singleShot(pollIntervalMs, this, [again] { (*again)(); });
    };
    // The first check runs at once: a part with no process counts as quit.
    (*poll)();
}

void PartsModel::start(const Part& part)
{
    QPointer<PartsModel> self(this);
    m_launcher.start(part.id, [self, part](const Launcher::Outcome& outcome) {
        if (!self)
            return;
        switch (outcome.kind) {
        case Launcher::Outcome::Kind::started:
            break;
        case Launcher::Outcome::Kind::exited:
            if (outcome.exitStatus != 0)
                self->failed(part, QStringLiteral("couldn't start it (launchctl %1)").arg(outcome.exitStatus));
            break;
        case Launcher::Outcome::Kind::couldNotLaunch:
            self->failed(part, outcome.description);
            break;
        }
    });
}

void PartsModel::quit(const Part& part)
{
    for (const RunningApplication& application : m_workspace.runningApplications(part.id))
        m_workspace.terminate(application);
}

void PartsModel::registerAgain(const Part& part)
{
    QPointer<PartsModel> self(this);
    m_loginItems.unregisterLater(part.id, [self, part](const LoginItems::Failure&) {
        if (!self)
            return;
        // The taskbar may stop at the Dock question: show the item as off meanwhile.
        self->refresh();
        self->set(part, true);
    });
}

void PartsModel::restartAfterUpdate(const QString& build)
{
    Defaults& settings = Defaults::standard();
    const std::optional<QString> previous = settings.string(lastBuildKey());
    settings.set(lastBuildKey(), build);
    if (!previous || *previous == build)
        return;
    for (const Part& part : Part::all())
        if (isRunning(part))
            quitThen(part, [this, part] { start(part); });
}

void PartsModel::resumeStoodDown()
{
    refresh();
    for (const Part& part : Part::all()) {
        if (!isOn(part) || isRunning(part))
            continue;
        const std::optional<StandDown> record = m_safety.stoodDown(part.id);
        if (record && !record->crashed && !m_safety.offMessage(part.shortName())) {
            m_safety.clearStoodDown(part.id);
            start(part);
        }
    }
}

void PartsModel::turnAllOff(std::function<void()> done)
{
    // One part after the other, never in parallel.
    auto step = std::make_shared<std::function<void(qsizetype)>>();
    QPointer<PartsModel> self(this);
    *step = [this, self, done = std::move(done), weakStep = std::weak_ptr(step)](qsizetype index) {
        const auto again = weakStep.lock();
        if (!again || !self)
            return;
        if (index >= Part::all().size()) {
            refresh();
            if (done)
                done();
            return;
        }
        const Part part = Part::all()[index];
        quitThen(part, [this, part, index, again] {
            auto next = [this, part, index, again] {
                if (part.id == Zentrove::paneflowID())
                    m_install.giveBackWallpaper([again, index] { (*again)(index + 1); });
                else
                    (*again)(index + 1);
            };
            if (m_loginItems.status(part.id) == LoginItemStatus::notRegistered) {
                next();
                return;
            }
            m_loginItems.unregisterLater(part.id, [self = QPointer<PartsModel>(this), next](const LoginItems::Failure&) {
                if (self)
                    next();
            });
        });
    };
    (*step)(0);
}

std::optional<StandDown> PartsModel::standDown(const Part& part) const
{
    return m_safety.stoodDown(part.id);
}

StatusLine PartsModel::statusLine(const Part& part) const
{
    return StatusLine::of(status(part), isRunning(part), standDown(part));
}

void PartsModel::perform(StatusLine::Action action, const Part& part)
{
    switch (action) {
    case StatusLine::Action::startNow:
        start(part);
        break;
    case StatusLine::Action::tryAgain:
        m_safety.clearStoodDown(part.id);
        start(part);
        break;
    case StatusLine::Action::openLoginItems:
        m_loginItems.openSettings();
        break;
    case StatusLine::Action::none:
        break;
    }
}
