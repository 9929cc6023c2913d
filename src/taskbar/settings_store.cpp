#include "taskbar/settings_store.h"

#include "core/record_json.h"
#include "core/settings_sync.h"
#include "core/unique_name.h"
#include "core/zentrove.h"
#include "platform/defaults.h"
#include "taskbar/layout_token.h"

#include <QJsonDocument>
#include <QPointer>

#include <algorithm>

namespace {

using RecordJson::uuidText;

QByteArray lookData(const Theme& theme)
{
    return QJsonDocument(theme.toJson()).toJson(QJsonDocument::Compact);
}

// `look` carrying the identity of `theme`: its id, name and built-in mark.
Theme withIdentityOf(Theme look, const Theme& theme)
{
    look.id = theme.id;
    look.name = theme.name;
    look.builtIn = theme.builtIn;
    return look;
}

} // namespace

SettingsStore::SettingsStore(Defaults& defaults, bool syncs, QObject* parent, const AppCatalog& apps)
    : QObject(parent), m_defaults(defaults), m_syncs(syncs), m_rule(defaults.name(), syncs), m_shipped(defaults.name(), {seededThemesKey(), removedThemesKey(), shippedThemesKey()})
{
    m_settings = storedSettings();
    m_themes = storedThemes();
    m_activeThemeID = storedActiveThemeID();
    m_accessibilityTrusted = m_defaults.boolean(QStringLiteral("accessibilityTrusted"), false);
    m_fullDiskAccess = m_defaults.boolean(QStringLiteral("fullDiskAccess"), false);
    m_screenRecording = m_defaults.boolean(QStringLiteral("screenRecording"), false);
    seedLayout(apps);
    seedBuiltInThemes();
    updateUneditedBuiltInThemes();

    if (m_syncs) {
        QPointer<SettingsStore> self(this);
        m_observation = SettingsSync::observe(m_defaults.name(), [self] {
            if (self)
                self->reload();
        });
    }
}

SettingsStore::~SettingsStore() = default;

SettingsStore& SettingsStore::shared()
{
    static SettingsStore* store = new SettingsStore(Defaults::standard(), true);
    return *store;
}

void SettingsStore::setSettings(const TaskbarSettings& settings)
{
    m_rule.assign(m_settings, settings, [this] { writeSettings(); }, [this] { emit settingsChanged(); });
}

void SettingsStore::setThemes(const QList<Theme>& themes)
{
    m_rule.assign(m_themes, themes, [this] { writeThemes(); }, [this] { emit themesChanged(); });
}

void SettingsStore::setActiveThemeID(const std::optional<QUuid>& id)
{
    m_rule.assign(m_activeThemeID, id,
           [this] {
               if (m_activeThemeID)
                   m_defaults.set(activeThemeKey(), uuidText(*m_activeThemeID));
               else
                   m_defaults.remove(activeThemeKey());
           },
           [this] { emit activeThemeIDChanged(); });
}

void SettingsStore::setLayout(const QStringList& layout)
{
    m_rule.assign(m_layout, LayoutToken::withFixedTokens(layout), [this] { writeLayout(); }, [this] { emit layoutChanged(); });
}

// Encoding failures leave the previous stored value in place.
void SettingsStore::writeSettings()
{
    if (const std::optional<QByteArray> data = m_settings.encode())
        m_defaults.set(settingsKey(), *data);
}

void SettingsStore::writeThemes()
{
    if (const std::optional<QByteArray> data = Themes::encode(m_themes))
        m_defaults.set(themesKey(), *data);
}

void SettingsStore::writeLayout()
{
    m_defaults.set(layoutKey(), QVariantList(m_layout.cbegin(), m_layout.cend()));
}

void SettingsStore::report(const QString& key, bool& field, bool value, void (SettingsStore::*changed)())
{
    if (m_defaults.boolean(key) == value)
        return;
    const bool differs = field != value;
    field = value;
    if (!m_rule.isReloading()) {
        m_defaults.set(key, value);
        m_rule.announce();
    }
    if (differs)
        emit(this->*changed)();
}

void SettingsStore::reportTrusted(bool trusted)
{
    report(QStringLiteral("accessibilityTrusted"), m_accessibilityTrusted, trusted,
           &SettingsStore::accessibilityTrustedChanged);
}

void SettingsStore::reportFullDiskAccess(bool granted)
{
    report(QStringLiteral("fullDiskAccess"), m_fullDiskAccess, granted, &SettingsStore::fullDiskAccessChanged);
}

void SettingsStore::reportScreenRecording(bool granted)
{
    report(QStringLiteral("screenRecording"), m_screenRecording, granted, &SettingsStore::screenRecordingChanged);
}

// --- reading --------------------------------------------------------------------------------

TaskbarSettings SettingsStore::storedSettings() const
{
    std::optional<QByteArray> data = m_defaults.data(settingsKey());
    if (!data)
        if (const std::optional<QString> text = m_defaults.string(settingsKey()))
            data = text->toUtf8();
    if (!data)
        return TaskbarSettings();
    return TaskbarSettings::decode(*data).value_or(TaskbarSettings());
}

QList<Theme> SettingsStore::storedThemes() const
{
    const std::optional<QByteArray> data = m_defaults.data(themesKey());
    return data ? Themes::decode(*data) : QList<Theme>();
}

std::optional<QUuid> SettingsStore::storedActiveThemeID() const
{
    const std::optional<QString> text = m_defaults.string(activeThemeKey());
    if (!text)
        return std::nullopt;
    return RecordJson::parseUuid(QStringView(*text));
}

// The strings of a stored array; other elements are dropped rather than costing the whole list.
std::optional<QStringList> SettingsStore::storedStrings(const QString& key) const
{
    const std::optional<QVariantList> array = m_defaults.array(key);
    if (!array)
        return std::nullopt;
    QStringList strings;
    strings.reserve(array->size());
    for (const QVariant& element : *array)
        if (element.typeId() == QMetaType::QString)
            strings.append(element.toString());
    return strings;
}

void SettingsStore::seedLayout(const AppCatalog& apps)
{
    if (const std::optional<QStringList> stored = storedStrings(layoutKey())) {
        m_layout = LayoutToken::withFixedTokens(*stored);
        if (m_layout != *stored || m_defaults.array(layoutKey())->size() != stored->size()) {
            writeLayout();
            m_rule.announce();
        }
        return;
    }
    QStringList pinned;
    if (const std::optional<QStringList> seed = storedStrings(pinnedKey()))
        pinned = *seed;
    else if (const std::optional<QStringList> dock = DockApps::layout(apps))
        pinned = *dock;
    else
        pinned = LayoutToken::defaultPinnedApps();
    m_layout = LayoutToken::freshLayout(pinned);
    writeLayout();
    m_rule.announce();
}

void SettingsStore::reload()
{
    m_defaults.sync();
    m_rule.reloading([this] {
        setSettings(storedSettings());
        setThemes(storedThemes());
        setActiveThemeID(storedActiveThemeID());
        // A layout that vanished from the domain keeps the one in memory: making a fresh one here
        // would invent a new divider on every reload.
        if (const std::optional<QStringList> stored = storedStrings(layoutKey()))
            setLayout(*stored);
        // The reports compare with the stored key, which holds these values already: assign directly.
        const auto follow = [this](const QString& key, bool& field, void (SettingsStore::*changed)()) {
            const bool stored = m_defaults.boolean(key, false);
            if (field != stored) {
                field = stored;
                emit(this->*changed)();
            }
        };
        follow(QStringLiteral("accessibilityTrusted"), m_accessibilityTrusted, &SettingsStore::accessibilityTrustedChanged);
        follow(QStringLiteral("fullDiskAccess"), m_fullDiskAccess, &SettingsStore::fullDiskAccessChanged);
        follow(QStringLiteral("screenRecording"), m_screenRecording, &SettingsStore::screenRecordingChanged);
    });
}

// --- built-in styles ------------------------------------------------------------------------

bool SettingsStore::StyleLooks::sameLook(const Theme& a, const Theme& b)
{
    return withIdentityOf(a, b) == b;
}

Theme SettingsStore::StyleLooks::withLookOf(const Theme& identity, Theme look)
{
    return withIdentityOf(std::move(look), identity);
}

QByteArray SettingsStore::StyleLooks::encode(const Theme& theme)
{
    return lookData(theme);
}

std::optional<Theme> SettingsStore::StyleLooks::decode(const QByteArray& data)
{
    return Theme::fromJson(QJsonDocument::fromJson(data).object());
}

void SettingsStore::seedBuiltInThemes()
{
    QList<Theme> themes = m_themes;
    m_shipped.seed(themes);
    setThemes(themes);
}

void SettingsStore::updateUneditedBuiltInThemes()
{
    QList<Theme> themes = m_themes;
    std::optional<Theme> reapply;
    for (const Shipped::Refreshed& change : m_shipped.refresh(themes)) {
        // The bar follows its active style when it wore that style as it was.
        if (m_activeThemeID == change.before.id && change.before.matches(m_settings))
            reapply = change.after;
    }
    setThemes(themes);
    if (reapply)
        applyTheme(*reapply);
}

QList<Theme> SettingsStore::missingBuiltInThemes() const
{
    return m_shipped.missing(m_themes);
}

void SettingsStore::restoreBuiltInThemes()
{
    QList<Theme> themes = m_themes;
    if (m_shipped.restoreAll(themes))
        setThemes(themes);
}

// A style still in the list is given back as it is.
std::optional<Theme> SettingsStore::restoreBuiltInTheme(const QString& name)
{
    for (const Theme& theme : m_themes)
        if (theme.builtIn == name)
            return theme;
    QList<Theme> themes = m_themes;
    const std::optional<Theme> restored = m_shipped.restore(themes, name);
    if (restored)
        setThemes(themes);
    return restored;
}

std::optional<QUuid> SettingsStore::restoreShipped(const QUuid& shippedID)
{
    for (const Theme& shipped : Theme::builtIns())
        if (shipped.id == shippedID)
            if (const std::optional<Theme> restored = restoreBuiltInTheme(shipped.name))
                return restored->id;
    return std::nullopt;
}

std::optional<Theme> SettingsStore::originalTheme(const QUuid& id) const
{
    return m_shipped.original(m_themes, id);
}

void SettingsStore::resetTheme(const QUuid& id)
{
    const std::optional<Theme> active = activeTheme();
    QList<Theme> themes = m_themes;
    const std::optional<Theme> reset = m_shipped.reset(themes, id);
    if (!reset)
        return;
    setThemes(themes);
    if (active && active->id == id)
        applyTheme(*reset);
}

// --- styles ---------------------------------------------------------------------------------

qsizetype SettingsStore::indexOfTheme(const QUuid& id) const
{
    return Shipped::indexOf(m_themes, id);
}

QStringList SettingsStore::themeNames(const std::optional<QUuid>& except) const
{
    return Shipped::names(m_themes, except);
}

std::optional<Theme> SettingsStore::currentTheme() const
{
    for (const Theme& theme : m_themes)
        if (theme.matches(m_settings))
            return theme;
    return std::nullopt;
}

std::optional<Theme> SettingsStore::activeTheme() const
{
    const qsizetype at = m_activeThemeID ? indexOfTheme(*m_activeThemeID) : -1;
    if (at >= 0 && m_themes[at].matches(m_settings))
        return m_themes[at];
    if (std::optional<Theme> current = currentTheme())
        return current;
    if (at >= 0)
        return m_themes[at];
    return std::nullopt;
}

bool SettingsStore::activeThemeEdited() const
{
    const std::optional<Theme> active = activeTheme();
    if (!active)
        return false;
    const Theme fromSettings = withIdentityOf(Theme(active->name, m_settings), *active);
    // The active style as applying reads it.
    Theme filled = *active;
    const TaskbarSettings defaults;
    if (!filled.layout)
        filled.layout = ThemeLayout(defaults);
    if (!filled.clock)
        filled.clock = ThemeClock(defaults);
    if (!filled.indicatorFollowsWallpaper)
        filled.indicatorFollowsWallpaper = false;
    if (filled.style != BackgroundStyle::gradient)
        filled.background2 = m_settings.background2;
    return fromSettings != filled;
}

void SettingsStore::applyTheme(const Theme& theme)
{
    setSettings(theme.applied(m_settings));
    setActiveThemeID(theme.id);
}

QUuid SettingsStore::saveCurrentAsTheme(const QString& name)
{
    const Theme theme(UniqueName::make(name, themeNames()), m_settings);
    setThemes(m_themes + QList<Theme> {theme});
    setActiveThemeID(theme.id);
    return theme.id;
}

void SettingsStore::saveCurrentToActiveTheme()
{
    const std::optional<Theme> active = activeTheme();
    if (!active)
        return;
    QList<Theme> themes = m_themes;
    themes[indexOfTheme(active->id)] = withIdentityOf(Theme(active->name, m_settings), *active);
    setThemes(themes);
    setActiveThemeID(active->id);
}

// A copy is the user's own style: it does not carry the built-in mark of its original, so
// resetting, deleting and restoring the built-in never mistake one for the other.
std::optional<QUuid> SettingsStore::duplicateTheme(const QUuid& id)
{
    const qsizetype at = indexOfTheme(id);
    if (at < 0)
        return std::nullopt;
    Theme copy = m_themes[at];
    copy.id = QUuid::createUuid();
    copy.name = UniqueName::make(copy.name, themeNames());
    copy.builtIn.reset();
    QList<Theme> themes = m_themes;
    themes.insert(at + 1, copy);
    setThemes(themes);
    return copy.id;
}

void SettingsStore::renameTheme(const QUuid& id, const QString& name)
{
    QList<Theme> themes = m_themes;
    if (Shipped::rename(themes, id, name))
        setThemes(themes);
}

void SettingsStore::deleteTheme(const QUuid& id)
{
    QList<Theme> themes = m_themes;
    if (m_shipped.remove(themes, id))
        setThemes(themes);
}

// --- per display ----------------------------------------------------------------------------

TaskbarSettings SettingsStore::settings(quint32 displayID) const
{
    TaskbarSettings result = m_settings;
    const auto style = displayThemes.constFind(displayID);
    if (style != displayThemes.constEnd()) {
        const qsizetype at = indexOfTheme(*style);
        if (at >= 0)
            m_themes[at].apply(result);
    }
    const auto colours = displayWallpapers.constFind(displayID);
    if (result.indicatorFollowsWallpaper && colours != displayWallpapers.constEnd() && colours->accent) {
        result.indicatorColor = RGBA::fromHex(*colours->accent, result.indicatorColor.a);
        result.indicatorFollowsWallpaper = false;
    }
    return result;
}

QRectF SettingsStore::barFrame(const BarScreen& screen) const
{
    const double content = contentLengths.value(screen.displayID, contentLength);
    return settings(screen.displayID).barFrame(screen.frame, screen.visibleTop, content);
}

// --- item layout ----------------------------------------------------------------------------

QStringList SettingsStore::pinned() const
{
    QStringList apps;
    for (const QString& item : m_layout)
        if (LayoutToken::isApp(item))
            apps.append(item);
    return apps;
}

void SettingsStore::pin(const QString& app)
{
    if (m_layout.contains(app))
        return;
    QStringList layout = m_layout;
    const qsizetype running = layout.indexOf(LayoutToken::running());
    layout.insert(running < 0 ? layout.size() : running, app);
    setLayout(layout);
}

void SettingsStore::unpin(const QString& app)
{
    QStringList layout = m_layout;
    layout.removeAll(app);
    setLayout(layout);
}

void SettingsStore::addFolder(const QString& path)
{
    const QString token = LayoutToken::folder(path);
    if (m_layout.contains(token))
        return;
    QStringList layout = m_layout;
    const qsizetype downloads = layout.indexOf(LayoutToken::downloads());
    layout.insert(downloads < 0 ? layout.size() : downloads, token);
    setLayout(layout);
}

void SettingsStore::unpinFolders(const QString& path)
{
    const QString folder = LayoutToken::standardisedPath(path);
    const QString inside = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QStringList layout = m_layout;
    layout.removeIf([&](const QString& item) {
        const std::optional<QString> pinnedFolder = LayoutToken::folderURL(item);
        return pinnedFolder && (*pinnedFolder == folder || pinnedFolder->startsWith(inside));
    });
    setLayout(layout);
}

void SettingsStore::insert(const QString& item, const std::optional<QString>& after)
{
    QStringList layout = m_layout;
    const qsizetype anchor = after ? layout.indexOf(*after) : -1;
    layout.insert(anchor < 0 ? layout.size() : anchor + 1, item);
    setLayout(layout);
}
