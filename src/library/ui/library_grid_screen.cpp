#include "library/ui/library_grid_screen.h"

#include "brand/brand.h"
#include "brand/brand_font.h"
#include "library/library_store.h"
#include "library/ui/activity_list.h"
#include "library/ui/symbols.h"
#include "media/thumbnail_cache.h"
#include "library/ui/wallpaper_grid.h"
#include "media/image_info.h"
#include "media/media_kind.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QWidget* makeEmptyDrop(QPushButton*& choose, QWidget* parent)
{
    auto* widget = new QWidget(parent);
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(40, 40, 40, 40);
    layout->setSpacing(10);
    layout->addStretch(1);
    auto* heading = new QLabel(QStringLiteral("No wallpapers yet"), widget);
    heading->setObjectName(QStringLiteral("emptyHeading"));
    heading->setFont(BrandFont::label(9));
    heading->setProperty("role", QStringLiteral("muted"));
    heading->setAlignment(Qt::AlignCenter);
    auto* symbol = new QLabel(widget);
    symbol->setPixmap(Symbols::pixmap(QStringLiteral("film.stack"), Brand::muted(), 44, widget->devicePixelRatioF()));
    symbol->setAlignment(Qt::AlignCenter);
    auto* title = new QLabel(QStringLiteral("Drop videos or pictures here"), widget);
    title->setObjectName(QStringLiteral("emptyTitle"));
    title->setFont(BrandFont::display(17, QFont::DemiBold));
    title->setAlignment(Qt::AlignCenter);
    auto* text = new QLabel(QStringLiteral("MP4 or MOV loops, or any picture (JPEG, PNG, HEIC). They're copied into the library, "
                                           "so the originals can go anywhere."),
                            widget);
    text->setObjectName(QStringLiteral("emptyText"));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    // A fixed width, so the wrapped text gets the height of its lines.
    text->setFixedWidth(420);
    text->setMinimumHeight(text->heightForWidth(420));
    text->setProperty("role", QStringLiteral("muted"));
    choose = new QPushButton(QStringLiteral("Choose files"), widget);
    choose->setProperty("role", QStringLiteral("primary"));
    choose->setCursor(Qt::PointingHandCursor);
    layout->addWidget(heading);
    layout->addSpacing(6);
    layout->addWidget(symbol);
    layout->addWidget(title);
    layout->addWidget(text, 0, Qt::AlignHCenter);
    layout->addSpacing(6);
    layout->addWidget(choose, 0, Qt::AlignHCenter);
    layout->addStretch(2);
    return widget;
}

} // namespace

LibraryGridScreen::LibraryGridScreen(LibraryStore& store, LibraryView& view, const LibraryPageHooks& hooks, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_view(view)
    , m_hooks(hooks)
    , m_thumbnails(&ThumbnailCache::shared())
{
    m_facts.setMaxThreadCount(1);
    m_model = new WallpaperGridModel(
        *m_thumbnails,
        [this](const Wallpaper& item) {
            const bool video = isVideo(item);
            return WallpaperGridModel::Traits{m_store.currentID() == item.id, !video,
                                              !video && m_dynamicByPath.value(m_store.mediaPath(item))};
        },
        [this](const QUuid& id) { return m_store.thumbnailPath(id); }, this);

    const int padding = int(Brand::pagePadding);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding - 14, 0);
    layout->setSpacing(14);

    // Header: title with the count and size, Import and Options.
    m_title = new QLabel(QStringLiteral("Wallpapers"), this);
    m_title->setFont(BrandFont::display(22, QFont::DemiBold));
    m_summary = new QLabel(this);
    m_summary->setFont(BrandFont::ui(10));
    m_summary->setProperty("role", QStringLiteral("muted"));
    m_import = new QPushButton(QStringLiteral("Import"), this);
    m_import->setProperty("role", QStringLiteral("primary"));
    m_options = new QPushButton(Symbols::icon(QStringLiteral("slider.horizontal.3"), Brand::text()), QStringLiteral("Options"), this);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    titles->addWidget(m_title);
    titles->addWidget(m_summary);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 14, 0);
    header->addLayout(titles, 1);
    header->addWidget(m_options, 0, Qt::AlignVCenter);
    header->addWidget(m_import, 0, Qt::AlignVCenter);
    layout->addLayout(header);

    m_activities = new ActivityList(this);
    m_activities->setContentsMargins(0, 0, 14, 0);
    layout->addWidget(m_activities);

    // Search with its clear button.
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(QStringLiteral("Search wallpapers"));
    m_search->setAccessibleName(QStringLiteral("Search wallpapers"));
    m_search->addAction(Symbols::icon(QStringLiteral("magnifyingglass"), Brand::muted()), QLineEdit::LeadingPosition);
    m_clearSearch = m_search->addAction(Symbols::icon(QStringLiteral("xmark.circle.fill"), Brand::muted()), QLineEdit::TrailingPosition);
    m_clearSearch->setText(QStringLiteral("Clear search"));
    m_clearSearch->setToolTip(QStringLiteral("Clear search"));
    m_clearSearch->setVisible(false);
    m_search->setStyleSheet(QStringLiteral("QLineEdit { background: %1; border: 1px solid %2; border-radius: %3px; padding: 6px 4px; color: %4; }"
                                           "QLineEdit:focus { border-color: %5; }")
                                .arg(Brand::sidebar().name(), Brand::line().name())
                                .arg(int(Brand::radius))
                                .arg(Brand::text().name(), Brand::muted().name()));
    connect(m_clearSearch, &QAction::triggered, this, [this] { setSearch({}); });
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_clearSearch->setVisible(!text.isEmpty());
        m_view.search = text;
        refilter();
    });
    auto* searchRow = new QHBoxLayout;
    searchRow->setContentsMargins(0, 0, 14, 0);
    searchRow->addWidget(m_search);
    layout->addLayout(searchRow);

    // Filter chips, one on at a time.
    auto* chips = new QHBoxLayout;
    chips->setSpacing(6);
    for (LibraryFilter filter : LibraryFilters::all()) {
        auto* chip = new QPushButton(this);
        chip->setCheckable(true);
        chip->setCursor(Qt::PointingHandCursor);
        chip->setProperty("role", QStringLiteral("chip"));
        chip->setFont(BrandFont::ui(9.5, QFont::Medium));
        chip->setStyleSheet(QStringLiteral("QPushButton { background: transparent; color: %1; border: 1px solid %2; border-radius: 13px; padding: 4px 12px; }"
                                           "QPushButton:hover { color: %3; }"
                                           "QPushButton:checked { background: %3; color: %4; border-color: %3; }")
                                .arg(Brand::muted().name(), Brand::line().name(), Brand::text().name(), Brand::base().name()));
        connect(chip, &QPushButton::clicked, this, [this, filter] { setFilter(filter); });
        m_chips.insert(filter, chip);
        chips->addWidget(chip);
    }
    chips->addStretch(1);
    layout->addLayout(chips);

    // The cards, or one of the empty states.
    m_body = new QStackedWidget(this);
    m_grid = new WallpaperGrid(m_body);
    m_grid->setGridModel(m_model);
    m_emptyDrop = makeEmptyDrop(m_chooseFiles, m_body);
    m_noMatch = new QLabel(QStringLiteral("No wallpapers match."), m_body);
    m_noMatch->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_noMatch->setContentsMargins(0, 60, 0, 0);
    m_noMatch->setFont(BrandFont::ui(11));
    m_noMatch->setProperty("role", QStringLiteral("muted"));
    m_body->addWidget(m_grid);
    m_body->addWidget(m_emptyDrop);
    m_body->addWidget(m_noMatch);
    layout->addWidget(m_body, 1);

    m_restore = new QPushButton(this);
    m_restore->setProperty("role", QStringLiteral("link"));
    m_restore->setCursor(Qt::PointingHandCursor);
    layout->addWidget(m_restore, 0, Qt::AlignLeft);
    layout->addSpacing(16);

    connect(m_import, &QPushButton::clicked, this, &LibraryGridScreen::importRequested);
    connect(m_chooseFiles, &QPushButton::clicked, this, &LibraryGridScreen::importRequested);
    connect(m_options, &QPushButton::clicked, this, &LibraryGridScreen::optionsRequested);
    connect(m_restore, &QPushButton::clicked, this, [this] { m_store.restoreBuiltInWallpapers(); });
    connect(m_activities, &ActivityList::clearRequested, this, [this] { m_store.activityLog().clear(); });
    connect(m_grid, &WallpaperGrid::opened, this, &LibraryGridScreen::openRequested);
    connect(m_grid, &WallpaperGrid::menuRequested, this, [this](const QUuid& id, const QPoint& at) {
        QMenu* menu = contextMenu(id);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(at);
    });

    connect(&m_store, &LibraryStore::itemsChanged, this, &LibraryGridScreen::itemsChanged);
    connect(&m_store, &LibraryStore::ensemblesChanged, this, &LibraryGridScreen::ensemblesChanged);
    connect(&m_store, &LibraryStore::currentIDChanged, m_model, &WallpaperGridModel::refreshBadges);
    connect(&m_store, &LibraryStore::thumbnailVersionChanged, this, [this] { m_model->setThumbnailVersion(m_store.thumbnailVersion()); });
    connect(&m_store.activityLog(), &ActivityLog::activitiesChanged, this, &LibraryGridScreen::syncActivities);
    connect(&m_store.activityLog(), &ActivityLog::engineActivitiesChanged, this, &LibraryGridScreen::syncActivities);

    m_model->setThumbnailVersion(m_store.thumbnailVersion());
    m_search->setText(m_view.search);
    syncActivities();
    ensemblesChanged();
    itemsChanged();
}

LibraryGridScreen::~LibraryGridScreen()
{
    m_facts.clear();
    m_facts.waitForDone();
}

const QList<Wallpaper>& LibraryGridScreen::shown() const
{
    return m_model->wallpapers();
}

int LibraryGridScreen::count(LibraryFilter filter) const
{
    return m_counts.value(filter);
}

bool LibraryGridScreen::isVideo(const Wallpaper& wallpaper) const
{
    auto known = m_videoByName.constFind(wallpaper.fileName);
    if (known == m_videoByName.cend())
        known = m_videoByName.insert(wallpaper.fileName, MediaKind::isVideo(wallpaper.fileName));
    return *known;
}

WallpaperTraits LibraryGridScreen::traits(const Wallpaper& wallpaper) const
{
    const bool video = isVideo(wallpaper);
    return {video, !video && m_dynamicByPath.value(m_store.mediaPath(wallpaper)), m_ensembleCounts.value(wallpaper.id)};
}

void LibraryGridScreen::setSearch(const QString& text)
{
    if (m_search->text() != text)
        m_search->setText(text); // refilters through textChanged
}

void LibraryGridScreen::setFilter(LibraryFilter filter)
{
    m_view.filter = filter;
    syncChips();
    refilter();
}

void LibraryGridScreen::scrollToTop()
{
    m_grid->verticalScrollBar()->setValue(0);
}

void LibraryGridScreen::itemsChanged()
{
    learnKinds();
    sumSizes();
    refilter();
    syncRestore();
}

void LibraryGridScreen::ensemblesChanged()
{
    m_ensembleCounts.clear();
    for (const Ensemble& ensemble : m_store.ensembles())
        ++m_ensembleCounts[ensemble.wallpaper];
    refilter();
}

void LibraryGridScreen::refilter()
{
    const auto traitsOf = [this](const Wallpaper& item) { return traits(item); };
    m_counts.clear();
    for (const Wallpaper& item : m_store.items()) {
        const WallpaperTraits t = traitsOf(item);
        for (LibraryFilter filter : LibraryFilters::all())
            if (LibraryFilters::keeps(filter, t))
                ++m_counts[filter];
    }
    m_model->setWallpapers(LibraryFilters::shown(m_store.items(), m_view.filter, m_view.search, traitsOf));
    m_body->setCurrentWidget(m_store.items().isEmpty() ? m_emptyDrop : m_model->rowCount() == 0 ? static_cast<QWidget*>(m_noMatch) : m_grid);
    syncChips();
    syncSummary();
}

void LibraryGridScreen::syncChips()
{
    for (LibraryFilter filter : LibraryFilters::all()) {
        QPushButton* chip = m_chips.value(filter);
        chip->setText(LibraryFilters::label(filter) + QStringLiteral("  ") + QString::number(m_counts.value(filter)));
        chip->setChecked(filter == m_view.filter);
    }
}

void LibraryGridScreen::syncActivities()
{
    m_activities->setActivities(m_store.activityLog().activities(), m_store.activityLog().engineActivities());
}

QString LibraryGridScreen::restoreTitle(int missing)
{
    return missing == 1 ? QStringLiteral("Restore 1 built-in wallpaper")
                        : QStringLiteral("Restore ") + QString::number(missing) + QStringLiteral(" built-in wallpapers");
}

void LibraryGridScreen::syncRestore()
{
    const int missing = int(m_store.missingBuiltInWallpapers().size());
    m_restore->setText(restoreTitle(missing));
    m_restore->setVisible(missing > 0);
}

QString LibraryGridScreen::summaryText(int count, qint64 totalBytes)
{
    QString text = QString::number(count) + (count == 1 ? QStringLiteral(" wallpaper") : QStringLiteral(" wallpapers"));
    if (totalBytes >= 0)
        text += QStringLiteral(" · ") + QLocale::system().formattedDataSize(totalBytes, 1, QLocale::DataSizeTraditionalFormat);
    return text;
}

void LibraryGridScreen::syncSummary()
{
    m_summary->setText(summaryText(int(m_store.items().size()), m_totalBytes));
}

void LibraryGridScreen::learnKinds()
{
    // Only a HEIC can hold frames; reading its metadata is disk work, so it happens off the main
    // thread and the chips count it once known (a plain picture until then).
    for (const Wallpaper& item : m_store.items()) {
        if (isVideo(item))
            continue;
        const QString path = m_store.mediaPath(item);
        if (m_dynamicByPath.contains(path) || m_readingKinds.contains(path))
            continue;
        const QString suffix = QFileInfo(item.fileName).suffix().toLower();
        if (suffix != QLatin1String("heic") && suffix != QLatin1String("heif")) {
            m_dynamicByPath.insert(path, false);
            continue;
        }
        m_readingKinds.insert(path);
        m_facts.start([this, path] {
            const bool dynamic = ImageInfo::isDynamic(path);
            QMetaObject::invokeMethod(this, [this, path, dynamic] {
                m_readingKinds.remove(path);
                m_dynamicByPath.insert(path, dynamic);
                if (dynamic) {
                    refilter();
                    m_model->refreshBadges();
                }
            }, Qt::QueuedConnection);
        });
    }
}

void LibraryGridScreen::sumSizes()
{
    QStringList paths;
    for (const Wallpaper& item : m_store.items())
        paths << m_store.mediaPath(item);
    const int generation = ++m_sizeGeneration;
    m_facts.start([this, paths, generation] {
        qint64 total = 0;
        for (const QString& path : paths)
            total += std::max<qint64>(0, QFileInfo(path).size());
        QMetaObject::invokeMethod(this, [this, total, generation] {
            if (generation != m_sizeGeneration)
                return;
            m_totalBytes = total;
            syncSummary();
        }, Qt::QueuedConnection);
    });
}

QMenu* LibraryGridScreen::contextMenu(const QUuid& id)
{
    auto* menu = new QMenu(this);
    const std::optional<Wallpaper> item = m_store.wallpaper(id);
    if (!item)
        return menu;
    connect(menu->addAction(QStringLiteral("Set as Wallpaper")), &QAction::triggered, this, [this, id] {
        if (m_store.wallpaper(id))
            m_store.setCurrentID(id);
    });
    connect(menu->addAction(QStringLiteral("Refresh")), &QAction::triggered, this, [this, id] {
        if (const std::optional<Wallpaper> w = m_store.wallpaper(id))
            m_store.refresh(*w);
    });
    connect(menu->addAction(m_hooks.revealTitle), &QAction::triggered, this, [this, id] {
        if (const std::optional<Wallpaper> w = m_store.wallpaper(id))
            m_hooks.reveal(m_store.mediaPath(*w));
    });
    connect(menu->addAction(QStringLiteral("Rename")), &QAction::triggered, this, [this, id] { emit renameRequested(id); });
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("Remove from Library")), &QAction::triggered, this, [this, id] {
        if (const std::optional<Wallpaper> w = m_store.wallpaper(id))
            m_store.remove(*w);
    });
    return menu;
}
