#include "library/ui/wallpaper_grid.h"

#include "brand/brand.h"
#include "brand/brand_accent.h"
#include "brand/brand_font.h"
#include "media/thumbnail_cache.h"

#include <QContextMenuEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyle>

WallpaperGridModel::WallpaperGridModel(ThumbnailCache& thumbnails, TraitsOf traits, PathOf thumbnailPath, QObject* parent)
    : QAbstractListModel(parent)
    , m_thumbnails(thumbnails)
    , m_traits(std::move(traits))
    , m_thumbnailPath(std::move(thumbnailPath))
{
    connect(&m_thumbnails, &ThumbnailCache::loaded, this, [this](const QString& path) {
        const int row = m_rowsByThumbnail.value(path, -1);
        if (row >= 0)
            emit dataChanged(index(row), index(row), {ThumbnailRole, MissingRole});
    });
}

void WallpaperGridModel::setWallpapers(const QList<Wallpaper>& wallpapers)
{
    if (wallpapers == m_items)
        return;
    beginResetModel();
    m_items = wallpapers;
    m_rows.clear();
    m_rows.reserve(m_items.size());
    m_rowsByThumbnail.clear();
    m_rowsByThumbnail.reserve(m_items.size());
    for (int row = 0; row < m_items.size(); ++row) {
        m_rows.insert(m_items[row].id, row);
        m_rowsByThumbnail.insert(m_thumbnailPath(m_items[row].id), row);
    }
    endResetModel();
}

void WallpaperGridModel::setThumbnailVersion(int version)
{
    if (version == m_version)
        return;
    m_version = version;
    if (!m_items.isEmpty())
        emit dataChanged(index(0), index(int(m_items.size()) - 1), {ThumbnailRole});
}

void WallpaperGridModel::setThumbnailSize(QSize size)
{
    if (size == m_thumbnailSize || size.isEmpty())
        return;
    m_thumbnailSize = size;
    if (!m_items.isEmpty())
        emit dataChanged(index(0), index(int(m_items.size()) - 1), {ThumbnailRole});
}

void WallpaperGridModel::refreshBadges()
{
    if (!m_items.isEmpty())
        emit dataChanged(index(0), index(int(m_items.size()) - 1), {BadgesRole});
}

QStringList WallpaperGridModel::badges(const Traits& traits)
{
    QStringList badges;
    if (traits.current)
        badges << QStringLiteral("IN USE");
    if (traits.picture)
        badges << (traits.dynamic ? QStringLiteral("DYNAMIC") : QStringLiteral("STILL"));
    return badges;
}

int WallpaperGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant WallpaperGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    const Wallpaper& item = m_items[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return item.name;
    case Qt::AccessibleTextRole: {
        const QStringList marks = badges(m_traits(item));
        return marks.isEmpty() ? item.name : item.name + QStringLiteral(", ") + marks.join(QStringLiteral(", ")).toLower();
    }
    case IdRole:
        return item.id;
    case BadgesRole:
        return badges(m_traits(item));
    case ThumbnailRole:
        return m_thumbnails.image(m_thumbnailPath(item.id), m_thumbnailSize, m_version);
    case MissingRole:
        return m_thumbnails.isMissing(m_thumbnailPath(item.id), m_thumbnailSize);
    default:
        return {};
    }
}

QRect WallpaperCardDelegate::cardRect(const QRect& cell)
{
    return cell.adjusted(0, 0, -gap, -gap);
}

QSize WallpaperCardDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return m_cell;
}

void WallpaperCardDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRect card = cardRect(option.rect);
    const bool hovered = option.state & QStyle::State_MouseOver;
    const bool focused = option.state & QStyle::State_HasFocus;
    const qreal dpr = painter->device()->devicePixelRatioF();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    // The view turns smooth scaling on; the card's pictures are copied pixel for pixel, and only
    // without it does Qt copy them on this thread instead of handing them to its pool.
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->drawImage(card.topLeft(), m_pictures.filled(card.size(), QRect(QPoint(0, 0), card.size()), dpr, Brand::raised()));

    // The thumbnail fills the top at 16:9, cropped to it.
    const QRect picture = pictureRect(card);
    const QRect pictureArea(QPoint(0, 0), picture.size());
    const QImage image = index.data(WallpaperGridModel::ThumbnailRole).value<QImage>();
    if (!image.isNull()) {
        // Read at the card's pixel size, the picture is copied, not scaled: scrolling through
        // hundreds of cards stays cheap. A stand-in of another size (while resizing) is scaled.
        const QSize pixels = (QSizeF(picture.size()) * dpr).toSize();
        const QSize fitted = pixels.scaled(image.size(), Qt::KeepAspectRatio);
        const QRect source((image.width() - fitted.width()) / 2, (image.height() - fitted.height()) / 2, fitted.width(), fitted.height());
        const QImage shaped = fitted == pixels ? m_pictures.shaped(image, source, card.size(), pictureArea, dpr) : QImage();
        if (!shaped.isNull()) {
            painter->drawImage(picture.topLeft(), shaped);
        } else {
            QPainterPath outline;
            outline.addRoundedRect(QRectF(card).adjusted(0.5, 0.5, -0.5, -0.5), Brand::radius, Brand::radius);
            painter->save();
            painter->setClipPath(outline);
            painter->setRenderHint(QPainter::SmoothPixmapTransform);
            painter->drawImage(QRectF(picture), image, source);
            painter->restore();
        }
    } else {
        painter->drawImage(picture.topLeft(), m_pictures.filled(card.size(), pictureArea, dpr, Brand::line()));
        if (index.data(WallpaperGridModel::MissingRole).toBool()) {
            painter->setPen(Brand::muted());
            painter->setFont(BrandFont::ui(9));
            painter->drawText(picture, Qt::AlignCenter, QStringLiteral("No thumbnail"));
        }
    }

    // Badges, small pills on the picture's top left.
    const QStringList badges = index.data(WallpaperGridModel::BadgesRole).toStringList();
    QFont badgeFont = BrandFont::label(7.5);
    badgeFont.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    badgeFont.setWeight(QFont::DemiBold);
    const QFontMetrics badgeMetrics(badgeFont);
    painter->setFont(badgeFont);
    int x = picture.left() + 8;
    for (const QString& badge : badges) {
        const int w = badgeMetrics.horizontalAdvance(badge) + 12;
        const QRectF pill(x, picture.top() + 8, w, badgeMetrics.height() + 4);
        const bool inUse = badge == QLatin1String("IN USE");
        painter->setPen(Qt::NoPen);
        painter->setBrush(inUse ? BrandAccent::shared().color() : QColor(0, 0, 0, 150));
        painter->drawRoundedRect(pill, pill.height() / 2, pill.height() / 2);
        painter->setPen(inUse ? Brand::base() : Brand::text());
        painter->drawText(pill, Qt::AlignCenter, badge);
        x += w + 6;
    }

    // The name under the picture, cut with an ellipsis when long.
    const QRect nameRect(card.left() + 12, picture.bottom() + 1, card.width() - 24, nameHeight);
    QFont nameFont = BrandFont::ui(10, QFont::Medium);
    painter->setFont(nameFont);
    painter->setPen(Brand::text());
    const QString name = QFontMetrics(nameFont).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, nameRect.width());
    painter->drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft, name);

    painter->drawImage(card.topLeft(), m_pictures.ring(card.size(), dpr, hovered || focused ? Brand::muted() : Brand::line()));
    painter->restore();
}

WallpaperGrid::WallpaperGrid(QWidget* parent)
    : QListView(parent)
    , m_delegate(new WallpaperCardDelegate(this))
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    setItemDelegate(m_delegate);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setSpacing(0);
    setStyleSheet(QStringLiteral("QListView { background: transparent; border: none; }"));
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(24);

    connect(this, &QListView::clicked, this, [this](const QModelIndex& index) {
        emit opened(index.data(WallpaperGridModel::IdRole).toUuid());
    });
    connect(this, &QListView::activated, this, [this](const QModelIndex& index) {
        emit opened(index.data(WallpaperGridModel::IdRole).toUuid());
    });
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = indexAt(pos);
        if (index.isValid())
            emit menuRequested(index.data(WallpaperGridModel::IdRole).toUuid(), viewport()->mapToGlobal(pos));
    });
}

void WallpaperGrid::setGridModel(WallpaperGridModel* model)
{
    m_model = model;
    setModel(model);
    const QRect picture = WallpaperCardDelegate::pictureRect(WallpaperCardDelegate::cardRect(QRect(QPoint(), gridSize())));
    if (model && !picture.isEmpty())
        model->setThumbnailSize((QSizeF(picture.size()) * devicePixelRatioF()).toSize());
}

QRect WallpaperGrid::cardRect(int row) const
{
    if (!m_model || row < 0 || row >= m_model->rowCount())
        return {};
    return WallpaperCardDelegate::cardRect(visualRect(m_model->index(row)));
}

void WallpaperGrid::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    // Thumbnails come in one by one while the grid scrolls. Repainting the whole viewport keeps
    // the paint region one rectangle; many small dirty cards make a region that Qt paints through
    // its threaded path, even for the plain copies of CardPictures.
    if (roles.contains(WallpaperGridModel::ThumbnailRole)) {
        viewport()->update();
        return;
    }
    QListView::dataChanged(topLeft, bottomRight, roles);
}

bool WallpaperGrid::viewportEvent(QEvent* event)
{
    // The viewport narrows when the scroll bar comes: the columns follow its width, not ours.
    if (event->type() == QEvent::Resize)
        layoutCells();
    return QListView::viewportEvent(event);
}

void WallpaperGrid::layoutCells()
{
    // Columns of at least the minimum width share the row. Each cell holds its card and the gap
    // after it, and the cells together must fit the viewport or the view wraps a column early.
    const int gap = WallpaperCardDelegate::gap;
    // The width the list lays rows out in: with the bar shown as needed, a left-to-right list
    // always keeps the bar's room free, shown or not.
    int width = maximumViewportSize().width();
    if (verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded)
        width -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    width = std::max(1, width);
    m_columns = std::max(1, (width + gap) / (minCardWidth + gap));
    // A pixel to spare: the icon-mode layout wraps when the row ends exactly on the edge.
    const int cellWidth = (width - 1) / m_columns;
    const int cardWidth = cellWidth - gap;
    const QSize cell(cellWidth, cardWidth * 9 / 16 + WallpaperCardDelegate::nameHeight + gap);
    if (gridSize() == cell)
        return;
    m_delegate->setCellSize(cell);
    if (m_model) {
        const QRect picture = WallpaperCardDelegate::pictureRect(WallpaperCardDelegate::cardRect(QRect(QPoint(), cell)));
        m_model->setThumbnailSize((QSizeF(picture.size()) * devicePixelRatioF()).toSize());
    }
    setGridSize(cell);
}
