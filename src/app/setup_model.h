#pragma once

#include "app/ensembles_model.h"
#include "app/setup_step.h"
#include "core/part.h"
#include "library/ensemble.h"
#include "platform/desktop_words.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

class LibraryStore;
class PartsModel;
class SettingsStore;

// What the setup reads and does besides the parts model. Every member has a working default
// except the stores, which may be missing (the look step then has nothing to choose).
struct SetupInputs
{
    // Runs `then` once `ms` milliseconds have passed on a monotonic clock (tests fire it by hand).
    using Wait = std::function<void(int ms, std::function<void()> then)>;

    LibraryStore* library = nullptr;
    SettingsStore* taskbar = nullptr;
    // Sends a one-word command to the taskbar part.
    std::function<void(const QString& command)> sendToTaskbar;
    std::function<void(SettingsPane pane)> openSettings;
    // The desktop's own dock has a list of pinned apps the bar starts from.
    std::function<bool()> dockAppsKnown;
    // The desktop's wallpaper store is ready for the lock screen.
    std::function<bool()> wallpaperStoreSetUp;
    Wait wait;
};

// The first-run setup without its widgets: which step is shown, what the user picked and chose,
// applying the choices to the parts, and whether the parts started afterwards. Leaving by any
// way marks the setup done and calls the close action.
class SetupModel : public QObject
{
    Q_OBJECT
public:
    // How long the done step and the permissions step wait for parts to start.
    static constexpr int startWaitMs = 10000;

    // What the done step says.
    enum class Outcome { nothingOn, someLate, started };
    // What the permissions step shows about the taskbar part itself.
    enum class TaskbarState { running, starting, late };
    // The lock screen's progress line on the done step.
    struct Progress
    {
        QString text;
        bool failed = false;
        bool operator==(const Progress&) const = default;
    };

    using Close = std::function<void(bool finished)>;

    SetupModel(PartsModel& parts, SetupInputs inputs, Close close, std::optional<SetupStep> first = std::nullopt,
               QObject* parent = nullptr);
    ~SetupModel() override;

    PartsModel& parts() const { return m_parts; }
    LibraryStore* library() const { return m_inputs.library; }
    SettingsStore* taskbarStore() const { return m_inputs.taskbar; }

    // --- steps --------------------------------------------------------------------------------
    SetupStep step() const { return m_step; }
    // look, changes, permissions only while the taskbar is wanted, done.
    QList<SetupStep> steps() const;
    // "STEP 2 OF 4".
    QString counterText() const;
    // Continue: look -> changes; changes applies the choices; permissions -> done.
    void next();
    void back();
    // Jumps to a step (tests, "--setup STEP").
    void go(SetupStep step);
    // "Not now" on the look step: done with the setup, not finished.
    void notNow();
    // The last button of the done step: done and finished.
    void finish();
    // The sheet went away by another way (Escape, the window closing, the app quitting): that
    // leaves the setup too, not finished, without calling the close action again.
    void dismissed();
    bool hasLeft() const { return m_left; }

    // --- look ---------------------------------------------------------------------------------
    QList<Ensemble> choices() const;
    // The picked ensemble, else the library's current one, else the first choice.
    std::optional<Ensemble> picked() const;
    void pick(const QUuid& id);
    LookPlace place() const { return m_place; }
    void setPlace(LookPlace place);

    // --- changes ------------------------------------------------------------------------------
    bool isChosen(const Part& part) const { return m_chosen.contains(part.id); }
    void choose(const Part& part, bool wanted);
    QString detail(const Part& part) const;
    // The note about the system's own lock screen clock: shown while the clock is chosen and the
    // user has not said the system's clock is off.
    bool showsSystemClockNote() const;
    void systemClockIsOff();
    void openSystemClockSettings();
    // Sets what the user chose apart: makes the picked ensemble current, turns every part on or off
    // as chosen (choosing the taskbar is the consent to hide the dock) and starts the parts it turned
    // on, and returns the next step.
    SetupStep applyChoices();

    // --- permissions --------------------------------------------------------------------------
    TaskbarState taskbarState() const;
    bool accessibilityAllowed() const;
    bool fullDiskAccessAllowed() const;
    // The taskbar asks the system on its own behalf first, so the settings list names it.
    void grantAccessibility();
    void grantFullDiskAccess();
    void retryTaskbar();

    // --- done ---------------------------------------------------------------------------------
    Outcome outcome() const;
    // The parts that are on but were not running at the last check.
    const QList<Part>& lateParts() const { return m_lateParts; }
    bool needsApproval(const Part& part) const;
    // Why a part stood down by itself; empty when it did not.
    QString standDownReason(const Part& part) const;
    void openLoginItems(const Part& part);
    // Registers and starts the late parts again and checks once more after the wait.
    void retryLate();
    int startCheck() const { return m_startCheck; }
    bool isChecking() const { return m_checking; }
    // Shown while the live wallpaper is on; empty text: nothing to show.
    Progress lockScreenProgress() const;
    bool showsLockScreenSetupNote() const;
    void openWallpaperSettings();

signals:
    void stepChanged();
    // Anything else shown changed: choices, picks, parts' state, the check's result.
    void changed();

private:
    void enter(SetupStep step);
    // Once the parts had their time to start: refreshes them, runs `look` and says so.
    void afterStartWait(std::function<void()> look);
    void beginStartCheck();
    void beginTaskbarWait();
    void leave(bool finished, bool callClose = true);
    bool taskbarWanted() const;

    PartsModel& m_parts;
    SetupInputs m_inputs;
    Close m_close;
    SetupStep m_step = SetupStep::look;
    QSet<QString> m_chosen;
    bool m_chosenFromParts = false;
    std::optional<QUuid> m_pickedID;
    LookPlace m_place = LookPlace::desktop;
    bool m_taskbarLate = false;
    QList<Part> m_lateParts;
    int m_startCheck = 0;
    bool m_checking = false;
    bool m_left = false;
    // Raised whenever a wait starts or the step changes: a wait that ends for an older round does nothing.
    int m_waitRound = 0;
};
