#include "clock/ui/preset_card.h"

#include "brand/brand.h"
#include "brand/brand_accent.h"
#include "brand/brand_font.h"
#include "brand/ui/rounded_picture.h"
#include "clock/clock_hours.h"
#include "clock/clock_view.h"
#include "clock/ui/clock_controls.h"
#include "clock/ui/screen_preview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

PresetPreview::PresetPreview(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setMinimumWidth(120);
}

int PresetPreview::heightForWidth(int width) const
{
    const QSizeF screen = ScreenPreview::screenSize();
    return qRound(width * screen.height() / screen.width());
}

QSize PresetPreview::sizeHint() const
{
    return {220, heightForWidth(220)};
}

void PresetPreview::setClockStyle(const ClockStyle& style)
{
    if (style == m_style && !m_image.isNull())
        return;
    m_style = style;
    m_key.clear();
    update();
}

void PresetPreview::setBackdrop(const QImage& image)
{
    if (image.cacheKey() == m_backdrop.cacheKey())
        return;
    m_backdrop = image;
    m_key.clear();
    update();
}

void PresetPreview::paintEvent(QPaintEvent*)
{
    const QSize area(width(), qMin(height(), heightForWidth(width())));
    const double dpr = devicePixelRatioF();
    // The picture shows the minute as it is now; everything else that decides it is in the key.
    const QString key = QStringLiteral("%1x%2@%3|%4|%5|%6|%7")
                            .arg(area.width()).arg(area.height()).arg(dpr)
                            .arg(m_backdrop.cacheKey())
                            .arg(BrandAccent::shared().hex())
                            .arg(int(ClockHours::shared().format()))
                            .arg(m_style.timeParts(ClockView::currentDate()).join(QLatin1Char(':')));
    if (key != m_key) {
        m_image = ScreenPreview::render(m_style, area, dpr, m_backdrop);
        m_key = key;
        ++m_draws;
    }
    paintRoundedPicture(*this, m_image, area);
}

PresetCard::PresetCard(QWidget* parent)
    : QFrame(parent)
    , m_preview(new PresetPreview(this))
    , m_name(new ElidedLabel(this))
    , m_ensembles(new QLabel(this))
    , m_statusLabel(new QLabel(this))
    , m_menuButton(new QToolButton(this))
{
    setProperty("role", QStringLiteral("presetCard"));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 10);
    layout->setSpacing(8);
    layout->addWidget(m_preview);

    m_name->setFont(BrandFont::ui(10.5, QFont::DemiBold));
    m_name->setTextFormat(Qt::PlainText);
    m_name->setMinimumWidth(40);
    m_name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_menuButton->setText(QStringLiteral("…"));
    m_menuButton->setAccessibleName(QStringLiteral("More"));
    m_menuButton->setAutoRaise(true);
    m_menuButton->setCursor(Qt::PointingHandCursor);
    m_menuButton->setFixedSize(26, 22);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(4, 0, 0, 0);
    top->addWidget(m_name, 1);
    top->addWidget(m_menuButton);
    layout->addLayout(top);

    m_ensembles->setFont(BrandFont::mono(8, QFont::Medium));
    m_ensembles->setProperty("role", QStringLiteral("muted"));
    m_statusLabel->setFont(BrandFont::mono(8.25, QFont::Medium));
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(4, 0, 4, 0);
    bottom->addWidget(m_ensembles);
    bottom->addStretch(1);
    bottom->addWidget(m_statusLabel);
    layout->addLayout(bottom);
    connect(m_menuButton, &QToolButton::clicked, this, &PresetCard::menuRequested);
}

void PresetCard::setPreset(const NamedStyle& preset, Status status, const QString& ensembles, bool selected)
{
    m_preset = preset;
    m_status = status;
    m_selected = selected;
    m_preview->setClockStyle(preset.style);
    // Long names end in an ellipsis; the whole name is in the tool tip.
    m_name->setText(preset.name);
    m_name->setToolTip(preset.name);
    m_ensembles->setText(ensembles);
    switch (status) {
    case Status::none:
        m_statusLabel->clear();
        break;
    case Status::inUse:
        m_statusLabel->setText(QStringLiteral("● IN USE"));
        m_statusLabel->setStyleSheet(QStringLiteral("color: %1;").arg(Brand::ok().name()));
        break;
    case Status::edited:
        m_statusLabel->setText(QStringLiteral("● EDITED"));
        m_statusLabel->setStyleSheet(QStringLiteral("color: %1;").arg(BrandAccent::shared().color().name()));
        break;
    }
    setAccessibleName(preset.name + (status != Status::none ? QStringLiteral(", in use") : QString()));
    setProperty("selected", selected);
    style()->unpolish(this);
    style()->polish(this);
}

QString PresetCard::nameText() const
{
    return m_preset.name;
}

QString PresetCard::ensemblesText() const
{
    return m_ensembles->text();
}

QString PresetCard::statusText() const
{
    return m_statusLabel->text();
}

void PresetCard::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QFrame::mousePressEvent(event);
}

void PresetCard::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QFrame::mouseDoubleClickEvent(event);
}
