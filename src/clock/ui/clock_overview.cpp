#include "clock/ui/clock_overview.h"

#include "brand/ui/card_grid.h"

#include "brand/ui/page_scroll.h"
#include "platform/desktop_words.h"

#include "brand/brand.h"
#include "brand/brand_font.h"
#include "brand/ui/toggle_switch.h"
#include "clock/style_store.h"
#include "clock/ui/clock_controls.h"
#include "clock/ui/preset_card.h"
#include "library/library_store.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int cardMinWidth = 210;
constexpr int gridGap = 14;

QFrame* box(QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setProperty("role", QStringLiteral("box"));
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(6);
    return frame;
}

} // namespace

QString ClockOverview::timeFormatTitle(ClockTimeFormat format)
{
    return title(format);
}

QString ClockOverview::timeFormatNote()
{
    return DesktopWords::current().fill(u"Follow {systemName} uses the {computer}'s Date & Time setting.");
}

ClockOverview::ClockOverview(StyleStore& store, LibraryStore* library, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_library(library)
    , m_content(new QWidget)
    , m_scroll(PageScroll::fill(*this, m_content))
{

    const int padding = int(Brand::pagePadding);
    auto* page = new QVBoxLayout(m_content);
    page->setContentsMargins(padding, padding, padding, padding);
    page->setSpacing(10);

    auto* header = new QLabel(QStringLiteral("Lock Screen Clock"), m_content);
    header->setFont(BrandFont::display(22, QFont::DemiBold));
    page->addWidget(header);

    // The part's state and the way to the explanation.
    auto* statusRow = new QHBoxLayout;
    statusRow->setSpacing(12);
    m_status = new QLabel(m_content);
    m_status->setTextFormat(Qt::RichText);
    m_status->setFont(BrandFont::ui(10));
    statusRow->addWidget(m_status);
    auto* how = new QPushButton(QStringLiteral("How it works"), m_content);
    how->setProperty("role", QStringLiteral("link"));
    how->setCursor(Qt::PointingHandCursor);
    connect(how, &QPushButton::clicked, this, &ClockOverview::showHowItWorks);
    statusRow->addWidget(how);
    statusRow->addStretch(1);
    page->addLayout(statusRow);
    page->addSpacing(14);

    // Presets, with their number and the two ways into the editor.
    auto* presetsRow = new QHBoxLayout;
    m_presetsTitle = new QLabel(m_content);
    m_presetsTitle->setTextFormat(Qt::RichText);
    m_presetsTitle->setFont(BrandFont::ui(12, QFont::DemiBold));
    presetsRow->addWidget(m_presetsTitle);
    presetsRow->addStretch(1);
    m_newPreset = new QPushButton(QStringLiteral("New preset…"), m_content);
    m_editClock = new QPushButton(QStringLiteral("Edit clock"), m_content);
    m_editClock->setProperty("role", QStringLiteral("primary"));
    presetsRow->addWidget(m_newPreset);
    presetsRow->addWidget(m_editClock);
    page->addLayout(presetsRow);
    connect(m_newPreset, &QPushButton::clicked, this, &ClockOverview::newPresetRequested);
    connect(m_editClock, &QPushButton::clicked, this, &ClockOverview::editClockRequested);

    m_grid = new QWidget(m_content);
    m_gridLayout = new QGridLayout(m_grid);
    m_gridLayout->setContentsMargins(0, 4, 0, 0);
    m_gridLayout->setSpacing(gridGap);
    page->addWidget(m_grid);

    m_fold = new QPushButton(m_content);
    m_fold->setProperty("role", QStringLiteral("link"));
    m_fold->setCursor(Qt::PointingHandCursor);
    connect(m_fold, &QPushButton::clicked, this, [this] { setUnfolded(!m_unfolded); });
    page->addWidget(m_fold, 0, Qt::AlignLeft);
    m_restoreLayout = new QVBoxLayout;
    m_restoreLayout->setSpacing(6);
    page->addLayout(m_restoreLayout);
    page->addSpacing(22);

    // How it works: the two choices that are the same in every ensemble.
    page->addWidget(ClockControls::heading(QStringLiteral("How it works"), m_content));
    QFrame* howBox = box(m_content);
    m_howBox = howBox;
    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(ClockControls::title(QStringLiteral("Time format"), howBox), 1);
    m_timeFormat = new QComboBox(howBox);
    m_timeFormat->setAccessibleName(QStringLiteral("Time format"));
    for (ClockTimeFormat format : allCases<ClockTimeFormat>())
        m_timeFormat->addItem(timeFormatTitle(format), rawValue(format));
    formatRow->addWidget(m_timeFormat);
    howBox->layout()->addItem(formatRow);
    howBox->layout()->addWidget(ClockControls::note(timeFormatNote(), howBox));
    howBox->layout()->addWidget(ClockControls::note(QStringLiteral("The same in every ensemble"), howBox));
    auto* rule = new QFrame(howBox);
    rule->setProperty("role", QStringLiteral("rule"));
    howBox->layout()->addWidget(rule);
    auto* desktopRow = new QHBoxLayout;
    auto* desktopTexts = new QVBoxLayout;
    desktopTexts->setSpacing(2);
    desktopTexts->addWidget(ClockControls::title(QStringLiteral("Show the clock on the desktop"), howBox));
    desktopTexts->addWidget(ClockControls::note(QStringLiteral("Behind your windows, in the same place as on the lock screen."), howBox));
    desktopRow->addLayout(desktopTexts, 1);
    m_desktop = new ToggleSwitch(howBox);
    m_desktop->setAccessibleName(QStringLiteral("Show the clock on the desktop"));
    desktopRow->addWidget(m_desktop, 0, Qt::AlignVCenter);
    howBox->layout()->addItem(desktopRow);
    page->addWidget(howBox);
    page->addStretch(1);

    connect(m_timeFormat, &QComboBox::activated, this, [this](int index) {
        m_store.setTimeFormat(allCases<ClockTimeFormat>().value(index));
    });
    connect(m_desktop, &QAbstractButton::clicked, this, [this](bool on) {
        m_store.setShowOnDesktop(on);
        syncOptions();
    });

    connect(&m_store, &StyleStore::customPresetsChanged, this, [this] {
        syncCards();
        syncRestore();
    });
    connect(&m_store, &StyleStore::styleChanged, this, &ClockOverview::syncStatuses);
    connect(&m_store, &StyleStore::activePresetIDChanged, this, &ClockOverview::syncStatuses);
    connect(&m_store, &StyleStore::showOnDesktopChanged, this, [this] {
        syncOptions();
        syncStatusLine();
    });
    connect(&m_store, &StyleStore::timeFormatChanged, this, &ClockOverview::syncOptions);
    if (m_library) {
        connect(m_library, &LibraryStore::ensemblesChanged, this, &ClockOverview::syncStatuses);
        connect(m_library, &LibraryStore::currentEnsembleIDChanged, this, &ClockOverview::syncStatuses);
    }
    syncCards();
    syncRestore();
    syncStatusLine();
    syncOptions();
}

void ClockOverview::setRunning(bool running)
{
    m_running = running;
    syncStatusLine();
}

void ClockOverview::setBackdrop(const QImage& image)
{
    m_backdrop = image;
    for (PresetCard* card : std::as_const(m_cards))
        card->setBackdrop(image);
}

QList<PresetCard*> ClockOverview::cards() const
{
    return CardGrid::inOrder(m_order, m_cards);
}

void ClockOverview::syncStatusLine()
{
    QString text;
    QColor dot = Brand::off();
    if (m_running) {
        text = m_store.showOnDesktop() ? QStringLiteral("Showing on the lock screen · desktop") : QStringLiteral("Showing on the lock screen");
        dot = Brand::ok();
    } else {
        text = QStringLiteral("Not running");
    }
    m_status->setText(QStringLiteral("<span style=\"color:%1\">●</span>&nbsp; %2").arg(dot.name(), text.toHtmlEscaped()));
    m_status->setAccessibleName(text);
}

void ClockOverview::syncOptions()
{
    m_timeFormat->setCurrentIndex(int(allCases<ClockTimeFormat>().indexOf(m_store.timeFormat())));
    m_desktop->setChecked(m_store.showOnDesktop());
}

void ClockOverview::syncCards()
{
    const QList<NamedStyle>& presets = m_store.customPresets();
    QList<QUuid> order;
    QHash<QUuid, PresetCard*> kept;
    for (const NamedStyle& preset : presets) {
        PresetCard* card = m_cards.take(preset.id);
        if (!card) {
            card = new PresetCard(m_grid);
            card->setBackdrop(m_backdrop);
            const QUuid id = preset.id;
            connect(card, &PresetCard::clicked, this, [this, id] { select(id); });
            connect(card, &PresetCard::doubleClicked, this, [this, id] {
                if (const PresetCard* c = m_cards.value(id))
                    m_store.applyPreset(c->preset());
            });
            connect(card, &PresetCard::menuRequested, this, [this, id, card] {
                select(id);
                QMenu* menu = menuFor(id, card);
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menu->popup(card->menuButton()->mapToGlobal(QPoint(0, card->menuButton()->height())));
            });
        }
        kept.insert(preset.id, card);
        order << preset.id;
    }
    // Cards of presets that are gone.
    qDeleteAll(m_cards);
    m_cards = kept;
    m_order = order;
    if (m_selectedID && !m_cards.contains(*m_selectedID))
        m_selectedID.reset();
    m_presetsTitle->setText(QStringLiteral("Presets&nbsp;&nbsp;<span style=\"color:%1\">%2</span>")
                                .arg(Brand::muted().name()).arg(presets.size()));
    syncStatuses();
    layoutGrid(true);
}

void ClockOverview::syncStatuses()
{
    const std::optional<QUuid> active = m_store.activePreset() ? m_store.activePresetID() : std::nullopt;
    const bool edited = m_store.activePresetEdited();
    for (const NamedStyle& preset : m_store.customPresets()) {
        PresetCard* card = m_cards.value(preset.id);
        if (!card)
            continue;
        const PresetCard::Status status = active != preset.id ? PresetCard::Status::none
            : edited                                           ? PresetCard::Status::edited
                                                               : PresetCard::Status::inUse;
        const QString ensembles = m_library ? LibraryStore::ensembleCountText(m_library->ensembleCountOfClock(preset.id)) : QString();
        card->setPreset(preset, status, ensembles, m_selectedID == preset.id);
    }
}

void ClockOverview::syncRestore()
{
    qDeleteAll(m_restoreButtons);
    m_restoreButtons.clear();
    const QList<NamedStyle> missing = m_store.missingBuiltInPresets();
    if (missing.isEmpty())
        return;
    const QString text = missing.size() == 1 ? QStringLiteral("Restore 1 built-in preset")
                                             : QStringLiteral("Restore %1 built-in presets").arg(missing.size());
    auto* all = new QPushButton(text, m_content);
    connect(all, &QPushButton::clicked, this, [this] { m_store.restoreBuiltInPresets(); });
    m_restoreLayout->addWidget(all, 0, Qt::AlignLeft);
    m_restoreButtons << all;
}

void ClockOverview::layoutGrid(bool force)
{
    const int cols = CardGrid::pageColumns(*this, *m_scroll, gridGap, cardMinWidth);
    if (!force && cols == m_columns)
        return;
    m_columns = cols;
    QList<QWidget*> cards;
    for (const QUuid& id : std::as_const(m_order))
        cards << m_cards.value(id);
    m_fold->setVisible(CardGrid::placeFolded(*m_gridLayout, cards, cols, m_unfolded, foldedCount));
    m_fold->setText(m_unfolded ? QStringLiteral("Show fewer")
                               : QStringLiteral("Show all ") + QString::number(m_order.size()) + QStringLiteral(" presets"));
}

void ClockOverview::setUnfolded(bool unfolded)
{
    if (unfolded == m_unfolded)
        return;
    m_unfolded = unfolded;
    layoutGrid(true);
}

void ClockOverview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutGrid();
}

void ClockOverview::select(const std::optional<QUuid>& id)
{
    if (id == m_selectedID)
        return;
    m_selectedID = id;
    syncStatuses();
}

void ClockOverview::scrollToTop()
{
    m_scroll->verticalScrollBar()->setValue(0);
}

void ClockOverview::showHowItWorks()
{
    m_scroll->ensureWidgetVisible(m_howBox);
}

QMenu* ClockOverview::menuFor(const QUuid& id, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    const auto found = std::find_if(m_store.customPresets().cbegin(), m_store.customPresets().cend(),
                                    [&](const NamedStyle& p) { return p.id == id; });
    if (found == m_store.customPresets().cend())
        return menu;
    const NamedStyle preset = *found;
    if (m_store.activePresetID() != id)
        menu->addAction(QStringLiteral("Apply"), this, [this, preset] { m_store.applyPreset(preset); });
    menu->addAction(QStringLiteral("Edit preset…"), this, [this, id] { emit editPresetRequested(id); });
    if (m_library && m_library->currentEnsemble()) {
        menu->addAction(QStringLiteral("Use in current ensemble"), this, [this, id] {
            if (const auto ensemble = m_library->currentEnsemble())
                m_library->setLook(*ensemble, LibraryStore::LookSlot::clock, id);
        });
    }
    menu->addAction(QStringLiteral("Rename…"), this, [this, id] { emit renameRequested(id); });
    if (m_store.originalPreset(id))
        menu->addAction(QStringLiteral("Reset to original"), this, [this, id] { m_store.resetPreset(id); });
    menu->addSeparator();
    QAction* remove = menu->addAction(QStringLiteral("Delete…"), this, [this, id] { emit deleteRequested(id); });
    remove->setProperty("destructive", true);
    return menu;
}
