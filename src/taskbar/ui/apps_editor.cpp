#include "taskbar/ui/apps_editor.h"

#include "brand/brand.h"
#include "brand/brand_accent.h"
#include "brand/brand_font.h"
#include "clock/ui/clock_controls.h"
#include "platform/desktop_apps.h"
#include "taskbar/layout_token.h"
#include "taskbar/preview/sample_icons.h"
#include "taskbar/settings_store.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int iconSide = 40;

QPixmap symbol(EditorTile::Kind kind, bool missing, double dpr)
{
    QPixmap pixmap(QSize(iconSide, iconSide) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = Brand::text();
    const QColor soft = Brand::muted();
    QPen pen(ink, 2);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    const QRectF box(4, 4, 32, 32);
    using K = EditorTile::Kind;
    switch (kind) {
    case K::app:
    case K::unknown: {
        // An app nobody can show: a dashed frame with a question mark.
        QPen dashed(soft, 1.6, Qt::DashLine);
        p.setPen(dashed);
        p.drawRoundedRect(box, 8, 8);
        p.setPen(soft);
        p.setFont(BrandFont::ui(15, QFont::DemiBold));
        p.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case K::running:
        p.setPen(Qt::NoPen);
        p.setBrush(soft);
        for (int i = 0; i < 3; ++i)
            p.drawRoundedRect(QRectF(5 + i * 11, 12, 8, 12), 2, 2);
        p.setBrush(ink);
        p.drawEllipse(QPointF(20, 31), 2, 2);
        break;
    case K::runningSeparator:
    case K::divider:
        p.setPen(QPen(soft, 2));
        p.drawLine(QPointF(20, 6), QPointF(20, 34));
        break;
    case K::space:
        p.setPen(QPen(soft, 1.4, Qt::DashLine));
        p.drawRoundedRect(box.adjusted(2, 8, -2, -8), 4, 4);
        p.setPen(QPen(soft, 1.6));
        p.drawLine(QPointF(12, 20), QPointF(28, 20));
        break;
    case K::downloads:
        p.setPen(pen);
        p.drawEllipse(box.adjusted(2, 2, -2, -2));
        p.drawLine(QPointF(20, 12), QPointF(20, 27));
        p.drawLine(QPointF(14, 21), QPointF(20, 27));
        p.drawLine(QPointF(26, 21), QPointF(20, 27));
        break;
    case K::trash:
        p.setPen(pen);
        p.drawLine(QPointF(10, 11), QPointF(30, 11));
        p.drawLine(QPointF(16, 11), QPointF(17, 7));
        p.drawLine(QPointF(24, 11), QPointF(23, 7));
        p.drawLine(QPointF(17, 7), QPointF(23, 7));
        p.drawRoundedRect(QRectF(12, 11, 16, 23), 2, 2);
        break;
    case K::folder: {
        p.setPen(Qt::NoPen);
        p.setBrush(missing ? soft : QColor(0x7F, 0xA7, 0xD9));
        QPainterPath path;
        path.addRoundedRect(QRectF(5, 12, 30, 21), 3, 3);
        path.addRoundedRect(QRectF(5, 8, 13, 8), 2, 2);
        p.drawPath(path.simplified());
        break;
    }
    case K::startButton:
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c)
                p.drawRoundedRect(QRectF(9 + c * 12, 9 + r * 12, 10, 10), 2.5, 2.5);
        break;
    }
    return pixmap;
}

// The label on at most two lines, broken at a space when it can be; the rest ends in an ellipsis.
QString twoLines(const QString& label, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(label) <= width)
        return label;
    qsizetype cut = label.size();
    while (cut > 0 && metrics.horizontalAdvance(label.left(cut)) > width)
        cut = label.lastIndexOf(QLatin1Char(' '), cut - 1);
    if (cut <= 0) {
        // No space to break at: as much as fits on the first line.
        cut = 1;
        while (cut < label.size() && metrics.horizontalAdvance(label.left(cut + 1)) <= width)
            ++cut;
    }
    const QString rest = label.mid(cut).trimmed();
    return label.left(cut).trimmed() + QLatin1Char('\n') + metrics.elidedText(rest, Qt::ElideRight, width);
}

// What an app nobody lists is called: the last part of a reverse-domain identifier.
QString unknownAppName(const QString& id)
{
    const QString last = id.section(QLatin1Char('.'), -1);
    return last.isEmpty() ? id : last;
}

QString folderName(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

} // namespace

// --- TileStrip ------------------------------------------------------------------------------

TileStrip::TileStrip(SettingsStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setFocusPolicy(Qt::ClickFocus);
    connect(&m_store, &SettingsStore::layoutChanged, this, &TileStrip::rebuild);
    // Every slider step of the style editor changes the settings; the tiles follow only the few
    // values they show.
    connect(&m_store, &SettingsStore::settingsChanged, this, [this] {
        if (marks() != m_marks)
            rebuild();
    });
    rebuild();
}

TileStrip::Marks TileStrip::marks() const
{
    const TaskbarSettings& s = m_store.settings();
    return {s.startButton, s.separateRunningApps, int(s.trash)};
}

const std::optional<DesktopApp>& TileStrip::app(const QString& id)
{
    auto found = m_apps.find(id);
    if (found == m_apps.end()) {
        const std::optional<DesktopRole> role = LayoutToken::systemRole(id);
        found = m_apps.insert(id, role ? std::optional<DesktopApp>(DesktopApps::forRole(*role)) : DesktopApps::find(id));
    }
    return *found;
}

void TileStrip::rebuild()
{
    const TaskbarSettings& settings = m_store.settings();
    const QStringList& layout = m_store.layout();
    QList<EditorTile> tiles;
    using K = EditorTile::Kind;
    if (settings.startButton)
        tiles.append({K::startButton, {}, -1, QStringLiteral("Start button")});
    for (int i = 0; i < layout.size(); ++i) {
        const QString& item = layout[i];
        EditorTile tile;
        tile.item = item;
        tile.layoutIndex = i;
        if (item == LayoutToken::running()) {
            if (settings.separateRunningApps)
                tiles.append({K::runningSeparator, {}, -1, QStringLiteral("Running apps part here")});
            tile.kind = K::running;
            tile.label = QStringLiteral("Running apps");
        } else if (item == LayoutToken::downloads()) {
            tile.kind = K::downloads;
            tile.label = QStringLiteral("Downloads");
        } else if (item == LayoutToken::trash()) {
            tile.kind = K::trash;
            tile.label = QStringLiteral("Trash (") + TaskbarEnum::title(settings.trash) + QStringLiteral(")");
        } else if (LayoutToken::isDivider(item)) {
            tile.kind = K::divider;
            tile.label = QStringLiteral("Divider");
        } else if (LayoutToken::isSpacer(item)) {
            tile.kind = K::space;
            tile.label = QStringLiteral("Space");
        } else if (const std::optional<QString> folder = LayoutToken::folderURL(item)) {
            tile.kind = K::folder;
            tile.label = folderName(*folder);
            tile.missing = !QFileInfo(*folder).isDir();
        } else if (LayoutToken::isApp(item)) {
            tile.kind = K::app;
            const std::optional<DesktopApp>& entry = app(item);
            tile.label = entry ? entry->name : unknownAppName(item);
            tile.missing = !entry;
        } else {
            // A token this version does not know: shown as it is and kept in its place.
            tile.kind = K::unknown;
            tile.label = item;
        }
        tiles.append(tile);
    }
    m_tiles = tiles;
    m_marks = marks();
    // Icons are kept by item; only the marks' icons depend on nothing but their kind.
    if (m_selected && !layout.contains(*m_selected)) {
        m_selected.reset();
        emit selectionChanged();
    }
    place();
    updateGeometry();
    update();
}

void TileStrip::place()
{
    const int columns = std::max(1, (width() + gap) / (tileWidth + gap));
    for (int i = 0; i < m_tiles.size(); ++i)
        m_tiles[i].rect = QRect((i % columns) * (tileWidth + gap), (i / columns) * (tileHeight + gap), tileWidth, tileHeight);
}

int TileStrip::heightForWidth(int width) const
{
    const int columns = std::max(1, (width + gap) / (tileWidth + gap));
    const int rows = std::max<int>(1, (m_tiles.size() + columns - 1) / columns);
    return rows * tileHeight + (rows - 1) * gap;
}

QSize TileStrip::sizeHint() const
{
    return {8 * (tileWidth + gap), heightForWidth(8 * (tileWidth + gap))};
}

QSize TileStrip::minimumSizeHint() const
{
    return {tileWidth, tileHeight};
}

void TileStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
}

int TileStrip::tileOf(const QString& item) const
{
    for (int i = 0; i < m_tiles.size(); ++i)
        if (m_tiles[i].movable() && m_tiles[i].item == item)
            return i;
    return -1;
}

void TileStrip::select(const std::optional<QString>& item)
{
    if (item == m_selected)
        return;
    m_selected = item;
    update();
    emit selectionChanged();
}

int TileStrip::hit(const QPoint& point) const
{
    for (int i = 0; i < m_tiles.size(); ++i)
        if (m_tiles[i].rect.contains(point))
            return i;
    return -1;
}

int TileStrip::dropIndex(const QPoint& point) const
{
    // Before the first tile whose middle lies after the point in reading order.
    for (int i = 0; i < m_tiles.size(); ++i) {
        const QRect& r = m_tiles[i].rect;
        if (point.y() < r.top() - gap)
            return i;
        if (point.y() <= r.bottom() + gap && point.x() < r.center().x())
            return i;
    }
    return int(m_tiles.size());
}

void TileStrip::moveTile(int from, int to)
{
    if (from < 0 || from >= m_tiles.size() || !m_tiles[from].movable())
        return;
    const QString item = m_tiles[from].item;
    // The layout entry the moved one goes before; marks stand for the next real entry.
    std::optional<QString> before;
    for (int i = to; i < m_tiles.size(); ++i) {
        if (i != from && m_tiles[i].movable()) {
            before = m_tiles[i].item;
            break;
        }
    }
    QStringList layout = m_store.layout();
    const qsizetype at = layout.indexOf(item);
    if (at < 0)
        return;
    layout.removeAt(at);
    const qsizetype target = before ? layout.indexOf(*before) : layout.size();
    layout.insert(target < 0 ? layout.size() : target, item);
    m_store.setLayout(layout);
}

QMenu* TileStrip::menuFor(int index)
{
    if (index < 0 || index >= m_tiles.size())
        return nullptr;
    const EditorTile tile = m_tiles[index];
    using K = EditorTile::Kind;
    auto* menu = new QMenu(this);
    if (tile.kind == K::app) {
        menu->addAction(QStringLiteral("Unpin"), this, [this, item = tile.item] { m_store.unpin(item); });
    } else if (tile.kind == K::divider || tile.kind == K::space || tile.kind == K::folder) {
        menu->addAction(QStringLiteral("Remove"), this, [this, item = tile.item] {
            QStringList layout = m_store.layout();
            layout.removeAll(item);
            m_store.setLayout(layout);
        });
    } else {
        delete menu;
        return nullptr;
    }
    return menu;
}

QPixmap TileStrip::iconFor(const EditorTile& tile)
{
    const QString key = tile.item.isEmpty() ? QString::number(int(tile.kind)) : tile.item;
    auto found = m_icons.constFind(key);
    if (found != m_icons.cend())
        return *found;
    const double dpr = devicePixelRatioF();
    QPixmap pixmap;
    if (tile.kind == EditorTile::Kind::app && !tile.missing) {
        // The entry's icon from the icon theme, or its file; a broken one falls back to the mark.
        if (const std::optional<DesktopApp>& entry = app(tile.item); entry && !entry->icon.isEmpty()) {
            SampleIcons::useAThemeWhenNoneIsSet();
            const QIcon icon = QFileInfo(entry->icon).isAbsolute() ? QIcon(entry->icon) : QIcon::fromTheme(entry->icon);
            if (!icon.isNull())
                pixmap = icon.pixmap(QSize(iconSide, iconSide), dpr);
        }
    }
    if (pixmap.isNull())
        pixmap = symbol(tile.kind, tile.missing, dpr);
    m_icons.insert(key, pixmap);
    return pixmap;
}

void TileStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor accent = BrandAccent::shared().color();
    const QFont labelFont = BrandFont::ui(8.5);
    p.setFont(labelFont);
    const QFontMetrics metrics(labelFont);
    for (int i = 0; i < m_tiles.size(); ++i) {
        const EditorTile& tile = m_tiles[i];
        const QRectF r = QRectF(tile.rect).adjusted(0.5, 0.5, -0.5, -0.5);
        const bool selected = tile.movable() && m_selected == tile.item;
        const bool lifted = m_dragging && i == m_pressed;
        p.setPen(QPen(selected ? accent : Brand::line(), selected ? 1.5 : 1));
        p.setBrush(lifted ? QColor(255, 255, 255, 4) : Brand::raised());
        p.drawRoundedRect(r, 7, 7);
        if (lifted)
            continue;
        const QPixmap icon = iconFor(tile);
        p.setOpacity(tile.missing ? 0.6 : 1);
        p.drawPixmap(QPointF(r.center().x() - iconSide / 2.0, r.top() + 9), icon);
        p.setOpacity(1);
        p.setPen(tile.missing || !tile.movable() ? Brand::muted() : Brand::text());
        const QRectF text(r.left() + 3, r.top() + 9 + iconSide + 3, r.width() - 6, metrics.height() * 2);
        p.drawText(text, Qt::AlignHCenter | Qt::AlignTop, twoLines(tile.label, metrics, int(text.width())));
    }
    if (m_dragging && m_pressed >= 0 && m_pressed < m_tiles.size()) {
        // Where the tile would land, and the tile under the pointer.
        const int at = dropIndex(m_dragPoint);
        QRect anchor = at < m_tiles.size() ? m_tiles[at].rect : m_tiles.last().rect.translated(tileWidth + gap, 0);
        p.setPen(QPen(accent, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(anchor.left() - gap / 2.0, anchor.top() + 4), QPointF(anchor.left() - gap / 2.0, anchor.bottom() - 4));
        const QRect ghost(m_dragPoint - QPoint(tileWidth / 2, tileHeight / 2), QSize(tileWidth, tileHeight));
        p.setOpacity(0.85);
        p.setPen(QPen(accent, 1.5));
        p.setBrush(Brand::base());
        p.drawRoundedRect(QRectF(ghost), 7, 7);
        p.drawPixmap(QPointF(ghost.center().x() - iconSide / 2.0, ghost.top() + 9), iconFor(m_tiles[m_pressed]));
        p.setOpacity(1);
    }
}

void TileStrip::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const int index = hit(event->position().toPoint());
    m_pressed = index;
    m_pressPoint = event->position().toPoint();
    m_dragging = false;
    if (index >= 0 && m_tiles[index].movable())
        select(m_tiles[index].item);
    else if (index < 0)
        select(std::nullopt);
}

void TileStrip::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed < 0 || m_pressed >= m_tiles.size() || !m_tiles[m_pressed].movable())
        return;
    const QPoint point = event->position().toPoint();
    if (!m_dragging && (point - m_pressPoint).manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragging = true;
    m_dragPoint = point;
    update();
}

void TileStrip::mouseReleaseEvent(QMouseEvent* event)
{
    const int from = m_pressed;
    const bool dragged = m_dragging;
    m_pressed = -1;
    m_dragging = false;
    if (dragged) {
        moveTile(from, dropIndex(event->position().toPoint()));
        update();
    }
}

void TileStrip::contextMenuEvent(QContextMenuEvent* event)
{
    const int index = hit(event->pos());
    if (index >= 0 && m_tiles[index].movable())
        select(m_tiles[index].item);
    if (QMenu* menu = menuFor(index)) {
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
    }
}

// --- AppsEditor -----------------------------------------------------------------------------

AppsEditor::AppsEditor(SettingsStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_strip(new TileStrip(store, this))
    , m_add(new QToolButton(this))
    , m_menu(new QMenu(this))
{
    chooseFolder = [](QWidget* parent) {
        return QFileDialog::getExistingDirectory(parent, QStringLiteral("Choose folders to pin to the taskbar"), QDir::homePath());
    };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    auto* header = new QHBoxLayout;
    header->addWidget(ClockControls::heading(QStringLiteral("Your Apps"), this));
    header->addStretch(1);
    m_add->setText(QStringLiteral("+"));
    m_add->setToolTip(QStringLiteral("Add apps, folders, a divider or a space"));
    m_add->setAccessibleName(QStringLiteral("Add apps, folders, a divider or a space"));
    m_add->setPopupMode(QToolButton::InstantPopup);
    m_add->setMenu(m_menu);
    m_add->setFixedSize(30, 26);
    header->addWidget(m_add);
    layout->addLayout(header);
    layout->addWidget(ClockControls::note(QStringLiteral("Drag to reorder. Right-click a tile to unpin or remove it; a divider or space goes after the selected tile."), this));
    layout->addWidget(m_strip);

    m_menu->addAction(QStringLiteral("Add Apps…"), this, &AppsEditor::askApps);
    m_menu->addAction(QStringLiteral("Add Folder…"), this, &AppsEditor::askFolder);
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("Add Divider"), this, &AppsEditor::addDivider);
    m_menu->addAction(QStringLiteral("Add Space"), this, &AppsEditor::addSpace);
}

QMenu* AppsEditor::addMenu() const
{
    return m_menu;
}

void AppsEditor::addDivider()
{
    m_store.insert(LayoutToken::newDivider(), m_strip->selectedItem());
}

void AppsEditor::addSpace()
{
    m_store.insert(LayoutToken::newSpacer(), m_strip->selectedItem());
}

QListWidget* AppsEditor::appList() const
{
    return m_picker ? m_picker->findChild<QListWidget*>() : nullptr;
}

void AppsEditor::askApps()
{
    delete m_picker;
    auto* dialog = new QDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Choose apps to pin to the taskbar"));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->resize(420, 480);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(20, 18, 20, 16);
    auto* title = new QLabel(QStringLiteral("Choose apps to pin to the taskbar"), dialog);
    title->setFont(BrandFont::display(14, QFont::DemiBold));
    layout->addWidget(title);
    auto* list = new QListWidget(dialog);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setIconSize(QSize(24, 24));
    // An app pinned under its role (the file manager, the browser, the settings) counts as pinned.
    QStringList pinned = m_store.layout();
    for (const QString& item : m_store.layout())
        if (const std::optional<DesktopRole> role = LayoutToken::systemRole(item))
            pinned << DesktopApps::forRole(*role).id;
    SampleIcons::useAThemeWhenNoneIsSet();
    for (const DesktopApp& app : DesktopApps::installed()) {
        if (pinned.contains(app.id))
            continue;
        const QIcon icon = app.icon.isEmpty() ? QIcon() : (QFileInfo(app.icon).isAbsolute() ? QIcon(app.icon) : QIcon::fromTheme(app.icon));
        auto* item = new QListWidgetItem(icon, app.name, list);
        item->setData(Qt::UserRole, app.id);
        item->setToolTip(app.id);
    }
    layout->addWidget(list, 1);
    if (list->count() == 0) {
        auto* none = new QLabel(QStringLiteral("Every app is pinned already."), dialog);
        none->setProperty("role", QStringLiteral("muted"));
        layout->addWidget(none);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    auto* pin = new QPushButton(QStringLiteral("Pin"), dialog);
    pin->setProperty("role", QStringLiteral("primary"));
    pin->setDefault(true);
    buttons->addWidget(cancel);
    buttons->addWidget(pin);
    layout->addLayout(buttons);
    connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    connect(pin, &QPushButton::clicked, dialog, &QDialog::accept);
    connect(dialog, &QDialog::accepted, this, [this, list] {
        for (QListWidgetItem* item : list->selectedItems())
            m_store.pin(item->data(Qt::UserRole).toString());
    });
    m_picker = dialog;
    dialog->open();
}

void AppsEditor::askFolder()
{
    const QString folder = chooseFolder ? chooseFolder(this) : QString();
    if (!folder.isEmpty())
        m_store.addFolder(folder);
}
