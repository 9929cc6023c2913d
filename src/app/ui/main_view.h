#pragma once

#include "app/page.h"
#include "app/ui/view_registry.h"

#include <QMap>
#include <QWidget>

class OffBanner;
class QStackedWidget;
class Sidebar;

// The window's content: the sidebar, a hairline, and the shown page. The wallpapers, clock and
// taskbar pages carry their part's OffBanner while that part is not running.
class MainView : public QWidget
{
    Q_OBJECT
public:
    MainView(const ViewContext& context, const ViewRegistry& views, QWidget* parent = nullptr);

    Sidebar* sidebar() const { return m_sidebar; }
    QWidget* currentPage() const;
    QWidget* page(Page page) const { return m_pages.value(page); }
    // The banner over a part's page; null for pages without a part.
    OffBanner* banner(Page page) const { return m_banners.value(page); }

private:
    void syncPage();
    void syncBanners();

    ViewContext m_context;
    Sidebar* m_sidebar;
    QStackedWidget* m_stack;
    QMap<Page, QWidget*> m_pages;
    QMap<Page, OffBanner*> m_banners;
};
