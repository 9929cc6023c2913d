#include "taskbar/ui/taskbar_page.h"

#include "brand/ui/card_grid.h"

#include "brand/brand.h"
#include "brand/brand_font.h"
#include "brand/ui/page_scroll.h"
#include "brand/ui/page_style.h"
#include "brand/ui/toggle_switch.h"
#include "clock/ui/clock_controls.h"
#include "core/notices.h"
#include "core/settings_sync.h"
#include "core/zentrove.h"
#include "library/library_store.h"
#include "taskbar/preview/preview_bar.h"
#include "taskbar/settings_store.h"
#include "taskbar/ui/apps_editor.h"
#include "taskbar/ui/style_editor.h"
#include "taskbar/ui/taskbar_dialogs.h"
#include "taskbar/ui/theme_card.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>



namespace {

constexpr int cardMinWidth = 210;
constexpr int gridGap = 14;

// The page's own controls besides the shared ones: the banner, the app list and the menu buttons.
QString pageStyle()
{
    const QString line = PageStyle::css(Brand::line());
    const QString raised = PageStyle::css(Brand::raised());
    const QString text = PageStyle::css(Brand::text());
    const QString muted = PageStyle::css(Brand::muted());
    const QString warning = PageStyle::css(Brand::warning());
    return PageStyle::editingControls()
        + QStringLiteral(
              "QFrame[role=\"banner\"] { background: rgba(243, 183, 101, 0.10); border: 1px solid %5; border-radius: 8px; }"
              "QListWidget { background: transparent; color: %4; }"
              "QListWidget::item { padding: 4px 8px; border-radius: 6px; }"
              "QListWidget::item:selected { background: %2; color: %3; }"
              "QToolButton { color: %3; background: %1; border: 1px solid %2; border-radius: 6px; font-size: 15px; }"
              "QToolButton::menu-indicator { image: none; width: 0; }")
              .arg(raised, line, text, muted, warning);
}

QFrame* box(QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setProperty("role", QStringLiteral("box"));
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(8);
    return frame;
}

QFrame* rule(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setProperty("role", QStringLiteral("rule"));
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(QStringLiteral("color: %1;").arg(Brand::line().name()));
    return line;
}

QLabel* wrapped(const QString& text, QWidget* parent, bool muted)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    if (muted) {
        label->setProperty("role", QStringLiteral("muted"));
        label->setFont(BrandFont::ui(9));
    }
    return label;
}

// A behaviour row: the title and its note on the left, the control on the right.
struct Row
{
    QWidget* widget;
    QLabel* note;
};

Row settingRow(const QString& title, const QString& note, QWidget* control, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(16);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(wrapped(title, row, false));
    QLabel* noteLabel = wrapped(note, row, true);
    noteLabel->setVisible(!note.isEmpty());
    texts->addWidget(noteLabel);
    layout->addLayout(texts, 1);
    control->setParent(row);
    control->setAccessibleName(title);
    layout->addWidget(control, 0, Qt::AlignVCenter);
    return {row, noteLabel};
}

// An open padlock in the warning colour.
QPixmap openLock(double dpr)
{
    QPixmap pixmap(QSize(18, 18) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Brand::warning(), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(7, 1.5, 8, 9), 0, 180 * 16);
    p.drawLine(QPointF(15, 6), QPointF(15, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(Brand::warning());
    p.drawRoundedRect(QRectF(2, 8, 12, 9), 2, 2);
    return pixmap;
}

template<typename E>
QComboBox* picker(QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    for (E value : TaskbarEnum::allCases<E>())
        combo->addItem(TaskbarEnum::title(value), TaskbarEnum::rawValue(value));
    combo->setMinimumWidth(190);
    return combo;
}

template<typename E>
void setPicked(QWidget* widget, E value)
{
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        combo->setCurrentIndex(int(TaskbarEnum::allCases<E>().indexOf(value)));
}

} // namespace

TaskbarPage::TaskbarPage(SettingsStore& store, LibraryStore* library, QWidget* parent, std::function<void(const QString&)> send)
    : QWidget(parent)
    , m_store(store)
    , m_library(library)
    , m_send(send ? std::move(send) : std::function<void(const QString&)>([](const QString& command) { SettingsSync::send(command, Zentrove::taskbarID()); }))
    , m_stack(new QStackedWidget(this))
{
    openSettings = [](SettingsPane pane) { DesktopWords::openSettings(pane); };
    setStyleSheet(pageStyle());
    m_editor = new StyleEditor(store, library, m_stack, m_send);
    m_stack->addWidget(buildOverview());
    m_stack->addWidget(m_editor);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);

    connect(m_editor, &StyleEditor::backRequested, this, &TaskbarPage::back);
    connect(m_editor, &StyleEditor::saveIntoRequested, this, &TaskbarPage::askSaveInto);
    connect(m_editor, &StyleEditor::saveAsNewRequested, this, &TaskbarPage::askSaveAsNew);
    connect(m_editor, &StyleEditor::discardRequested, this, &TaskbarPage::askDiscard);
    connect(m_editor, &StyleEditor::newStyleRequested, this, &TaskbarPage::askNewStyle);

    connect(&m_store, &SettingsStore::themesChanged, this, [this] {
        syncCards();
        syncRestore();
        emit leaveGuardChanged();
    });
    connect(&m_store, &SettingsStore::settingsChanged, this, [this] {
        syncStatuses();
        syncSettings();
        emit leaveGuardChanged();
    });
    connect(&m_store, &SettingsStore::activeThemeIDChanged, this, [this] {
        syncStatuses();
        emit leaveGuardChanged();
    });
    connect(&m_store, &SettingsStore::accessibilityTrustedChanged, this, &TaskbarPage::syncPermissions);
    connect(&m_store, &SettingsStore::screenRecordingChanged, this, &TaskbarPage::syncPermissions);
    if (m_library) {
        connect(m_library, &LibraryStore::ensemblesChanged, this, &TaskbarPage::syncStatuses);
        connect(m_library, &LibraryStore::currentIDChanged, this, &TaskbarPage::syncBackdrop);
        connect(m_library, &LibraryStore::thumbnailVersionChanged, this, &TaskbarPage::syncBackdrop);
    }
    syncBackdrop();
    syncCards();
    syncRestore();
    syncSettings();
    syncPermissions();
    setRunning(false);
}

TaskbarPage::~TaskbarPage() = default;

QWidget* TaskbarPage::buildOverview()
{
    m_content = new QWidget;
    m_scroll = PageScroll::around(m_content, m_stack);
    const DesktopWords& words = DesktopWords::current();

    const int padding = int(Brand::pagePadding);
    auto* page = new QVBoxLayout(m_content);
    page->setContentsMargins(padding, padding, padding, padding);
    page->setSpacing(10);

    // Header: name, state, quit and the way into the editor.
    auto* header = new QHBoxLayout;
    auto* name = new QLabel(QStringLiteral("Taskbar"), m_content);
    name->setFont(BrandFont::display(22, QFont::DemiBold));
    header->addWidget(name);
    header->addStretch(1);
    m_quit = new QPushButton(QStringLiteral("⏻  Quit Taskbar"), m_content);
    m_quit->setAccessibleName(QStringLiteral("Quit Taskbar"));
    connect(m_quit, &QPushButton::clicked, this, &TaskbarPage::quitRequested);
    header->addWidget(m_quit);
    m_edit = new QPushButton(QStringLiteral("Edit style"), m_content);
    m_edit->setProperty("role", QStringLiteral("primary"));
    connect(m_edit, &QPushButton::clicked, this, [this] { openEditor(); });
    header->addWidget(m_edit);
    page->addLayout(header);
    m_status = new QLabel(m_content);
    m_status->setTextFormat(Qt::RichText);
    m_status->setFont(BrandFont::ui(10));
    page->addWidget(m_status);

    // The accessibility banner, while the part is not trusted.
    auto* banner = new QFrame(m_content);
    banner->setProperty("role", QStringLiteral("banner"));
    auto* bannerLayout = new QHBoxLayout(banner);
    bannerLayout->setContentsMargins(14, 10, 14, 10);
    bannerLayout->setSpacing(12);
    auto* lock = new QLabel(banner);
    lock->setPixmap(openLock(devicePixelRatioF()));
    bannerLayout->addWidget(lock, 0, Qt::AlignTop);
    auto* bannerTexts = new QVBoxLayout;
    auto* bannerTitle = new QLabel(QStringLiteral("Taskbar needs ") + QStringLiteral("Accessibility"), banner);
    bannerTitle->setFont(BrandFont::ui(10.5, QFont::DemiBold));
    bannerTexts->addWidget(bannerTitle);
    bannerTexts->addWidget(wrapped(words.fill(u"Turn on Zentrove Taskbar under {privacy} → ") + QStringLiteral("Accessibility"), banner, true));
    bannerLayout->addLayout(bannerTexts, 1);
    auto* openAccess = new QPushButton(words.fill(u"Open {settingsApp}"), banner);
    connect(openAccess, &QPushButton::clicked, this, [this] { askPermission(SettingsPane::accessibility); });
    bannerLayout->addWidget(openAccess, 0, Qt::AlignVCenter);
    m_accessBanner = banner;
    page->addWidget(banner);
    page->addSpacing(12);

    // Bar styles.
    auto* stylesRow = new QHBoxLayout;
    stylesRow->addWidget(ClockControls::heading(QStringLiteral("Bar styles"), m_content));
    stylesRow->addStretch(1);
    m_newStyle = new QPushButton(QStringLiteral("New Bar Style…"), m_content);
    connect(m_newStyle, &QPushButton::clicked, this, &TaskbarPage::askNewStyle);
    stylesRow->addWidget(m_newStyle);
    page->addLayout(stylesRow);
    page->addWidget(wrapped(QStringLiteral("Click to select, double-click to use it."), m_content, true));
    m_grid = new QWidget(m_content);
    m_gridLayout = new QGridLayout(m_grid);
    m_gridLayout->setContentsMargins(0, 4, 0, 0);
    m_gridLayout->setSpacing(gridGap);
    page->addWidget(m_grid);
    auto* below = new QHBoxLayout;
    m_count = new QLabel(m_content);
    m_count->setProperty("role", QStringLiteral("muted"));
    below->addWidget(m_count);
    m_fold = new QPushButton(m_content);
    m_fold->setProperty("role", QStringLiteral("link"));
    m_fold->setCursor(Qt::PointingHandCursor);
    connect(m_fold, &QPushButton::clicked, this, [this] { setUnfolded(!m_unfolded); });
    below->addWidget(m_fold);
    below->addStretch(1);
    m_restore = new QPushButton(m_content);
    connect(m_restore, &QPushButton::clicked, this, [this] { m_store.restoreBuiltInThemes(); });
    below->addWidget(m_restore);
    page->addLayout(below);
    page->addSpacing(18);

    // Your apps.
    m_apps = new AppsEditor(m_store, m_content);
    page->addWidget(m_apps);
    page->addSpacing(18);

    // Also on the bar.
    page->addWidget(ClockControls::heading(QStringLiteral("Also on the bar"), m_content));
    QFrame* also = box(m_content);
    auto addToggle = [this](QFrame* frame, const QString& title, const QString& note, std::function<void(TaskbarSettings&, bool)> set) {
        auto* toggle = new ToggleSwitch(frame);
        const Row row = settingRow(title, note, toggle, frame);
        frame->layout()->addWidget(row.widget);
        connect(toggle, &QAbstractButton::clicked, this, [this, set = std::move(set)](bool on) { edit([&](TaskbarSettings& s) { set(s, on); }); });
        m_controls.insert(title, toggle);
        return row;
    };
    auto addPicker = [this](QFrame* frame, const QString& title, const QString& note, QComboBox* combo, std::function<void(TaskbarSettings&, int)> set) {
        const Row row = settingRow(title, note, combo, frame);
        frame->layout()->addWidget(row.widget);
        connect(combo, &QComboBox::activated, this, [this, set = std::move(set)](int i) { edit([&](TaskbarSettings& s) { set(s, i); }); });
        m_controls.insert(title, combo);
        return row;
    };
    addToggle(also, QStringLiteral("Start button"), QStringLiteral("Opens the Apps launcher."), [](TaskbarSettings& s, bool on) { s.startButton = on; });
    addToggle(also, QStringLiteral("Downloads"), QStringLiteral("The newest files, a click away."), [](TaskbarSettings& s, bool on) { s.showDownloads = on; });
    addPicker(also, QStringLiteral("Trash"), QString(), picker<TrashPlacement>(also), [](TaskbarSettings& s, int i) { s.trash = TaskbarEnum::allCases<TrashPlacement>().value(i); });
    page->addWidget(also);
    page->addSpacing(18);

    buildHowItWorks(m_content, page);

    page->addSpacing(18);
    m_reset = new QPushButton(QStringLiteral("Reset all settings…"), m_content);
    connect(m_reset, &QPushButton::clicked, this, &TaskbarPage::askReset);
    page->addWidget(m_reset, 0, Qt::AlignLeft);
    page->addStretch(1);
    return m_scroll;
}

void TaskbarPage::buildHowItWorks(QWidget* parent, QVBoxLayout* page)
{
    const DesktopWords& words = DesktopWords::current();
    page->addWidget(ClockControls::heading(QStringLiteral("How it works"), parent));
    QFrame* how = box(parent);
    auto* layout = static_cast<QVBoxLayout*>(how->layout());
    auto toggle = [&](const QString& title, const QString& note, std::function<void(TaskbarSettings&, bool)> set) {
        auto* control = new ToggleSwitch(how);
        const Row row = settingRow(title, note, control, how);
        layout->addWidget(row.widget);
        connect(control, &QAbstractButton::clicked, this, [this, set = std::move(set)](bool on) { edit([&](TaskbarSettings& s) { set(s, on); }); });
        m_controls.insert(title, control);
        return row;
    };
    auto choose = [&](const QString& title, const QString& note, QComboBox* combo, std::function<void(TaskbarSettings&, int)> set) {
        const Row row = settingRow(title, note, combo, how);
        layout->addWidget(row.widget);
        connect(combo, &QComboBox::activated, this, [this, set = std::move(set)](int i) { edit([&](TaskbarSettings& s) { set(s, i); }); });
        m_controls.insert(title, combo);
        return row;
    };
    auto slider = [&](const QString& title, double min, double max, double step, SliderRow::Format format,
                      std::function<void(TaskbarSettings&, double)> set) {
        auto* row = new SliderRow(title, min, max, step, std::move(format), how);
        row->setContentsMargins(24, 0, 0, 0);
        layout->addWidget(row);
        connect(row, &SliderRow::edited, this, [this, set = std::move(set)](double v) { edit([&](TaskbarSettings& s) { set(s, v); }); });
        m_controls.insert(title, row);
    };

    choose(QStringLiteral("Show the bar on"), words.fill(u"The main display is the one with the {menuBar}."), picker<BarDisplays>(how),
           [](TaskbarSettings& s, int i) { s.displays = TaskbarEnum::allCases<BarDisplays>().value(i); });
    layout->addWidget(rule(how));
    toggle(QStringLiteral("Hide the bar automatically"), QStringLiteral("The bar slides away until you move the pointer to its screen edge."),
           [](TaskbarSettings& s, bool on) { s.autoHide = on; });
    m_reserveNote = toggle(QStringLiteral("Keep windows clear of the bar"), QStringLiteral("Maximized and tiled windows are shortened so they stop at the top of the bar."),
                           [](TaskbarSettings& s, bool on) { s.reserveSpace = on; })
                        .note;
    layout->addWidget(rule(how));
    toggle(QStringLiteral("Show running apps"), QStringLiteral("Apps you haven't pinned appear while they're open."),
           [](TaskbarSettings& s, bool on) { s.showRunningApps = on; });
    Row separate = toggle(QStringLiteral("Separate them from pinned apps"), QString(), [](TaskbarSettings& s, bool on) { s.separateRunningApps = on; });
    separate.widget->setContentsMargins(24, 0, 0, 0);
    layout->addWidget(rule(how));
    toggle(QStringLiteral("Show window previews"), QStringLiteral("Pointing at an open app shows its windows, to pick, close, minimize or make one full screen."),
           [](TaskbarSettings& s, bool on) { s.showWindowPreviews = on; });
    slider(QStringLiteral("Preview delay"), 0, 2, 0.1, [](double v) { return QString::asprintf("%.1fs", v); },
           [](TaskbarSettings& s, double v) { s.previewDelay = v; });
    // Screen recording: asked for by the previews, and the accessibility they need to find windows.
    auto* permission = new QWidget(how);
    auto* permissionLayout = new QHBoxLayout(permission);
    permissionLayout->setContentsMargins(24, 2, 0, 2);
    auto* permissionTexts = new QVBoxLayout;
    m_screenTitle = wrapped(QString(), permission, false);
    m_screenTitle->setFont(BrandFont::ui(9.5, QFont::DemiBold));
    permissionTexts->addWidget(m_screenTitle);
    m_permissionNote = wrapped(QString(), permission, true);
    permissionTexts->addWidget(m_permissionNote);
    m_trustNote = wrapped(words.fill(u"To find the windows. Turn on Zentrove Taskbar under {privacy} → ") + QStringLiteral("Accessibility"), permission, true);
    permissionTexts->addWidget(m_trustNote);
    permissionLayout->addLayout(permissionTexts, 1);
    m_screenButton = new QPushButton(words.fill(u"Open {settingsApp}"), permission);
    connect(m_screenButton, &QPushButton::clicked, this, [this] { askPermission(SettingsPane::screenRecording); });
    permissionLayout->addWidget(m_screenButton, 0, Qt::AlignVCenter);
    layout->addWidget(permission);
    layout->addWidget(rule(how));
    toggle(QStringLiteral("Show names on hover"), QString(), [](TaskbarSettings& s, bool on) { s.showTooltips = on; });
    slider(QStringLiteral("Name delay"), 0, 2, 0.05, [](double v) { return QString::asprintf("%.2fs", v); },
           [](TaskbarSettings& s, double v) { s.tooltipDelay = v; });
    layout->addWidget(rule(how));
    toggle(QStringLiteral("Show unread badges"), QStringLiteral("Counts from Mail, Messages, Slack and other apps on their icons."),
           [](TaskbarSettings& s, bool on) { s.showBadges = on; });
    toggle(words.fill(u"Hide {fileManager} with no windows open"), words.fill(u"{FileManager} comes back as soon as you open a window."),
           [](TaskbarSettings& s, bool on) { s.hideIdleFinder = on; });
    toggle(QStringLiteral("Bounce while launching"), QString(), [](TaskbarSettings& s, bool on) { s.launchBounce = on; });
    toggle(QStringLiteral("Dim hidden apps"), QString(), [](TaskbarSettings& s, bool on) { s.dimHiddenApps = on; });
    layout->addWidget(rule(how));
    choose(QStringLiteral("When it's too long"), QString(), picker<BarOverflow>(how), [](TaskbarSettings& s, int i) { s.overflow = TaskbarEnum::allCases<BarOverflow>().value(i); });
    choose(QStringLiteral("Click the app in front"), QStringLiteral("Clicking any other app brings it forward."), picker<ClickAction>(how),
           [](TaskbarSettings& s, int i) { s.clickActive = TaskbarEnum::allCases<ClickAction>().value(i); });
    choose(QStringLiteral("Option-click"), QString(), picker<ClickAction>(how), [](TaskbarSettings& s, int i) { s.optionClick = TaskbarEnum::allCases<ClickAction>().value(i); });
    choose(QStringLiteral("Command-click"), QString(), picker<ClickAction>(how), [](TaskbarSettings& s, int i) { s.commandClick = TaskbarEnum::allCases<ClickAction>().value(i); });
    layout->addWidget(rule(how));
    choose(QStringLiteral("Clicking the clock"), QString(), picker<ClockClick>(how), [](TaskbarSettings& s, int i) { s.clockClick = TaskbarEnum::allCases<ClockClick>().value(i); });
    page->addWidget(how);
}

void TaskbarPage::edit(const std::function<void(TaskbarSettings&)>& change)
{
    TaskbarSettings settings = m_store.settings();
    change(settings);
    m_store.setSettings(settings);
}

void TaskbarPage::syncSettings()
{
    const TaskbarSettings& s = m_store.settings();
    auto on = [this](const QString& title, bool value) {
        if (auto* button = qobject_cast<QAbstractButton*>(m_controls.value(title)))
            button->setChecked(value);
    };
    on(QStringLiteral("Start button"), s.startButton);
    on(QStringLiteral("Downloads"), s.showDownloads);
    setPicked(m_controls.value(QStringLiteral("Trash")), s.trash);
    setPicked(m_controls.value(QStringLiteral("Show the bar on")), s.displays);
    on(QStringLiteral("Hide the bar automatically"), s.autoHide);
    // Reserving space is off while the bar hides itself.
    on(QStringLiteral("Keep windows clear of the bar"), s.reserveSpace && !s.autoHide);
    m_controls.value(QStringLiteral("Keep windows clear of the bar"))->setEnabled(!s.autoHide);
    m_reserveNote->setText(s.autoHide ? QStringLiteral("Off while the bar hides itself, so windows can use the whole screen.")
                                      : QStringLiteral("Maximized and tiled windows are shortened so they stop at the top of the bar."));
    on(QStringLiteral("Show running apps"), s.showRunningApps);
    on(QStringLiteral("Separate them from pinned apps"), s.separateRunningApps);
    m_controls.value(QStringLiteral("Separate them from pinned apps"))->setEnabled(s.showRunningApps);
    on(QStringLiteral("Show window previews"), s.showWindowPreviews);
    static_cast<SliderRow*>(m_controls.value(QStringLiteral("Preview delay")))->setValue(s.previewDelay);
    m_controls.value(QStringLiteral("Preview delay"))->setEnabled(s.showWindowPreviews);
    on(QStringLiteral("Show names on hover"), s.showTooltips);
    static_cast<SliderRow*>(m_controls.value(QStringLiteral("Name delay")))->setValue(s.tooltipDelay);
    m_controls.value(QStringLiteral("Name delay"))->setEnabled(s.showTooltips);
    on(QStringLiteral("Show unread badges"), s.showBadges);
    on(DesktopWords::current().fill(u"Hide {fileManager} with no windows open"), s.hideIdleFinder);
    on(QStringLiteral("Bounce while launching"), s.launchBounce);
    on(QStringLiteral("Dim hidden apps"), s.dimHiddenApps);
    setPicked(m_controls.value(QStringLiteral("When it's too long")), s.overflow);
    setPicked(m_controls.value(QStringLiteral("Click the app in front")), s.clickActive);
    setPicked(m_controls.value(QStringLiteral("Option-click")), s.optionClick);
    setPicked(m_controls.value(QStringLiteral("Command-click")), s.commandClick);
    setPicked(m_controls.value(QStringLiteral("Clicking the clock")), s.clockClick);
    syncPermissions();
}

void TaskbarPage::syncPermissions()
{
    m_accessBanner->setVisible(!m_store.accessibilityTrusted());
    const bool previews = m_store.settings().showWindowPreviews;
    const bool granted = m_store.screenRecording();
    m_screenTitle->parentWidget()->setVisible(previews);
    m_screenTitle->setText(granted ? QStringLiteral("Screen Recording permission is on") : QStringLiteral("Needs Screen Recording permission"));
    m_permissionNote->setText(DesktopWords::current().fill(
        u"To show pictures of the windows; without it they show the app's icon. Turn on Zentrove under {privacy} → Screen & System Audio Recording."));
    m_permissionNote->setVisible(!granted);
    m_screenButton->setVisible(!granted);
    m_trustNote->setVisible(!m_store.accessibilityTrusted());
}

void TaskbarPage::askPermission(SettingsPane pane)
{
    // The part asks the system on its own behalf first, so the settings list names it.
    m_send(pane == SettingsPane::screenRecording ? TaskbarCommands::askScreenRecording() : TaskbarCommands::askAccessibility());
    if (openSettings)
        openSettings(pane);
}

void TaskbarPage::setRunning(bool running)
{
    m_running = running;
    const QString text = running ? QStringLiteral("Running") : QStringLiteral("Not running");
    m_status->setText(QStringLiteral("<span style=\"color:%1\">●</span>&nbsp; %2").arg((running ? Brand::ok() : Brand::off()).name(), text));
    m_status->setAccessibleName(text);
    m_quit->setVisible(running);
}

void TaskbarPage::syncBackdrop()
{
    QImage image;
    if (m_library && m_library->currentID())
        image = QImage(m_library->thumbnailPath(*m_library->currentID()));
    if (image.isNull())
        image = PreviewBar::sampleWallpaper(QSize(440, 185));
    m_backdrop = image;
    for (ThemeCard* card : std::as_const(m_cards))
        card->setBackdrop(image);
    m_editor->setBackdrop(image);
}

// --- style grid -----------------------------------------------------------------------------

QList<ThemeCard*> TaskbarPage::cards() const
{
    return CardGrid::inOrder(m_order, m_cards);
}

void TaskbarPage::syncCards()
{
    QList<QUuid> order;
    QHash<QUuid, ThemeCard*> kept;
    for (const Theme& theme : m_store.themes()) {
        ThemeCard* card = m_cards.take(theme.id);
        if (!card) {
            card = new ThemeCard(m_grid);
            card->setBackdrop(m_backdrop);
            const QUuid id = theme.id;
            connect(card, &ThemeCard::clicked, this, [this, id] { select(id); });
            connect(card, &ThemeCard::doubleClicked, this, [this, card] {
                select(card->theme().id);
                m_store.applyTheme(card->theme());
            });
            connect(card, &ThemeCard::menuRequested, this, [this, id, card] {
                select(id);
                QMenu* menu = menuFor(id, card);
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menu->popup(card->menuButton()->mapToGlobal(QPoint(0, card->menuButton()->height())));
            });
            connect(card, &ThemeCard::renamed, this, [this, id](const QString& name) { m_store.renameTheme(id, name); });
        }
        kept.insert(theme.id, card);
        order << theme.id;
    }
    qDeleteAll(m_cards);
    m_cards = kept;
    m_order = order;
    if (m_selected && !m_cards.contains(*m_selected))
        m_selected.reset();
    m_count->setText(QString::number(m_order.size()) + QStringLiteral(" styles"));
    syncStatuses();
    layoutGrid(true);
}

void TaskbarPage::syncStatuses()
{
    const std::optional<QUuid> active = m_store.activeTheme() ? m_store.activeThemeID() : std::nullopt;
    const TaskbarSettings& settings = m_store.settings();
    for (const Theme& theme : m_store.themes()) {
        if (ThemeCard* card = m_cards.value(theme.id)) {
            const QString ensembles = m_library ? LibraryStore::ensembleCountText(m_library->ensembleCountOfTaskbar(theme.id)) : QString();
            card->setTheme(theme, settings, active == theme.id, ensembles, m_selected == theme.id);
        }
    }
}

void TaskbarPage::syncRestore()
{
    const qsizetype missing = m_store.missingBuiltInThemes().size();
    m_restore->setVisible(missing > 0);
    m_restore->setText(missing == 1 ? QStringLiteral("Restore 1 built-in style") : QString::number(missing) + QStringLiteral(" built-in styles"));
    if (missing > 1)
        m_restore->setText(QStringLiteral("Restore ") + m_restore->text());
}

void TaskbarPage::select(const std::optional<QUuid>& id)
{
    if (id == m_selected)
        return;
    m_selected = id;
    syncStatuses();
}

void TaskbarPage::layoutGrid(bool force)
{
    const int cols = CardGrid::pageColumns(*this, *m_scroll, gridGap, cardMinWidth);
    if (!force && cols == m_columns)
        return;
    m_columns = cols;
    QList<QWidget*> cards;
    for (const QUuid& id : std::as_const(m_order))
        cards << m_cards.value(id);
    m_fold->setVisible(CardGrid::placeFolded(*m_gridLayout, cards, cols, m_unfolded, foldedCount));
    m_fold->setText(m_unfolded ? QStringLiteral("⌃ Show fewer") : QStringLiteral("⌄ Show all ") + QString::number(m_order.size()));
}

void TaskbarPage::setUnfolded(bool unfolded)
{
    if (unfolded == m_unfolded)
        return;
    m_unfolded = unfolded;
    layoutGrid(true);
}

void TaskbarPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutGrid();
}

QMenu* TaskbarPage::menuFor(const QUuid& id, QWidget* parent)
{
    auto* menu = new QMenu(parent ? parent : this);
    const auto found = std::find_if(m_store.themes().cbegin(), m_store.themes().cend(), [&](const Theme& t) { return t.id == id; });
    if (found == m_store.themes().cend())
        return menu;
    const Theme theme = *found;
    menu->addAction(QStringLiteral("Apply"), this, [this, theme] { m_store.applyTheme(theme); });
    menu->addAction(QStringLiteral("Edit Style…"), this, [this, theme] {
        // Editing another style wears it first; the active one is opened as it is, edits and all.
        if (m_store.activeThemeID() != theme.id)
            m_store.applyTheme(theme);
        openEditor();
    });
    menu->addAction(QStringLiteral("Duplicate"), this, [this, id] { m_store.duplicateTheme(id); });
    menu->addAction(QStringLiteral("Rename Bar Style"), this, [this, id] {
        if (ThemeCard* card = m_cards.value(id))
            card->beginRename();
    });
    if (m_store.originalTheme(id))
        menu->addAction(QStringLiteral("Reset to original"), this, [this, id] { m_store.resetTheme(id); });
    if (m_library && m_library->currentEnsemble()) {
        menu->addAction(QStringLiteral("Use in current ensemble"), this, [this, id] {
            if (const auto ensemble = m_library->currentEnsemble())
                m_library->setLook(*ensemble, LibraryStore::LookSlot::taskbar, id);
        });
    }
    menu->addSeparator();
    QAction* remove = menu->addAction(QStringLiteral("Delete…"), this, [this, id] { askDelete(id); });
    remove->setProperty("destructive", true);
    return menu;
}

// --- editor and questions -------------------------------------------------------------------

bool TaskbarPage::isEditing() const
{
    return m_stack->currentWidget() == m_editor;
}

void TaskbarPage::openEditor(const QString& section)
{
    if (!section.isEmpty())
        m_editor->setSection(section);
    else if (!isEditing())
        m_editor->setSection(QStringLiteral("appearance"));
    m_stack->setCurrentWidget(m_editor);
    m_editor->hold().begin();
    emit leaveGuardChanged();
}

void TaskbarPage::closeEditor()
{
    m_editor->hold().end();
    m_stack->setCurrentWidget(m_scroll);
    emit leaveGuardChanged();
}

void TaskbarPage::back()
{
    if (mayLeave([this] { closeEditor(); }))
        closeEditor();
}

void TaskbarPage::reselect()
{
    if (isEditing())
        back();
    else
        m_scroll->verticalScrollBar()->setValue(0);
}

bool TaskbarPage::needsLeaveGuard() const
{
    return isEditing() && m_store.activeTheme() && m_store.activeThemeEdited();
}

bool TaskbarPage::mayLeave(std::function<void()> leave)
{
    if (!needsLeaveGuard())
        return true;
    if (m_dialog.isShowing())
        return false;
    const Theme active = *m_store.activeTheme();
    QMessageBox* box = TaskbarQuestions::leaveEdited(active.name, this);
    QAbstractButton* saveAs = TaskbarQuestions::button(box, QStringLiteral("Save as a New Style"));
    QAbstractButton* dontSave = TaskbarQuestions::button(box, QStringLiteral("Don't Save"));
    connect(box, &QMessageBox::finished, this, [this, box, saveAs, dontSave, active, leave = std::move(leave)] {
        QAbstractButton* clicked = box->clickedButton();
        if (clicked == saveAs)
            m_store.saveCurrentAsTheme(active.name);
        else if (clicked == dontSave)
            m_store.applyTheme(active);
        else
            return;
        leave();
    });
    present(box);
    return false;
}

bool TaskbarPage::openDetail(const QString& detail)
{
    const QString name = detail.toLower();
    if (name.isEmpty()) {
        if (isEditing())
            back();
        return true;
    }
    if (name == QLatin1String("apps")) {
        if (isEditing())
            closeEditor();
        scrollToApps();
        return true;
    }
    if (name == QLatin1String("new")) {
        askNewStyle();
        return true;
    }
    if (!StyleEditor::sectionIDs().contains(name))
        return false;
    openEditor(name);
    return true;
}

void TaskbarPage::scrollToApps()
{
    // The layout settles once the page is shown; the apps editor is placed after that.
    m_content->adjustSize();
    m_scroll->verticalScrollBar()->setValue(m_apps->mapTo(m_content, QPoint(0, 0)).y() - int(Brand::pagePadding));
}

void TaskbarPage::present(QDialog* dialog)
{
    m_dialog.present(dialog);
}

void TaskbarPage::askNewStyle()
{
    StyleNameDialog* dialog = StyleNameDialog::newStyle(this);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { m_store.saveCurrentAsTheme(dialog->name()); });
    present(dialog);
}

void TaskbarPage::askSaveAsNew()
{
    StyleNameDialog* dialog = StyleNameDialog::saveAsNew(this);
    if (const auto active = m_store.activeTheme())
        dialog->field()->setText(active->name);
    dialog->field()->selectAll();
    connect(dialog, &QDialog::accepted, this, [this, dialog] { m_store.saveCurrentAsTheme(dialog->name()); });
    present(dialog);
}

void TaskbarPage::askSaveInto()
{
    const std::optional<Theme> active = m_store.activeTheme();
    if (!active) {
        askNewStyle();
        return;
    }
    const int used = m_library ? m_library->ensembleCountOfTaskbar(active->id) : 0;
    if (used == 0) {
        m_store.saveCurrentToActiveTheme();
        return;
    }
    QMessageBox* box = TaskbarQuestions::saveIntoUsed(used, this);
    QAbstractButton* save = TaskbarQuestions::button(box, QStringLiteral("Save style"));
    QAbstractButton* saveAs = TaskbarQuestions::button(box, QStringLiteral("Save as a New Style"));
    connect(box, &QMessageBox::finished, this, [this, box, save, saveAs] {
        if (box->clickedButton() == save)
            m_store.saveCurrentToActiveTheme();
        else if (box->clickedButton() == saveAs)
            QMetaObject::invokeMethod(this, &TaskbarPage::askSaveAsNew, Qt::QueuedConnection);
    });
    present(box);
}

void TaskbarPage::askDiscard()
{
    const std::optional<Theme> active = m_store.activeTheme();
    if (!active)
        return;
    QMessageBox* box = TaskbarQuestions::discard(active->name, this);
    QAbstractButton* discard = TaskbarQuestions::button(box, QStringLiteral("Discard changes"));
    const QUuid id = active->id;
    connect(box, &QMessageBox::finished, this, [this, box, discard, id] {
        if (box->clickedButton() != discard)
            return;
        // The style as it is saved now, not as it was when the question was asked.
        for (const Theme& theme : m_store.themes())
            if (theme.id == id)
                m_store.applyTheme(theme);
    });
    present(box);
}

void TaskbarPage::askDelete(const QUuid& id)
{
    for (const Theme& theme : m_store.themes()) {
        if (theme.id != id)
            continue;
        QMessageBox* box = TaskbarQuestions::deleteStyle(theme.name, theme.builtIn.has_value(), this);
        QAbstractButton* remove = TaskbarQuestions::button(box, QStringLiteral("Delete"));
        connect(box, &QMessageBox::finished, this, [this, box, remove, id] {
            if (box->clickedButton() == remove)
                m_store.deleteTheme(id);
        });
        present(box);
        return;
    }
}

void TaskbarPage::askReset()
{
    QMessageBox* box = TaskbarQuestions::resetSettings(this);
    QAbstractButton* reset = TaskbarQuestions::button(box, QStringLiteral("Reset"));
    connect(box, &QMessageBox::finished, this, [this, box, reset] {
        // Settings only: the layout and the styles are separate keys and stay as they are.
        if (box->clickedButton() == reset)
            m_store.setSettings(TaskbarSettings());
    });
    present(box);
}
