#include "app/ui/ensemble_card.h"

#include "brand/brand.h"
#include "brand/brand_accent.h"
#include "brand/brand_font.h"
#include "media/thumbnail_cache.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int thumbHeight = 110;
}

EnsembleCard::EnsembleCard(Kind kind, const QUuid& id, QWidget* parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_id(id)
{
    setFixedSize(cardWidth, kind == Kind::tile ? cardHeight - 24 : cardHeight);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
}

QImage EnsembleCard::picture(const QString& path, int width, int version)
{
    if (width <= 0)
        return {};
    return ThumbnailCache::shared().image(path, QSize((width + 127) / 128 * 128, 0), version);
}

void EnsembleCard::setContent(const Content& content)
{
    if (content == m_content)
        return;
    m_content = content;
    update();
}

void EnsembleCard::setThumbnail(const QImage& image)
{
    if (image.cacheKey() == m_thumbnail.cacheKey())
        return;
    m_thumbnail = image;
    update();
}

void EnsembleCard::setPicturePath(const QString& path, int version)
{
    if (path == m_picturePath && version == m_pictureVersion)
        return;
    m_picturePath = path;
    m_pictureVersion = version;
    update();
}

QImage EnsembleCard::thumbnail() const
{
    if (m_picturePath.isEmpty())
        return m_thumbnail;
    return picture(m_picturePath, int(width() * devicePixelRatioF()), m_pictureVersion);
}

void EnsembleCard::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    update();
}

QRect EnsembleCard::thumbnailRect() const
{
    return {0, 0, width(), thumbHeight};
}

QRect EnsembleCard::applyRect() const
{
    return {width() - 70, thumbHeight - 34, 62, 26};
}

void EnsembleCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF thumb = thumbnailRect().adjusted(1, 1, -1, -1);
    QPainterPath shape;
    shape.addRoundedRect(thumb, Brand::radius, Brand::radius);

    if (m_kind == Kind::add) {
        painter.setPen(QPen(Brand::line(), 1.5, Qt::DashLine));
        painter.setBrush(Brand::raised());
        painter.drawPath(shape);
        painter.setPen(Brand::muted());
        painter.setFont(BrandFont::display(26, QFont::Light));
        painter.drawText(thumb, Qt::AlignCenter, QStringLiteral("+"));
    } else {
        painter.save();
        painter.setClipPath(shape);
        const QImage shown = thumbnail();
        if (shown.isNull()) {
            painter.fillRect(thumb, Brand::sidebar());
            if (m_kind == Kind::tile) {
                painter.setPen(Brand::muted());
                painter.setFont(BrandFont::display(22, QFont::Light));
                painter.drawText(thumb, Qt::AlignCenter, QStringLiteral("—"));
            }
        } else {
            const QSizeF source = thumb.size().scaled(QSizeF(shown.size()), Qt::KeepAspectRatio);
            const QRectF from(QPointF((shown.width() - source.width()) / 2, (shown.height() - source.height()) / 2), source);
            painter.drawImage(thumb, shown, from);
        }
        if (!m_content.clockText.isEmpty()) {
            // The chip: the clock's time in its own colour, on a dark glass pill.
            QFont font = BrandFont::mono(9, QFont::Medium);
            const QFontMetricsF metrics(font);
            const QRectF chip(thumb.left() + 8, thumb.top() + 8, metrics.horizontalAdvance(m_content.clockText) + 14, 20);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0, 0, 0, 120));
            painter.drawRoundedRect(chip, 10, 10);
            painter.setPen(m_content.clockColour.isValid() ? m_content.clockColour : Brand::text());
            painter.setFont(font);
            painter.drawText(chip, Qt::AlignCenter, m_content.clockText);
        }
        if (m_kind == Kind::sameAsMain) {
            painter.fillRect(thumb, QColor(0, 0, 0, 70));
        }
        painter.restore();
        if (isApplyVisible()) {
            const QRectF button = applyRect();
            painter.setPen(Qt::NoPen);
            painter.setBrush(Brand::text());
            painter.drawRoundedRect(button, Brand::radius - 2, Brand::radius - 2);
            painter.setPen(Brand::base());
            painter.setFont(BrandFont::ui(9.5, QFont::DemiBold));
            painter.drawText(button, Qt::AlignCenter, QStringLiteral("Apply"));
        }
    }

    // Selection and focus ring around the picture.
    if (m_selected || hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(m_selected ? BrandAccent::shared().color() : Brand::line(), 2));
        painter.drawRoundedRect(thumb.adjusted(0, 0, 0, 0), Brand::radius, Brand::radius);
    } else if (m_kind != Kind::add) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Brand::line(), 1));
        painter.drawRoundedRect(thumb, Brand::radius, Brand::radius);
    }

    const QRectF nameRect(2, thumbHeight + 10, width() - 4, 20);
    painter.setFont(BrandFont::ui(10.5, QFont::Medium));
    painter.setPen(m_kind == Kind::add ? Brand::muted() : Brand::text());
    const QString name = QFontMetrics(painter.font()).elidedText(m_content.name, Qt::ElideRight, int(nameRect.width()));
    painter.drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter, name);
    if (!m_content.status.isEmpty()) {
        const QRectF statusRect(2, thumbHeight + 32, width() - 4, 18);
        painter.setFont(BrandFont::mono(8.5));
        painter.setPen(m_content.statusColour.isValid() ? m_content.statusColour : Brand::muted());
        const QString status = QFontMetrics(painter.font()).elidedText(m_content.status, Qt::ElideRight, int(statusRect.width()));
        painter.drawText(statusRect, Qt::AlignLeft | Qt::AlignVCenter, status);
    }
}

void EnsembleCard::enterEvent(QEnterEvent*)
{
    m_hovered = true;
    update();
}

void EnsembleCard::leaveEvent(QEvent*)
{
    m_hovered = false;
    update();
}

void EnsembleCard::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    // A click on "Apply" applies; the button is there only while the pointer is over the card.
    if (canApply() && applyRect().contains(event->position().toPoint())) {
        emit applyClicked(m_id);
        return;
    }
    emit clicked(m_id);
}

void EnsembleCard::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_kind != Kind::add && m_kind != Kind::tile)
        emit doubleClicked(m_id);
}

void EnsembleCard::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_kind == Kind::ensemble)
        emit menuRequested(m_id, event->globalPos());
}

void EnsembleCard::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        emit clicked(m_id);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_kind == Kind::add || m_kind == Kind::tile)
            emit clicked(m_id);
        else
            emit doubleClicked(m_id);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
