#pragma once

#include "library/ui/card_pictures.h"

#include "library/wallpaper.h"

#include <QAbstractListModel>
#include <QHash>
#include <QListView>
#include <QStyledItemDelegate>

#include <functional>
#include <optional>

class ThumbnailCache;

// The shown wallpapers as a list model: name, badges and the thumbnail (from the cache, which
// reads it off the main thread and says when it is in).
class WallpaperGridModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { IdRole = Qt::UserRole + 1, BadgesRole, ThumbnailRole, MissingRole };

    // Badge texts of one wallpaper.
    struct Traits
    {
        bool current = false;
        bool picture = false;
        bool dynamic = false;
    };
    using TraitsOf = std::function<Traits(const Wallpaper&)>;
    using PathOf = std::function<QString(const QUuid&)>;

    WallpaperGridModel(ThumbnailCache& thumbnails, TraitsOf traits, PathOf thumbnailPath, QObject* parent = nullptr);

    void setWallpapers(const QList<Wallpaper>& wallpapers);
    const QList<Wallpaper>& wallpapers() const { return m_items; }
    void setThumbnailVersion(int version);
    // The pixel size of a card's picture: thumbnails are read at it, so painting them is a copy.
    void setThumbnailSize(QSize size);
    QSize thumbnailSize() const { return m_thumbnailSize; }
    // Badges changed (the current wallpaper, what is dynamic): repaint, same rows.
    void refreshBadges();
    int row(const QUuid& id) const { return m_rows.value(id, -1); }

    static QStringList badges(const Traits& traits);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    ThumbnailCache& m_thumbnails;
    TraitsOf m_traits;
    PathOf m_thumbnailPath;
    QList<Wallpaper> m_items;
    QHash<QUuid, int> m_rows;
    QHash<QString, int> m_rowsByThumbnail;
    QSize m_thumbnailSize{320, 180};
    int m_version = 0;
};

// Paints one card: the thumbnail (or a placeholder while it loads), the badges on it and the name.
class WallpaperCardDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setCellSize(QSize size) { m_cell = size; }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    static constexpr int gap = 16;
    static constexpr int nameHeight = 36;
    static QRect cardRect(const QRect& cell);
    static QRect pictureRect(const QRect& card) { return {card.left(), card.top(), card.width(), card.height() - nameHeight}; }

private:
    QSize m_cell{240, 171};
    mutable CardPictures m_pictures;
};

// The card grid: columns fill the width; a click opens a card, a right click asks for its menu.
class WallpaperGrid : public QListView
{
    Q_OBJECT
public:
    static constexpr int minCardWidth = 200;

    explicit WallpaperGrid(QWidget* parent = nullptr);

    WallpaperGridModel* gridModel() const { return m_model; }
    void setGridModel(WallpaperGridModel* model);
    // The card's rectangle in viewport coordinates (tests click it).
    QRect cardRect(int row) const;
    int columns() const { return m_columns; }

signals:
    void opened(const QUuid& id);
    void menuRequested(const QUuid& id, const QPoint& globalPos);

protected:
    bool viewportEvent(QEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) override;

private:
    void layoutCells();

    WallpaperGridModel* m_model = nullptr;
    WallpaperCardDelegate* m_delegate;
    int m_columns = 1;
};
