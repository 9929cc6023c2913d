#include "app/ui/app_delegate.h"

#include "app/ensemble_link.h"
#include "app/show_request.h"
#include "app/ui/app_menu.h"
#include "platform/desktop_words.h"
#include "app/ui/app_style.h"
#include "app/ui/main_window.h"
#include "app/ui/placeholder_view.h"
#include "app/ui/sheet_host.h"
#include "app/ui/snapshot.h"
#include "app/ui/update_window.h"
#include "app/ui/zentrove_application.h"
#include "brand/brand.h"
#include "brand/brand_accent.h"
#include "core/zentrove.h"
#include "platform/bundle.h"
#include "platform/defaults.h"
#include "platform/launcher.h"
#include "platform/login_items.h"
#include "platform/workspace.h"
#include "services/install.h"

#include <QDesktopServices>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QMessageBox>
#include <QApplication>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcApp, "zentrove.app")

namespace {
const QString setupDoneKey = QStringLiteral("setupDone");
} // namespace

AppDelegate::Platform AppDelegate::Platform::system()
{
    return {LoginItems::makeSystem(), Workspace::makeSystem(), Launcher::makeSystem()};
}

AppDelegate::AppDelegate(ZentroveApplication& app, Platform platform, AppServices services, ViewRegistry views)
    : m_app(app)
    , m_platform(std::move(platform))
    , m_services(std::move(services))
    , m_views(std::move(views))
{
    m_model = std::make_unique<PartsModel>(*m_platform.loginItems, *m_platform.workspace, *m_platform.launcher,
                                           *m_services.safety, *m_services.install);
    // Closing the last window quits, unless an update run still needs the process.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    connect(&m_app, &QGuiApplication::lastWindowClosed, this, &AppDelegate::lastWindowClosed);
    m_app.dropSheets = [this] {
        if (m_window)
            m_window->sheets()->dropAll();
    };
}

AppDelegate::~AppDelegate()
{
    m_app.dropSheets = nullptr;
    delete m_window;
    delete m_menuWindow;
}

void AppDelegate::didFinishLaunching(const QStringList& arguments)
{
    // Fonts first: the look is set in the brand families, which are looked up once.
    Brand::registerFonts();
    BrandAccent::followWallpapers();
    AppStyle::apply(m_app);

    QPointer<AppDelegate> self(this);
    m_menu = new AppMenu({
        [this] { QMessageBox::about(m_window, QStringLiteral("About Zentrove"),
                                    QStringLiteral("Zentrove %1 (%2)").arg(Bundle::version(), Bundle::buildNumber())); },
        [this] { m_services.updates->checkNow(); },
        [this] { show(QStringLiteral("settings")); },
        [this] { openWindow(); m_nav.setShowUninstall(true); },
        [this] { if (m_window) m_window->showMinimized(); },
        [this] { m_app.terminate(); },
        [] { if (QWidget* w = QApplication::activeWindow()) w->showMinimized(); },
        [] { if (QWidget* w = QApplication::activeWindow()) w->close(); },
        [] { QDesktopServices::openUrl(QUrl(AppMenu::supportAddress())); },
        [this] { show(QStringLiteral("feedback")); },
    }, this);

    const CommandLine line(arguments);
    const bool checkOnly = line.has(QStringLiteral("--check-updates"));
    m_services.updates->setPresenter([self](const std::optional<UpdateOffer>& offer, std::function<void()> closed) {
        if (!self) {
            closed();
            return;
        }
        auto* window = new UpdateWindow(offer, *self->m_platform.workspace, self->m_window);
        window->setAttribute(Qt::WA_DeleteOnClose);
        connect(window, &QDialog::finished, window, [closed = std::move(closed)] { closed(); });
        window->show();
        window->raise();
        window->activateWindow();
    });
    m_services.updates->begin(checkOnly, [self] {
        if (self)
            self->quitIfIdle();
    });

    m_model->restartAfterUpdate(Bundle::buildNumber());

    m_safetyPending = true;
    m_services.safety->refreshIfDue([self, checkOnly] {
        // Finished on a later turn even when there was nothing to fetch, so launch completes first.
        QTimer::singleShot(0, self, [self, checkOnly] {
            if (!self)
                return;
            self->m_safetyPending = false;
            self->m_model->resumeStoodDown();
            if (checkOnly || self->m_linkLaunch)
                self->quitIfIdle();
        });
    });

    if (const std::optional<QString> image = line.value(QStringLiteral("--eject")))
        m_services.install->eject(*image);

    applyPartSwitches(line);

    m_showObserver = Notifier::observe(Zentrove::showNotification(), [self](const std::optional<QString>& name) {
        if (self && name)
            self->show(*name);
    });

    // Links come as arguments here: follow them before deciding about the window.
    if (!line.links().isEmpty())
        open(line.links());

    if (checkOnly) {
        QTimer::singleShot(checkOnlyQuitDelayMs, this, &AppDelegate::quitIfIdle);
        return;
    }
    m_launched = true;
    // An app image has no package to name it the handler of the app's links: it says so itself,
    // each launch, with its path of now.
    Install::registerRunningAppImage();
    if (!m_linkLaunch)
        showWindowAtLaunch(line);
}

void AppDelegate::applyPartSwitches(const CommandLine& line)
{
    const QList<Part> on = line.partsAfter(QStringLiteral("--enable"));
    // Turning the taskbar on from the command line is the consent itself.
    if (line.values(QStringLiteral("--enable")).contains(QStringLiteral("taskbar")))
        m_model->agreeToHideDock();
    for (const Part& part : on)
        m_model->set(part, true);
    for (const Part& part : line.partsAfter(QStringLiteral("--disable")))
        m_model->set(part, false);
}

void AppDelegate::showWindowAtLaunch(const CommandLine& line)
{
    const std::optional<QString> snapshot = line.value(QStringLiteral("--snapshot"));
    const std::optional<QString> name = line.value(QStringLiteral("--show"));
    if (name && (*name == QLatin1String("menu") || name->startsWith(QLatin1String("menu.")))) {
        showMenu(snapshot, name->mid(5));
        return;
    }
    if (name)
        show(*name);
    else
        openWindow();

    bool anyOn = false;
    for (const Part& part : Part::all())
        anyOn = anyOn || m_model->isOn(part);
    const bool setupNeeded = !Defaults::standard().boolean(setupDoneKey, false) && !anyOn;
    const std::optional<QString> step = line.value(QStringLiteral("--setup"));
    if (step && m_services.setup->isStep(*step))
        m_services.setup->startAt(*step);

    if (m_services.install->mustMove())
        m_nav.setShowMove(true);
    else if (line.has(QStringLiteral("--setup")))
        m_nav.setShowSetup(true);
    else if (setupNeeded && !line.has(QStringLiteral("--snapshot")))
        m_nav.setShowSetup(true);

    if (snapshot)
        snapshotLater(m_window, *snapshot);
}

void AppDelegate::snapshotLater(QWidget* window, const QString& path)
{
    QPointer<QWidget> target(window);
    QTimer::singleShot(snapshotDelayMs, this, [this, target, path] {
        QWidget* subject = target;
        if (target == m_window && m_window) {
            QWidget* sheet = m_window->sheets()->current();
            // A page's own dialog (a name sheet, a question) is what the user looks at.
            if (!sheet)
                sheet = QApplication::activeModalWidget();
            subject = sheet ? sheet : m_window->centralWidget();
        }
        // Exits 0 whether or not the file could be written: the failure is logged.
        Snapshot::write(subject, path);
        QCoreApplication::exit(0);
    });
}

void AppDelegate::open(const QStringList& urls)
{
    QList<std::pair<QString, EnsembleLink>> links;
    for (const QString& url : urls)
        if (const std::optional<EnsembleLink> link = EnsembleLink::parse(QUrl(url)))
            links.append({url, *link});
    if (!m_launched && !urls.isEmpty() && links.size() == urls.size()) {
        // Started only to switch the ensemble: no window, and quit once done.
        m_linkLaunch = true;
        QTimer::singleShot(linkQuitDelayMs, this, &AppDelegate::quitIfIdle);
    }
    for (const auto& [url, link] : links)
        if (!m_services.library->follow(link))
            qCInfo(lcApp).noquote() << QStringLiteral("Zentrove: no ensemble for %1").arg(url);
}

void AppDelegate::handleLaterLaunch(const QStringList& arguments)
{
    const CommandLine line(arguments);
    if (!line.links().isEmpty())
        open(line.links());
    applyPartSwitches(line);
    if (const std::optional<QString> name = line.value(QStringLiteral("--show")))
        name == QLatin1String("menu") || name->startsWith(QLatin1String("menu.")) ? showMenu(std::nullopt, name->mid(5)) : show(*name);
    else if (line.has(QStringLiteral("--setup"))) {
        if (const std::optional<QString> step = line.value(QStringLiteral("--setup")); step && m_services.setup->isStep(*step))
            m_services.setup->startAt(*step);
        openWindow();
        m_nav.setShowSetup(true);
    } else if (line.has(QStringLiteral("--check-updates")))
        m_services.updates->checkNow();
    else if (line.links().isEmpty() && !line.has(QStringLiteral("--enable")) && !line.has(QStringLiteral("--disable")))
        reopen();
}

void AppDelegate::reopen()
{
    if (!anyWindowVisible())
        openWindow();
}

void AppDelegate::show(const QString& name)
{
    const ShowRequest request = ShowRequest::parse(name);
    QString looksDetail;
    switch (request.kind) {
    case ShowRequest::Kind::uninstall:
        m_nav.setShowUninstall(true);
        break;
    case ShowRequest::Kind::feedback:
        m_nav.setShowFeedback(true);
        break;
    case ShowRequest::Kind::page:
        m_nav.setPage(request.page);
        if (request.detail.isEmpty())
            break;
        // The pages are made with the window; a detail is for a page that exists.
        openWindow();
        if (request.page == Page::paneflow && request.detail == QLatin1String("options")) {
            // The popover belongs to the page, which exists once the window does.
            m_services.openLibraryDetail(request.detail);
            return;
        }
        if (request.page == Page::paneflow) {
            const std::optional<QUuid> id = request.detail == QLatin1String("current")
                ? m_services.library->currentWallpaperID()
                : std::optional(QUuid::fromString(request.detail));
            m_nav.setOpenWallpaper(id && !id->isNull() ? id : std::nullopt);
        } else if (request.page == Page::vizavedid) {
            m_services.openClockTab(request.detail);
        } else if (request.page == Page::taskbar) {
            m_services.openTaskbarDetail(request.detail);
        } else if (request.page == Page::looks) {
            looksDetail = request.detail;
        }
        break;
    case ShowRequest::Kind::window:
        break;
    }
    openWindow();
    // The ensembles page is made with the window, so its detail comes once the window is there.
    if (!looksDetail.isEmpty())
        m_services.openLooksDetail(looksDetail);
}

void AppDelegate::openWindow()
{
    if (m_window) {
        m_window->showNormal();
        m_window->raise();
        m_window->activateWindow();
        return;
    }
    m_window = new MainWindow({*m_model, m_nav, m_services}, m_views);
    m_menu->attach(m_window->menuBar());
    m_window->placeAtLaunch();
    m_window->show();
    QTimer::singleShot(0, m_window, [window = m_window] {
        window->raise();
        window->activateWindow();
    });
}

void AppDelegate::showMenu(const std::optional<QString>& snapshotPath, const QString& detail)
{
    if (!m_menuWindow) {
        auto* window = new QWidget;
        const QString title = DesktopWords::current().fill(u"{MenuBar} item");
        window->setWindowTitle(title);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        const ViewContext context{*m_model, m_nav, m_services};
        layout->addWidget(m_views.menuContent ? m_views.menuContent(context, window)
                                              : new PlaceholderView(title, {}, window));
        window->adjustSize();
        m_menuWindow = window;
    }
    if (!detail.isEmpty())
        m_services.openMenuDetail(detail);
    m_menuWindow->show();
    m_menuWindow->raise();
    m_menuWindow->activateWindow();
    if (snapshotPath)
        snapshotLater(m_menuWindow, *snapshotPath);
}

bool AppDelegate::anyWindowVisible() const
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->isWindow() && !widget->isMinimized())
            return true;
    return false;
}

void AppDelegate::quitIfIdle()
{
    if (m_safetyPending || m_services.updates->isChecking() || m_services.updates->sessionInProgress() || anyWindowVisible())
        return;
    m_app.terminate();
}

void AppDelegate::lastWindowClosed()
{
    // Without a main window ever made (only the menu window was up) the app stays. The main
    // window is kept once made, so it tells.
    if (!m_window || m_services.updates->sessionInProgress())
        return;
    m_app.terminate();
}
