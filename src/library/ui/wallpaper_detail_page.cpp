#include "library/ui/wallpaper_detail_page.h"

#include "brand/brand.h"
#include "brand/brand_font.h"
#include "brand/ui/page_scroll.h"
#include "library/library_store.h"
#include "library/ui/symbols.h"
#include "library/ui/video_preview.h"
#include "media/dynamic_picture.h"
#include "media/media_kind.h"
#include "media/thumbnailer.h"
#include "media/video_info.h"
#include "platform/desktop_words.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int previewPixels = 1600; // longer side of a picture preview
constexpr int stripPixels = 160;    // longer side of a frame in the strip

// The preview keeps 16:9, up to a height that leaves room for the rest of the page.
int previewHeight(int width)
{
    return std::clamp(width * 9 / 16, 120, 460);
}

QLabel* sectionTitle(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(BrandFont::ui(10, QFont::DemiBold));
    label->setProperty("role", QStringLiteral("muted"));
    return label;
}

} // namespace

struct WallpaperDetailPage::Facts
{
    std::optional<VideoInfo> info;
    std::optional<DynamicPicture> dynamic;
    QImage picture;               // a still picture, or a dynamic picture's shown frame
    QList<QImage> frames;         // a dynamic picture's frames, small
};

void PicturePreview::setImage(const QImage& image)
{
    m_image = image;
    update();
}

void PicturePreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(rect()), Brand::radius, Brand::radius);
    painter.setClipPath(clip);
    painter.fillRect(rect(), Qt::black);
    if (m_image.isNull())
        return;
    const QSizeF shown = QSizeF(m_image.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    painter.drawImage(QRectF(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown), m_image);
}

WallpaperDetailPage::WallpaperDetailPage(LibraryStore& store, const QUuid& id, const LibraryPageHooks& hooks, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_id(id)
    , m_hooks(hooks)
{
    m_pool.setMaxThreadCount(1);
    const std::optional<Wallpaper> item = wallpaper();
    m_video = item && MediaKind::isVideo(item->fileName);
    m_mediaPath = item ? m_store.mediaPath(*item) : QString();

    auto* content = new QWidget;
    PageScroll::fill(*this, content);

    const int padding = int(Brand::pagePadding);
    auto* page = new QVBoxLayout(content);
    page->setContentsMargins(padding, padding - 8, padding, padding);
    page->setSpacing(12);

    // 1. Back to the grid.
    m_back = new QPushButton(Symbols::icon(QStringLiteral("chevron.left"), Brand::muted()), QStringLiteral("Wallpapers"), content);
    m_back->setProperty("role", QStringLiteral("link"));
    m_back->setStyleSheet(QStringLiteral("QPushButton { color: %1; text-decoration: none; }").arg(Brand::muted().name()));
    m_back->setCursor(Qt::PointingHandCursor);
    connect(m_back, &QPushButton::clicked, this, &WallpaperDetailPage::backRequested);
    page->addWidget(m_back, 0, Qt::AlignLeft);

    m_name = new QLabel(content);
    m_name->setFont(BrandFont::display(22, QFont::DemiBold));
    m_name->setTextFormat(Qt::PlainText);
    m_name->setWordWrap(true);
    page->addWidget(m_name);

    // 2. The preview.
    m_previewBox = new QWidget(content);
    m_previewBox->setFixedHeight(previewHeight(640));
    auto* previewLayout = new QVBoxLayout(m_previewBox);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    if (m_video) {
        m_videoPreview = new VideoPreview(m_mediaPath, m_previewBox);
        previewLayout->addWidget(m_videoPreview);
    } else {
        m_picture = new PicturePreview(m_previewBox);
        previewLayout->addWidget(m_picture);
    }
    page->addWidget(m_previewBox);

    m_strip = new QWidget(content);
    auto* stripLayout = new QHBoxLayout(m_strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    stripLayout->setSpacing(8);
    stripLayout->addStretch(1);
    m_frameGroup = new QButtonGroup(this);
    m_frameGroup->setExclusive(true);
    m_strip->hide();
    page->addWidget(m_strip);
    m_caption = new QLabel(content);
    m_caption->setProperty("role", QStringLiteral("muted"));
    m_caption->setWordWrap(true);
    m_caption->hide();
    page->addWidget(m_caption);

    // 3. The main action, with a choice of displays when there are several.
    m_action = new QPushButton(content);
    m_action->setProperty("role", QStringLiteral("primary"));
    m_action->setCursor(Qt::PointingHandCursor);
    connect(m_action, &QPushButton::clicked, this, &WallpaperDetailPage::runMainAction);
    m_targetButton = new QToolButton(content);
    m_targetButton->setIcon(Symbols::icon(QStringLiteral("chevron.down"), Brand::text()));
    m_targetButton->setPopupMode(QToolButton::InstantPopup);
    m_targetButton->setAccessibleName(QStringLiteral("Choose displays"));
    m_targetButton->setStyleSheet(QStringLiteral("QToolButton { background: %1; border: 1px solid %1; border-radius: %2px; padding: 5px 8px; }"
                                                 "QToolButton::menu-indicator { image: none; }")
                                      .arg(Brand::line().name())
                                      .arg(int(Brand::radius)));
    auto* targets = new QMenu(m_targetButton);
    m_targetButton->setMenu(targets);
    connect(targets, &QMenu::aboutToShow, this, [this, targets] {
        targets->clear();
        connect(targets->addAction(QStringLiteral("All displays")), &QAction::triggered, this, [this] { setTarget({Target::Kind::all, {}}); });
        for (const ScreenInfo& screen : Screens::all()) {
            const bool main = Screens::isMain(screen);
            connect(targets->addAction(main ? screen.name + QStringLiteral(" (main)") : screen.name), &QAction::triggered, this,
                    [this, screen, main] { setTarget({main ? Target::Kind::main : Target::Kind::display, screen}); });
        }
    });
    auto* actionRow = new QHBoxLayout;
    actionRow->setSpacing(6);
    actionRow->addWidget(m_action);
    actionRow->addWidget(m_targetButton);
    actionRow->addStretch(1);
    page->addLayout(actionRow);
    m_help = new QLabel(content);
    m_help->setProperty("role", QStringLiteral("muted"));
    m_help->setWordWrap(true);
    m_help->setTextFormat(Qt::PlainText);
    page->addWidget(m_help);

    // 4. Facts.
    auto* factsBox = new QFrame(content);
    factsBox->setProperty("role", QStringLiteral("box"));
    m_factsLayout = new QVBoxLayout(factsBox);
    m_factsLayout->setContentsMargins(16, 8, 16, 8);
    m_factsLayout->setSpacing(6);
    page->addSpacing(6);
    page->addWidget(factsBox);

    // 5. The ensembles that show it.
    m_ensemblesHeading = sectionTitle(QString(), content);
    page->addSpacing(6);
    page->addWidget(m_ensemblesHeading);
    m_ensemblesLayout = new QVBoxLayout;
    m_ensemblesLayout->setSpacing(4);
    page->addLayout(m_ensemblesLayout);

    // 6. Buttons.
    m_newEnsemble = new QPushButton(QStringLiteral("New Ensemble from This Wallpaper"), content);
    m_refresh = new QPushButton(QStringLiteral("Refresh"), content);
    m_reveal = new QPushButton(m_hooks.revealTitle, content);
    m_remove = new QPushButton(QStringLiteral("Remove from Library"), content);
    m_remove->setStyleSheet(QStringLiteral("QPushButton { color: %1; }").arg(Brand::failure().name()));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    for (QPushButton* button : {m_newEnsemble, m_refresh, m_reveal, m_remove})
        buttons->addWidget(button);
    buttons->addStretch(1);
    page->addSpacing(8);
    page->addLayout(buttons);
    page->addStretch(1);

    connect(m_newEnsemble, &QPushButton::clicked, this, &WallpaperDetailPage::newEnsemble);
    connect(m_refresh, &QPushButton::clicked, this, [this] {
        if (const std::optional<Wallpaper> w = wallpaper())
            m_store.refresh(*w);
    });
    connect(m_reveal, &QPushButton::clicked, this, [this] { emit revealRequested(m_mediaPath); });
    connect(m_remove, &QPushButton::clicked, this, [this] {
        if (const std::optional<Wallpaper> w = wallpaper())
            m_store.remove(*w);
    });

    connect(&m_store, &LibraryStore::itemsChanged, this, [this] {
        syncName();
        syncMainAction();
    });
    connect(&m_store, &LibraryStore::ensemblesChanged, this, [this] {
        syncMainAction();
        syncEnsembles();
    });
    connect(&m_store, &LibraryStore::currentEnsembleIDChanged, this, &WallpaperDetailPage::syncMainAction);
    connect(&m_store, &LibraryStore::displayEnsemblesChanged, this, &WallpaperDetailPage::syncMainAction);

    syncName();
    syncMainAction();
    syncEnsembles();
    load();
}

WallpaperDetailPage::~WallpaperDetailPage()
{
    m_pool.clear();
    m_pool.waitForDone();
}

void WallpaperDetailPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The scroll area's content is as wide as the page less its padding and a scroll bar.
    m_previewBox->setFixedHeight(previewHeight(width() - 2 * int(Brand::pagePadding) - 14));
}

std::optional<Wallpaper> WallpaperDetailPage::wallpaper() const
{
    return m_store.wallpaper(m_id);
}

void WallpaperDetailPage::syncName()
{
    if (const std::optional<Wallpaper> w = wallpaper())
        m_name->setText(w->name);
}

void WallpaperDetailPage::setTarget(const Target& target)
{
    m_target = target;
    syncMainAction();
}

void WallpaperDetailPage::syncMainAction()
{
    const std::optional<Wallpaper> w = wallpaper();
    if (!w)
        return;
    const QList<ScreenInfo> screens = Screens::all();
    m_targetButton->setVisible(screens.size() > 1);
    // A display that is gone falls back to the main display.
    if (m_target.kind == Target::Kind::display && !screens.contains(m_target.screen))
        m_target = {};

    const std::optional<Ensemble> toUse = m_store.ensembleToUse(*w);
    std::optional<QUuid> shownThere = m_store.currentEnsembleID();
    if (m_target.kind == Target::Kind::display) {
        const std::optional<Ensemble> own = m_store.ownEnsemble(m_target.screen);
        shownThere = own ? std::optional(own->id) : m_store.currentEnsembleID();
    }
    if (toUse && shownThere == toUse->id && m_target.kind != Target::Kind::all) {
        m_action->setText(QStringLiteral("In use"));
        m_action->setEnabled(false);
        m_help->clear();
        m_help->hide();
        return;
    }
    m_action->setEnabled(true);
    m_help->show();
    if (toUse) {
        m_action->setText(QStringLiteral("Use ensemble ") + toUse->name);
        m_help->setText(QStringLiteral("Switches to the ensemble ") + toUse->name + QStringLiteral(": this wallpaper with its clock and taskbar style."));
    } else {
        m_action->setText(m_target.kind == Target::Kind::display ? QStringLiteral("Make a new ensemble for ") + m_target.screen.name
                                                                 : QStringLiteral("Make a new ensemble"));
        m_help->setText(QStringLiteral("Makes an ensemble named after this wallpaper and uses it. The clock and taskbar stay as they are."));
    }
}

void WallpaperDetailPage::runMainAction()
{
    const std::optional<Wallpaper> w = wallpaper();
    if (!w)
        return;
    switch (m_target.kind) {
    case Target::Kind::all:
        m_store.useEverywhere(*w);
        break;
    case Target::Kind::display:
        m_store.use(*w, m_target.screen);
        break;
    case Target::Kind::main:
        if (const std::optional<ScreenInfo> main = Screens::main())
            m_store.use(*w, *main);
        else
            m_store.use(*w, ScreenInfo{});
        break;
    }
    syncMainAction();
}

void WallpaperDetailPage::newEnsemble()
{
    const std::optional<Wallpaper> w = wallpaper();
    if (!w)
        return;
    const Ensemble made = m_store.addEnsemble(w->id);
    const QUuid activity = m_store.activityLog().begin(QStringLiteral("New ensemble created"),
                                                 QStringLiteral("“") + made.name + QStringLiteral("” from wallpaper ") + w->name);
    m_store.activityLog().finish(activity, std::nullopt, std::nullopt, false, 4.0);
    m_hooks.openEnsemble(made.id);
}

void WallpaperDetailPage::syncEnsembles()
{
    qDeleteAll(m_ensembleRows);
    m_ensembleRows.clear();
    QList<Ensemble> using_;
    for (const Ensemble& ensemble : m_store.ensembles())
        if (ensemble.wallpaper == m_id)
            using_ << ensemble;
    m_ensemblesHeading->setText(QString::number(using_.size()) + QStringLiteral(" ensembles"));
    for (const Ensemble& ensemble : using_) {
        auto* row = new QPushButton(QStringLiteral("Edit ") + ensemble.name + QStringLiteral(" on the Ensembles page"), this);
        row->setIcon(Symbols::icon(QStringLiteral("chevron.right"), Brand::muted()));
        row->setLayoutDirection(Qt::RightToLeft); // the chevron after the text
        row->setStyleSheet(QStringLiteral("QPushButton { text-align: right; background: %1; border: 1px solid %2; padding: 8px 14px; }")
                               .arg(Brand::raised().name(QColor::HexArgb), Brand::line().name()));
        row->setCursor(Qt::PointingHandCursor);
        const QUuid id = ensemble.id;
        connect(row, &QPushButton::clicked, this, [this, id] { m_hooks.openEnsemble(id); });
        m_ensembleRows << row;
        m_ensemblesLayout->addWidget(row);
    }
}

QString WallpaperDetailPage::fact(const QString& title) const
{
    const QLabel* value = m_facts.value(title);
    return value ? value->text() : QString();
}

void WallpaperDetailPage::addFact(const QString& title, const QString& value)
{
    auto* row = new QHBoxLayout;
    auto* name = new QLabel(title);
    name->setProperty("role", QStringLiteral("muted"));
    auto* text = new QLabel(value);
    text->setFont(BrandFont::mono(9.5));
    text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    text->setTextFormat(Qt::PlainText);
    row->addWidget(name);
    row->addStretch(1);
    row->addWidget(text);
    m_factsLayout->addLayout(row);
    m_facts.insert(title, text);
}

void WallpaperDetailPage::load()
{
    // Facts, the picture and a dynamic picture's frames are disk and codec work: read them on
    // this page's worker and show them when they are in.
    const QString path = m_mediaPath;
    const bool video = m_video;
    m_pool.start([this, path, video] {
        auto facts = std::make_shared<Facts>();
        facts->info = VideoInfo::load(path);
        if (!video) {
            facts->dynamic = DynamicPicture::read(path);
            if (facts->dynamic) {
                for (const DynamicPicture::Frame& frame : facts->dynamic->frames)
                    facts->frames << Thumbnailer::image(path, stripPixels, frame.index).value_or(QImage());
            } else {
                facts->picture = Thumbnailer::image(path, previewPixels, 0).value_or(QImage());
            }
        }
        QMetaObject::invokeMethod(this, [this, facts] { showFacts(*facts); }, Qt::QueuedConnection);
    });
}

void WallpaperDetailPage::showFacts(const Facts& facts)
{
    if (facts.info) {
        addFact(QStringLiteral("Resolution"), facts.info->resolutionText());
        if (const std::optional<QString> length = facts.info->durationText())
            addFact(QStringLiteral("Length"), *length);
        addFact(QStringLiteral("Size"), facts.info->sizeText());
    }
    if (facts.dynamic) {
        addFact(QStringLiteral("Changes with"), facts.dynamic->changesWith());
        const std::optional<DynamicPicture::Frame> current = facts.dynamic->current();
        auto* strip = static_cast<QHBoxLayout*>(m_strip->layout());
        for (int i = 0; i < facts.dynamic->frames.size(); ++i) {
            const DynamicPicture::Frame& frame = facts.dynamic->frames[i];
            auto* button = new QToolButton(m_strip);
            button->setCheckable(true);
            button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            button->setText(frame.label);
            button->setIconSize(QSize(96, 54));
            if (i < facts.frames.size() && !facts.frames[i].isNull())
                button->setIcon(QIcon(QPixmap::fromImage(facts.frames[i])));
            button->setStyleSheet(QStringLiteral("QToolButton { color: %1; border: 2px solid transparent; border-radius: 6px; padding: 2px; }"
                                                 "QToolButton:checked { color: %2; border-color: %2; }")
                                      .arg(Brand::muted().name(), Brand::text().name()));
            m_frameGroup->addButton(button, i);
            strip->insertWidget(i, button);
            m_frameButtons << button;
            m_frameIndexes << frame.index;
            if (current && current->index == frame.index)
                button->setChecked(true);
        }
        connect(m_frameGroup, &QButtonGroup::idClicked, this, &WallpaperDetailPage::previewFrame);
        m_caption->setText(facts.dynamic->kind == DynamicPicture::Kind::timeOfDay
                               ? DesktopWords::current().fill(u"Through the day · preview only, {systemName} picks the image by the time")
                               : DesktopWords::current().fill(u"Preview only. {systemName} follows your Appearance setting."));
        m_strip->show();
        m_caption->show();
        const int checked = m_frameGroup->checkedId();
        previewFrame(checked >= 0 ? checked : 0);
    } else if (m_picture) {
        m_picture->setImage(facts.picture);
    }
    m_loaded = true;
    emit loaded();
}

void WallpaperDetailPage::previewFrame(int position)
{
    if (position < 0 || position >= m_frameIndexes.size() || !m_picture)
        return;
    if (QAbstractButton* button = m_frameGroup->button(position))
        button->setChecked(true);
    // Only this page shows the frame; the desktop keeps following the time or appearance.
    const QString path = m_mediaPath;
    const int index = m_frameIndexes[position];
    m_pool.start([this, path, index, position] {
        QImage image = Thumbnailer::image(path, previewPixels, index).value_or(QImage());
        QMetaObject::invokeMethod(this, [this, image, position] {
            if (m_frameGroup->checkedId() == position)
                m_picture->setImage(image);
        }, Qt::QueuedConnection);
    });
}
