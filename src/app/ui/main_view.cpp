#include "app/ui/main_view.h"

#include "app/navigation.h"
#include "app/parts_model.h"
#include "app/ui/app_style.h"
#include "app/ui/off_banner.h"
#include "app/ui/placeholder_view.h"
#include "app/ui/sidebar.h"
#include "core/part.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

// Holds a page and lays its banner over the page's lower edge. While the banner shows, the
// page's scrolling content gets room below its last row, so nothing stays hidden under it.
class BannerFrame : public QWidget
{
public:
    BannerFrame(QWidget* page, OffBanner* banner, QWidget* parent)
        : QWidget(parent)
        , m_banner(banner)
        , m_page(page)
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        page->setParent(this);
        layout->addWidget(page);
        banner->setParent(this);
        banner->raise();
    }

    void setBannerShown(bool shown)
    {
        m_banner->setVisible(shown);
        const int room = shown ? m_banner->sizeHint().height() + 2 * margin : 0;
        // Every scrolling column of the page (an editor's tabs too), including ones made since.
        QList<QScrollArea*> areas = m_page->findChildren<QScrollArea*>();
        if (auto* own = qobject_cast<QScrollArea*>(m_page))
            areas.prepend(own);
        for (QScrollArea* area : std::as_const(areas)) {
            QWidget* content = area->widget();
            if (!content)
                continue;
            const int before = content->property("bannerRoom").toInt();
            QMargins margins = content->contentsMargins();
            margins.setBottom(margins.bottom() - before + room);
            content->setContentsMargins(margins);
            content->setProperty("bannerRoom", room);
        }
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        const int height = m_banner->sizeHint().height();
        m_banner->setGeometry(margin, this->height() - height - margin, width() - 2 * margin, height);
        m_banner->raise();
    }

private:
    static constexpr int margin = 24;
    OffBanner* m_banner;
    QWidget* m_page;
};

} // namespace

MainView::MainView(const ViewContext& context, const ViewRegistry& views, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_sidebar(new Sidebar(context.nav, this))
    , m_stack(new QStackedWidget(this))
{
    setMinimumSize(1000, 600);
    auto* hairline = new QFrame(this);
    AppStyle::mark(hairline, "hairline");
    hairline->setFixedWidth(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_sidebar);
    layout->addWidget(hairline);
    layout->addWidget(m_stack, 1);

    for (const auto& [page, title] : Sidebar::entries()) {
        const ViewRegistry::PageMaker maker = views.pages.value(page);
        QWidget* view = maker ? maker(context, m_stack) : new PlaceholderView(title, {}, m_stack);
        m_pages.insert(page, view);
        QWidget* slot = view;
        const std::optional<Part> part = page == Page::looks || page == Page::settings ? std::nullopt : partOn(page);
        if (part) {
            auto* banner = new OffBanner(*part, context.model, nullptr);
            m_banners.insert(page, banner);
            slot = new BannerFrame(view, banner, m_stack);
        }
        m_stack->addWidget(slot);
    }

    connect(&context.nav, &Navigation::pageChanged, this, &MainView::syncPage);
    connect(&context.model, &PartsModel::runningChanged, this, &MainView::syncBanners);
    syncPage();
    syncBanners();
}

QWidget* MainView::currentPage() const
{
    return m_pages.value(m_context.nav.page());
}

void MainView::syncPage()
{
    QWidget* view = currentPage();
    for (int i = 0; i < m_stack->count(); ++i)
        if (m_stack->widget(i) == view || m_stack->widget(i)->isAncestorOf(view))
            m_stack->setCurrentIndex(i);
}

void MainView::syncBanners()
{
    for (auto it = m_banners.cbegin(); it != m_banners.cend(); ++it)
        static_cast<BannerFrame*>(it.value()->parentWidget())->setBannerShown(!m_context.model.isRunning(*partOn(it.key())));
}
