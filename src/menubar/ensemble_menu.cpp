#include "menubar/ensemble_menu.h"

#include "brand/brand.h"
#include "brand/brand_accent.h"
#include "brand/brand_font.h"
#include "library/ensemble_theme.h"
#include "menubar/ensemble_menu_model.h"
#include "menubar/menu_thumbs.h"

#include <QFontMetricsF>
#include <QKeySequence>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double pad = 14;
constexpr double headerThumbW = 64;
constexpr double headerThumbH = 42;
constexpr double switchH = 26;
constexpr double columns = 3;
constexpr double gap = 8;
constexpr double tileThumbH = 54;
constexpr double tileH = tileThumbH + 20;
constexpr int visibleRows = 3;
constexpr double rowH = 30;

} // namespace

struct EnsembleMenu::Layout
{
    QRectF headerThumb;
    QRectF headerName;
    QRectF headerStatus;
    QList<QRectF> displays;
    QRectF grid;          // the viewport
    double gridContent = 0; // height of all tiles
    bool sameAsMain = false;
    QRectF extra;
    double extraDivider = -1;
    QRectF open;
    QRectF feedback;
    QRectF quit;
    double height = 0;

    double tileWidth() const { return (EnsembleMenu::width - 2 * pad - (columns - 1) * gap) / columns; }
    // Tile `slot` (the "Same as main" tile first when there is one) in content coordinates.
    QRectF tile(int slot, double offset) const
    {
        const int row = slot / int(columns);
        const int column = slot % int(columns);
        return QRectF(grid.left() + column * (tileWidth() + gap), grid.top() + row * (tileH + gap) - offset, tileWidth(), tileH);
    }
};

EnsembleMenu::EnsembleMenu(EnsembleMenuModel& model, Hooks hooks, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_hooks(std::move(hooks))
    , m_thumbs(new MenuThumbs(this))
{
    connect(&m_model, &EnsembleMenuModel::changed, this, &EnsembleMenu::refresh);
    connect(&m_model, &EnsembleMenuModel::reloaded, this, &EnsembleMenu::refresh);
    connect(m_thumbs, &MenuThumbs::ready, this, &EnsembleMenu::changed);
    connect(&BrandAccent::shared(), &BrandAccent::hexChanged, this, &EnsembleMenu::changed);
    refresh();
}

EnsembleMenu::~EnsembleMenu() = default;

void EnsembleMenu::refresh()
{
    const MenuStatus status = m_hooks.status ? m_hooks.status() : MenuStatus();
    m_status = status.text();
    m_attention = status.attention();
    QSet<QString> paths;
    for (const EnsembleEntry& entry : m_model.ensembles())
        paths.insert(EnsembleTheme::thumbnailPath(entry));
    m_thumbs->keepOnly(paths);
    const Layout l = layout();
    m_offset = std::clamp(m_offset, 0.0, std::max(0.0, l.gridContent - l.grid.height()));
    emit changed();
}

EnsembleMenu::Layout EnsembleMenu::layout() const
{
    Layout l;
    double y = pad;
    l.headerThumb = QRectF(pad, y, headerThumbW, headerThumbH);
    const double textLeft = pad + headerThumbW + 12;
    l.headerName = QRectF(textLeft, y, width - textLeft - pad, 22);
    l.headerStatus = QRectF(textLeft, y + 24, width - textLeft - pad, 16);
    y += headerThumbH + 14;

    const QList<ScreenInfo> screens = m_model.screens();
    if (screens.size() > 1) {
        const double w = (width - 2 * pad - (screens.size() - 1) * 6) / screens.size();
        for (int i = 0; i < screens.size(); ++i)
            l.displays.append(QRectF(pad + i * (w + 6), y, w, switchH));
        y += switchH + 12;
    }

    l.sameAsMain = !m_model.onMain();
    const int slotCount = int(m_model.ensembles().size()) + (l.sameAsMain ? 1 : 0);
    const int rows = (slotCount + int(columns) - 1) / int(columns);
    l.gridContent = rows > 0 ? rows * tileH + (rows - 1) * gap : 0;
    const int shownRows = std::min(rows, visibleRows);
    const double gridH = shownRows > 0 ? shownRows * tileH + (shownRows - 1) * gap : 0;
    l.grid = QRectF(pad, y, width - 2 * pad, gridH);
    y += gridH + (gridH > 0 ? 12 : 0);

    if (m_hooks.extra) {
        l.extra = QRectF(6, y, width - 12, rowH);
        y += rowH + 6;
        l.extraDivider = y;
        y += 7;
    }
    l.open = QRectF(6, y, width - 12, rowH);
    y += rowH;
    l.feedback = QRectF(6, y, width - 12, rowH);
    y += rowH;
    l.quit = QRectF(6, y, width - 12, rowH);
    y += rowH + 8;
    l.height = y;
    return l;
}

QSizeF EnsembleMenu::size() const
{
    return QSizeF(width, layout().height);
}

QKeyCombination EnsembleMenu::openKeys()
{
    return QKeyCombination(Qt::ControlModifier, Qt::Key_Comma);
}

QKeyCombination EnsembleMenu::quitKeys()
{
    return QKeyCombination(Qt::ControlModifier, Qt::Key_Q);
}

QString EnsembleMenu::rowShortcut(QKeyCombination keys) const
{
    // The desktop's own way of writing the keys (Ctrl+, here, ⌘, on a Mac).
    return QKeySequence(keys).toString(QKeySequence::NativeText);
}

EnsembleMenu::Hit EnsembleMenu::hitAt(const QPointF& at) const
{
    const Layout l = layout();
    for (int i = 0; i < l.displays.size(); ++i)
        if (l.displays[i].contains(at))
            return {Target::display, i};
    if (l.grid.contains(at)) {
        const int slotCount = int(m_model.ensembles().size()) + (l.sameAsMain ? 1 : 0);
        for (int slot = 0; slot < slotCount; ++slot) {
            if (!l.tile(slot, m_offset).contains(at))
                continue;
            if (l.sameAsMain && slot == 0)
                return {Target::sameAsMain, -1};
            return {Target::tile, slot - (l.sameAsMain ? 1 : 0)};
        }
        return {};
    }
    if (m_hooks.extra && l.extra.contains(at))
        return {Target::extra, -1};
    if (l.open.contains(at))
        return {Target::open, -1};
    if (l.feedback.contains(at))
        return {Target::feedback, -1};
    if (l.quit.contains(at))
        return {Target::quit, -1};
    return {};
}

QRectF EnsembleMenu::rectOf(Hit hit) const
{
    const Layout l = layout();
    switch (hit.target) {
    case Target::none: return {};
    case Target::display: return hit.index >= 0 && hit.index < l.displays.size() ? l.displays[hit.index] : QRectF();
    case Target::sameAsMain: return l.sameAsMain ? l.tile(0, m_offset).intersected(l.grid) : QRectF();
    case Target::tile:
        if (hit.index < 0 || hit.index >= m_model.ensembles().size())
            return {};
        return l.tile(hit.index + (l.sameAsMain ? 1 : 0), m_offset).intersected(l.grid);
    case Target::extra: return m_hooks.extra ? l.extra : QRectF();
    case Target::open: return l.open;
    case Target::feedback: return l.feedback;
    case Target::quit: return l.quit;
    }
    return {};
}

int EnsembleMenu::tileIndex(const QUuid& id) const
{
    const QList<EnsembleEntry>& all = m_model.ensembles();
    for (int i = 0; i < all.size(); ++i)
        if (all[i].id == id)
            return i;
    return -1;
}

QString EnsembleMenu::headerName() const
{
    const std::optional<EnsembleEntry> shown = m_model.shown();
    return shown ? shown->name : QStringLiteral("No ensemble chosen");
}

QString EnsembleMenu::headerStatus() const
{
    return MenuStatus::forDisplay(m_status, m_model.onMain(), m_model.followsMain());
}

bool EnsembleMenu::attention() const
{
    return m_attention;
}

bool EnsembleMenu::showsDisplaySwitch() const
{
    return m_model.screens().size() > 1;
}

bool EnsembleMenu::showsSameAsMain() const
{
    return layout().sameAsMain;
}

std::optional<QString> EnsembleMenu::extraTitle() const
{
    if (!m_hooks.extra)
        return std::nullopt;
    return m_hooks.extra->title();
}

void EnsembleMenu::hover(const QPointF& at)
{
    const Hit hit = hitAt(at);
    if (hit == m_hover)
        return;
    m_hover = hit;
    emit changed();
}

void EnsembleMenu::click(const QPointF& at)
{
    const Hit hit = hitAt(at);
    switch (hit.target) {
    case Target::none:
        return;
    case Target::display:
        chooseDisplay(hit.index);
        return;
    case Target::sameAsMain:
        chooseTile(std::nullopt);
        return;
    case Target::tile:
        chooseTile(m_model.ensembles().at(hit.index).id);
        return;
    case Target::extra:
        if (m_hooks.extra->enabled()) {
            m_hooks.extra->action();
            refresh();
        }
        return;
    case Target::open:
        if (m_hooks.actions.openZentrove)
            m_hooks.actions.openZentrove();
        return;
    case Target::feedback:
        if (m_hooks.actions.sendFeedback)
            m_hooks.actions.sendFeedback();
        return;
    case Target::quit:
        if (m_hooks.actions.quit)
            m_hooks.actions.quit();
        return;
    }
}

bool EnsembleMenu::shortcut(QKeyCombination keys)
{
    if (keys == openKeys() && m_hooks.actions.openZentrove) {
        m_hooks.actions.openZentrove();
        return true;
    }
    if (keys == quitKeys() && m_hooks.actions.quit) {
        m_hooks.actions.quit();
        return true;
    }
    return false;
}

void EnsembleMenu::scroll(double dy)
{
    const Layout l = layout();
    const double offset = std::clamp(m_offset - dy, 0.0, std::max(0.0, l.gridContent - l.grid.height()));
    if (offset == m_offset)
        return;
    m_offset = offset;
    emit changed();
}

void EnsembleMenu::chooseDisplay(int index)
{
    const QList<ScreenInfo> screens = m_model.screens();
    if (index < 0 || index >= screens.size())
        return;
    m_model.setDisplayID(screens[index].displayID);
    if (const std::optional<QUuid> inUse = m_model.inUseID())
        scrollTo(tileIndex(*inUse));
    refresh();
}

void EnsembleMenu::chooseTile(const std::optional<QUuid>& id)
{
    if (!m_model.onMain()) {
        m_model.setOwn(id);
    } else if (id) {
        if (m_hooks.choose)
            m_hooks.choose(*id);
        else
            EnsembleTheme::choose(*id);
    }
    m_model.reload();
    refresh();
}

void EnsembleMenu::scrollTo(int tile)
{
    if (tile < 0)
        return;
    const Layout l = layout();
    const int slot = tile + (l.sameAsMain ? 1 : 0);
    const double top = (slot / int(columns)) * (tileH + gap);
    if (top < m_offset)
        m_offset = top;
    else if (top + tileH > m_offset + l.grid.height())
        m_offset = top + tileH - l.grid.height();
}

QImage EnsembleMenu::thumbnail(const QUuid& wallpaper, const QSizeF& size, double dpr)
{
    return m_thumbs->image(EnsembleTheme::thumbnailPath(wallpaper), (size * dpr).toSize());
}

void EnsembleMenu::paintChrome(QPainter& painter, const QRectF& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Brand::line(), 1));
    painter.setBrush(Brand::base());
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), Brand::radius + 2, Brand::radius + 2);
    painter.restore();
}

void EnsembleMenu::paint(QPainter& painter)
{
    const Layout l = layout();
    const QColor accent = BrandAccent::shared().color();
    const double dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    const auto drawPicture = [&](const QRectF& rect, const std::optional<QUuid>& wallpaper, double radius) {
        QPainterPath clip;
        clip.addRoundedRect(rect, radius, radius);
        painter.save();
        painter.setClipPath(clip, Qt::IntersectClip);
        painter.fillRect(rect, Brand::raised());
        if (wallpaper) {
            const QImage image = thumbnail(*wallpaper, rect.size(), dpr);
            if (!image.isNull()) {
                // Cover the rectangle, cut evenly at the sides.
                const QSizeF source = QSizeF(image.size()).scaled(rect.size() * dpr, Qt::KeepAspectRatio);
                const QRectF from((image.width() - source.width()) / 2, (image.height() - source.height()) / 2, source.width(), source.height());
                painter.drawImage(rect, image, from);
            }
        }
        painter.restore();
    };

    // Header.
    const std::optional<EnsembleEntry> shown = m_model.shown();
    drawPicture(l.headerThumb, shown ? std::optional<QUuid>(shown->wallpaper) : std::nullopt, 6);
    painter.setPen(Brand::text());
    painter.setFont(BrandFont::display(16, QFont::DemiBold));
    painter.drawText(l.headerName, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(painter.font()).elidedText(headerName(), Qt::ElideRight, l.headerName.width()));
    painter.setPen(m_attention ? accent : Brand::muted());
    painter.setFont(BrandFont::mono(8.5));
    painter.drawText(l.headerStatus, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(painter.font()).elidedText(headerStatus().toUpper(), Qt::ElideRight, l.headerStatus.width()));

    // Display switch.
    const QList<ScreenInfo> screens = m_model.screens();
    const std::optional<ScreenInfo> chosen = m_model.chosen();
    painter.setFont(BrandFont::label(11));
    for (int i = 0; i < l.displays.size() && i < screens.size(); ++i) {
        const bool on = chosen && chosen->displayID == screens[i].displayID;
        const bool hovered = m_hover == Hit {Target::display, i};
        painter.setPen(Qt::NoPen);
        painter.setBrush(on ? QColor(accent.red(), accent.green(), accent.blue(), 60) : hovered ? Brand::line() : Brand::raised());
        painter.drawRoundedRect(l.displays[i], 6, 6);
        painter.setPen(on ? Brand::text() : Brand::muted());
        painter.drawText(l.displays[i].adjusted(6, 0, -6, 0), Qt::AlignCenter,
                         QFontMetricsF(painter.font()).elidedText(EnsembleMenuModel::name(screens[i]), Qt::ElideRight, l.displays[i].width() - 12));
    }

    // Grid.
    painter.save();
    painter.setClipRect(l.grid.adjusted(-2, -2, 2, 2));
    const std::optional<QUuid> inUse = m_model.inUseID();
    const QList<EnsembleEntry>& all = m_model.ensembles();
    const int first = l.sameAsMain ? 1 : 0;
    const auto drawTile = [&](const QRectF& tile, const QString& name, const std::optional<QUuid>& wallpaper, bool marked, bool hovered) {
        if (!tile.intersects(l.grid))
            return;
        const QRectF picture(tile.left(), tile.top(), tile.width(), tileThumbH);
        drawPicture(picture, wallpaper, 6);
        if (!wallpaper) {
            painter.setPen(Brand::muted());
            painter.setFont(BrandFont::ui(18));
            painter.drawText(picture, Qt::AlignCenter, QStringLiteral("="));
        }
        if (marked || hovered) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(marked ? accent : Brand::muted(), marked ? 2 : 1));
            painter.drawRoundedRect(picture.adjusted(-1, -1, 1, 1), 7, 7);
        }
        painter.setFont(BrandFont::ui(10.5));
        painter.setPen(marked ? accent : Brand::text());
        const QRectF label(tile.left(), picture.bottom() + 3, tile.width(), tileH - tileThumbH - 3);
        painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop, QFontMetricsF(painter.font()).elidedText(name, Qt::ElideRight, tile.width()));
    };
    if (l.sameAsMain)
        drawTile(l.tile(0, m_offset), QStringLiteral("Same as main"), std::nullopt, m_model.followsMain(), m_hover.target == Target::sameAsMain);
    for (int i = 0; i < all.size(); ++i)
        drawTile(l.tile(i + first, m_offset), all[i].name, all[i].wallpaper, inUse == all[i].id && !m_model.followsMain(),
                 m_hover == Hit {Target::tile, i});
    painter.restore();

    // Rows.
    const auto drawRow = [&](const QRectF& rect, const QString& title, const QString& keys, bool enabled, bool hovered) {
        if (hovered && enabled) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(Brand::line());
            painter.drawRoundedRect(rect, 6, 6);
        }
        painter.setFont(BrandFont::ui(12.5));
        painter.setPen(enabled ? Brand::text() : Brand::muted());
        painter.drawText(rect.adjusted(10, 0, -10, 0), Qt::AlignLeft | Qt::AlignVCenter, title);
        if (!keys.isEmpty()) {
            painter.setFont(BrandFont::mono(10.5));
            painter.setPen(Brand::muted());
            painter.drawText(rect.adjusted(10, 0, -10, 0), Qt::AlignRight | Qt::AlignVCenter, keys);
        }
    };
    if (m_hooks.extra) {
        drawRow(l.extra, m_hooks.extra->title(), {}, m_hooks.extra->enabled(), m_hover.target == Target::extra);
        painter.setPen(QPen(Brand::line(), 1));
        painter.drawLine(QPointF(pad, l.extraDivider), QPointF(width - pad, l.extraDivider));
    }
    drawRow(l.open, QStringLiteral("Open Zentrove…"), rowShortcut(openKeys()), true, m_hover.target == Target::open);
    drawRow(l.feedback, QStringLiteral("Send Feedback…"), {}, true, m_hover.target == Target::feedback);
    drawRow(l.quit, QStringLiteral("Quit Zentrove"), rowShortcut(quitKeys()), true, m_hover.target == Target::quit);
    painter.restore();
}
