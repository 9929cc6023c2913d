#pragma once

#include "library/library_view.h"
#include "library/ui/library_grid_screen.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

class LibraryStore;
class QFileDialog;
class QStackedWidget;
class RenameDialog;
class SettingsPopover;
class WallpaperDetailPage;

// The wallpapers page: the grid of the library, or one wallpaper's detail page, the settings
// popover, and imports by drop or file picker. Keeps only view state; every change goes through
// the store.
class LibraryPage : public QWidget
{
    Q_OBJECT
public:
    LibraryPage(LibraryStore& store, LibraryPageHooks hooks, QWidget* parent = nullptr);
    ~LibraryPage() override;

    const LibraryView& view() const { return m_view; }
    LibraryGridScreen* grid() const { return m_grid; }
    // Null while the grid shows.
    WallpaperDetailPage* detail() const;
    QFileDialog* fileDialog() const;
    RenameDialog* renameDialog() const;
    SettingsPopover* popover() const;

    // Opens the detail page of a wallpaper in the library (others are ignored).
    void openWallpaper(const QUuid& id);
    void closeDetail();
    // The file picker for videos and pictures; the chosen files are imported.
    void chooseFiles();
    void showOptions();
    void rename(const QUuid& id);
    void setRunning(bool running);
    // The sidebar picked this page while it showed: leave the detail page, or scroll to the top.
    void reselect();

    // Imports the wallpaper files among the URLs; false when there was none.
    bool importDropped(const QList<QUrl>& urls);
    // The local files among the URLs that are videos or pictures.
    static QList<QUrl> wallpaperFiles(const QList<QUrl>& urls);
    // Name filters of the file picker: movies and images.
    static QStringList pickerFilters();

signals:
    void detailChanged();
    void dropTargetedChanged(bool targeted);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setDropTargeted(bool targeted);
    void itemsChanged();

    LibraryStore& m_store;
    LibraryPageHooks m_hooks;
    LibraryView m_view;
    QStackedWidget* m_stack;
    LibraryGridScreen* m_grid;
    QPointer<WallpaperDetailPage> m_detail;
    QWidget* m_dropHighlight;
    QPointer<QFileDialog> m_fileDialog;
    QPointer<RenameDialog> m_rename;
    QPointer<SettingsPopover> m_popover;
};
