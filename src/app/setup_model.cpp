#include "app/setup_model.h"

#include "app/parts_model.h"
#include "app/setup_keys.h"
#include "app/setup_texts.h"
#include "app/status_line.h"
#include "core/notices.h"
#include "core/zentrove.h"
#include "library/activity.h"
#include "library/library_store.h"
#include "platform/defaults.h"
#include "taskbar/settings_store.h"

#include <QPointer>
#include <algorithm>
#include <QTimer>

namespace {

Part partWithID(const QString& id)
{
    return *Part::withID(id);
}

} // namespace

SetupModel::SetupModel(PartsModel& parts, SetupInputs inputs, Close close, std::optional<SetupStep> first, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
    , m_inputs(std::move(inputs))
    , m_close(std::move(close))
{
    if (!m_inputs.wait)
        m_inputs.wait = [](int ms, std::function<void()> then) { QTimer::singleShot(ms, Qt::PreciseTimer, std::move(then)); };
    if (!m_inputs.openSettings)
        m_inputs.openSettings = [](SettingsPane pane) { DesktopWords::openSettings(pane); };
    if (!m_inputs.sendToTaskbar)
        m_inputs.sendToTaskbar = [](const QString&) {};
    if (!m_inputs.dockAppsKnown)
        m_inputs.dockAppsKnown = [] { return false; };
    if (!m_inputs.wallpaperStoreSetUp)
        m_inputs.wallpaperStoreSetUp = [] { return true; };

    connect(&m_parts, &PartsModel::statusChanged, this, &SetupModel::changed);
    connect(&m_parts, &PartsModel::runningChanged, this, &SetupModel::changed);
    if (LibraryStore* library = m_inputs.library) {
        connect(library, &LibraryStore::ensemblesChanged, this, &SetupModel::changed);
        connect(library, &LibraryStore::currentEnsembleIDChanged, this, &SetupModel::changed);
        connect(library, &LibraryStore::thumbnailVersionChanged, this, &SetupModel::changed);
        connect(&library->switches(), &LibrarySwitches::changed, this, &SetupModel::changed);
        connect(&library->switches(), &LibrarySwitches::lockScreenStatusChanged, this, &SetupModel::changed);
        connect(&library->activityLog(), &ActivityLog::engineActivitiesChanged, this, &SetupModel::changed);
    }
    if (SettingsStore* taskbar = m_inputs.taskbar) {
        connect(taskbar, &SettingsStore::accessibilityTrustedChanged, this, &SetupModel::changed);
        connect(taskbar, &SettingsStore::fullDiskAccessChanged, this, &SetupModel::changed);
    }
    enter(first.value_or(SetupStep::look));
}

SetupModel::~SetupModel() = default;

// --- steps ------------------------------------------------------------------------------------

bool SetupModel::taskbarWanted() const
{
    const Part taskbar = partWithID(Zentrove::taskbarID());
    // Before the choices are applied the switch tells; afterwards the part's own state.
    if (m_step == SetupStep::look || m_step == SetupStep::changes)
        return isChosen(taskbar);
    return m_parts.isOn(taskbar);
}

QList<SetupStep> SetupModel::steps() const
{
    QList<SetupStep> list {SetupStep::look, SetupStep::changes};
    if (taskbarWanted())
        list << SetupStep::permissions;
    list << SetupStep::done;
    return list;
}

QString SetupModel::counterText() const
{
    const QList<SetupStep> shown = steps();
    // A step opened directly that the list leaves out (permissions without the taskbar) counts
    // where it would stand.
    qsizetype index = shown.indexOf(m_step);
    if (index < 0)
        index = std::count_if(shown.begin(), shown.end(), [this](SetupStep s) { return int(s) < int(m_step); });
    return QStringLiteral("STEP %1 OF %2").arg(index + 1).arg(std::max(shown.size(), index + 1));
}

void SetupModel::enter(SetupStep step)
{
    const bool moved = step != m_step;
    m_step = step;
    ++m_waitRound;
    m_checking = false;
    // Shown again, the switches start from the parts that are on now, so continuing as shown
    // changes nothing.
    if (step == SetupStep::changes && !m_chosenFromParts) {
        m_chosenFromParts = true;
        for (const Part& part : Part::all())
            if (m_parts.isOn(part))
                m_chosen.insert(part.id);
    }
    if (step == SetupStep::permissions)
        beginTaskbarWait();
    if (step == SetupStep::done)
        beginStartCheck();
    if (moved)
        emit stepChanged();
    emit changed();
}

void SetupModel::go(SetupStep step)
{
    enter(step);
}

void SetupModel::next()
{
    switch (m_step) {
    case SetupStep::look: enter(SetupStep::changes); break;
    case SetupStep::changes: enter(applyChoices()); break;
    case SetupStep::permissions: enter(SetupStep::done); break;
    case SetupStep::done: finish(); break;
    }
}

void SetupModel::back()
{
    const QList<SetupStep> shown = steps();
    const qsizetype index = shown.indexOf(m_step);
    if (index > 0)
        enter(shown[index - 1]);
    else if (index < 0 && m_step != SetupStep::look)
        enter(SetupStep::changes);
}

void SetupModel::notNow()
{
    leave(false);
}

void SetupModel::finish()
{
    leave(true);
}

void SetupModel::dismissed()
{
    leave(false, false);
}

void SetupModel::leave(bool finished, bool callClose)
{
    if (m_left)
        return;
    m_left = true;
    ++m_waitRound;
    m_checking = false;
    Defaults::standard().set(Setup::doneKey(), true);
    if (callClose && m_close)
        m_close(finished);
}

// --- look -------------------------------------------------------------------------------------

QList<Ensemble> SetupModel::choices() const
{
    return m_inputs.library ? m_inputs.library->ensembles() : QList<Ensemble>();
}

std::optional<Ensemble> SetupModel::picked() const
{
    LibraryStore* library = m_inputs.library;
    if (!library)
        return std::nullopt;
    if (m_pickedID)
        if (std::optional<Ensemble> ensemble = library->ensemble(*m_pickedID))
            return ensemble;
    if (std::optional<Ensemble> current = library->currentEnsemble())
        return current;
    const QList<Ensemble>& all = library->ensembles();
    return all.isEmpty() ? std::nullopt : std::optional(all.first());
}

void SetupModel::pick(const QUuid& id)
{
    if (m_pickedID == id)
        return;
    m_pickedID = id;
    emit changed();
}

void SetupModel::setPlace(LookPlace place)
{
    if (m_place == place)
        return;
    m_place = place;
    emit changed();
}

// --- changes ----------------------------------------------------------------------------------

void SetupModel::choose(const Part& part, bool wanted)
{
    m_chosenFromParts = true;
    if (wanted == isChosen(part))
        return;
    if (wanted)
        m_chosen.insert(part.id);
    else
        m_chosen.remove(part.id);
    emit changed();
}

QString SetupModel::detail(const Part& part) const
{
    const std::optional<Ensemble> ensemble = picked();
    const std::optional<QString> name = ensemble ? std::optional(ensemble->name) : std::nullopt;
    if (part.id == Zentrove::paneflowID()) {
        const bool lockScreen = m_inputs.library && m_inputs.library->switches().on(LibrarySwitch::lockScreenEnabled);
        return SetupTexts::wallpaperDetail(name, lockScreen);
    }
    if (part.id == Zentrove::vizaVedidID())
        return SetupTexts::clockDetail(name);
    return SetupTexts::taskbarDetail(name, isChosen(part), m_inputs.dockAppsKnown());
}

bool SetupModel::showsSystemClockNote() const
{
    return isChosen(partWithID(Zentrove::vizaVedidID())) && !Defaults::standard().boolean(Setup::systemClockKey(), false);
}

void SetupModel::systemClockIsOff()
{
    Defaults::standard().set(Setup::systemClockKey(), true);
    emit changed();
}

void SetupModel::openSystemClockSettings()
{
    m_inputs.openSettings(SettingsPane::lockScreen);
}

SetupStep SetupModel::applyChoices()
{
    if (LibraryStore* library = m_inputs.library) {
        if (m_pickedID && library->ensemble(*m_pickedID) && library->currentEnsembleID() != m_pickedID)
            library->setCurrentEnsembleID(m_pickedID);
    }
    const Part taskbar = partWithID(Zentrove::taskbarID());
    // Switching the bar on here is the answer to the dock question: it is never asked again.
    if (isChosen(taskbar))
        m_parts.agreeToHideDock();
    for (const Part& part : Part::all()) {
        const bool wanted = isChosen(part);
        if (wanted == m_parts.isOn(part))
            continue;
        m_parts.set(part, wanted);
        // Registering only lists the part for the next log-in here: start it now, as the steps
        // after this one wait for it.
        if (wanted && m_parts.isOn(part) && !m_parts.isRunning(part))
            m_parts.start(part);
    }
    return m_parts.isOn(taskbar) ? SetupStep::permissions : SetupStep::done;
}

// --- permissions ------------------------------------------------------------------------------

void SetupModel::afterStartWait(std::function<void()> look)
{
    const int round = ++m_waitRound;
    QPointer<SetupModel> self(this);
    m_inputs.wait(startWaitMs, [self, round, look = std::move(look)] {
        // A newer wait, or a setup that is gone, makes this one moot.
        if (!self || self->m_waitRound != round)
            return;
        self->m_parts.refresh();
        look();
        emit self->changed();
    });
}

void SetupModel::beginTaskbarWait()
{
    m_taskbarLate = false;
    afterStartWait([this] { m_taskbarLate = !m_parts.isRunning(partWithID(Zentrove::taskbarID())); });
}

SetupModel::TaskbarState SetupModel::taskbarState() const
{
    if (m_parts.isRunning(partWithID(Zentrove::taskbarID())))
        return TaskbarState::running;
    return m_taskbarLate ? TaskbarState::late : TaskbarState::starting;
}

bool SetupModel::accessibilityAllowed() const
{
    return m_inputs.taskbar && m_inputs.taskbar->accessibilityTrusted();
}

bool SetupModel::fullDiskAccessAllowed() const
{
    return m_inputs.taskbar && m_inputs.taskbar->fullDiskAccess();
}

void SetupModel::grantAccessibility()
{
    m_inputs.sendToTaskbar(TaskbarCommands::askAccessibility());
    m_inputs.openSettings(SettingsPane::accessibility);
}

void SetupModel::grantFullDiskAccess()
{
    // The desktops keep file access among the same privacy settings.
    m_inputs.openSettings(SettingsPane::accessibility);
}

void SetupModel::retryTaskbar()
{
    const Part taskbar = partWithID(Zentrove::taskbarID());
    m_parts.registerAgain(taskbar);
    m_parts.start(taskbar);
    beginTaskbarWait();
    emit changed();
}

// --- done -------------------------------------------------------------------------------------

void SetupModel::beginStartCheck()
{
    m_checking = true;
    afterStartWait([this] {
        QList<Part> late;
        for (const Part& part : Part::all())
            if (m_parts.isOn(part) && !m_parts.isRunning(part))
                late << part;
        m_lateParts = late;
        m_checking = false;
    });
}

SetupModel::Outcome SetupModel::outcome() const
{
    // Opened straight on this step, the parts' own state says what was chosen.
    bool anyWanted = !m_chosen.isEmpty();
    if (!m_chosenFromParts)
        for (const Part& part : Part::all())
            anyWanted = anyWanted || m_parts.isOn(part);
    if (!anyWanted)
        return Outcome::nothingOn;
    // A part that started since the check no longer counts as late.
    for (const Part& part : m_lateParts)
        if (!m_parts.isRunning(part))
            return Outcome::someLate;
    return Outcome::started;
}

bool SetupModel::needsApproval(const Part& part) const
{
    return m_parts.status(part) == LoginItemStatus::requiresApproval;
}

QString SetupModel::standDownReason(const Part& part) const
{
    const std::optional<StandDown> record = m_parts.standDown(part);
    return record ? record->reason : QString();
}

void SetupModel::openLoginItems(const Part& part)
{
    m_parts.perform(StatusLine::Action::openLoginItems, part);
}

void SetupModel::retryLate()
{
    for (const Part& part : std::as_const(m_lateParts)) {
        m_parts.registerAgain(part);
        m_parts.start(part);
    }
    ++m_startCheck;
    beginStartCheck();
    emit changed();
}

SetupModel::Progress SetupModel::lockScreenProgress() const
{
    LibraryStore* library = m_inputs.library;
    if (!library || !m_parts.isOn(partWithID(Zentrove::paneflowID())))
        return {};
    for (const Activity& activity : library->activityLog().engineActivities())
        if (activity.title == Activity::lockScreenInstall() && activity.state == Activity::State::running)
            return {SetupTexts::lockScreenProgress(activity.progress.value_or(0)), false};
    const LibrarySwitches& switches = library->switches();
    if (switches.on(LibrarySwitch::lockScreenEnabled) && switches.on(LibrarySwitch::lockScreenFailed))
        return {switches.lockScreenStatus().value_or(QString()), true};
    return {};
}

bool SetupModel::showsLockScreenSetupNote() const
{
    LibraryStore* library = m_inputs.library;
    return library && m_parts.isOn(partWithID(Zentrove::paneflowID()))
        && library->switches().on(LibrarySwitch::lockScreenEnabled) && !m_inputs.wallpaperStoreSetUp();
}

void SetupModel::openWallpaperSettings()
{
    m_inputs.openSettings(SettingsPane::wallpaper);
}
