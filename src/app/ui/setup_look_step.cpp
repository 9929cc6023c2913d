#include "app/ui/setup_look_step.h"

#include "app/setup_model.h"
#include "app/setup_texts.h"
#include "app/ui/app_style.h"
#include "app/ui/ensemble_card.h"
#include "app/ui/look_preview.h"
#include "app/ui/setup_parts.h"
#include "brand/brand.h"
#include "clock/style_store.h"
#include "library/library_store.h"
#include "media/thumbnail_cache.h"
#include "platform/screens.h"
#include "taskbar/settings_store.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int thumbWidth = 72;
constexpr int thumbHeight = 46;
constexpr int previewWidth = 340;
} // namespace

SetupLookStep::SetupLookStep(SetupModel& model, StyleStore* clocks, SettingsStore* taskbar, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_clocks(clocks)
    , m_taskbar(taskbar)
    , m_preview(new LookPreview(this))
    , m_desktop(new QPushButton(QStringLiteral("Desktop"), this))
    , m_lockScreen(new QPushButton(QStringLiteral("Lock Screen"), this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(SetupParts::title(SetupTexts::title(SetupStep::look), this));
    layout->addWidget(SetupParts::paragraph(SetupTexts::intro(SetupStep::look), this));
    layout->addSpacing(10);

    auto* body = new QHBoxLayout;
    body->setSpacing(20);
    auto* left = new QVBoxLayout;
    left->setSpacing(10);
    m_preview->setFixedWidth(previewWidth);
    left->addWidget(m_preview);
    auto* places = new QHBoxLayout;
    places->setSpacing(6);
    for (QPushButton* button : {m_desktop, m_lockScreen}) {
        AppStyle::mark(button, "segment");
        button->setCheckable(true);
        places->addWidget(button);
    }
    places->addStretch(1);
    left->addLayout(places);
    left->addStretch(1);
    body->addLayout(left);

    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* listWidget = new QWidget(scroll);
    m_list = new QVBoxLayout(listWidget);
    m_list->setContentsMargins(0, 0, 0, 0);
    m_list->setSpacing(4);
    m_list->addStretch(1);
    scroll->setWidget(listWidget);
    body->addWidget(scroll, 1);
    layout->addLayout(body, 1);

    m_preview->setScreenSize(Screens::main() ? Screens::main()->size : QSizeF());
    connect(m_desktop, &QPushButton::clicked, this, [this] { m_model.setPlace(LookPlace::desktop); });
    connect(m_lockScreen, &QPushButton::clicked, this, [this] { m_model.setPlace(LookPlace::lockScreen); });
    connect(&m_model, &SetupModel::changed, this, &SetupLookStep::refresh);
    connect(&ThumbnailCache::shared(), &ThumbnailCache::loaded, this, [this] {
        m_shownIDs.clear();
        refresh();
    });
    refresh();
}

QPushButton* SetupLookStep::makeRow(const QUuid& id)
{
    const std::optional<Ensemble> ensemble = m_model.library() ? m_model.library()->ensemble(id) : std::nullopt;
    auto* row = new QPushButton(this);
    AppStyle::mark(row, "slotRow");
    row->setCheckable(true);
    row->setAccessibleName(ensemble ? ensemble->name : QString());
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(8, 7, 8, 7);
    layout->setSpacing(12);

    auto* thumb = new QLabel(row);
    thumb->setFixedSize(thumbWidth, thumbHeight);
    if (LibraryStore* library = m_model.library(); library && ensemble) {
        const QImage image = EnsembleCard::picture(library->thumbnailPath(ensemble->wallpaper), thumbWidth * 2,
                                                   library->thumbnailVersion());
        if (!image.isNull()) {
            QPixmap pixmap = QPixmap::fromImage(image.scaled(QSize(thumbWidth, thumbHeight) * 2, Qt::KeepAspectRatioByExpanding,
                                                             Qt::SmoothTransformation));
            pixmap.setDevicePixelRatio(2);
            thumb->setPixmap(pixmap);
        }
    }
    thumb->setStyleSheet(QStringLiteral("background: %1; border-radius: 4px;").arg(AppStyle::css(Brand::line())));
    layout->addWidget(thumb, 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(0);
    auto* name = SetupParts::heading(ensemble ? ensemble->name : QString(), row);
    name->setWordWrap(false);
    // A long name is cut with an ellipsis rather than widening the list.
    name->setMinimumWidth(1);
    name->setText(name->fontMetrics().elidedText(name->text(), Qt::ElideRight, 230));
    texts->addWidget(name);
    const std::optional<QStringList> lines = ensemble && ensemble->builtIn ? SetupTexts::builtInLines(*ensemble->builtIn)
                                                                             : std::nullopt;
    for (const QString& line : lines.value_or(QStringList())) {
        auto* label = SetupParts::paragraph(line, row);
        label->setFont(AppStyle::uiFont(9));
        // One line each: the list keeps its width, and every row its height.
        label->setWordWrap(false);
        label->setMinimumWidth(1);
        label->setToolTip(line);
        texts->addWidget(label);
    }
    texts->addStretch(1);
    layout->addLayout(texts, 1);
    for (QLabel* label : row->findChildren<QLabel*>())
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    row->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    row->setFixedHeight(std::max(layout->sizeHint().height(), thumbHeight + 16));
    connect(row, &QPushButton::clicked, this, [this, id] { m_model.pick(id); });
    return row;
}

void SetupLookStep::rebuildChoices()
{
    QList<QUuid> ids;
    for (const Ensemble& ensemble : m_model.choices())
        ids << ensemble.id;
    if (ids == m_shownIDs)
        return;
    m_shownIDs = ids;
    qDeleteAll(m_rows);
    m_rows.clear();
    for (const QUuid& id : ids) {
        QPushButton* row = makeRow(id);
        m_list->insertWidget(m_list->count() - 1, row);
        m_rows.insert(id, row);
    }
}

void SetupLookStep::refresh()
{
    rebuildChoices();
    const std::optional<Ensemble> picked = m_model.picked();
    for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it) {
        const bool current = picked && picked->id == it.key();
        it.value()->setChecked(current);
        it.value()->setProperty("current", current);
        it.value()->style()->unpolish(it.value());
        it.value()->style()->polish(it.value());
    }
    const LookPlace place = m_model.place();
    m_desktop->setChecked(place == LookPlace::desktop);
    m_lockScreen->setChecked(place == LookPlace::lockScreen);
    m_preview->setPlace(place);

    LibraryStore* library = m_model.library();
    if (!picked || !library) {
        m_preview->setWallpaper({});
        m_preview->setBar(std::nullopt);
        m_preview->setClock(std::nullopt);
        return;
    }
    m_preview->setWallpaper(EnsembleCard::picture(library->thumbnailPath(picked->wallpaper), previewWidth * 2,
                                                  library->thumbnailVersion()));
    if (m_taskbar) {
        TaskbarSettings bar = m_taskbar->settings();
        if (picked->taskbarTheme)
            for (const Theme& theme : m_taskbar->themes())
                if (theme.id == *picked->taskbarTheme)
                    bar = theme.applied(bar);
        m_preview->setBar(bar.withoutWindowBlur());
    }
    if (m_clocks) {
        ClockStyle clock = m_clocks->style();
        if (picked->clockPreset)
            for (const NamedStyle& preset : m_clocks->customPresets())
                if (preset.id == *picked->clockPreset)
                    clock = preset.style;
        m_preview->setClock(clock);
    }
}
