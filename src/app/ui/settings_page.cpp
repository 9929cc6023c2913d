#include "app/ui/settings_page.h"

#include "app/menu_bar_service.h"
#include "app/navigation.h"
#include "app/parts_model.h"
#include "app/relative_date.h"
#include "app/ui/app_style.h"
#include "app/ui/part_row.h"
#include "brand/ui/page_scroll.h"
#include "brand/ui/toggle_switch.h"
#include "app/updates_service.h"
#include "brand/brand.h"
#include "platform/bundle.h"
#include "platform/desktop_words.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QFrame* box(QWidget* parent)
{
    auto* frame = new QFrame(parent);
    AppStyle::mark(frame, "box");
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(0);
    return frame;
}

QFrame* rule(QWidget* parent)
{
    auto* line = new QFrame(parent);
    AppStyle::mark(line, "rule");
    return line;
}

QLabel* boxTitle(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(AppStyle::uiFont(10, QFont::DemiBold));
    AppStyle::mark(label, "muted");
    return label;
}

// A row with a title, a muted detail under it, and a control on the right.
QWidget* row(const QString& title, QLabel* detail, QWidget* control, QWidget* parent)
{
    auto* widget = new QWidget(parent);
    auto* titleLabel = new QLabel(title, widget);
    titleLabel->setFont(AppStyle::uiFont(10.5, QFont::Medium));
    detail->setParent(widget);
    detail->setFont(AppStyle::uiFont(9.5));
    detail->setWordWrap(true);
    AppStyle::mark(detail, "muted");
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(titleLabel);
    texts->addWidget(detail);
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addLayout(texts, 1);
    control->setParent(widget);
    layout->addWidget(control, 0, Qt::AlignVCenter);
    return widget;
}

} // namespace

SettingsPage::SettingsPage(PartsModel& model, Navigation& nav, UpdatesService& updates, MenuBarService& menuBar, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_updates(updates)
{
    auto* content = new QWidget;
    PageScroll::fill(*this, content);

    const int padding = int(Brand::pagePadding);
    auto* page = new QVBoxLayout(content);
    page->setContentsMargins(padding, padding, padding, padding);
    page->setSpacing(10);

    auto* header = new QLabel(QStringLiteral("Settings"), content);
    header->setFont(AppStyle::displayFont(22));
    page->addWidget(header);
    page->addSpacing(8);

    const DesktopWords& words = DesktopWords::current();

    // What runs
    page->addWidget(boxTitle(QStringLiteral("What runs"), content));
    QFrame* parts = box(content);
    for (const Part& part : Part::all()) {
        if (!m_rows.isEmpty())
            parts->layout()->addWidget(rule(parts));
        auto* partRow = new PartRow(part, model, nav, parts);
        m_rows << partRow;
        parts->layout()->addWidget(partRow);
    }
    parts->layout()->addWidget(rule(parts));
    m_menuBar = new ToggleSwitch;
    m_menuBar->setAccessibleName(words.fill(u"Show in the {menuBar}"));
    m_menuBar->setChecked(menuBar.isShown());
    connect(m_menuBar, &QAbstractButton::clicked, this, [this, &menuBar](bool on) {
        menuBar.setShown(on);
        m_menuBar->setChecked(menuBar.isShown());
    });
    connect(&menuBar, &MenuBarService::shownChanged, m_menuBar, [this, &menuBar] { m_menuBar->setChecked(menuBar.isShown()); });
    parts->layout()->addWidget(row(words.fill(u"Show in the {menuBar}"),
                                   new QLabel(QStringLiteral("One Zentrove item for switching ensembles and pausing the wallpaper, while any part runs.")),
                                   m_menuBar, parts));
    page->addWidget(parts);

    m_error = new QLabel(content);
    m_error->setWordWrap(true);
    AppStyle::mark(m_error, "failure");
    page->addWidget(m_error);
    auto* keepsRunning = new QLabel(QStringLiteral("Everything that's on keeps running after you close this window, and starts again when you log in."), content);
    keepsRunning->setWordWrap(true);
    AppStyle::mark(keepsRunning, "muted");
    page->addWidget(keepsRunning);
    page->addSpacing(12);

    // Updates
    page->addWidget(boxTitle(QStringLiteral("Updates"), content));
    QFrame* updatesBox = box(content);
    m_autoUpdates = new ToggleSwitch;
    m_autoUpdates->setAccessibleName(QStringLiteral("Check for updates automatically"));
    connect(m_autoUpdates, &QAbstractButton::clicked, this, [this](bool on) {
        m_updates.setAutomaticallyChecks(on);
        syncUpdates();
    });
    m_autoUpdatesDetail = new QLabel;
    updatesBox->layout()->addWidget(row(QStringLiteral("Check for updates automatically"), m_autoUpdatesDetail,
                                        m_autoUpdates, updatesBox));
    updatesBox->layout()->addWidget(rule(updatesBox));
    m_lastChecked = new QLabel;
    m_checkNow = new QPushButton(QStringLiteral("Check Now"));
    connect(m_checkNow, &QPushButton::clicked, this, [this] { m_updates.checkNow(); });
    updatesBox->layout()->addWidget(row(QStringLiteral("Zentrove ") + Bundle::version(), m_lastChecked, m_checkNow, updatesBox));
    page->addWidget(updatesBox);
    page->addSpacing(12);

    // Uninstall
    page->addWidget(boxTitle(QStringLiteral("Uninstall"), content));
    QFrame* uninstallBox = box(content);
    m_uninstall = new QPushButton(QStringLiteral("Uninstall Zentrove…"));
    connect(m_uninstall, &QPushButton::clicked, this, [&nav] { nav.setShowUninstall(true); });
    uninstallBox->layout()->addWidget(row(words.fill(u"Remove Zentrove from this {computer}"),
                                          new QLabel(words.fill(u"Turns every part off and gives back the {dock} and your own wallpaper first.")),
                                          m_uninstall, uninstallBox));
    page->addWidget(uninstallBox);
    page->addStretch(1);

    connect(&m_model, &PartsModel::errorChanged, this, &SettingsPage::syncError);
    connect(&m_updates, &UpdatesService::changed, this, &SettingsPage::syncUpdates);
    syncError();
    syncUpdates();
}

void SettingsPage::syncError()
{
    m_error->setText(m_model.error().value_or(QString()));
    m_error->setVisible(m_model.error().has_value());
}

void SettingsPage::syncUpdates()
{
    m_autoUpdates->setChecked(m_updates.automaticallyChecks());
    // A package install is updated by the distribution's package manager, never from here.
    const bool packaged = m_updates.fromPackageManager();
    m_autoUpdates->setEnabled(!packaged);
    m_autoUpdatesDetail->setText(packaged ? QStringLiteral("Updates come from the package manager.") : QStringLiteral("About once a day."));
    const std::optional<QDateTime> last = m_updates.lastCheck();
    m_lastChecked->setText(last ? QStringLiteral("Last checked ") + RelativeDate::named(*last, QDateTime::currentDateTime())
                                : QStringLiteral("Not checked yet"));
    m_checkNow->setEnabled(m_updates.canCheck());
}
