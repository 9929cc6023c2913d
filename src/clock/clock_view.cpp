#include "clock/clock_view.h"

#include "brand/brand_accent.h"
#include "clock/clock_hours.h"
#include "clock/clock_lines.h"
#include "clock/glyph_shape.h"
#include "clock/glyph_sprites.h"
#include "clock/quarter_pixel.h"
#include "clock/shadow_blur.h"
#include "clock/shadow_canvas.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLinearGradient>
#include <QPaintDevice>

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>

namespace {

// Nothing larger is drawn: a damaged style must not exhaust memory.
constexpr int maxCanvasSide = 16384;
constexpr double maxFontPixels = 4000;
// Blur in device pixels; the style editor offers up to a fifth of it at scale 1. Only a damaged
// style asks for more, and every kept glyph shadow grows with the blur.
constexpr double maxShadowSigma = 100;

// How the block's layer is painted; the kept images were drawn with the same hints.
constexpr QPainter::RenderHints layerHints = QPainter::Antialiasing | QPainter::TextAntialiasing;

using Draw = std::function<void(QPainter&, QPointF)>;
using DrawShadow = std::function<void(ShadowCanvas&, QPointF)>;

struct Piece
{
    QSizeF size;
    Draw draw;
    // Adds the piece's shadow from kept parts; empty when the piece has none kept and its drawing
    // must be blurred.
    DrawShadow shadow = {};
};

QColor toColor(const RGBA& c)
{
    return QColor::fromRgbF(float(std::clamp(c.r, 0.0, 1.0)), float(std::clamp(c.g, 0.0, 1.0)),
                            float(std::clamp(c.b, 0.0, 1.0)), float(std::clamp(c.a, 0.0, 1.0)));
}

// A number as a cache key: its exact bits, cheap to write.
QString bits(double value)
{
    return QString::number(std::bit_cast<quint64>(value), 16);
}

double clampedPixels(double pixels)
{
    return std::isfinite(pixels) ? std::clamp(pixels, 0.01, maxFontPixels) : 0.01;
}

// The time's drawing face at one scale, looked up once. Its id changes with the scale, so glyph
// images kept at another size or blur are not taken for this one.
struct TimeFace
{
    double scale = -1;
    std::optional<FontFace> face;
    int id = 0;
    // Texts shaped in this face (nullopt: the face lacks a character). Stacked hours and minutes
    // come back every day and every hour.
    QHash<QString, std::optional<FontFace::ShapedLine>> lines;
};

// Builds the rows of one block at device pixels (`s` = scale x device pixel ratio).
class BlockBuilder
{
public:
    BlockBuilder(const ClockStyle& style, double scale, double dpr, quint32 accent, GlyphSprites& sprites, TimeFace& timeFace,
                 double sigma)
        : m_style(style), m_scale(scale), m_dpr(dpr), m_s(scale * dpr), m_accent(accent), m_sprites(sprites), m_timeFace(timeFace),
          m_blur{sigma, m_style.shadowOpacity}
    {
    }

    Piece smallRow(const SmallLine& line) const
    {
        const QString text = line.look.uppercase ? line.text.toUpper() : line.text;
        const QColor color = toColor(line.look.color);
        const double tracking = line.look.tracking * m_s;
        if (line.look.font.hasCustomWidth()) {
            const auto face = line.look.font.drawingFont(clampedPixels(line.look.font.size * m_s));
            if (face && face->axis("wdth")) {
                const GlyphShape shape{text, *face, 0, tracking};
                const QPainterPath path = shape.path();
                return Piece{shape.size(), [path, color](QPainter& p, QPointF at) {
                                 p.fillPath(path.translated(at), color);
                             }};
            }
        }
        QFont font = qtFont(line.look.font);
        font.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
        const QFontMetricsF metrics(font);
        const QSizeF size(std::max(0.0, metrics.horizontalAdvance(text)), metrics.height());
        const double ascent = metrics.ascent();
        return Piece{size, [font, text, color, ascent](QPainter& p, QPointF at) {
                         p.setFont(font);
                         p.setPen(color);
                         p.drawText(at + QPointF(0, ascent), text);
                     }};
    }

    Piece timeRow(const QStringList& parts) const
    {
        QList<Piece> runs;
        if (m_style.arrangement == TimeArrangement::oneLine)
            runs << digits(parts.join(text(m_style.separator)));
        else
            for (const QString& part : parts)
                runs << digits(part);
        const double spacing = m_style.arrangement == TimeArrangement::stacked ? m_style.timeFont.size * -0.3 * m_s : 0;
        double width = 0, height = 0;
        for (qsizetype i = 0; i < runs.size(); ++i) {
            width = std::max(width, runs[i].size.width());
            height += runs[i].size.height() + (i > 0 ? spacing : 0);
        }
        const TextAlign align = m_style.textAlign();
        const double opacity = std::clamp(m_style.timeOpacity, 0.0, 1.0);
        // The runs drawn (or their shadows added) one under the other, at the time's opacity.
        const auto forEachRun = [runs, width, spacing, align](QPointF at, const auto& use) {
            double y = 0;
            for (const Piece& run : runs) {
                const double w = run.size.width();
                const double x = align == TextAlign::leading ? 0 : align == TextAlign::center ? (width - w) / 2 : width - w;
                use(run, at + QPointF(x, y));
                y += run.size.height() + spacing;
            }
        };
        const Draw draw = [forEachRun, opacity](QPainter& p, QPointF at) {
            p.save();
            p.setOpacity(p.opacity() * opacity);
            forEachRun(at, [&](const Piece& run, QPointF runAt) { run.draw(p, runAt); });
            p.restore();
        };
        const DrawShadow shadow = [forEachRun, opacity](ShadowCanvas& canvas, QPointF at) {
            const double outer = canvas.opacity();
            canvas.setOpacity(outer * opacity);
            forEachRun(at, [&](const Piece& run, QPointF runAt) { run.shadow(canvas, runAt); });
            canvas.setOpacity(outer);
        };
        const bool keptShadows = std::all_of(runs.cbegin(), runs.cend(), [](const Piece& run) { return bool(run.shadow); });
        return Piece{QSizeF(width, std::max(0.0, height)), draw, keptShadows ? shadow : DrawShadow()};
    }

private:
    QFont qtFont(const FontSpec& fontSpec) const
    {
        QFont font = fontSpec.font(1);
        // The layer is an image; Qt sizes fonts in points of its resolution.
        static const int dpi = QImage(1, 1, QImage::Format_ARGB32_Premultiplied).logicalDpiY();
        font.setPointSizeF(clampedPixels(fontSpec.size * m_s) * 72.0 / dpi);
        return font;
    }

    QBrush fill(const QRectF& frame) const
    {
        if (m_style.digitsFollowWallpaper)
            return QColor::fromRgb(QRgb(0xFF000000u | (m_accent & 0xFFFFFFu)));
        if (m_style.useGradient) {
            QLinearGradient gradient(frame.topLeft(), frame.bottomLeft());
            gradient.setColorAt(0, toColor(m_style.timeColor));
            gradient.setColorAt(1, toColor(m_style.timeColorBottom));
            return gradient;
        }
        return toColor(m_style.timeColor);
    }

    Piece digits(const QString& text) const
    {
        const std::optional<FontFace>& face = timeFace();
        if (!face || m_style.finish == DigitFinish::filled)
            return filled(text, face);
        const double base = m_style.finish == DigitFinish::outline ? m_style.outlineWidth : 1.5;
        const double w = std::max(std::isfinite(base) ? base * m_scale : 0.0, 0.5) * m_dpr;
        const GlyphShape shape{text, *face, w, 0};
        const QSizeF natural = shape.size();
        // Whole points, with the glyphs centred in the frame.
        const QSizeF frame(std::ceil(natural.width() / m_dpr) * m_dpr, std::ceil(natural.height() / m_dpr) * m_dpr);
        const QPointF centre((frame.width() - natural.width()) / 2, (frame.height() - natural.height()) / 2);
        // Variable fonts draw letters from overlapping contours; a stroke must follow only the
        // outer edges, so the overlaps are merged first.
        const QPainterPath path = shape.path().simplified().translated(centre);
        if (m_style.finish == DigitFinish::outline) {
            return Piece{frame, [this, path, frame, w](QPainter& p, QPointF at) {
                             QPen pen(fill(QRectF(at, frame)), w, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
                             pen.setMiterLimit(10);
                             p.strokePath(path.translated(at), pen);
                         }};
        }
        return Piece{frame, [this, path, frame, w](QPainter& p, QPointF at) { glass(p, at, path, frame, w); }};
    }

    Piece filled(const QString& text, const std::optional<FontFace>& face) const
    {
        if (face) {
            auto shaped = m_timeFace.lines.constFind(text);
            if (shaped == m_timeFace.lines.cend()) {
                if (m_timeFace.lines.size() >= 256)
                    m_timeFace.lines.clear();
                shaped = m_timeFace.lines.insert(text, face->covers(text) ? std::optional(face->shapeLine(text)) : std::nullopt);
            }
            if (*shaped) {
                // Kept glyph images; the fill is the same for every line of this height.
                const QSizeF size((*shaped)->advance, face->ascent() + face->descent());
                // Stacked hours and minutes come back every hour: those lines are kept whole.
                const bool keep = m_style.arrangement == TimeArrangement::stacked;
                const GlyphSprites::Line line{*face, (*shaped)->glyphs, fill(QRectF(QPointF(0, 0), size)), m_timeFace.id,
                                              keep ? text : QString()};
                return Piece{size, [this, line](QPainter& p, QPointF at) { m_sprites.draw(p, at, line); },
                             [this, line](ShadowCanvas& canvas, QPointF at) { m_sprites.drawShadows(canvas, at, line, m_blur); }};
            }
            const GlyphShape shape{text, *face, 0, 0};
            const QSizeF size = shape.size();
            const QPainterPath path = shape.path();
            return Piece{size, [this, path, size](QPainter& p, QPointF at) {
                             p.fillPath(path.translated(at), fill(QRectF(at, size)));
                         }};
        }
        // No face could be loaded: Qt's own font matching for the family.
        const QFont font = qtFont(m_style.timeFont);
        const QFontMetricsF metrics(font);
        const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
        const double ascent = metrics.ascent();
        return Piece{size, [this, font, text, size, ascent](QPainter& p, QPointF at) {
                         p.setFont(font);
                         p.setPen(QPen(fill(QRectF(at, size)), 1));
                         p.drawText(at + QPointF(0, ascent), text);
                     }};
    }

    // A faint body fading from 42 % at the top to 14 % at the bottom, under a 75 % stroke.
    void glass(QPainter& p, QPointF at, const QPainterPath& path, const QSizeF& frame, double w) const
    {
        const QSize pixels(int(std::ceil(frame.width())), int(std::ceil(frame.height())));
        if (!pixels.isEmpty()) {
            QImage body(pixels, QImage::Format_ARGB32_Premultiplied);
            body.fill(Qt::transparent);
            QPainter bp(&body);
            bp.setRenderHint(QPainter::Antialiasing);
            bp.fillPath(path, fill(QRectF(QPointF(0, 0), frame)));
            QLinearGradient mask(0, 0, 0, frame.height());
            mask.setColorAt(0, QColor::fromRgbF(0, 0, 0, 0.42f));
            mask.setColorAt(1, QColor::fromRgbF(0, 0, 0, 0.14f));
            bp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            bp.fillRect(QRectF(QPointF(0, 0), frame), mask);
            bp.end();
            p.drawImage(at, body);
        }
        QPen pen(fill(QRectF(at, frame)), w, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setMiterLimit(10);
        p.save();
        p.setOpacity(p.opacity() * 0.75);
        p.strokePath(path.translated(at), pen);
        p.restore();
    }

    const ClockStyle& m_style;
    double m_scale;
    double m_dpr;
    double m_s;
    quint32 m_accent;
    const std::optional<FontFace>& timeFace() const
    {
        if (m_timeFace.scale != m_s)
            m_timeFace = TimeFace{m_s, m_style.timeFont.drawingFont(clampedPixels(m_style.timeFont.size * m_s)), m_timeFace.id + 1};
        return m_timeFace.face;
    }

    GlyphSprites& m_sprites;
    TimeFace& m_timeFace;
    GlyphSprites::Blur m_blur;
};

} // namespace

struct ClockView::Kept
{
    QDate day;          // of `lines`
    SmallLines lines;
    // The time's texts by wall-clock time and hour cycle: formatting them asks the time zone and
    // ICU, which costs as much as drawing the frame.
    QHash<qint64, QStringList> times;
    QHash<QString, Piece> rows; // small rows by device pixel ratio, kind and text
    QHash<QString, Shadow> images; // their drawings and shadows, by the same key, kind and sub-pixel place
    GlyphSprites sprites;
    TimeFace timeFace;

    QStringList timeParts(const ClockStyle& style, const QDateTime& date, const QDateTime& local, bool twentyFour)
    {
        const QTime time = local.time();
        if (!time.isValid())
            return style.timeParts(date);
        const int precision = style.showSeconds ? 1 : 60;
        const qint64 key = qint64(time.msecsSinceStartOfDay() / 1000 / precision) * 4 + (style.showSeconds ? 2 : 0) + (twentyFour ? 1 : 0);
        auto found = times.constFind(key);
        if (found == times.cend()) {
            if (times.size() >= 2048)
                times.clear();
            found = times.insert(key, style.timeParts(date));
        }
        return *found;
    }
};

ClockView::ClockView(ClockStyle style, double scale, quint32 accent)
    : m_style(std::move(style)), m_scale(scale), m_accent(accent), m_kept(std::make_unique<Kept>())
{
}

ClockView::ClockView(const ClockView& other)
    : m_style(other.m_style), m_scale(other.m_scale), m_accent(other.m_accent), m_kept(std::make_unique<Kept>())
{
}

ClockView& ClockView::operator=(const ClockView& other)
{
    if (this != &other) {
        m_style = other.m_style;
        m_scale = other.m_scale;
        m_accent = other.m_accent;
        m_cache = Rendered{};
        m_kept = std::make_unique<Kept>();
    }
    return *this;
}

ClockView::~ClockView() = default;

ClockView::ClockView(ClockStyle style, double scale)
    : ClockView(std::move(style), scale, BrandAccent::shared().hex())
{
}

std::optional<QDateTime>& ClockView::frozen()
{
    static std::optional<QDateTime> instant;
    return instant;
}

QDateTime ClockView::currentDate()
{
    return frozen().value_or(QDateTime::currentDateTime());
}

double ClockView::scaleFor(double areaWidth, std::optional<double> screenWidth)
{
    const double screen = screenWidth && *screenWidth > 0 ? *screenWidth : defaultScreenWidth;
    return areaWidth / screen;
}

const ClockView::Rendered& ClockView::rendered(const QDateTime& date, double dpr) const
{
    Kept& kept = *m_kept;
    const QDateTime local = date.toLocalTime();
    const bool twentyFour = ClockHours::shared().uses24Hour();
    const QStringList parts = kept.timeParts(m_style, date, local, twentyFour);
    // The weekday and date rows change with the (local) day only.
    const QDate day = local.date();
    if (kept.day != day || !day.isValid()) {
        kept.lines = smallLines(m_style, date);
        kept.day = day;
    }
    const SmallLines& lines = kept.lines;
    // The rows follow from the day, the time's texts and the pixel density.
    const Rendered::Key key{dpr, day, parts};
    if (!m_cache.image.isNull() && m_cache.key == key)
        return m_cache;

    const double s = m_scale * dpr;
    const bool shadow = m_style.shadowOpacity > 0;
    const double sigma = shadow && std::isfinite(m_style.shadowRadius)
        ? std::min(std::max(0.0, m_style.shadowRadius) * s / 2, maxShadowSigma)
        : 0;
    const BlockBuilder builder(m_style, m_scale, dpr, m_accent, kept.sprites, kept.timeFace, sigma);
    // A row drawn (or its shadow) as an image at a sub-pixel place, kept under `keep` with that
    // place unless `keep` is empty. Small rows change once a day; drawing their text again each
    // minute would cost more than the rest of the frame. Gives the image and its top-left pixel.
    const auto keptImage = [&](const Piece& row, QPointF at, const QString& keep, bool asShadow) -> std::pair<QPoint, QImage> {
        QPoint whole(int(std::floor(at.x())), int(std::floor(at.y())));
        QPointF phase = at - QPointF(whole);
        QString key;
        if (!keep.isEmpty()) {
            const QuarterPixel place = QuarterPixel::of(at);
            whole = place.whole;
            phase = place.phase();
            key = keep + (asShadow ? QStringLiteral("|shadow|") + bits(sigma) : QStringLiteral("|drawn")) + QLatin1Char('@')
                + QString::number(place.quarters.x()) + QLatin1Char(',') + QString::number(place.quarters.y());
        }
        auto found = key.isEmpty() ? kept.images.cend() : kept.images.constFind(key);
        if (found == kept.images.cend()) {
            // Room for glyphs reaching beyond the row's line box.
            const int margin = int(std::ceil(std::min(row.size.height() / 4, double(maxCanvasSide)))) + 2;
            const QSize size(int(std::ceil(row.size.width())) + 2 * margin, int(std::ceil(row.size.height())) + 2 * margin);
            if (size.width() > maxCanvasSide || size.height() > maxCanvasSide)
                return {};
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter ip(&image);
            ip.setRenderHints(layerHints);
            row.draw(ip, QPointF(margin, margin) + phase);
            ip.end();
            Shadow made = asShadow ? Shadow::of(image, sigma, m_style.shadowOpacity) : Shadow{image, QPoint()};
            made.offset -= QPoint(margin, margin);
            if (key.isEmpty())
                return {whole + made.offset, made.image};
            if (kept.images.size() > 64)
                kept.images.clear();
            found = kept.images.insert(key, made);
        }
        return {whole + found->offset, found->image};
    };
    QList<Piece> rows;
    QList<QString> rowKeys; // empty for the time row
    QList<TextAlign> sides;
    QList<bool> own;
    const auto addSmallRow = [&](const SmallLine& line) {
        const QString rowKey = bits(dpr) + (line.own ? QStringLiteral("|own|") : QStringLiteral("|label|")) + line.text;
        auto found = kept.rows.constFind(rowKey);
        if (found == kept.rows.cend()) {
            if (kept.rows.size() > 64)
                kept.rows.clear();
            found = kept.rows.insert(rowKey, builder.smallRow(line));
        }
        rows << *found;
        rowKeys << rowKey;
        sides << line.align.value_or(m_style.textAlign());
        own << line.own;
    };
    for (const SmallLine& line : lines.above)
        addSmallRow(line);
    rows << builder.timeRow(parts);
    rowKeys << QString();
    sides << m_style.textAlign();
    own << false;
    for (const SmallLine& line : lines.below)
        addSmallRow(line);
    QList<QSizeF> sizes;
    for (const Piece& row : rows)
        sizes << row.size;
    const ClockLines layout = ClockLines::of(m_style, s, own);
    const ClockLines::Placement placement = layout.place(sizes, sides);

    const QPoint shadowOffset(0, qRound(std::min(2 * s, double(maxCanvasSide))));
    double padding = std::ceil(2 * dpr);
    if (shadow) {
        // Room for the shadow to fade out: 3 sigma below the moved ink (the style's padding is
        // wider; the rest of it stays empty).
        const double room = std::isfinite(m_style.canvasPadding()) ? m_style.canvasPadding() * s : double(maxCanvasSide);
        padding = std::max(padding, std::ceil(std::min({room, 3 * sigma + shadowOffset.y() + 2, double(maxCanvasSide)})));
    }
    const double width = std::ceil(placement.size.width()) + 2 * padding;
    const double height = std::ceil(placement.size.height()) + 2 * padding;

    // The previous frame's image is drawn over when it has the same size.
    QImage layer;
    if (!m_cache.image.isNull() && m_cache.image.size() == QSize(int(width), int(height)))
        layer = std::move(m_cache.image);
    m_cache = Rendered{key, QImage(), QPointF(-padding / dpr, -padding / dpr), placement.size / dpr};
    if (!(width > 0 && height > 0 && width <= maxCanvasSide && height <= maxCanvasSide))
        return m_cache;

    if (layer.isNull())
        layer = QImage(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(1);
    layer.fill(Qt::transparent);
    if (shadow) {
        // The rows' shadows add up (rows do not overlap) and lie under the rows.
        ShadowCanvas canvas(layer, shadowOffset);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QPointF at = placement.origins[i] + QPointF(padding, padding);
            if (rows[i].shadow) {
                rows[i].shadow(canvas, at);
            } else {
                const auto [pixel, image] = keptImage(rows[i], at, rowKeys[i], true);
                canvas.add(pixel, image);
            }
        }
    }
    QPainter p(&layer);
    p.setRenderHints(layerHints);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QPointF at = placement.origins[i] + QPointF(padding, padding);
        if (rowKeys[i].isEmpty()) {
            rows[i].draw(p, at);
        } else {
            const auto [pixel, image] = keptImage(rows[i], at, rowKeys[i], false);
            if (!image.isNull())
                p.drawImage(pixel, image);
        }
    }
    p.end();
    layer.setDevicePixelRatio(dpr);
    m_cache.image = layer;
    return m_cache;
}

QSizeF ClockView::blockSize(const QDateTime& date) const
{
    return rendered(date, 1).block;
}

void ClockView::drawBlock(QPainter& painter, QPointF origin, const QDateTime& date) const
{
    const double dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const Rendered& r = rendered(date, dpr);
    if (!r.image.isNull())
        painter.drawImage(origin + r.offset, r.image);
}

QRectF ClockView::blockRect(const QRectF& screen, const QSizeF& block) const
{
    const double w = block.width(), h = block.height();
    if (m_style.position == ScreenPosition::center)
        return QRectF(screen.center() - QPointF(w / 2, h / 2), block);
    const double hm = m_style.horizontalMargin * m_scale, vm = m_style.verticalMargin * m_scale;
    const QRectF area = screen.adjusted(hm, vm, -hm, -vm);
    double x = area.left(), y = area.top();
    switch (m_style.position) {
    case ScreenPosition::topLeft: case ScreenPosition::bottomLeft: x = area.left(); break;
    case ScreenPosition::topCenter: case ScreenPosition::bottomCenter: x = area.center().x() - w / 2; break;
    case ScreenPosition::topRight: case ScreenPosition::bottomRight: x = area.right() - w; break;
    case ScreenPosition::center: break;
    }
    switch (m_style.position) {
    case ScreenPosition::topLeft: case ScreenPosition::topCenter: case ScreenPosition::topRight: y = area.top(); break;
    case ScreenPosition::bottomLeft: case ScreenPosition::bottomCenter: case ScreenPosition::bottomRight: y = area.bottom() - h; break;
    case ScreenPosition::center: break;
    }
    return QRectF(QPointF(x, y), block);
}

void ClockView::drawOnScreen(QPainter& painter, const QRectF& screen, const QDateTime& date) const
{
    const double dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const Rendered& r = rendered(date, dpr);
    if (r.image.isNull())
        return;
    painter.drawImage(blockRect(screen, r.block).topLeft() + r.offset, r.image);
}

ClockView::Placed ClockView::placed(const QRectF& screen, const QDateTime& date, double devicePixelRatio) const
{
    const Rendered& r = rendered(date, devicePixelRatio);
    if (r.image.isNull())
        return {};
    return {r.image, blockRect(screen, r.block).topLeft() + r.offset};
}

QImage ClockView::render(QSize size, const QDateTime& date, const QColor& background) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(background);
    QPainter painter(&image);
    drawOnScreen(painter, QRectF(QPointF(0, 0), QSizeF(size)), date);
    return image;
}
