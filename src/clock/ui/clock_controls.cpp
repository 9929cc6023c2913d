#include "clock/ui/clock_controls.h"

#include "brand/brand.h"
#include "brand/brand_font.h"
#include "brand/ui/toggle_switch.h"
#include "clock/font_library.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QStandardItemModel>

#include <cmath>

namespace {

using ClockControls::titleWidth;

QHBoxLayout* rowLayout(QWidget* row, const QString& title, QLabel** titleLabel = nullptr)
{
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(12);
    QLabel* label = ClockControls::title(title, row);
    label->setFixedWidth(titleWidth);
    layout->addWidget(label);
    if (titleLabel)
        *titleLabel = label;
    return layout;
}

void mark(QWidget* widget, const char* role)
{
    widget->setProperty("role", QString::fromLatin1(role));
}

} // namespace

QLabel* ClockControls::title(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(BrandFont::ui(10));
    return label;
}

QLabel* ClockControls::note(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(BrandFont::ui(9.5));
    label->setWordWrap(true);
    mark(label, "muted");
    return label;
}

QLabel* ClockControls::heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text.toUpper(), parent);
    label->setFont(BrandFont::mono(8.5, QFont::Medium));
    mark(label, "muted");
    return label;
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const QRect area = contentsRect();
    painter.drawText(area, int(alignment()) | Qt::TextSingleLine, fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
}

// --- SliderRow

SliderRow::SliderRow(const QString& title, double min, double max, double step, Format format, QWidget* parent)
    : QWidget(parent)
    , m_min(min)
    , m_max(max)
    , m_step(step)
    , m_format(format ? std::move(format) : Format(&SliderRow::number))
    , m_slider(new QSlider(Qt::Horizontal, this))
    , m_value(new QLabel(this))
{
    QHBoxLayout* layout = rowLayout(this, title, &m_title);
    m_slider->setAccessibleName(title);
    m_slider->setPageStep(1);
    layout->addWidget(m_slider, 1);
    m_value->setFont(BrandFont::mono(9.5));
    m_value->setFixedWidth(56);
    m_value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(m_value);
    setRange(min, max);
    connect(m_slider, &QSlider::valueChanged, this, [this] {
        m_value->setText(valueText());
        if (!m_syncing)
            emit edited(value());
    });
}

void SliderRow::setRange(double min, double max)
{
    m_syncing = true;
    const double current = value();
    m_min = min;
    m_max = std::max(min, max);
    m_slider->setRange(0, int(std::lround((m_max - m_min) / m_step)));
    m_syncing = false;
    setValue(current);
}

void SliderRow::setValue(double value)
{
    m_syncing = true;
    const double clamped = std::clamp(std::isfinite(value) ? value : m_min, m_min, m_max);
    m_slider->setValue(int(std::lround((clamped - m_min) / m_step)));
    m_value->setText(valueText());
    m_syncing = false;
}

void SliderRow::setTitle(const QString& title)
{
    m_title->setText(title);
    m_slider->setAccessibleName(title);
}

QString SliderRow::title() const
{
    return m_title->text();
}

double SliderRow::value() const
{
    return std::min(m_max, m_min + m_slider->value() * m_step);
}

QString SliderRow::valueText() const
{
    return m_format(value());
}

QString SliderRow::number(double value)
{
    // Whole numbers plainly, half steps with one decimal.
    return std::abs(value - std::round(value)) < 1e-9 ? QString::number(qint64(std::llround(value)))
                                                      : QString::number(value, 'f', 1);
}

QString SliderRow::percent(double value)
{
    return QString::number(qint64(std::llround(value * 100))) + QLatin1Char('%');
}

// --- ChoiceRow

ChoiceRow::ChoiceRow(const QString& title, const QStringList& choices, QWidget* parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this))
{
    QHBoxLayout* layout = title.isEmpty() ? new QHBoxLayout(this) : rowLayout(this, title);
    if (title.isEmpty())
        layout->setContentsMargins(0, 4, 0, 4);
    auto* segments = new QHBoxLayout;
    segments->setSpacing(0);
    m_group->setExclusive(true);
    for (int i = 0; i < choices.size(); ++i) {
        auto* button = new QPushButton(choices[i], this);
        button->setCheckable(true);
        button->setCursor(Qt::PointingHandCursor);
        mark(button, i == 0 ? "segmentFirst" : i == choices.size() - 1 ? "segmentLast" : "segment");
        m_group->addButton(button, i);
        segments->addWidget(button);
    }
    layout->addLayout(segments);
    layout->addStretch(1);
    connect(m_group, &QButtonGroup::idClicked, this, &ChoiceRow::chosen);
}

void ChoiceRow::setCurrent(int index)
{
    if (QAbstractButton* button = m_group->button(index))
        button->setChecked(true);
}

int ChoiceRow::current() const
{
    return m_group->checkedId();
}

QPushButton* ChoiceRow::button(int index) const
{
    return static_cast<QPushButton*>(m_group->button(index));
}

int ChoiceRow::count() const
{
    return int(m_group->buttons().size());
}

// --- MenuRow

MenuRow::MenuRow(const QString& title, const QStringList& choices, QWidget* parent)
    : QWidget(parent)
    , m_menu(new QComboBox(this))
{
    QHBoxLayout* layout = rowLayout(this, title);
    m_menu->setAccessibleName(title);
    m_menu->setMinimumWidth(200);
    layout->addWidget(m_menu);
    layout->addStretch(1);
    setChoices(choices);
    connect(m_menu, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_syncing && index >= 0)
            emit chosen(index);
    });
}

void MenuRow::setChoices(const QStringList& choices)
{
    m_syncing = true;
    const int current = m_menu->currentIndex();
    m_menu->clear();
    m_menu->addItems(choices);
    m_menu->setCurrentIndex(current);
    m_syncing = false;
}

void MenuRow::setCurrent(int index)
{
    m_syncing = true;
    m_menu->setCurrentIndex(index);
    m_syncing = false;
}

int MenuRow::current() const
{
    return m_menu->currentIndex();
}

// --- ToggleRow

ToggleRow::ToggleRow(const QString& title, QWidget* parent)
    : QWidget(parent)
    , m_toggle(new ToggleSwitch(this))
{
    QHBoxLayout* layout = rowLayout(this, title);
    m_toggle->setAccessibleName(title);
    layout->addWidget(m_toggle);
    layout->addStretch(1);
    connect(m_toggle, &QAbstractButton::clicked, this, &ToggleRow::toggled);
}

void ToggleRow::setChecked(bool on)
{
    m_toggle->setChecked(on);
}

bool ToggleRow::isChecked() const
{
    return m_toggle->isChecked();
}

// --- ColourWell

ColourWell::ColourWell(QWidget* parent)
    : QPushButton(parent)
{
    setFixedSize(44, 24);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QPushButton::clicked, this, [this] {
        auto* dialog = new QColorDialog(m_colour.color(), this);
        dialog->setOption(QColorDialog::ShowAlphaChannel);
        dialog->setOption(QColorDialog::DontUseNativeDialog);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        // Every colour the user passes over is applied, as the clock follows the well live.
        connect(dialog, &QColorDialog::currentColorChanged, this, [this](const QColor& colour) { choose(RGBA::fromColor(colour)); });
        const RGBA before = m_colour;
        connect(dialog, &QDialog::rejected, this, [this, before] { choose(before); });
        dialog->open();
    });
}

void ColourWell::setColour(const RGBA& colour)
{
    m_colour = colour;
    update();
}

void ColourWell::choose(const RGBA& colour)
{
    if (colour == m_colour)
        return;
    setColour(colour);
    emit picked(colour);
}

void ColourWell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    // A checkerboard shows through translucent colours.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x55, 0x55, 0x55));
    painter.drawRoundedRect(box, 5, 5);
    painter.setBrush(m_colour.color());
    painter.setPen(QPen(Brand::line(), 1));
    painter.drawRoundedRect(box, 5, 5);
}

ColourRow::ColourRow(const QString& title, QWidget* parent)
    : QWidget(parent)
    , m_well(new ColourWell(this))
{
    QHBoxLayout* layout = rowLayout(this, title);
    m_well->setAccessibleName(title);
    layout->addWidget(m_well);
    layout->addStretch(1);
}

// --- FontPicker

namespace {
constexpr int familyRole = Qt::UserRole + 1;
constexpr int designRole = Qt::UserRole + 2;
constexpr int headerRole = Qt::UserRole + 3;
} // namespace

FontPicker::FontPicker(QWidget* parent)
    : QWidget(parent)
    , m_families(new QComboBox(this))
    , m_weights(new QComboBox(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* fontRow = new QWidget(this);
    rowLayout(fontRow, QStringLiteral("Font"))->addWidget(m_families, 1);
    auto* weightRow = new QWidget(this);
    QHBoxLayout* weightLayout = rowLayout(weightRow, QStringLiteral("Weight"));
    weightLayout->addWidget(m_weights);
    weightLayout->addStretch(1);
    layout->addWidget(fontRow);
    layout->addWidget(weightRow);
    m_families->setAccessibleName(QStringLiteral("Font"));
    m_families->setMaxVisibleItems(24);
    m_weights->setAccessibleName(QStringLiteral("Weight"));
    for (FontWeightOption weight : allCases<FontWeightOption>())
        m_weights->addItem(title(weight), rawValue(weight));
    fill();
    connect(m_families, &QComboBox::currentIndexChanged, this, &FontPicker::pickedFamily);
    connect(m_weights, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_syncing || index < 0)
            return;
        m_spec.weight = allCases<FontWeightOption>().value(index);
        emit edited(m_spec);
    });
}

QStringList FontPicker::groupTitles()
{
    return {QStringLiteral("System"), QStringLiteral("Zentrove"), QStringLiteral("Fonts"), QStringLiteral("Your Fonts")};
}

void FontPicker::fill()
{
    auto* model = new QStandardItemModel(m_families);
    const auto header = [&](const QString& text) {
        auto* item = new QStandardItem(text.toUpper());
        item->setFlags(Qt::NoItemFlags);
        item->setData(true, headerRole);
        item->setFont(BrandFont::mono(8.5, QFont::Medium));
        model->appendRow(item);
    };
    const auto entry = [&](const QString& text, const QString& family, FontDesign design) {
        auto* item = new QStandardItem(QStringLiteral("  ") + text);
        item->setData(family, familyRole);
        item->setData(rawValue(design), designRole);
        model->appendRow(item);
    };
    const QStringList groups = groupTitles();
    header(groups[0]);
    for (FontDesign design : allCases<FontDesign>())
        entry(title(design), QString(), design);
    header(groups[1]);
    for (const QString& family : FontLibrary::bundled())
        entry(family, family, FontDesign::standard);
    if (!FontLibrary::curated().isEmpty()) {
        header(groups[2]);
        for (const QString& family : FontLibrary::curated())
            entry(family, family, FontDesign::standard);
    }
    if (!FontLibrary::userInstalled().isEmpty()) {
        header(groups[3]);
        for (const QString& family : FontLibrary::userInstalled())
            entry(family, family, FontDesign::standard);
    }
    m_families->setModel(model);
}

bool FontPicker::chooseFamily(const QString& family, FontDesign design)
{
    for (int i = 0; i < m_families->count(); ++i) {
        if (m_families->itemData(i, headerRole).toBool())
            continue;
        const QString itemFamily = m_families->itemData(i, familyRole).toString();
        const bool match = family.isEmpty()
            ? itemFamily.isEmpty() && m_families->itemData(i, designRole).toString() == rawValue(design)
            : itemFamily == family;
        if (match) {
            m_families->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void FontPicker::setFontSpec(const FontSpec& spec)
{
    m_syncing = true;
    m_spec = spec;
    if (!chooseFamily(spec.family, spec.design)) {
        // A family that is gone still shows by name; drawing falls back to the system font.
        auto* model = static_cast<QStandardItemModel*>(m_families->model());
        auto* item = new QStandardItem(QStringLiteral("  ") + spec.family + QStringLiteral(" (not installed)"));
        item->setData(spec.family, familyRole);
        item->setData(rawValue(spec.design), designRole);
        model->appendRow(item);
        m_families->setCurrentIndex(model->rowCount() - 1);
    }
    m_weights->setCurrentIndex(int(allCases<FontWeightOption>().indexOf(spec.weight)));
    m_syncing = false;
}

void FontPicker::pickedFamily(int index)
{
    if (m_syncing || index < 0 || m_families->itemData(index, headerRole).toBool())
        return;
    FontSpec spec = m_spec;
    spec.family = m_families->itemData(index, familyRole).toString();
    spec.design = enumFromRaw<FontDesign>(m_families->itemData(index, designRole).toString()).value_or(FontDesign::standard);
    // A width belongs to the family it was set for.
    if (spec.family != m_spec.family)
        spec.width.reset();
    if (spec == m_spec)
        return;
    m_spec = spec;
    emit edited(m_spec);
}

// --- AlignmentRow

AlignmentRow::AlignmentRow(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QStringList choices{QStringLiteral("Auto")};
    for (TextAlign align : allCases<TextAlign>())
        choices << title(align);
    m_choices = new ChoiceRow(QStringLiteral("Line up with the time"), choices, this);
    layout->addWidget(m_choices);
    auto* hint = ClockControls::note(QStringLiteral("Auto follows the clock's position"), this);
    hint->setIndent(titleWidth + 12);
    layout->addWidget(hint);
    connect(m_choices, &ChoiceRow::chosen, this, [this](int index) {
        emit edited(index == 0 ? std::nullopt : std::optional<TextAlign>(allCases<TextAlign>().value(index - 1)));
    });
}

void AlignmentRow::setAlign(const std::optional<TextAlign>& align)
{
    m_choices->setCurrent(align ? int(allCases<TextAlign>().indexOf(*align)) + 1 : 0);
}

std::optional<TextAlign> AlignmentRow::align() const
{
    const int index = m_choices->current();
    return index <= 0 ? std::nullopt : std::optional<TextAlign>(allCases<TextAlign>().value(index - 1));
}
