#pragma once

#include "library/ensemble.h"
#include "platform/screens.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <functional>
#include <optional>

class LibraryStore;
class Navigation;
class SettingsStore;
class StyleStore;

// Which of the two places of a display a preview shows.
enum class LookPlace { desktop, lockScreen };

// What the ensembles page reads besides the stores: whether the live-wallpaper part runs, and
// whether the desktop's wallpaper store is ready for the lock screen.
struct EnsemblesInputs
{
    std::function<bool()> paneflowRunning = [] { return false; };
    std::function<bool()> wallpaperStoreSetUp = [] { return true; };
};

// The ensembles page without its widgets: what the user is looking at (the display, the selected
// ensemble, the editor), everything the page shows that is worked out from the stores, and every
// action, each of which goes through a store. The widgets only draw this and forward input.
class EnsemblesModel : public QObject
{
    Q_OBJECT
public:
    enum class Slot { wallpaper = 0, clock = 1, taskbar = 2 };
    // How a line of text is coloured.
    enum class Tone { plain, muted, ok, accent, warning, failure };
    // The entries of an ensemble's menu, in the order they are shown.
    enum class Action { apply, saveChanges, rename, duplicate, wallpaperDetails, divider, remove };

    struct Line
    {
        QString text;
        Tone tone = Tone::muted;
        bool operator==(const Line&) const = default;
    };

    using Inputs = EnsemblesInputs;

    EnsemblesModel(LibraryStore& library, StyleStore& clocks, SettingsStore& taskbar, Navigation& nav,
                   Inputs inputs = {}, QObject* parent = nullptr);
    ~EnsemblesModel() override;

    LibraryStore& library() const { return m_library; }
    Navigation& nav() const { return m_nav; }
    StyleStore& clocks() const { return m_clocks; }
    SettingsStore& taskbar() const { return m_taskbar; }

    // --- view state ---------------------------------------------------------------------------
    std::optional<quint32> displayID() const { return m_displayID; }
    void setDisplayID(std::optional<quint32> id);
    std::optional<QUuid> selectedID() const { return m_selectedID; }
    bool sameSelected() const { return m_sameSelected; }
    std::optional<QUuid> editingID() const { return m_editingID; }
    bool isNew() const { return m_isNew; }
    std::optional<Ensemble> original() const { return m_original; }
    std::optional<Slot> slot() const { return m_slot; }
    void setSlot(std::optional<Slot> slot);
    LookPlace place() const { return m_place; }
    void setPlace(LookPlace place);

    // --- displays -----------------------------------------------------------------------------
    // The displays as last told by the screens watch (asking the system each time is costly, and
    // a card asks several times).
    QList<ScreenInfo> screens() const { return m_screens; }
    // The display the page works on: the one of displayID while it is connected, else the main one.
    std::optional<ScreenInfo> chosen() const;
    bool onMain() const;
    // How the page names a display: the built-in panel is "Built-in".
    static QString displayName(const ScreenInfo& screen);

    // --- derived values -----------------------------------------------------------------------
    // The ensemble the chosen display shows.
    std::optional<QUuid> inUseID() const;
    // A display other than the main one without an ensemble of its own.
    bool followsMain() const;
    // The ensemble is the chosen display's own choice: in use there, and not merely followed from
    // the main display (a following display's choice is the same-as-main card).
    bool isInUseHere(const Ensemble& ensemble) const;
    bool paneflowRunning() const { return m_inputs.paneflowRunning(); }
    // The current wallpaper is a video and the desktop's wallpaper store is not ready for it yet.
    bool waitingForMacOS() const;
    // The ensemble the hero shows: the main display's on the same-as-main card, else the selected
    // one, else the one in use.
    std::optional<Ensemble> heroEnsemble() const;

    QString wallpaperName(const Ensemble& ensemble) const;
    QString clockName(const Ensemble& ensemble) const;
    QString taskbarName(const Ensemble& ensemble) const;
    // One sentence per part that shows something else than the ensemble in use says; empty for an
    // ensemble not in use on the chosen display.
    QStringList changes(const Ensemble& ensemble) const;

    // The hero's caption and its colour.
    Line caption() const;
    // The automatic change status appended to the main display's caption.
    QString changeStatus() const;
    // The ensemble the daily change shows next: the first of the deck that exists and is not current.
    std::optional<QUuid> nextDailyID() const;
    // "TOMORROW", "LIGHT AND DARK", "☀ LIGHT MODE", "☾ DARK MODE" or nothing.
    QString changeMark(const Ensemble& ensemble) const;
    // The one status line of a card, first match wins; empty text for none.
    Line cardStatus(const Ensemble& ensemble) const;
    // Displays other than the chosen one that show the ensemble, by name.
    QStringList otherDisplaysShowing(const Ensemble& ensemble) const;
    QString tooltip(const Ensemble& ensemble) const;
    QString accessibleName(const Ensemble& ensemble) const;
    QStringList helpLines() const;
    // The line that replaces the parts list on a display that follows the main display.
    QString followsMainLine(const Ensemble& ensemble) const;
    // "Restore 1 built-in ensemble", "Restore N built-in ensembles", or empty when none is missing.
    QString restoreText() const;
    QList<Action> menu(const Ensemble& ensemble) const;
    static QString actionTitle(Action action, const Ensemble& ensemble);
    QString deleteMessage(const Ensemble& ensemble) const;

    // --- the editor ---------------------------------------------------------------------------
    std::optional<Ensemble> editing() const;
    QString editorTitle() const;
    QString slotValue(Slot slot) const;
    QString slotHint(Slot slot) const;
    QString pickerStep() const;
    QString pickerTitle() const;
    static QString slotTitle(Slot slot);

    // --- actions ------------------------------------------------------------------------------
    void select(const QUuid& id);
    void selectSame();
    void apply(const Ensemble& ensemble);
    void applySame();
    // Makes "New Ensemble" and opens it in the editor; false when there is no wallpaper to build on.
    bool newEnsemble();
    void edit(const Ensemble& ensemble);
    // A tile of the step picker: a wallpaper id, a preset or theme id, or nullopt for "Your
    // current clock" / "Your current bar". "No change" calls nothing.
    void choose(Slot slot, const std::optional<QUuid>& id);
    void done(const QString& name);
    void cancel();
    void saveChanges(const Ensemble& ensemble);
    void rename(const Ensemble& ensemble, const QString& name);
    void duplicate(const Ensemble& ensemble);
    void wallpaperDetails(const Ensemble& ensemble);
    void remove(const Ensemble& ensemble);
    void restoreBuiltIns();
    // Takes an ensemble the navigation asks the page to open; returns it (the view scrolls to it).
    std::optional<QUuid> takeRequest();

signals:
    // View state changed (display, selection, editor, place).
    void stateChanged();
    // A store changed something the page shows.
    void storesChanged();
    // The connected displays changed.
    void screensChanged();

private:
    std::optional<Ensemble> find(const std::optional<QUuid>& id) const;
    void closeEditor();

    LibraryStore& m_library;
    StyleStore& m_clocks;
    SettingsStore& m_taskbar;
    Navigation& m_nav;
    Inputs m_inputs;
    QList<ScreenInfo> m_screens;

    std::optional<quint32> m_displayID;
    std::optional<QUuid> m_selectedID;
    bool m_sameSelected = false;
    std::optional<QUuid> m_editingID;
    bool m_isNew = false;
    std::optional<Ensemble> m_original;
    std::optional<Slot> m_slot;
    LookPlace m_place = LookPlace::desktop;
};
