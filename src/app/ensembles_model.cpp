#include "app/ensembles_model.h"

#include "app/navigation.h"
#include "clock/style_store.h"
#include "library/library_store.h"
#include "media/media_kind.h"
#include "platform/desktop_words.h"
#include "taskbar/settings_store.h"

#include <algorithm>

namespace {

const QString missing = QStringLiteral("Missing");

template<typename T>
bool assign(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

EnsemblesModel::EnsemblesModel(LibraryStore& library, StyleStore& clocks, SettingsStore& taskbar, Navigation& nav,
                               Inputs inputs, QObject* parent)
    : QObject(parent)
    , m_library(library)
    , m_clocks(clocks)
    , m_taskbar(taskbar)
    , m_nav(nav)
    , m_inputs(std::move(inputs))
{
    for (auto signal : {&LibraryStore::itemsChanged, &LibraryStore::ensemblesChanged, &LibraryStore::currentEnsembleIDChanged,
                        &LibraryStore::currentIDChanged, &LibraryStore::displayEnsemblesChanged,
                        &LibraryStore::ensembleChangingChanged, &LibraryStore::thumbnailVersionChanged})
        connect(&m_library, signal, this, &EnsemblesModel::storesChanged);
    connect(&m_library.switches(), &LibrarySwitches::changed, this, &EnsemblesModel::storesChanged);
    connect(&m_library.switches(), &LibrarySwitches::lockScreenStatusChanged, this, &EnsemblesModel::storesChanged);
    for (auto signal : {&StyleStore::styleChanged, &StyleStore::customPresetsChanged, &StyleStore::activePresetIDChanged})
        connect(&m_clocks, signal, this, &EnsemblesModel::storesChanged);
    for (auto signal : {&SettingsStore::settingsChanged, &SettingsStore::themesChanged, &SettingsStore::activeThemeIDChanged})
        connect(&m_taskbar, signal, this, &EnsemblesModel::storesChanged);
    m_screens = Screens::all();
    connect(&ScreensWatch::shared(), &ScreensWatch::changed, this, [this] {
        m_screens = Screens::all();
        emit screensChanged();
    });
    // The ensemble in the editor went away under it (another process removed it): close it.
    connect(&m_library, &LibraryStore::ensemblesChanged, this, [this] {
        if (m_editingID && !find(m_editingID))
            closeEditor();
    });
}

EnsemblesModel::~EnsemblesModel() = default;

// MARK: view state

void EnsemblesModel::setDisplayID(std::optional<quint32> id)
{
    const bool changed = assign(m_displayID, id) | assign(m_sameSelected, false) | assign(m_selectedID, std::optional<QUuid>());
    if (changed)
        emit stateChanged();
}

void EnsemblesModel::setSlot(std::optional<Slot> slot)
{
    if (assign(m_slot, slot))
        emit stateChanged();
}

void EnsemblesModel::setPlace(LookPlace place)
{
    if (assign(m_place, place))
        emit stateChanged();
}

// MARK: displays

std::optional<ScreenInfo> EnsemblesModel::chosen() const
{
    const QList<ScreenInfo> all = screens();
    if (m_displayID) {
        for (const ScreenInfo& screen : all)
            if (screen.displayID == *m_displayID)
                return screen;
    }
    // A display that went away leaves the page on the main one.
    return all.isEmpty() ? std::nullopt : std::optional(all.first());
}

bool EnsemblesModel::onMain() const
{
    const std::optional<ScreenInfo> screen = chosen();
    return !screen || m_screens.isEmpty() || screen->displayID == m_screens.first().displayID;
}

QString EnsemblesModel::displayName(const ScreenInfo& screen)
{
    if (screen.builtIn)
        return QStringLiteral("Built-in");
    return screen.localizedName.isEmpty() ? screen.name : screen.localizedName;
}

// MARK: derived values

std::optional<Ensemble> EnsemblesModel::find(const std::optional<QUuid>& id) const
{
    return id ? m_library.ensemble(*id) : std::nullopt;
}

std::optional<QUuid> EnsemblesModel::inUseID() const
{
    if (!onMain()) {
        if (const std::optional<Ensemble> own = m_library.ownEnsemble(*chosen()))
            return own->id;
    }
    return m_library.currentEnsembleID();
}

bool EnsemblesModel::followsMain() const
{
    return !onMain() && !m_library.ownEnsemble(*chosen());
}

bool EnsemblesModel::isInUseHere(const Ensemble& ensemble) const
{
    return inUseID() == ensemble.id && !followsMain();
}

bool EnsemblesModel::waitingForMacOS() const
{
    const std::optional<Wallpaper> current = m_library.current();
    if (!current)
        return false;
    if (MediaKind::isImage(m_library.mediaPath(*current)))
        return false;
    return !m_inputs.wallpaperStoreSetUp();
}

std::optional<Ensemble> EnsemblesModel::heroEnsemble() const
{
    if (m_sameSelected)
        return m_library.currentEnsemble();
    if (const std::optional<Ensemble> selected = find(m_selectedID))
        return selected;
    return find(inUseID());
}

QString EnsemblesModel::wallpaperName(const Ensemble& ensemble) const
{
    const std::optional<Wallpaper> wallpaper = m_library.wallpaperOf(ensemble);
    return wallpaper ? wallpaper->name : missing;
}

QString EnsemblesModel::clockName(const Ensemble& ensemble) const
{
    if (!ensemble.clockPreset)
        return QStringLiteral("Your current clock");
    for (const NamedStyle& preset : m_clocks.customPresets())
        if (preset.id == *ensemble.clockPreset)
            return preset.name;
    return missing;
}

QString EnsemblesModel::taskbarName(const Ensemble& ensemble) const
{
    if (!ensemble.taskbarTheme)
        return QStringLiteral("Your current bar");
    for (const Theme& theme : m_taskbar.themes())
        if (theme.id == *ensemble.taskbarTheme)
            return theme.name;
    return missing;
}

QStringList EnsemblesModel::changes(const Ensemble& ensemble) const
{
    QStringList sentences;
    if (inUseID() != ensemble.id)
        return sentences;
    const std::optional<ScreenInfo> screen = chosen();
    const std::optional<Wallpaper> shown = screen ? m_library.wallpaperOn(*screen) : m_library.current();
    if (shown && shown->id != ensemble.wallpaper)
        sentences << QStringLiteral("Wallpaper is %1 instead of %2").arg(shown->name, wallpaperName(ensemble));
    // The clock and the bar an ensemble names are worn only when it is the main display's: a
    // display's own ensemble never sends its look, so comparing them there would always differ.
    if (!onMain())
        return sentences;
    if (ensemble.clockPreset) {
        if (const std::optional<NamedStyle> active = m_clocks.activePreset(); active && active->id != *ensemble.clockPreset)
            sentences << QStringLiteral("Clock is %1 instead of %2").arg(active->name, clockName(ensemble));
    }
    if (ensemble.taskbarTheme) {
        if (const std::optional<Theme> active = m_taskbar.activeTheme(); active && active->id != *ensemble.taskbarTheme)
            sentences << QStringLiteral("Bar is %1 instead of %2").arg(active->name, taskbarName(ensemble));
    }
    return sentences;
}

std::optional<QUuid> EnsemblesModel::nextDailyID() const
{
    const EnsembleChanging& changing = m_library.ensembleChanging();
    for (const QUuid& id : changing.deck) {
        if (id != m_library.currentEnsembleID() && m_library.ensemble(id))
            return id;
    }
    return std::nullopt;
}

QString EnsemblesModel::changeStatus() const
{
    const EnsembleChanging& changing = m_library.ensembleChanging();
    switch (changing.mode) {
    case EnsembleChanging::Mode::daily:
        if (const std::optional<Ensemble> next = find(nextDailyID()))
            return QStringLiteral(" · ") + next->name.toUpper() + QStringLiteral(" TOMORROW");
        return {};
    case EnsembleChanging::Mode::appearance: {
        const std::optional<QUuid> current = m_library.currentEnsembleID();
        if (current && current == changing.darkEnsemble)
            return QStringLiteral(" · DARK MODE");
        if (current && current == changing.lightEnsemble)
            return QStringLiteral(" · LIGHT MODE");
        return {};
    }
    case EnsembleChanging::Mode::never:
        return {};
    }
    return {};
}

EnsemblesModel::Line EnsemblesModel::caption() const
{
    if (onMain()) {
        const QString status = changeStatus();
        if (!m_library.switches().on(LibrarySwitch::lockScreenEnabled))
            return {QStringLiteral("LOCK SCREEN OFF") + status, Tone::muted};
        if (m_library.switches().on(LibrarySwitch::lockScreenFailed))
            return {QStringLiteral("LOCK SCREEN FAILED") + status, Tone::failure};
        if (waitingForMacOS())
            return {DesktopWords::current().fill(u"Lock screen waiting for {systemName}").toUpper() + status, Tone::warning};
        if (m_library.switches().on(LibrarySwitch::lockScreenTaken))
            return {QStringLiteral("LOCK SCREEN USED BY ANOTHER APP") + status, Tone::warning};
        return {QStringLiteral("DESKTOP AND LOCK SCREEN") + status, Tone::muted};
    }
    if (m_place == LookPlace::lockScreen)
        return {QStringLiteral("THE LOCK SCREEN SHOWS THE MAIN DISPLAY’S ENSEMBLE"), Tone::muted};
    if (followsMain())
        return {QStringLiteral("FOLLOWS THE MAIN DISPLAY"), Tone::muted};
    if (m_taskbar.settings().displays == BarDisplays::all)
        return {QStringLiteral("WALLPAPER AND BAR"), Tone::muted};
    return {QStringLiteral("WALLPAPER"), Tone::muted};
}

QString EnsemblesModel::changeMark(const Ensemble& ensemble) const
{
    const EnsembleChanging& changing = m_library.ensembleChanging();
    switch (changing.mode) {
    case EnsembleChanging::Mode::daily:
        return nextDailyID() == ensemble.id ? QStringLiteral("TOMORROW") : QString();
    case EnsembleChanging::Mode::appearance: {
        const bool light = changing.lightEnsemble == ensemble.id;
        const bool dark = changing.darkEnsemble == ensemble.id;
        if (light && dark)
            return QStringLiteral("LIGHT AND DARK");
        if (light)
            return QStringLiteral("☀ LIGHT MODE");
        if (dark)
            return QStringLiteral("☾ DARK MODE");
        return {};
    }
    case EnsembleChanging::Mode::never:
        return {};
    }
    return {};
}

QStringList EnsemblesModel::otherDisplaysShowing(const Ensemble& ensemble) const
{
    QStringList names;
    const std::optional<ScreenInfo> here = chosen();
    for (const ScreenInfo& screen : screens()) {
        if (here && screen.displayID == here->displayID)
            continue;
        const std::optional<Ensemble> own = m_library.ownEnsemble(screen);
        const std::optional<QUuid> shows = own ? std::optional(own->id) : m_library.currentEnsembleID();
        if (shows == ensemble.id)
            names << displayName(screen);
    }
    return names;
}

EnsemblesModel::Line EnsemblesModel::cardStatus(const Ensemble& ensemble) const
{
    if (isInUseHere(ensemble)) {
        if (!changes(ensemble).isEmpty())
            return {QStringLiteral("● CHANGED"), Tone::accent};
        return {QStringLiteral("● IN USE"), Tone::ok};
    }
    if (const QStringList others = otherDisplaysShowing(ensemble); !others.isEmpty())
        return {QStringLiteral("○ ") + others.join(QStringLiteral(", ")), Tone::muted};
    return {changeMark(ensemble), Tone::muted};
}

QString EnsemblesModel::tooltip(const Ensemble& ensemble) const
{
    if (isInUseHere(ensemble))
        return QStringLiteral("In use");
    return QStringLiteral("Click to preview, double-click to switch to ") + ensemble.name;
}

QString EnsemblesModel::accessibleName(const Ensemble& ensemble) const
{
    return isInUseHere(ensemble) ? ensemble.name + QStringLiteral(", in use") : ensemble.name;
}

QStringList EnsemblesModel::helpLines() const
{
    const std::optional<ScreenInfo> screen = chosen();
    const QString name = screen ? displayName(*screen) : QString();
    if (onMain()) {
        if (screens().size() < 2)
            return {QStringLiteral("Click to preview, double-click to switch to it.")};
        return {QStringLiteral("Click to preview, double-click to switch to it on %1.").arg(name)};
    }
    return {QStringLiteral("Click to preview, double-click to have %1 show it.").arg(name),
            QStringLiteral("“Same as main” makes %1 follow the main display.").arg(name),
            QStringLiteral("The lock screen of %1 shows the main display's ensemble.").arg(name)};
}

QString EnsemblesModel::followsMainLine(const Ensemble& ensemble) const
{
    const QList<ScreenInfo> all = screens();
    const QString main = all.isEmpty() ? QStringLiteral("main display") : displayName(all.first());
    return ensemble.name + QStringLiteral(", from the ") + main
           + QStringLiteral(". Pick an ensemble below to give this display its own.");
}

QString EnsemblesModel::restoreText() const
{
    const qsizetype count = m_library.missingBuiltInEnsembles().size();
    if (count == 0)
        return {};
    if (count == 1)
        return QStringLiteral("Restore 1 built-in ensemble");
    return QStringLiteral("Restore %1 built-in ensembles").arg(count);
}

QList<EnsemblesModel::Action> EnsemblesModel::menu(const Ensemble& ensemble) const
{
    QList<Action> actions;
    if (!isInUseHere(ensemble))
        actions << Action::apply;
    if (!changes(ensemble).isEmpty())
        actions << Action::saveChanges;
    actions << Action::rename << Action::duplicate;
    if (m_library.wallpaperOf(ensemble))
        actions << Action::wallpaperDetails;
    actions << Action::divider << Action::remove;
    return actions;
}

QString EnsemblesModel::actionTitle(Action action, const Ensemble& ensemble)
{
    switch (action) {
    case Action::apply: return QStringLiteral("Apply");
    case Action::saveChanges: return QStringLiteral("Save Changes to ") + ensemble.name;
    case Action::rename: return QStringLiteral("Rename…");
    case Action::duplicate: return QStringLiteral("Duplicate");
    case Action::wallpaperDetails: return QStringLiteral("Wallpaper Details");
    case Action::divider: return {};
    case Action::remove: return QStringLiteral("Delete…");
    }
    return {};
}

QString EnsemblesModel::deleteMessage(const Ensemble& ensemble) const
{
    QString message = ensemble.builtIn ? QStringLiteral("It's built in, so you can bring it back below your ensembles.")
                                       : QStringLiteral("Its wallpaper, clock and taskbar style stay in your library.");
    QStringList owners;
    for (const ScreenInfo& screen : screens()) {
        const std::optional<Ensemble> own = m_library.ownEnsemble(screen);
        if (own && own->id == ensemble.id)
            owners << displayName(screen);
    }
    if (!owners.isEmpty())
        message += QLatin1Char(' ') + owners.join(QStringLiteral(" and ")) + QStringLiteral(" goes back to the main display’s ensemble.");
    return message;
}

// MARK: the editor

std::optional<Ensemble> EnsemblesModel::editing() const
{
    return find(m_editingID);
}

QString EnsemblesModel::editorTitle() const
{
    if (m_isNew)
        return QStringLiteral("New ensemble");
    if (m_editingID && m_editingID == inUseID())
        return QStringLiteral("Editing · in use");
    return QStringLiteral("Editing");
}

QString EnsemblesModel::slotTitle(Slot slot)
{
    switch (slot) {
    case Slot::wallpaper: return QStringLiteral("Wallpaper");
    case Slot::clock: return QStringLiteral("Clock");
    case Slot::taskbar: return QStringLiteral("Taskbar");
    }
    return {};
}

QString EnsemblesModel::slotValue(Slot slot) const
{
    const std::optional<Ensemble> ensemble = editing();
    if (!ensemble)
        return {};
    switch (slot) {
    case Slot::wallpaper: return wallpaperName(*ensemble);
    case Slot::clock: return clockName(*ensemble);
    case Slot::taskbar: return taskbarName(*ensemble);
    }
    return {};
}

QString EnsemblesModel::slotHint(Slot slot) const
{
    const Slot choosing = m_slot.value_or(Slot::wallpaper);
    if (slot == choosing)
        return QStringLiteral("Choosing");
    if (!m_isNew)
        return QStringLiteral("Change ›");
    if (int(slot) < int(choosing))
        return QStringLiteral("✓");
    return QStringLiteral("Step %1").arg(int(slot) + 1);
}

QString EnsemblesModel::pickerStep() const
{
    return QStringLiteral("Step %1 of 3").arg(int(m_slot.value_or(Slot::wallpaper)) + 1);
}

QString EnsemblesModel::pickerTitle() const
{
    const std::optional<Ensemble> ensemble = editing();
    const QString name = ensemble ? ensemble->name : QString();
    switch (m_slot.value_or(Slot::wallpaper)) {
    case Slot::wallpaper: return QStringLiteral("Wallpaper for ") + name;
    case Slot::clock: return QStringLiteral("Clock for ") + name;
    case Slot::taskbar: return QStringLiteral("Taskbar for ") + name;
    }
    return {};
}

// MARK: actions

void EnsemblesModel::select(const QUuid& id)
{
    const bool changed = assign(m_selectedID, std::optional(id)) | assign(m_sameSelected, false);
    if (changed)
        emit stateChanged();
}

void EnsemblesModel::selectSame()
{
    const bool changed = assign(m_selectedID, std::optional<QUuid>()) | assign(m_sameSelected, true);
    if (changed)
        emit stateChanged();
}

void EnsemblesModel::apply(const Ensemble& ensemble)
{
    if (!m_library.ensemble(ensemble.id))
        return;
    if (!onMain()) {
        m_library.setEnsemble(ensemble.id, *chosen());
        return;
    }
    if (m_library.currentEnsembleID() != ensemble.id) {
        m_library.setCurrentEnsembleID(ensemble.id);
        return;
    }
    // Already current: bring its wallpaper back if another one shows, and send its look again.
    if (m_library.currentID() != ensemble.wallpaper && m_library.wallpaper(ensemble.wallpaper))
        m_library.setCurrentID(ensemble.wallpaper);
    m_library.applyLook(ensemble);
}

void EnsemblesModel::applySame()
{
    if (!onMain())
        m_library.setEnsemble(std::nullopt, *chosen());
}

bool EnsemblesModel::newEnsemble()
{
    const QString name = QStringLiteral("New Ensemble");
    std::optional<Ensemble> made;
    if (const std::optional<Ensemble> shown = heroEnsemble()) {
        made = m_library.duplicateEnsemble(*shown, name);
    } else {
        std::optional<Wallpaper> wallpaper = m_library.current();
        if (!wallpaper && !m_library.items().isEmpty())
            wallpaper = m_library.items().first();
        if (!wallpaper)
            return false;
        made = m_library.addEnsemble(wallpaper->id, name);
    }
    m_original = made;
    m_editingID = made->id;
    m_isNew = true;
    m_slot = Slot::wallpaper;
    m_selectedID = made->id;
    m_sameSelected = false;
    emit stateChanged();
    return true;
}

void EnsemblesModel::edit(const Ensemble& ensemble)
{
    if (!m_library.ensemble(ensemble.id))
        return;
    m_original = m_library.ensemble(ensemble.id);
    m_editingID = ensemble.id;
    m_isNew = false;
    m_slot = Slot::wallpaper;
    m_selectedID = ensemble.id;
    m_sameSelected = false;
    emit stateChanged();
}

void EnsemblesModel::choose(Slot slot, const std::optional<QUuid>& id)
{
    const std::optional<Ensemble> ensemble = editing();
    if (!ensemble)
        return;
    switch (slot) {
    case Slot::wallpaper:
        if (id)
            m_library.setWallpaper(*ensemble, *id);
        break;
    case Slot::clock:
        m_library.setLook(*ensemble, LibraryStore::LookSlot::clock, id);
        break;
    case Slot::taskbar:
        m_library.setLook(*ensemble, LibraryStore::LookSlot::taskbar, id);
        break;
    }
}

void EnsemblesModel::done(const QString& name)
{
    if (const std::optional<Ensemble> ensemble = editing(); ensemble && name.trimmed() != ensemble->name)
        m_library.renameEnsemble(*ensemble, name);
    closeEditor();
}

void EnsemblesModel::cancel()
{
    const std::optional<Ensemble> ensemble = editing();
    if (ensemble && m_isNew) {
        m_library.removeEnsemble(*ensemble);
        if (m_selectedID == ensemble->id)
            m_selectedID.reset();
    } else if (ensemble && m_original) {
        // Everything the editor may have changed goes back: wallpaper, both looks and the name.
        if (ensemble->wallpaper != m_original->wallpaper)
            m_library.setWallpaper(*ensemble, m_original->wallpaper);
        if (ensemble->clockPreset != m_original->clockPreset)
            m_library.setLook(*m_library.ensemble(ensemble->id), LibraryStore::LookSlot::clock, m_original->clockPreset);
        if (ensemble->taskbarTheme != m_original->taskbarTheme)
            m_library.setLook(*m_library.ensemble(ensemble->id), LibraryStore::LookSlot::taskbar, m_original->taskbarTheme);
        if (ensemble->name != m_original->name)
            m_library.renameEnsemble(*m_library.ensemble(ensemble->id), m_original->name);
    }
    closeEditor();
}

void EnsemblesModel::closeEditor()
{
    m_editingID.reset();
    m_original.reset();
    m_isNew = false;
    m_slot.reset();
    emit stateChanged();
}

void EnsemblesModel::saveChanges(const Ensemble& ensemble)
{
    if (const std::optional<NamedStyle> preset = m_clocks.activePreset())
        m_library.setLook(ensemble, LibraryStore::LookSlot::clock, preset->id);
    if (const std::optional<Ensemble> now = m_library.ensemble(ensemble.id); now && m_taskbar.activeThemeID())
        m_library.setLook(*now, LibraryStore::LookSlot::taskbar, m_taskbar.activeThemeID());
}

void EnsemblesModel::rename(const Ensemble& ensemble, const QString& name)
{
    m_library.renameEnsemble(ensemble, name);
}

void EnsemblesModel::duplicate(const Ensemble& ensemble)
{
    m_library.duplicateEnsemble(ensemble);
}

void EnsemblesModel::wallpaperDetails(const Ensemble& ensemble)
{
    m_nav.setOpenWallpaper(ensemble.wallpaper);
    m_nav.go(Page::paneflow);
}

void EnsemblesModel::remove(const Ensemble& ensemble)
{
    if (m_editingID == ensemble.id)
        closeEditor();
    if (m_selectedID == ensemble.id) {
        m_selectedID.reset();
        emit stateChanged();
    }
    m_library.removeEnsemble(ensemble);
}

void EnsemblesModel::restoreBuiltIns()
{
    m_library.restoreBuiltInEnsembles(&m_clocks, &m_taskbar);
}

std::optional<QUuid> EnsemblesModel::takeRequest()
{
    const std::optional<QUuid> id = m_nav.openEnsemble();
    if (!id)
        return std::nullopt;
    m_nav.setOpenEnsemble(std::nullopt);
    if (!m_library.ensemble(*id))
        return std::nullopt;
    select(*id);
    return id;
}
