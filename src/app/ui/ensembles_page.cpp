#include "app/ui/ensembles_page.h"

#include "app/navigation.h"
#include "app/ui/app_style.h"
#include "app/ui/change_ensemble_box.h"
#include "app/ui/ensemble_card.h"
#include "app/ui/ensemble_dialogs.h"
#include "app/ui/ensemble_editor.h"
#include "app/ui/flow_grid.h"
#include "app/ui/look_preview.h"
#include "app/ui/symbol_icon.h"
#include "brand/brand.h"
#include "brand/brand_accent.h"
#include "brand/brand_font.h"
#include "brand/ui/page_scroll.h"
#include "clock/clock_view.h"
#include "clock/style_store.h"
#include "library/library_store.h"
#include "media/media_kind.h"
#include "media/thumbnail_cache.h"
#include "taskbar/settings_store.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>

namespace {

constexpr int heroPictureWidth = 1024;
// Cards made before the first paint: more than a tall window shows. The rest follow in batches.
constexpr int firstCards = 48;
constexpr int moreCards = 120;

QColor colourOf(EnsemblesModel::Tone tone)
{
    switch (tone) {
    case EnsemblesModel::Tone::plain: return Brand::text();
    case EnsemblesModel::Tone::muted: return Brand::muted();
    case EnsemblesModel::Tone::ok: return Brand::ok();
    case EnsemblesModel::Tone::accent: return BrandAccent::shared().color();
    case EnsemblesModel::Tone::warning: return Brand::warning();
    case EnsemblesModel::Tone::failure: return Brand::failure();
    }
    return Brand::muted();
}

void setColour(QLabel* label, const QColor& colour)
{
    label->setStyleSheet(QStringLiteral("color: %1;").arg(AppStyle::css(colour)));
}

QLabel* mutedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    AppStyle::mark(label, "muted");
    return label;
}

QString chipTime()
{
    return ClockView::currentDate().toString(QStringLiteral("HH:mm"));
}

} // namespace

EnsemblesPage::EnsemblesPage(EnsemblesModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_cardLimit(firstCards)
{
    auto* content = new QWidget;
    m_scroll = PageScroll::fill(*this, content);

    const int padding = int(Brand::pagePadding);
    auto* page = new QVBoxLayout(content);
    page->setContentsMargins(padding, padding, padding, padding);
    page->setSpacing(14);

    auto* header = new QLabel(QStringLiteral("Ensembles"), content);
    header->setFont(AppStyle::displayFont(22));
    page->addWidget(header);
    auto* intro = mutedLabel(QStringLiteral("An ensemble is your wallpaper, lock screen clock and taskbar, together."), content);
    intro->setWordWrap(true);
    page->addWidget(intro);

    m_displayPicker = new QWidget(content);
    auto* pickerLayout = new QHBoxLayout(m_displayPicker);
    pickerLayout->setContentsMargins(0, 4, 0, 0);
    pickerLayout->setSpacing(6);
    pickerLayout->addStretch(1);
    page->addWidget(m_displayPicker);

    buildHero(content);
    page->addWidget(m_hero);

    m_editor = new EnsembleEditor(m_model, content);
    m_editor->hide();
    page->addWidget(m_editor);

    m_changeBox = new ChangeEnsembleBox(m_model, content);
    page->addWidget(m_changeBox);

    page->addSpacing(6);
    m_grid = new FlowGrid(QSize(EnsembleCard::cardWidth, EnsembleCard::cardHeight), 16, content);
    page->addWidget(m_grid);

    m_restore = new QPushButton(content);
    AppStyle::mark(m_restore, "link");
    m_restore->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    connect(m_restore, &QPushButton::clicked, this, [this] { m_model.restoreBuiltIns(); });
    page->addWidget(m_restore);

    m_help = mutedLabel(QString(), content);
    m_help->setWordWrap(true);
    page->addWidget(m_help);
    m_empty = mutedLabel(QStringLiteral("Add a video or picture on the Wallpapers page, then give it a clock and a taskbar here to make it an ensemble."), content);
    m_empty->setWordWrap(true);
    page->addWidget(m_empty);
    page->addStretch(1);

    m_newTile = new EnsembleCard(EnsembleCard::Kind::add, QUuid(), m_grid);
    m_newTile->setContent({QStringLiteral("New ensemble"), {}, {}, {}, {}, false});
    m_newTile->setAccessibleName(QStringLiteral("New ensemble"));
    connect(m_newTile, &EnsembleCard::clicked, this, [this] { m_model.newEnsemble(); });

    connect(&m_model, &EnsemblesModel::stateChanged, this, &EnsemblesPage::refreshState);
    connect(&m_model, &EnsemblesModel::storesChanged, this, &EnsemblesPage::refreshSoon);
    connect(&m_model, &EnsemblesModel::screensChanged, this, &EnsemblesPage::refreshSoon);
    connect(&ThumbnailCache::shared(), &ThumbnailCache::loaded, this, [this](const QString& path) {
        if (path == m_heroPicture)
            refreshHero();
        for (EnsembleCard* card : std::as_const(m_cards))
            if (card->picturePath() == path)
                card->update();
        if (m_sameCard && m_sameCard->picturePath() == path)
            m_sameCard->update();
    });
    connect(&m_model.nav(), &Navigation::openEnsembleChanged, this, &EnsemblesPage::takeRequest);
    connect(&BrandAccent::shared(), &BrandAccent::hexChanged, this, &EnsemblesPage::refreshCards);

    refreshAll();
    takeRequest();
}

EnsemblesPage::~EnsemblesPage() = default;

void EnsemblesPage::buildHero(QWidget* parent)
{
    m_hero = new QWidget(parent);
    auto* layout = new QHBoxLayout(m_hero);
    layout->setContentsMargins(0, 6, 0, 0);
    layout->setSpacing(24);

    auto* left = new QVBoxLayout;
    left->setSpacing(8);
    m_preview = new LookPreview(m_hero);
    m_preview->setMinimumWidth(360);
    left->addWidget(m_preview);
    auto* under = new QHBoxLayout;
    under->setSpacing(6);
    m_caption = new QLabel(m_hero);
    m_caption->setFont(BrandFont::mono(8.5));
    m_caption->setTextInteractionFlags(Qt::NoTextInteraction);
    under->addWidget(m_caption, 1);
    m_desktopButton = new QPushButton(QStringLiteral("Desktop"), m_hero);
    m_lockButton = new QPushButton(QStringLiteral("Lock Screen"), m_hero);
    for (QPushButton* button : {m_desktopButton, m_lockButton}) {
        button->setCheckable(true);
        AppStyle::mark(button, "segment");
        under->addWidget(button);
    }
    connect(m_desktopButton, &QPushButton::clicked, this, [this] { m_model.setPlace(LookPlace::desktop); });
    connect(m_lockButton, &QPushButton::clicked, this, [this] { m_model.setPlace(LookPlace::lockScreen); });
    left->addLayout(under);
    layout->addLayout(left, 3);

    auto* right = new QVBoxLayout;
    right->setSpacing(10);
    m_badgeBox = new QFrame(m_hero);
    AppStyle::mark(m_badgeBox, "badge");
    m_badgeBox->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    auto* badgeLayout = new QHBoxLayout(m_badgeBox);
    badgeLayout->setContentsMargins(6, 2, 8, 2);
    badgeLayout->setSpacing(5);
    auto* link = new QLabel(m_badgeBox);
    link->setPixmap(SymbolIcon::make(QStringLiteral("link"), Brand::muted(), 12).pixmap(12, 12));
    m_badge = mutedLabel(QStringLiteral("SAME AS MAIN"), m_badgeBox);
    m_badge->setFont(BrandFont::mono(8, QFont::Medium));
    badgeLayout->addWidget(link);
    badgeLayout->addWidget(m_badge);
    right->addWidget(m_badgeBox);
    m_title = new QLabel(m_hero);
    m_title->setFont(AppStyle::displayFont(20));
    m_title->setWordWrap(true);
    right->addWidget(m_title);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    m_apply = new QPushButton(QStringLiteral("Apply"), m_hero);
    AppStyle::mark(m_apply, "primary");
    m_edit = new QPushButton(QStringLiteral("Edit"), m_hero);
    m_menuButton = new QToolButton(m_hero);
    m_menuButton->setIcon(SymbolIcon::make(QStringLiteral("ellipsis"), Brand::text()));
    m_menuButton->setAccessibleName(QStringLiteral("More"));
    AppStyle::mark(m_menuButton, "iconButton");
    buttons->addWidget(m_apply);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_menuButton);
    buttons->addStretch(1);
    right->addLayout(buttons);
    connect(m_apply, &QPushButton::clicked, this, [this] {
        if (m_model.sameSelected())
            m_model.applySame();
        else if (const std::optional<Ensemble> e = m_model.heroEnsemble())
            m_model.apply(*e);
    });
    connect(m_edit, &QPushButton::clicked, this, [this] {
        if (const std::optional<Ensemble> e = m_model.heroEnsemble())
            m_model.edit(*e);
    });
    connect(m_menuButton, &QToolButton::clicked, this, [this] {
        if (const std::optional<Ensemble> e = m_model.heroEnsemble())
            menuFor(e->id)->popup(m_menuButton->mapToGlobal(QPoint(0, m_menuButton->height())));
    });

    m_parts = new QFrame(m_hero);
    AppStyle::mark(m_parts, "box");
    auto* parts = new QVBoxLayout(m_parts);
    parts->setContentsMargins(0, 2, 0, 2);
    parts->setSpacing(0);
    const QString symbols[3] = {QStringLiteral("photo"), QStringLiteral("clock"), QStringLiteral("dock.rectangle")};
    const QString titles[3] = {QStringLiteral("Wallpaper"), QStringLiteral("Lock screen clock"), QStringLiteral("Taskbar")};
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            auto* line = new QFrame(m_parts);
            AppStyle::mark(line, "rule");
            parts->addWidget(line);
        }
        auto* row = new QWidget(m_parts);
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(12, 8, 12, 8);
        rowLayout->setSpacing(10);
        auto* icon = new QLabel(row);
        icon->setPixmap(SymbolIcon::make(symbols[i], Brand::muted()).pixmap(16, 16));
        auto* title = mutedLabel(titles[i], row);
        m_partValues[i] = new QLabel(row);
        m_partValues[i]->setFont(AppStyle::uiFont(10, QFont::Medium));
        m_partValues[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_partValues[i]->setMinimumWidth(40);
        m_partValues[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        rowLayout->addWidget(icon);
        rowLayout->addWidget(title);
        rowLayout->addWidget(m_partValues[i], 1);
        parts->addWidget(row);
    }
    right->addWidget(m_parts);

    m_follows = new QLabel(m_hero);
    m_follows->setFont(AppStyle::uiFont(10));
    m_follows->setWordWrap(true);
    AppStyle::mark(m_follows, "muted");
    right->addWidget(m_follows);

    m_changes = new QLabel(m_hero);
    m_changes->setWordWrap(true);
    m_changes->setFont(AppStyle::uiFont(9.5));
    setColour(m_changes, Brand::warning());
    right->addWidget(m_changes);
    m_saveChanges = new QPushButton(m_hero);
    m_saveChanges->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    connect(m_saveChanges, &QPushButton::clicked, this, [this] {
        if (const std::optional<Ensemble> e = m_model.heroEnsemble())
            m_model.saveChanges(*e);
    });
    right->addWidget(m_saveChanges);
    right->addStretch(1);
    layout->addLayout(right, 2);
}

QList<EnsembleCard*> EnsemblesPage::cards()
{
    flushCards();
    QList<EnsembleCard*> result;
    for (const QUuid& id : m_cardOrder)
        result << m_cards.value(id);
    return result;
}

EnsembleCard* EnsemblesPage::card(const QUuid& id)
{
    flushCards();
    return m_cards.value(id);
}

EnsembleCard* EnsemblesPage::sameAsMainCard()
{
    flushCards();
    return m_sameCard;
}

EnsembleCard* EnsemblesPage::newTile()
{
    flushCards();
    return m_newTile;
}

void EnsemblesPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    takeRequest();
}

// MARK: refreshing

void EnsemblesPage::refreshAll()
{
    m_cardsQueued = false;
    refreshDisplays();
    rebuildCards();
    refreshAroundCards();
}

void EnsemblesPage::refreshSoon()
{
    // One apply changes several stores one after the other. The hero follows each at once (it is
    // cheap); the cards once, on the next turn, after the change's notice has left for the parts.
    refreshDisplays();
    refreshAroundCards();
    queueCards();
}

void EnsemblesPage::refreshAroundCards()
{
    refreshHero();
    refreshFooter();
    m_changeBox->setVisible(m_model.onMain() && !m_model.library().ensembles().isEmpty());
    if (m_changeBox->isVisibleTo(this))
        m_changeBox->refresh();
    if (m_model.editingID())
        m_editor->refresh();
}

void EnsemblesPage::queueCards()
{
    if (m_cardsQueued)
        return;
    m_cardsQueued = true;
    QMetaObject::invokeMethod(this, &EnsemblesPage::flushCards, Qt::QueuedConnection);
}

void EnsemblesPage::flushCards()
{
    // Every card asked for by name must exist: make the ones still waiting.
    const bool allMade = m_cards.size() >= m_model.library().ensembles().size();
    if (!m_cardsQueued && allMade)
        return;
    m_cardsQueued = false;
    m_cardLimit = std::numeric_limits<int>::max();
    rebuildCards();
}

void EnsemblesPage::buildMoreCards()
{
    m_moreQueued = false;
    if (m_cards.size() >= m_model.library().ensembles().size())
        return;
    m_cardLimit += moreCards;
    rebuildCards();
}

void EnsemblesPage::refreshState()
{
    const bool displayMoved = m_cardsForDisplay != m_model.displayID() || m_cardsForMain != m_model.onMain();
    if (displayMoved) {
        refreshAll();
    } else {
        refreshDisplays();
        refreshHero();
        for (auto it = m_cards.cbegin(); it != m_cards.cend(); ++it)
            it.value()->setSelected(!m_model.sameSelected() && m_model.selectedID() == it.key());
        if (m_sameCard)
            m_sameCard->setSelected(m_model.sameSelected());
    }
    const bool editing = m_model.editingID().has_value();
    m_hero->setVisible(!editing && m_model.heroEnsemble().has_value());
    m_editor->setVisible(editing);
    if (editing)
        m_editor->refresh();
}

void EnsemblesPage::refreshDisplays()
{
    const QList<ScreenInfo> screens = m_model.screens();
    const bool several = screens.size() > 1;
    m_displayPicker->setVisible(several);
    auto* layout = static_cast<QHBoxLayout*>(m_displayPicker->layout());
    if (m_displayButtons.size() != screens.size()) {
        qDeleteAll(m_displayButtons);
        m_displayButtons.clear();
        for (qsizetype i = 0; i < screens.size(); ++i) {
            auto* button = new QPushButton(m_displayPicker);
            button->setCheckable(true);
            AppStyle::mark(button, "segment");
            layout->insertWidget(int(i), button);
            m_displayButtons << button;
        }
    }
    const std::optional<ScreenInfo> chosen = m_model.chosen();
    for (qsizetype i = 0; i < screens.size(); ++i) {
        QPushButton* button = m_displayButtons[i];
        const ScreenInfo screen = screens[i];
        button->setText(EnsemblesModel::displayName(screen));
        button->setChecked(chosen && chosen->displayID == screen.displayID);
        button->disconnect(this);
        connect(button, &QPushButton::clicked, this, [this, screen] {
            m_model.setDisplayID(Screens::isMain(screen) ? std::nullopt : std::optional(screen.displayID));
        });
    }
}

void EnsemblesPage::refreshHero()
{
    const std::optional<Ensemble> hero = m_model.heroEnsemble();
    const bool editing = m_model.editingID().has_value();
    m_hero->setVisible(hero && !editing);
    if (!hero)
        return;
    LibraryStore& library = m_model.library();
    const bool onMain = m_model.onMain();
    const LookPlace place = m_model.place();
    const std::optional<ScreenInfo> chosen = m_model.chosen();

    // The lock screen of every display shows the main display's ensemble.
    const std::optional<Ensemble> lockEnsemble = onMain ? hero : library.currentEnsemble();
    const Ensemble& shown = (place == LookPlace::lockScreen && lockEnsemble) ? *lockEnsemble : *hero;

    m_preview->setScreenSize(chosen ? chosen->size : QSizeF());
    m_preview->setPlace(place);
    m_heroPicture = library.thumbnailPath(shown.wallpaper);
    m_preview->setWallpaper(EnsembleCard::picture(m_heroPicture, heroPictureWidth, library.thumbnailVersion()));
    // A video wallpaper plays in the miniature of the desktop.
    const std::optional<Wallpaper> wallpaper = library.wallpaperOf(shown);
    const QString media = wallpaper ? library.mediaPath(*wallpaper) : QString();
    m_preview->setVideo(place == LookPlace::desktop && MediaKind::isVideo(media) ? media : QString());
    TaskbarSettings bar = m_model.taskbar().settings();
    if (shown.taskbarTheme) {
        for (const Theme& theme : m_model.taskbar().themes())
            if (theme.id == *shown.taskbarTheme)
                bar = theme.applied(bar);
    }
    const bool barHere = onMain || bar.displays == BarDisplays::all;
    m_preview->setBar(barHere ? std::optional(bar.withoutWindowBlur()) : std::nullopt);
    ClockStyle clock = m_model.clocks().style();
    if (shown.clockPreset) {
        for (const NamedStyle& preset : m_model.clocks().customPresets())
            if (preset.id == *shown.clockPreset)
                clock = preset.style;
    }
    m_preview->setClock(clock);
    m_desktopButton->setChecked(place == LookPlace::desktop);
    m_lockButton->setChecked(place == LookPlace::lockScreen);

    const EnsemblesModel::Line caption = m_model.caption();
    m_caption->setText(caption.text);
    setColour(m_caption, colourOf(caption.tone));

    // A following display shows the same-as-main card until another card is picked.
    const bool following = m_model.followsMain() && (m_model.sameSelected() || !m_model.selectedID());
    m_badgeBox->setVisible(following);
    m_title->setText(m_model.sameSelected() ? QStringLiteral("Same as main display") : hero->name);
    m_apply->setVisible(following ? false : m_model.sameSelected() ? !m_model.followsMain() : !m_model.isInUseHere(*hero));
    m_edit->setVisible(!following && !m_model.sameSelected());

    m_parts->setVisible(!following);
    m_follows->setVisible(following);
    if (following)
        m_follows->setText(m_model.followsMainLine(*hero));
    m_partValues[0]->setText(m_model.wallpaperName(*hero));
    m_partValues[1]->setText(m_model.clockName(*hero));
    m_partValues[2]->setText(m_model.taskbarName(*hero));
    for (QLabel* value : m_partValues)
        value->setToolTip(value->text());

    const QStringList changes = following ? QStringList() : m_model.changes(*hero);
    m_changes->setVisible(!changes.isEmpty());
    m_changes->setText(changes.join(QLatin1Char('\n')));
    m_saveChanges->setVisible(!changes.isEmpty());
    m_saveChanges->setText(QStringLiteral("Save Changes to ") + hero->name);
}

void EnsemblesPage::rebuildCards()
{
    const QList<Ensemble>& ensembles = m_model.library().ensembles();
    QHash<QUuid, EnsembleCard*> kept;
    QList<QUuid> order;
    QList<QWidget*> items;
    const bool onMain = m_model.onMain();
    if (!onMain) {
        if (!m_sameCard) {
            m_sameCard = new EnsembleCard(EnsembleCard::Kind::sameAsMain, QUuid(), m_grid);
            connect(m_sameCard, &EnsembleCard::clicked, this, [this] { m_model.selectSame(); });
            connect(m_sameCard, &EnsembleCard::doubleClicked, this, [this] { m_model.applySame(); });
            connect(m_sameCard, &EnsembleCard::applyClicked, this, [this] { m_model.applySame(); });
        }
        items << m_sameCard;
    } else if (m_sameCard) {
        m_sameCard->hide();
        m_sameCard->deleteLater();
        m_sameCard = nullptr;
    }
    int made = int(m_cards.size());
    bool waiting = false;
    for (const Ensemble& e : ensembles) {
        EnsembleCard* card = m_cards.take(e.id);
        if (!card) {
            if (made >= m_cardLimit) {
                waiting = true;
                continue;
            }
            ++made;
            card = new EnsembleCard(EnsembleCard::Kind::ensemble, e.id, m_grid);
            connect(card, &EnsembleCard::clicked, this, [this](const QUuid& id) { m_model.select(id); });
            connect(card, &EnsembleCard::doubleClicked, this, [this](const QUuid& id) {
                if (const std::optional<Ensemble> e = m_model.library().ensemble(id))
                    m_model.apply(*e);
            });
            connect(card, &EnsembleCard::applyClicked, this, [this](const QUuid& id) {
                if (const std::optional<Ensemble> e = m_model.library().ensemble(id))
                    m_model.apply(*e);
            });
            connect(card, &EnsembleCard::menuRequested, this, [this](const QUuid& id, const QPoint& at) { menuFor(id)->popup(at); });
        }
        kept.insert(e.id, card);
        order << e.id;
        items << card;
    }
    // Cards of ensembles that are gone go later: one may be the sender of the click that removed it.
    for (EnsembleCard* gone : std::as_const(m_cards)) {
        gone->hide();
        gone->deleteLater();
    }
    // The new tile ends the gallery once every card is there.
    if (waiting)
        m_newTile->hide();
    else
        items << m_newTile;
    m_cards = kept;
    m_cardOrder = order;
    m_grid->setItems(items);
    if (waiting && !m_moreQueued) {
        m_moreQueued = true;
        QMetaObject::invokeMethod(this, &EnsemblesPage::buildMoreCards, Qt::QueuedConnection);
    }
    m_cardsForDisplay = m_model.displayID();
    m_cardsForMain = onMain;
    refreshCards();
    refreshCardThumbnails();
}

void EnsemblesPage::refreshCards()
{
    LibraryStore& library = m_model.library();
    QHash<QUuid, QColor> clockColours;
    for (const NamedStyle& preset : m_model.clocks().customPresets())
        clockColours.insert(preset.id, preset.style.timeColor.color());
    const QColor currentClock = m_model.clocks().style().timeColor.color();
    const QString time = chipTime();
    for (const Ensemble& e : library.ensembles()) {
        EnsembleCard* card = m_cards.value(e.id);
        if (!card)
            continue;
        const EnsemblesModel::Line status = m_model.cardStatus(e);
        EnsembleCard::Content content;
        content.name = e.name;
        content.status = status.text;
        content.statusColour = colourOf(status.tone);
        content.clockText = time;
        content.clockColour = e.clockPreset ? clockColours.value(*e.clockPreset, Brand::muted()) : currentClock;
        content.canApply = !m_model.isInUseHere(e);
        card->setContent(content);
        card->setToolTip(m_model.tooltip(e));
        card->setAccessibleName(m_model.accessibleName(e));
        card->setSelected(!m_model.sameSelected() && m_model.selectedID() == e.id);
    }
    if (m_sameCard) {
        const std::optional<Ensemble> main = library.currentEnsemble();
        EnsembleCard::Content content;
        content.name = QStringLiteral("Same as main");
        if (m_model.followsMain()) {
            content.status = QStringLiteral("● IN USE");
            content.statusColour = Brand::ok();
        }
        content.clockText = main ? time : QString();
        content.clockColour = currentClock;
        content.canApply = !m_model.followsMain();
        m_sameCard->setContent(content);
        m_sameCard->setToolTip(main ? QStringLiteral("Follow the main display: ") + main->name : QStringLiteral("Follow the main display"));
        m_sameCard->setAccessibleName(m_model.followsMain() ? QStringLiteral("Same as main, in use") : QStringLiteral("Same as main"));
        m_sameCard->setSelected(m_model.sameSelected());
    }
}

void EnsemblesPage::refreshCardThumbnails()
{
    // Cards read their pictures when painted, so only the ones on screen are read.
    LibraryStore& library = m_model.library();
    const int version = library.thumbnailVersion();
    for (const Ensemble& e : library.ensembles()) {
        if (EnsembleCard* card = m_cards.value(e.id))
            card->setPicturePath(library.thumbnailPath(e.wallpaper), version);
    }
    if (m_sameCard) {
        const std::optional<Ensemble> main = library.currentEnsemble();
        m_sameCard->setPicturePath(main ? library.thumbnailPath(main->wallpaper) : QString(), version);
    }
}

void EnsemblesPage::refreshFooter()
{
    const QString restore = m_model.restoreText();
    m_restore->setText(restore);
    m_restore->setVisible(!restore.isEmpty());
    const bool empty = m_model.library().ensembles().isEmpty();
    m_help->setText(m_model.helpLines().join(QLatin1Char('\n')));
    m_help->setVisible(!empty);
    m_empty->setVisible(empty);
}

// MARK: actions

void EnsemblesPage::takeRequest()
{
    if (const std::optional<QUuid> id = m_model.takeRequest()) {
        if (EnsembleCard* card = this->card(*id)) {
            // After layout, so the card has its place.
            QPointer<EnsembleCard> target(card);
            QTimer::singleShot(0, this, [this, target] {
                if (target)
                    scrollTo(target);
            });
        }
    }
}

void EnsemblesPage::scrollTo(QWidget* widget)
{
    m_scroll->ensureWidgetVisible(widget, 0, 40);
}

QMenu* EnsemblesPage::menuFor(const QUuid& id)
{
    if (m_menu)
        m_menu->deleteLater();
    m_menu = new QMenu(this);
    m_menu->setAttribute(Qt::WA_DeleteOnClose);
    const std::optional<Ensemble> ensemble = m_model.library().ensemble(id);
    if (!ensemble)
        return m_menu;
    for (EnsemblesModel::Action action : m_model.menu(*ensemble)) {
        if (action == EnsemblesModel::Action::divider) {
            m_menu->addSeparator();
            continue;
        }
        QAction* item = m_menu->addAction(EnsemblesModel::actionTitle(action, *ensemble));
        connect(item, &QAction::triggered, this, [this, action, id] { runAction(action, id); });
    }
    return m_menu;
}

void EnsemblesPage::runAction(EnsemblesModel::Action action, const QUuid& id)
{
    const std::optional<Ensemble> ensemble = m_model.library().ensemble(id);
    if (!ensemble)
        return;
    switch (action) {
    case EnsemblesModel::Action::apply: m_model.apply(*ensemble); break;
    case EnsemblesModel::Action::saveChanges: m_model.saveChanges(*ensemble); break;
    case EnsemblesModel::Action::rename: askRename(id); break;
    case EnsemblesModel::Action::duplicate: m_model.duplicate(*ensemble); break;
    case EnsemblesModel::Action::wallpaperDetails: m_model.wallpaperDetails(*ensemble); break;
    case EnsemblesModel::Action::divider: break;
    case EnsemblesModel::Action::remove: askDelete(id); break;
    }
}

void EnsemblesPage::openDetail(const QString& detail)
{
    const QString name = detail.toLower();
    if (name == QLatin1String("lockscreen")) {
        m_model.setPlace(LookPlace::lockScreen);
    } else if (name == QLatin1String("new")) {
        if (m_model.newEnsemble())
            m_model.setSlot(EnsemblesModel::Slot::clock);
    } else if (name == QLatin1String("second")) {
        const QList<ScreenInfo> screens = m_model.screens();
        if (screens.size() > 1)
            m_model.setDisplayID(screens.at(1).displayID);
    }
}

void EnsemblesPage::askRename(const QUuid& id)
{
    const std::optional<Ensemble> ensemble = m_model.library().ensemble(id);
    if (!ensemble)
        return;
    if (m_renameDialog)
        m_renameDialog->close();
    m_renameDialog = new RenameEnsembleDialog(ensemble->name, this);
    m_renameDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_renameDialog, &QDialog::accepted, this, [this, id] {
        if (const std::optional<Ensemble> now = m_model.library().ensemble(id))
            m_model.rename(*now, m_renameDialog->name());
    });
    m_renameDialog->open();
}

void EnsemblesPage::askDelete(const QUuid& id)
{
    const std::optional<Ensemble> ensemble = m_model.library().ensemble(id);
    if (!ensemble)
        return;
    if (m_deleteDialog)
        m_deleteDialog->close();
    m_deleteDialog = new DeleteEnsembleDialog(ensemble->name, m_model.deleteMessage(*ensemble), this);
    m_deleteDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_deleteDialog, &QDialog::accepted, this, [this, id] {
        if (const std::optional<Ensemble> now = m_model.library().ensemble(id))
            m_model.remove(*now);
    });
    m_deleteDialog->open();
}
