#include "app/ui/sidebar.h"

#include "app/navigation.h"
#include "app/ui/app_style.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QList<std::pair<Page, QString>> Sidebar::entries()
{
    return {
        {Page::looks, QStringLiteral("Ensembles")},
        {Page::paneflow, QStringLiteral("Wallpapers")},
        {Page::vizavedid, QStringLiteral("Lock Screen Clock")},
        {Page::taskbar, QStringLiteral("Taskbar")},
        {Page::settings, QStringLiteral("Settings")},
    };
}

Sidebar::Sidebar(Navigation& nav, QWidget* parent)
    : QWidget(parent)
    , m_nav(nav)
{
    AppStyle::mark(this, "sidebar");
    setAttribute(Qt::WA_StyledBackground);
    setFixedWidth(210);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 24, 12, 16);
    layout->setSpacing(2);

    auto* wordmark = new QLabel(QStringLiteral("Zentrove"), this);
    wordmark->setFont(AppStyle::displayFont(17, QFont::Bold));
    wordmark->setContentsMargins(14, 0, 0, 18);
    layout->addWidget(wordmark);

    for (const auto& [page, title] : entries()) {
        auto* item = new QPushButton(title, this);
        AppStyle::mark(item, "sidebarItem");
        item->setCheckable(true);
        item->setAutoExclusive(false);
        item->setCursor(Qt::PointingHandCursor);
        item->setFont(AppStyle::uiFont(10.5, QFont::Medium));
        // The item never flips itself: the navigation decides, and sync shows its answer.
        connect(item, &QPushButton::clicked, this, [this, page = page] {
            m_nav.go(page);
            sync();
        });
        m_items.insert(page, item);
        layout->addWidget(item);
    }
    layout->addStretch(1);
    connect(&m_nav, &Navigation::pageChanged, this, &Sidebar::sync);
    sync();
}

void Sidebar::sync()
{
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it)
        it.value()->setChecked(it.key() == m_nav.page());
}
