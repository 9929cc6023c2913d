#pragma once

#include "library/library_view.h"
#include "library/wallpaper.h"
#include "platform/desktop_words.h"

#include <QHash>
#include <QThreadPool>
#include <QWidget>

#include <functional>

class ActivityList;
class LibraryStore;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStackedWidget;
class ThumbnailCache;
class WallpaperGrid;
class WallpaperGridModel;

// What the page's screens ask of the window around them.
struct LibraryPageHooks
{
    // Shows a file in the desktop's file manager.
    std::function<void(const QString& path)> reveal = [](const QString&) {};
    // The title of that action, in the desktop's words.
    QString revealTitle = DesktopWords::current().fill(u"Show in {fileManager}");
    // Switches to the Ensembles page with this ensemble open.
    std::function<void(const QUuid& ensemble)> openEnsemble = [](const QUuid&) {};
};

// The grid screen of the wallpapers page: header, jobs, search, filter chips, the cards, the empty
// states and the restore button. Reads the store; every change goes through it.
class LibraryGridScreen : public QWidget
{
    Q_OBJECT
public:
    LibraryGridScreen(LibraryStore& store, LibraryView& view, const LibraryPageHooks& hooks, QWidget* parent = nullptr);
    ~LibraryGridScreen() override;

    // The wallpapers shown now, and the count a chip shows.
    const QList<Wallpaper>& shown() const;
    int count(LibraryFilter filter) const;
    WallpaperTraits traits(const Wallpaper& wallpaper) const;

    void setSearch(const QString& text);
    void setFilter(LibraryFilter filter);
    void scrollToTop();

    // The card menu of a wallpaper (built fresh; the caller pops it up or triggers its actions).
    QMenu* contextMenu(const QUuid& id);

    QLabel* titleLabel() const { return m_title; }
    QLabel* summaryLabel() const { return m_summary; }
    QPushButton* importButton() const { return m_import; }
    QPushButton* optionsButton() const { return m_options; }
    ActivityList* activityList() const { return m_activities; }
    QLineEdit* searchField() const { return m_search; }
    QAction* clearSearchAction() const { return m_clearSearch; }
    QPushButton* chip(LibraryFilter filter) const { return m_chips.value(filter); }
    WallpaperGrid* grid() const { return m_grid; }
    QWidget* emptyDrop() const { return m_emptyDrop; }
    QPushButton* chooseFilesButton() const { return m_chooseFiles; }
    QLabel* noMatchLabel() const { return m_noMatch; }
    QPushButton* restoreButton() const { return m_restore; }
    ThumbnailCache& thumbnails() const { return *m_thumbnails; }
    // Known once the sizes were summed off the main thread; -1 until then.
    qint64 totalBytes() const { return m_totalBytes; }

    static QString restoreTitle(int missing);
    static QString summaryText(int count, qint64 totalBytes);

signals:
    void openRequested(const QUuid& id);
    void importRequested();
    void optionsRequested();
    void renameRequested(const QUuid& id);

private:
    void itemsChanged();
    void ensemblesChanged();
    void refilter();
    void syncChips();
    void syncActivities();
    void syncRestore();
    void syncSummary();
    void learnKinds();
    void sumSizes();
    bool isVideo(const Wallpaper& wallpaper) const;

    LibraryStore& m_store;
    LibraryView& m_view;
    LibraryPageHooks m_hooks;
    ThumbnailCache* m_thumbnails;
    WallpaperGridModel* m_model;

    QLabel* m_title;
    QLabel* m_summary;
    QPushButton* m_import;
    QPushButton* m_options;
    ActivityList* m_activities;
    QLineEdit* m_search;
    QAction* m_clearSearch;
    QHash<LibraryFilter, QPushButton*> m_chips;
    QStackedWidget* m_body;
    WallpaperGrid* m_grid;
    QWidget* m_emptyDrop;
    QPushButton* m_chooseFiles;
    QLabel* m_noMatch;
    QPushButton* m_restore;

    QHash<QUuid, int> m_ensembleCounts;
    mutable QHash<QString, bool> m_videoByName; // file name -> a video
    QHash<QString, bool> m_dynamicByPath;       // media path -> a dynamic picture, once read
    QSet<QString> m_readingKinds;
    QHash<LibraryFilter, int> m_counts;
    qint64 m_totalBytes = -1;
    int m_sizeGeneration = 0;
    QThreadPool m_facts;
};
