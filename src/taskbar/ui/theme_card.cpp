#include "taskbar/ui/theme_card.h"

#include "brand/brand.h"
#include "brand/brand_font.h"
#include "brand/ui/rounded_picture.h"
#include "clock/ui/clock_controls.h"
#include "taskbar/preview/preview_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>


MiniBar::MiniBar(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setMinimumWidth(120);
}

int MiniBar::heightForWidth(int width) const
{
    return std::max(minimumHeight(), int(qRound(width * m_aspect)));
}

QSize MiniBar::sizeHint() const
{
    return {220, heightForWidth(220)};
}

void MiniBar::setScale(double scale)
{
    m_scale = scale;
    m_stale = true;
    update();
}

void MiniBar::setAspect(double aspect)
{
    m_aspect = aspect;
    updateGeometry();
    update();
}

void MiniBar::setSettings(const TaskbarSettings& settings)
{
    if (settings == m_settings && !m_stale)
        return;
    m_settings = settings;
    m_stale = true;
    update();
}

void MiniBar::setBackdrop(const QImage& image)
{
    if (image.cacheKey() == m_backdrop.cacheKey())
        return;
    m_backdrop = image;
    m_stale = true;
    update();
}

void MiniBar::paintEvent(QPaintEvent*)
{
    const QSize area(width(), qMin(height(), heightForWidth(width())));
    if (area.isEmpty())
        return;
    const double dpr = devicePixelRatioF();
    if (m_stale || area != m_drawnSize || m_image.devicePixelRatio() != dpr) {
        QImage image(area * dpr, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        QPainter p(&image);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const QImage wallpaper = m_backdrop.isNull() ? PreviewBar::sampleWallpaper(QSize(440, 185)) : m_backdrop;
        // The wallpaper fills the card, cut to its shape from the middle.
        const QSizeF fill = QSizeF(wallpaper.size()).scaled(QSizeF(area), Qt::KeepAspectRatioByExpanding);
        p.drawImage(QRectF(QPointF((area.width() - fill.width()) / 2, (area.height() - fill.height()) / 2), fill), wallpaper);
        // The bar along the bottom edge at half size, as wide as the card less a margin.
        const double margin = 8;
        const double length = std::max(40.0, (area.width() - 2 * margin) / m_scale);
        const QImage bar = PreviewBar::miniBar(m_settings, length, m_scale * dpr);
        QSizeF barSize(bar.width() / dpr, bar.height() / dpr);
        if (barSize.height() > area.height() - 2 * margin)
            barSize.scale(QSizeF(area.width() - 2 * margin, area.height() - 2 * margin), Qt::KeepAspectRatio);
        const QRectF target((area.width() - barSize.width()) / 2, area.height() - margin - barSize.height(), barSize.width(), barSize.height());
        p.drawImage(target, bar);
        p.end();
        m_image = image;
        m_drawnSize = area;
        m_stale = false;
        ++m_draws;
    }
    paintRoundedPicture(*this, m_image, area);
}

ThemeCard::ThemeCard(QWidget* parent)
    : QFrame(parent)
    , m_bar(new MiniBar(this))
    , m_nameRow(new QWidget(this))
    , m_name(new ElidedLabel(m_nameRow))
    , m_menuButton(new QToolButton(m_nameRow))
    , m_renameRow(new QWidget(this))
    , m_field(new QLineEdit(m_renameRow))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), m_renameRow))
    , m_ensembles(new QLabel(this))
    , m_status(new QLabel(this))
{
    setProperty("role", QStringLiteral("presetCard"));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 10);
    layout->setSpacing(8);
    layout->addWidget(m_bar);

    m_name->setFont(BrandFont::ui(10.5, QFont::DemiBold));
    m_name->setTextFormat(Qt::PlainText);
    m_name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_menuButton->setText(QStringLiteral("…"));
    m_menuButton->setAccessibleName(QStringLiteral("More"));
    m_menuButton->setAutoRaise(true);
    m_menuButton->setCursor(Qt::PointingHandCursor);
    m_menuButton->setFixedSize(26, 22);
    auto* top = new QHBoxLayout(m_nameRow);
    top->setContentsMargins(4, 0, 0, 0);
    top->addWidget(m_name, 1);
    top->addWidget(m_menuButton);
    layout->addWidget(m_nameRow);

    m_field->setAccessibleName(QStringLiteral("Rename Bar Style"));
    m_field->setPlaceholderText(QStringLiteral("Rename Bar Style"));
    auto* rename = new QHBoxLayout(m_renameRow);
    rename->setContentsMargins(0, 0, 0, 0);
    rename->setSpacing(6);
    rename->addWidget(m_field, 1);
    rename->addWidget(m_cancel);
    layout->addWidget(m_renameRow);
    m_renameRow->hide();

    m_ensembles->setFont(BrandFont::mono(8, QFont::Medium));
    m_ensembles->setProperty("role", QStringLiteral("muted"));
    m_status->setFont(BrandFont::mono(8.25, QFont::Medium));
    m_status->setStyleSheet(QStringLiteral("color: %1;").arg(Brand::ok().name()));
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(4, 0, 4, 0);
    bottom->addWidget(m_ensembles);
    bottom->addStretch(1);
    bottom->addWidget(m_status);
    layout->addLayout(bottom);

    connect(m_menuButton, &QToolButton::clicked, this, &ThemeCard::menuRequested);
    connect(m_cancel, &QPushButton::clicked, this, &ThemeCard::endRename);
    connect(m_field, &QLineEdit::returnPressed, this, [this] {
        const QString name = m_field->text().trimmed();
        endRename();
        // An empty name keeps the old one.
        if (!name.isEmpty() && name != m_theme.name)
            emit renamed(name);
    });
}

void ThemeCard::setTheme(const Theme& theme, const TaskbarSettings& settings, bool inUse, const QString& ensembles, bool selected)
{
    m_theme = theme;
    m_inUse = inUse;
    m_selected = selected;
    // The mini bar shows the style on the current settings: behaviour and items stay the user's.
    m_bar->setSettings(theme.applied(settings));
    m_name->setText(theme.name);
    m_name->setToolTip(theme.name);
    m_ensembles->setText(ensembles);
    m_status->setText(inUse ? QStringLiteral("● IN USE") : QString());
    setAccessibleName(theme.name + (inUse ? QStringLiteral(", in use") : QString()));
    if (property("selected").toBool() != selected) {
        setProperty("selected", selected);
        style()->unpolish(this);
        style()->polish(this);
    }
}

void ThemeCard::setBackdrop(const QImage& image)
{
    m_bar->setBackdrop(image);
}

QString ThemeCard::ensemblesText() const
{
    return m_ensembles->text();
}

QString ThemeCard::statusText() const
{
    return m_status->text();
}

void ThemeCard::beginRename()
{
    m_field->setText(m_theme.name);
    m_nameRow->hide();
    m_renameRow->show();
    m_field->setFocus();
    m_field->selectAll();
}

bool ThemeCard::isRenaming() const
{
    return !m_renameRow->isHidden();
}

void ThemeCard::endRename()
{
    m_renameRow->hide();
    m_nameRow->show();
}

void ThemeCard::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QFrame::mousePressEvent(event);
}

void ThemeCard::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QFrame::mouseDoubleClickEvent(event);
}
