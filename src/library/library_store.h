#pragma once

#include "core/change_rule.h"
#include "library/activity_log.h"
#include "library/ensemble.h"
#include "library/ensemble_changing.h"
#include "library/library_files.h"
#include "library/library_services.h"
#include "library/library_switches.h"
#include "library/wallpaper.h"
#include "looks/display_ensembles.h"
#include "platform/notifier.h"
#include "platform/screens.h"

#include <QDate>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <functional>
#include <optional>

class Defaults;


// The wallpaper library as one observable model: wallpapers, ensembles, what is current where and
// the automatic changing settings; the part's switches and the running jobs are its two parts.
//
// The control app runs one over the live-wallpaper part's domain; the part runs one over its own
// standard domain in engine mode. Both share the index files and settings, and reload when the
// other announces a change. Everything runs on the main thread. Tidying the files at the part's
// start is the part's own work (see the live-wallpaper agent).
class LibraryStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QList<Wallpaper> items READ items NOTIFY itemsChanged)
    Q_PROPERTY(QList<Ensemble> ensembles READ ensembles NOTIFY ensemblesChanged)
    Q_PROPERTY(int importing READ importing WRITE setImporting NOTIFY importingChanged)
    Q_PROPERTY(int thumbnailVersion READ thumbnailVersion NOTIFY thumbnailVersionChanged)

public:
    enum class LookSlot { clock, taskbar };

    // `domain` is the live-wallpaper part's settings domain (the part's own when `isEngine`).
    LibraryStore(const QString& domain, bool isEngine, LibraryLocations where = LibraryLocations::standard(),
                 LibraryServices services = LibraryServices::installed(), QObject* parent = nullptr);
    ~LibraryStore() override;

    bool isEngine() const { return m_isEngine; }
    const LibraryLocations& locations() const { return m_where; }
    Defaults& defaults() const;

    // Published state.
    const QList<Wallpaper>& items() const { return m_items; }
    const QList<Ensemble>& ensembles() const { return m_ensembles; }
    std::optional<QUuid> currentEnsembleID() const { return m_currentEnsembleID; }
    std::optional<QUuid> currentID() const { return m_currentID; }
    const DisplayMap& displayEnsembles() const { return m_displayEnsembles; }
    const EnsembleChanging& ensembleChanging() const { return m_ensembleChanging; }
    int importing() const { return m_importing; }
    int thumbnailVersion() const { return m_thumbnailVersion; }

    void setCurrentEnsembleID(const std::optional<QUuid>& id);
    void setCurrentID(const std::optional<QUuid>& id);
    void setEnsembleChanging(const EnsembleChanging& changing);
    void setImporting(int count);
    void bumpThumbnailVersion();

    // The part's switches with its playback and lock-screen status lines.
    LibrarySwitches& switches() { return m_switches; }
    const LibrarySwitches& switches() const { return m_switches; }
    // The jobs shown with progress.
    ActivityLog& activityLog() { return m_log; }
    const ActivityLog& activityLog() const { return m_log; }

    // Derived values.
    std::optional<Wallpaper> current() const;
    std::optional<Ensemble> currentEnsemble() const;
    QString mediaPath(const Wallpaper& wallpaper) const { return m_where.mediaPath(wallpaper); }
    QString thumbnailPath(const QUuid& wallpaperID) const { return m_where.thumbnailPath(wallpaperID); }
    std::optional<Wallpaper> wallpaper(const QUuid& id) const;
    std::optional<Wallpaper> wallpaperOf(const Ensemble& ensemble) const { return wallpaper(ensemble.wallpaper); }
    std::optional<Ensemble> ensemble(const QUuid& id) const;
    std::optional<Ensemble> ownEnsemble(const ScreenInfo& screen) const;
    std::optional<Wallpaper> wallpaperOn(const ScreenInfo& screen) const;
    std::optional<Ensemble> ensembleFor(const QUuid& wallpaperID) const;
    std::optional<Ensemble> ensembleToUse(const Wallpaper& wallpaper) const;
    int ensembleCountOfWallpaper(const QUuid& id) const;
    int ensembleCountOfClock(const QUuid& id) const;
    int ensembleCountOfTaskbar(const QUuid& id) const;
    static QString ensembleCountText(int n);
    std::optional<Wallpaper> homeWallpaper(const std::function<bool(const Ensemble&)>& condition) const;
    // Whether the wallpaper's media is a dynamic picture; each media file is read once for the
    // life of the store (a file removed or added anew is read again).
    bool isDynamic(const Wallpaper& wallpaper) const;

    // Wallpapers.
    void rename(const Wallpaper& wallpaper, const QString& name);
    void remove(const Wallpaper& wallpaper);
    void use(const Wallpaper& wallpaper, const ScreenInfo& screen);
    void useEverywhere(const Wallpaper& wallpaper);
    void importFiles(const QList<QUrl>& files);
    void refresh();
    // A current wallpaper or ensemble that is not listed is current no more, unless an index
    // could not be read in full (it may be among the records that could not be read).
    void dropUnlistedCurrent();
    // Appends an imported wallpaper and saves. Unless `mayBecomeCurrent` is false (a file a re-scan
    // came across), it becomes current when nothing is.
    void addWallpaper(const Wallpaper& wallpaper, bool mayBecomeCurrent = true);
    // Remakes one wallpaper's thumbnail; thumbnailVersion rises when it is done.
    void refresh(const Wallpaper& wallpaper);
    // Replaces the record with the same id (its media was remade), saves.
    void replaceWallpaper(const Wallpaper& wallpaper);

    // File names of imported media: unique in "Videos" and among imports still running.
    QString uniqueFileName(const QString& title, const QString& extension,
                           const std::optional<QUuid>& ignoring = std::nullopt) const;
    void reserveFileName(const QString& fileName) { m_pendingFileNames.insert(fileName.toLower()); }
    void releaseFileName(const QString& fileName) { m_pendingFileNames.remove(fileName.toLower()); }

    // Ensembles.
    Ensemble addEnsemble(const QUuid& wallpaper, const QString& name = QStringLiteral("New Ensemble"));
    Ensemble duplicateEnsemble(const Ensemble& ensemble, const std::optional<QString>& name = std::nullopt);
    void insert(const Ensemble& ensemble, qsizetype index);
    void renameEnsemble(const Ensemble& ensemble, const QString& name);
    void setWallpaper(const Ensemble& ensemble, const QUuid& wallpaper);
    void setLook(const Ensemble& ensemble, LookSlot slot, const std::optional<QUuid>& id);
    void removeEnsemble(const Ensemble& ensemble);
    void setEnsemble(const std::optional<QUuid>& id, const ScreenInfo& screen);
    // Publishes the ensemble's clock and bar to the parts (nothing when it names neither).
    void applyLook(const Ensemble& ensemble);

    // Built-ins.
    QList<Wallpaper> missingBuiltInWallpapers() const;
    QList<Ensemble> missingBuiltInEnsembles() const;
    void restoreBuiltInWallpapers();
    void restoreBuiltInEnsembles();
    void restoreBuiltInEnsembles(ShippedLookSource* clock, ShippedLookSource* taskbar);
    void insertBuiltIn(const Ensemble& ensemble, std::optional<qsizetype> index = std::nullopt);
    void seedBuiltIns();
    void pairLooksByName();
    void nameFilesAfterWallpapers();
    void refreshChangedBuiltIns();

    // Automatic changing.
    void setChanging(EnsembleChanging::Mode mode);
    void setEnsembleForDark(const std::optional<QUuid>& id, bool dark);
    void changeDailyIfDue(const QDateTime& now = QDateTime::currentDateTime());
    void changeForAppearance(bool dark);
    QList<QUuid> shuffledRound(const std::optional<QUuid>& after) const;
    // The day a moment belongs to: days begin at 05:00 local time.
    static QDate day(const QDateTime& moment);

    // An index file could not be read in full at some point in this store's life. Housekeeping
    // that deletes files then stays off, and a current wallpaper or ensemble that is not found
    // stays current: it may be among the records that could not be read.
    bool indexDamaged() const { return m_itemsIncomplete || m_ensemblesIncomplete; }

    // Another process changed the shared files or settings: take over what differs.
    void reload();
    bool isReloading() const { return m_rule.isReloading(); }

signals:
    void itemsChanged();
    void ensemblesChanged();
    void currentEnsembleIDChanged();
    void currentIDChanged();
    void displayEnsemblesChanged();
    void ensembleChangingChanged();
    void importingChanged();
    void thumbnailVersionChanged();

private:
    void start();
    void readSettings();
    void readIndex(bool atStart);
    void assignItems(QList<Wallpaper> items);
    void assignEnsembles(QList<Ensemble> ensembles);
    void assignDisplayEnsembles(const DisplayMap& map);
    // Writes both index files and announces the change, unless reloading.
    void save();
    void writeIndexNow();
    void noteDamage(const std::optional<DamagedIndex>& damage, bool library);
    bool keepDamaged(const QString& path);
    void currentEnsembleDidChange(const std::optional<QUuid>& old);
    void currentDidChange(const std::optional<QUuid>& old);
    void refreshAccent();
    void followName(const QUuid& wallpaperID);
    void markPaired(const QUuid& ensembleID, bool clock, bool taskbar);
    qsizetype indexOfItem(const QUuid& id) const;
    qsizetype indexOfEnsemble(const QUuid& id) const;
    std::optional<QUuid> readUuidKey(const QString& key) const;
    void writeUuidKey(const QString& key, const std::optional<QUuid>& id);
    EnsembleChanging readChanging() const;

    QString m_domain;
    bool m_isEngine;
    LibraryLocations m_where;
    LibraryServices m_services;
    ChangeRule m_rule;

    QList<Wallpaper> m_items;
    QList<Ensemble> m_ensembles;
    std::optional<QUuid> m_currentEnsembleID;
    std::optional<QUuid> m_currentID;
    DisplayMap m_displayEnsembles;
    EnsembleChanging m_ensembleChanging;
    LibrarySwitches m_switches;
    ActivityLog m_log;
    int m_importing = 0;
    int m_thumbnailVersion = 0;
    QSet<QString> m_pendingFileNames; // lower case
    mutable QHash<QString, bool> m_dynamic; // media path -> is a dynamic picture
    QList<DamagedIndex> m_toKeep;      // damaged index files to copy aside before they are written
    bool m_itemsIncomplete = false;
    bool m_ensemblesIncomplete = false;

    NoticeToken m_changeObserver;
    NoticeToken m_displayObserver;
};
