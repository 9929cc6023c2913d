#pragma once

#include "core/change_rule.h"
#include "core/shipped_looks.h"
#include "library/library_services.h"
#include "platform/notifier.h"
#include "taskbar/dock_apps.h"
#include "taskbar/taskbar_settings.h"
#include "taskbar/theme.h"
#include "taskbar/wallpaper_colours.h"

#include <QHash>
#include <QObject>
#include <QRectF>
#include <QStringList>
#include <QUuid>

#include <optional>

class Defaults;

// One screen as the bar sees it: its display, its frame and the top of its visible area (the
// bottom of the menu bar), in screen coordinates with y growing upwards.
struct BarScreen
{
    quint32 displayID = 0;
    QRectF frame;
    double visibleTop = 0;
};

// The taskbar's persistent state: settings, bar styles, the active style, the item layout and the
// permission flags the taskbar part reports. Everything lives in the taskbar part's settings
// domain, so the part and the control app share one truth; each write is announced to the other
// processes, and announcements from them reload the store.
class SettingsStore : public QObject, public ShippedLookSource
{
    Q_OBJECT
    Q_PROPERTY(TaskbarSettings settings READ settings WRITE setSettings NOTIFY settingsChanged)
    Q_PROPERTY(QList<Theme> themes READ themes WRITE setThemes NOTIFY themesChanged)
    Q_PROPERTY(QStringList layout READ layout WRITE setLayout NOTIFY layoutChanged)
    Q_PROPERTY(bool accessibilityTrusted READ accessibilityTrusted NOTIFY accessibilityTrustedChanged)
    Q_PROPERTY(bool fullDiskAccess READ fullDiskAccess NOTIFY fullDiskAccessChanged)
    Q_PROPERTY(bool screenRecording READ screenRecording NOTIFY screenRecordingChanged)

public:
    // `apps` tells which apps are installed when the pinned apps are first taken from the Dock.
    SettingsStore(Defaults& defaults, bool syncs, QObject* parent = nullptr,
                  const AppCatalog& apps = AppCatalog::system());
    ~SettingsStore() override;

    // The taskbar part's own store, on its standard settings domain, syncing.
    static SettingsStore& shared();

    Defaults& defaults() const { return m_defaults; }
    bool syncs() const { return m_syncs; }

    // --- stored properties ------------------------------------------------------------------
    const TaskbarSettings& settings() const { return m_settings; }
    void setSettings(const TaskbarSettings& settings);
    const QList<Theme>& themes() const { return m_themes; }
    void setThemes(const QList<Theme>& themes);
    std::optional<QUuid> activeThemeID() const { return m_activeThemeID; }
    void setActiveThemeID(const std::optional<QUuid>& id);
    const QStringList& layout() const { return m_layout; }
    // The layout always keeps "~running", "~trash" and "~downloads": a list without them is
    // fixed before it is assigned.
    void setLayout(const QStringList& layout);
    bool accessibilityTrusted() const { return m_accessibilityTrusted; }
    bool fullDiskAccess() const { return m_fullDiskAccess; }
    bool screenRecording() const { return m_screenRecording; }

    // Permission state published by the taskbar part; a value already stored changes nothing.
    void reportTrusted(bool trusted);
    void reportFullDiskAccess(bool granted);
    void reportScreenRecording(bool granted);

    // Re-reads every stored value and assigns only those that differ; writes and announces
    // nothing.
    void reload();

    // --- per-display views (filled by the taskbar part only) --------------------------------
    QHash<quint32, QUuid> displayThemes;
    QHash<quint32, WallpaperColours> displayWallpapers;
    double contentLength = 0;
    QHash<quint32, double> contentLengths;

    // The settings of one display: its own style applied, and the indicator in its wallpaper's
    // accent when the indicator follows the wallpaper.
    TaskbarSettings settings(quint32 displayID) const;
    QRectF barFrame(const BarScreen& screen) const;

    // --- item layout ------------------------------------------------------------------------
    QStringList pinned() const;
    void pin(const QString& app);
    void unpin(const QString& app);
    void addFolder(const QString& path);
    // Removes every pinned folder that is the given folder or lies inside it.
    void unpinFolders(const QString& path);
    void insert(const QString& item, const std::optional<QString>& after = std::nullopt);

    // --- styles -----------------------------------------------------------------------------
    std::optional<Theme> currentTheme() const;
    std::optional<Theme> activeTheme() const;
    bool activeThemeEdited() const;
    void applyTheme(const Theme& theme);
    QUuid saveCurrentAsTheme(const QString& name);
    void saveCurrentToActiveTheme();
    std::optional<QUuid> duplicateTheme(const QUuid& id);
    void renameTheme(const QUuid& id, const QString& name);
    void deleteTheme(const QUuid& id);
    std::optional<Theme> originalTheme(const QUuid& id) const;
    void resetTheme(const QUuid& id);
    QList<Theme> missingBuiltInThemes() const;
    void restoreBuiltInThemes();
    std::optional<Theme> restoreBuiltInTheme(const QString& name);
    // The built-in style shipped with this id, given back by name; its id now.
    std::optional<QUuid> restoreShipped(const QUuid& shippedID) override;

    // The keys of the domain.
    static QString settingsKey() { return QStringLiteral("settings"); }
    static QString themesKey() { return QStringLiteral("themes"); }
    static QString activeThemeKey() { return QStringLiteral("activeTheme"); }
    static QString layoutKey() { return QStringLiteral("layout"); }
    static QString pinnedKey() { return QStringLiteral("pinned"); }
    static QString seededThemesKey() { return QStringLiteral("seededThemes"); }
    static QString removedThemesKey() { return QStringLiteral("removedThemes"); }
    static QString shippedThemesKey() { return QStringLiteral("shippedThemes"); }

signals:
    void settingsChanged();
    void themesChanged();
    void activeThemeIDChanged();
    void layoutChanged();
    void accessibilityTrustedChanged();
    void fullDiskAccessChanged();
    void screenRecordingChanged();

private:
    void report(const QString& key, bool& field, bool value, void (SettingsStore::*changed)());

    TaskbarSettings storedSettings() const;
    QList<Theme> storedThemes() const;
    std::optional<QUuid> storedActiveThemeID() const;
    std::optional<QStringList> storedStrings(const QString& key) const;
    void writeSettings();
    void writeThemes();
    void writeLayout();

    void seedLayout(const AppCatalog& apps);
    void seedBuiltInThemes();
    void updateUneditedBuiltInThemes();
    QStringList themeNames(const std::optional<QUuid>& except = std::nullopt) const;
    qsizetype indexOfTheme(const QUuid& id) const;

    // The shipped styles' lifecycle: looks are compared and recorded without their identity.
    struct StyleLooks
    {
        static const QList<Theme>& shipped() { return Theme::builtIns(); }
        static bool sameLook(const Theme& a, const Theme& b);
        static Theme withLookOf(const Theme& identity, Theme look);
        static QByteArray encode(const Theme& theme);
        static std::optional<Theme> decode(const QByteArray& data);
    };
    using Shipped = ShippedLooks<Theme, StyleLooks>;

    Defaults& m_defaults;
    const bool m_syncs;
    ChangeRule m_rule;
    Shipped m_shipped;
    NoticeToken m_observation;

    TaskbarSettings m_settings;
    QList<Theme> m_themes;
    std::optional<QUuid> m_activeThemeID;
    QStringList m_layout;
    bool m_accessibilityTrusted = false;
    bool m_fullDiskAccess = false;
    bool m_screenRecording = false;
};
