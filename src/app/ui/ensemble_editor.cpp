#include "app/ui/ensemble_editor.h"

#include "app/ui/app_style.h"
#include "app/ui/ensemble_card.h"
#include "app/ui/flow_grid.h"
#include "brand/brand.h"
#include "brand/brand_font.h"
#include "clock/clock_view.h"
#include "clock/style_store.h"
#include "library/library_store.h"
#include "media/thumbnail_cache.h"
#include "taskbar/preview/preview_bar.h"
#include "taskbar/settings_store.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr QSize tileImage(EnsembleCard::cardWidth * 2, 220);

// The tile's picture for a clock preset: the clock on the ensemble's wallpaper, as a miniature of
// the lock screen.
QImage clockTile(const QImage& wallpaper, const ClockStyle& style)
{
    QImage image(tileImage, QImage::Format_ARGB32_Premultiplied);
    image.fill(Brand::sidebar());
    QPainter painter(&image);
    if (!wallpaper.isNull())
        painter.drawImage(QRect(QPoint(), tileImage), wallpaper.scaled(tileImage, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation));
    const ClockView clock(style, ClockView::scaleFor(tileImage.width()));
    clock.drawOnScreen(painter, QRectF(QPointF(), QSizeF(tileImage)), ClockView::currentDate());
    return image;
}

// The tile's picture for a bar style: the bar at the bottom of the wallpaper.
QImage barTile(const QImage& wallpaper, const TaskbarSettings& settings)
{
    QImage image(tileImage, QImage::Format_ARGB32_Premultiplied);
    image.fill(Brand::sidebar());
    QPainter painter(&image);
    if (!wallpaper.isNull())
        painter.drawImage(QRect(QPoint(), tileImage), wallpaper.scaled(tileImage, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation));
    const double scale = tileImage.width() / ClockView::defaultScreenWidth;
    painter.scale(scale, scale);
    PreviewBar(settings).draw(painter, QSizeF(tileImage) / scale, 0);
    return image;
}

QLabel* muted(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    AppStyle::mark(label, "muted");
    return label;
}

} // namespace

EnsembleEditor::EnsembleEditor(EnsemblesModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);

    m_title = new QLabel(this);
    m_title->setFont(AppStyle::displayFont(17));
    layout->addWidget(m_title);

    auto* nameLabel = muted(QStringLiteral("Name"), this);
    m_name = new QLineEdit(this);
    m_name->setPlaceholderText(QStringLiteral("Ensemble name"));
    m_name->setAccessibleName(QStringLiteral("Name"));
    m_name->setMaximumWidth(360);
    nameLabel->setBuddy(m_name);
    layout->addWidget(nameLabel);
    layout->addWidget(m_name);

    auto* rows = new QFrame(this);
    AppStyle::mark(rows, "box");
    auto* rowsLayout = new QVBoxLayout(rows);
    rowsLayout->setContentsMargins(0, 2, 0, 2);
    rowsLayout->setSpacing(0);
    for (int i = 0; i < 3; ++i) {
        const auto slot = EnsemblesModel::Slot(i);
        auto* row = new QPushButton(rows);
        AppStyle::mark(row, "slotRow");
        row->setAccessibleName(EnsemblesModel::slotTitle(slot));
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(14, 8, 14, 8);
        auto* number = muted(QString::number(i + 1), row);
        number->setFont(BrandFont::mono(9));
        number->setFixedWidth(18);
        auto* title = new QLabel(EnsemblesModel::slotTitle(slot), row);
        title->setFixedWidth(90);
        m_values[i] = new QLabel(row);
        m_values[i]->setFont(AppStyle::uiFont(10, QFont::Medium));
        m_hints[i] = muted(QString(), row);
        m_hints[i]->setFont(AppStyle::uiFont(9));
        for (QLabel* label : {number, title, m_values[i], m_hints[i]})
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
        rowLayout->addWidget(number);
        rowLayout->addWidget(title);
        rowLayout->addWidget(m_values[i], 1);
        rowLayout->addWidget(m_hints[i]);
        row->setMinimumHeight(36);
        connect(row, &QPushButton::clicked, this, [this, slot] { m_model.setSlot(slot); });
        m_rows[i] = row;
        if (i > 0) {
            auto* line = new QFrame(rows);
            AppStyle::mark(line, "rule");
            rowsLayout->addWidget(line);
        }
        rowsLayout->addWidget(row);
    }
    layout->addWidget(rows);

    auto* pickerHeader = new QHBoxLayout;
    m_step = muted(QString(), this);
    m_step->setFont(BrandFont::mono(9));
    m_pickerTitle = new QLabel(this);
    m_pickerTitle->setFont(AppStyle::uiFont(11, QFont::DemiBold));
    pickerHeader->addWidget(m_pickerTitle, 1);
    pickerHeader->addWidget(m_step);
    layout->addSpacing(4);
    layout->addLayout(pickerHeader);
    m_grid = new FlowGrid(QSize(EnsembleCard::cardWidth, EnsembleCard::cardHeight - 24), 14, this);
    layout->addWidget(m_grid);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_done = new QPushButton(QStringLiteral("Done"), this);
    AppStyle::mark(m_done, "primary");
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_done);
    layout->addLayout(buttons);

    connect(m_cancel, &QPushButton::clicked, this, [this] { m_model.cancel(); });
    connect(m_done, &QPushButton::clicked, this, [this] { m_model.done(m_name->text()); });
    // Pictures come in one by one: rebuild the tiles once for all that came in one turn.
    connect(&ThumbnailCache::shared(), &ThumbnailCache::loaded, this, [this] {
        if (!isVisible() || m_tilesQueued)
            return;
        m_tilesQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_tilesQueued = false;
            if (isVisible())
                rebuildTiles();
        });
    });
}

void EnsembleEditor::refresh()
{
    const std::optional<Ensemble> ensemble = m_model.editing();
    if (!ensemble)
        return;
    m_title->setText(m_model.editorTitle());
    if (m_shownFor != ensemble->id) {
        m_name->setText(ensemble->name);
        m_shownFor = ensemble->id;
    }
    const EnsemblesModel::Slot choosing = m_model.slot().value_or(EnsemblesModel::Slot::wallpaper);
    for (int i = 0; i < 3; ++i) {
        const auto slot = EnsemblesModel::Slot(i);
        m_values[i]->setText(m_model.slotValue(slot));
        m_hints[i]->setText(m_model.slotHint(slot));
        m_rows[i]->setProperty("current", slot == choosing);
        m_rows[i]->style()->unpolish(m_rows[i]);
        m_rows[i]->style()->polish(m_rows[i]);
    }
    m_step->setText(m_model.pickerStep());
    m_pickerTitle->setText(m_model.pickerTitle());
    rebuildTiles();
}

QList<EnsembleCard*> EnsembleEditor::tiles() const
{
    QList<EnsembleCard*> result;
    for (QWidget* item : m_grid->items())
        result << static_cast<EnsembleCard*>(item);
    return result;
}

EnsembleCard* EnsembleEditor::tile(const QString& name) const
{
    for (EnsembleCard* card : tiles())
        if (card->content().name == name)
            return card;
    return nullptr;
}

void EnsembleEditor::rebuildTiles()
{
    const std::optional<Ensemble> ensemble = m_model.editing();
    if (!ensemble)
        return;
    const EnsemblesModel::Slot slot = m_model.slot().value_or(EnsemblesModel::Slot::wallpaper);
    LibraryStore& library = m_model.library();
    const QImage wallpaper = EnsembleCard::picture(library.thumbnailPath(ensemble->wallpaper), tileImage.width(), library.thumbnailVersion());

    QList<QWidget*> items;
    QHash<EnsembleCard*, Choice> choices;
    const auto add = [&](const QString& name, const Choice& choice, const QImage& image, bool selected) {
        auto* card = new EnsembleCard(EnsembleCard::Kind::tile, choice.id.value_or(QUuid()), m_grid);
        EnsembleCard::Content content;
        content.name = name;
        content.canApply = false;
        card->setContent(content);
        card->setThumbnail(image);
        card->setSelected(selected);
        card->setAccessibleName(name);
        connect(card, &EnsembleCard::clicked, this, [this, card] { chooseTile(card); });
        choices.insert(card, choice);
        items << card;
    };

    add(QStringLiteral("No change"), Choice {true, std::nullopt}, QImage(), false);
    switch (slot) {
    case EnsemblesModel::Slot::wallpaper:
        for (const Wallpaper& item : library.items())
            add(item.name, Choice {false, item.id}, EnsembleCard::picture(library.thumbnailPath(item.id), tileImage.width(), library.thumbnailVersion()),
                item.id == ensemble->wallpaper);
        break;
    case EnsemblesModel::Slot::clock:
        add(QStringLiteral("Your current clock"), Choice {false, std::nullopt}, clockTile(wallpaper, m_model.clocks().style()),
            !ensemble->clockPreset);
        for (const NamedStyle& preset : m_model.clocks().customPresets())
            add(preset.name, Choice {false, preset.id}, clockTile(wallpaper, preset.style), ensemble->clockPreset == preset.id);
        break;
    case EnsemblesModel::Slot::taskbar:
        add(QStringLiteral("Your current bar"), Choice {false, std::nullopt}, barTile(wallpaper, m_model.taskbar().settings()),
            !ensemble->taskbarTheme);
        for (const Theme& theme : m_model.taskbar().themes())
            add(theme.name, Choice {false, theme.id}, barTile(wallpaper, theme.applied(m_model.taskbar().settings())),
                ensemble->taskbarTheme == theme.id);
        break;
    }
    const QList<QWidget*> old = m_grid->items();
    m_grid->setItems(items);
    // The old tiles go later: one of them may be the sender of the click that got us here.
    for (QWidget* item : old) {
        item->hide();
        item->deleteLater();
    }
    m_choices = choices;
    m_tilesFor = slot;
}

void EnsembleEditor::chooseTile(EnsembleCard* tile)
{
    const Choice choice = m_choices.value(tile);
    const EnsemblesModel::Slot slot = m_model.slot().value_or(EnsemblesModel::Slot::wallpaper);
    if (!choice.noChange)
        m_model.choose(slot, choice.id);
    // A new ensemble is built step by step: each choice moves on to the next slot.
    if (m_model.isNew() && slot != EnsemblesModel::Slot::taskbar)
        m_model.setSlot(EnsemblesModel::Slot(int(slot) + 1));
}
