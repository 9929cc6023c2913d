#include "library/ui/library_page.h"

#include "brand/brand.h"
#include "brand/brand_accent.h"
#include "library/library_store.h"
#include "library/ui/rename_dialog.h"
#include "library/ui/settings_popover.h"
#include "library/ui/wallpaper_detail_page.h"
#include "media/media_kind.h"

#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

// A frame in the accent colour over the whole page while files are dragged over it.
class DropHighlight : public QWidget
{
public:
    explicit DropHighlight(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor fill = BrandAccent::shared().color();
        fill.setAlphaF(0.08);
        const QRectF frame = QRectF(rect()).adjusted(6, 6, -6, -6);
        painter.setBrush(fill);
        painter.setPen(QPen(BrandAccent::shared().color(), 2, Qt::DashLine));
        painter.drawRoundedRect(frame, Brand::radius * 1.5, Brand::radius * 1.5);
    }
};

} // namespace

LibraryPage::LibraryPage(LibraryStore& store, LibraryPageHooks hooks, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_hooks(std::move(hooks))
    , m_stack(new QStackedWidget(this))
    , m_grid(new LibraryGridScreen(store, m_view, m_hooks, m_stack))
    , m_dropHighlight(new DropHighlight(this))
{
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);
    m_stack->addWidget(m_grid);

    connect(m_grid, &LibraryGridScreen::openRequested, this, &LibraryPage::openWallpaper);
    connect(m_grid, &LibraryGridScreen::importRequested, this, &LibraryPage::chooseFiles);
    connect(m_grid, &LibraryGridScreen::optionsRequested, this, &LibraryPage::showOptions);
    connect(m_grid, &LibraryGridScreen::renameRequested, this, &LibraryPage::rename);
    connect(&m_store, &LibraryStore::itemsChanged, this, &LibraryPage::itemsChanged);
}

LibraryPage::~LibraryPage() = default;

WallpaperDetailPage* LibraryPage::detail() const { return m_detail; }
QFileDialog* LibraryPage::fileDialog() const { return m_fileDialog; }
RenameDialog* LibraryPage::renameDialog() const { return m_rename; }
SettingsPopover* LibraryPage::popover() const { return m_popover; }

void LibraryPage::openWallpaper(const QUuid& id)
{
    if (!m_store.wallpaper(id))
        return;
    if (m_detail && m_view.openID == id) {
        m_stack->setCurrentWidget(m_detail);
        return;
    }
    delete m_detail;
    m_view.openID = id;
    m_detail = new WallpaperDetailPage(m_store, id, m_hooks, m_stack);
    connect(m_detail, &WallpaperDetailPage::backRequested, this, &LibraryPage::closeDetail);
    connect(m_detail, &WallpaperDetailPage::revealRequested, this, [this](const QString& path) { m_hooks.reveal(path); });
    m_stack->addWidget(m_detail);
    m_stack->setCurrentWidget(m_detail);
    emit detailChanged();
}

void LibraryPage::closeDetail()
{
    if (!m_detail && !m_view.openID)
        return;
    m_view.openID.reset();
    m_stack->setCurrentWidget(m_grid);
    if (m_detail) {
        // Later: the detail may be closing from one of its own buttons.
        m_detail->hide();
        m_detail->deleteLater();
        m_detail = nullptr;
    }
    emit detailChanged();
}

void LibraryPage::itemsChanged()
{
    // The open wallpaper left the library (here or in another process): back to the grid.
    if (m_view.openID && !m_store.wallpaper(*m_view.openID))
        closeDetail();
}

void LibraryPage::reselect()
{
    if (m_view.openID)
        closeDetail();
    else
        m_grid->scrollToTop();
}

void LibraryPage::setRunning(bool running)
{
    m_view.running = running;
}

QStringList LibraryPage::pickerFilters()
{
    // Every file name pattern of the movie and image types the library takes.
    static const QStringList filters = [] {
        QStringList patterns;
        for (const QMimeType& type : QMimeDatabase().allMimeTypes()) {
            const QString name = type.name();
            if (name.startsWith(QLatin1String("video/")) || name.startsWith(QLatin1String("image/")))
                for (const QString& pattern : type.globPatterns())
                    if (!patterns.contains(pattern))
                        patterns << pattern;
        }
        return QStringList{QStringLiteral("Videos and pictures (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')')};
    }();
    return filters;
}

void LibraryPage::chooseFiles()
{
    if (m_fileDialog) {
        m_fileDialog->raise();
        return;
    }
    auto* dialog = new QFileDialog(this, QStringLiteral("Choose videos or pictures to add to your wallpapers"));
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setNameFilters(pickerFilters());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::urlsSelected, this, [this](const QList<QUrl>& urls) {
        if (!urls.isEmpty())
            m_store.importFiles(urls);
    });
    m_fileDialog = dialog;
    dialog->open();
}

void LibraryPage::showOptions()
{
    if (!m_popover)
        m_popover = new SettingsPopover(m_store, this);
    if (m_popover->isVisible())
        m_popover->hide();
    else
        m_popover->showBelow(m_grid->optionsButton());
}

void LibraryPage::rename(const QUuid& id)
{
    const std::optional<Wallpaper> item = m_store.wallpaper(id);
    if (!item)
        return;
    delete m_rename;
    auto* dialog = new RenameDialog(item->name, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, id, dialog] {
        if (const std::optional<Wallpaper> current = m_store.wallpaper(id))
            m_store.rename(*current, dialog->name());
    });
    m_rename = dialog;
    dialog->open();
}

QList<QUrl> LibraryPage::wallpaperFiles(const QList<QUrl>& urls)
{
    QList<QUrl> files;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        // A folder named like a movie is still a folder.
        if (MediaKind::isWallpaperFile(path) && !QFileInfo(path).isDir())
            files << url;
    }
    return files;
}

bool LibraryPage::importDropped(const QList<QUrl>& urls)
{
    const QList<QUrl> files = wallpaperFiles(urls);
    if (files.isEmpty())
        return false;
    m_store.importFiles(files);
    return true;
}

void LibraryPage::setDropTargeted(bool targeted)
{
    if (m_view.dropTargeted == targeted)
        return;
    m_view.dropTargeted = targeted;
    m_dropHighlight->setGeometry(rect());
    m_dropHighlight->setVisible(targeted);
    m_dropHighlight->raise();
    emit dropTargetedChanged(targeted);
}

void LibraryPage::dragEnterEvent(QDragEnterEvent* event)
{
    if (!event->mimeData()->hasUrls())
        return;
    event->acceptProposedAction();
    setDropTargeted(true);
}

void LibraryPage::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void LibraryPage::dragLeaveEvent(QDragLeaveEvent*)
{
    setDropTargeted(false);
}

void LibraryPage::dropEvent(QDropEvent* event)
{
    setDropTargeted(false);
    if (importDropped(event->mimeData()->urls()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void LibraryPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_dropHighlight->setGeometry(rect());
}
