#include "menubar/zentrove_menu_bar.h"

#include "core/notices.h"
#include "core/show_settings.h"
#include "core/zentrove.h"
#include "menubar/menu_bar_popover.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "platform/status_item.h"
#include "platform/workspace.h"

#include <QLoggingCategory>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

Q_LOGGING_CATEGORY(lcMenuBar, "zentrove.menubar")

ZentroveMenuBar::ZentroveMenuBar(Content content, Workspace& workspace, std::function<void()> quitSelf, QObject* parent)
    : QObject(parent)
    , m_content(std::move(content))
    , m_workspace(workspace)
    , m_quitSelf(std::move(quitSelf))
{
    m_shown = isShown();
    update();
    m_workspace.watch(order());
    // Changes of the running list may come in bursts; one update per main-loop turn.
    connect(&m_workspace, &Workspace::runningApplicationsChanged, this, [this] {
        if (m_updateQueued)
            return;
        m_updateQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_updateQueued = false;
            update();
        });
    });
    m_shownObserver = Notifier::observe(shownChanged(), [this](const std::optional<QString>& object) {
        m_shown = object == QStringLiteral("1");
        update();
    });
}

ZentroveMenuBar::~ZentroveMenuBar()
{
    removeItem();
}

QStringList ZentroveMenuBar::order()
{
    return {Zentrove::paneflowID(), Zentrove::vizaVedidID(), Zentrove::taskbarID()};
}

QString ZentroveMenuBar::shownChanged()
{
    return Notices::menuBarItemChanged();
}

bool ZentroveMenuBar::isShown()
{
    Defaults& hub = Defaults::domain(Zentrove::bundleID());
    hub.sync();
    if (const std::optional<bool> shown = hub.boolean(shownKey()))
        return *shown;
    Defaults& paneflow = Defaults::domain(Zentrove::paneflowID());
    Defaults& clock = Defaults::domain(Zentrove::vizaVedidID());
    paneflow.sync();
    clock.sync();
    return !(paneflow.boolean(olderKey()) == false && clock.boolean(olderKey()) == false);
}

void ZentroveMenuBar::setShown(bool shown)
{
    Defaults::domain(Zentrove::bundleID()).set(shownKey(), shown);
    Notifier::post(shownChanged(), shown ? QStringLiteral("1") : QStringLiteral("0"));
    Notifier::flush();
}

void ZentroveMenuBar::update()
{
    const QString me = ProcessIdentity::current();
    bool mine = false;
    if (m_shown) {
        const QSet<QString> running = m_workspace.runningIdentifiers(order());
        std::optional<QString> owner;
        for (const QString& id : order())
            if (id == me || running.contains(id)) {
                owner = id;
                break;
            }
        mine = owner ? *owner == me : me.isEmpty();
    }
    if (mine)
        showItem();
    else
        removeItem();
}

void ZentroveMenuBar::showItem()
{
    if (m_item)
        return;
    std::unique_ptr<EnsembleMenu> content = m_content(*this);
    m_item = std::make_unique<MenuBarPopover>(ProcessIdentity::current(), std::move(content));
    m_item->setImage(icons(), accessibleName(m_paused));
    m_item->willShow = [this](const ScreenInfo& screen) { m_model.opened(screen); };
    qCInfo(lcMenuBar).noquote() << "Zentrove: showing the menu bar item";
    emit itemChanged(true);
}

void ZentroveMenuBar::removeItem()
{
    if (!m_item)
        return;
    m_item->close();
    m_item.reset();
    qCInfo(lcMenuBar).noquote() << "Zentrove: removed the menu bar item";
    emit itemChanged(false);
}

void ZentroveMenuBar::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    if (m_item)
        m_item->setImage(icons(), accessibleName(m_paused));
}

QList<QImage> ZentroveMenuBar::icons() const
{
    return {icon(m_paused, 1), icon(m_paused, 2)};
}

QImage ZentroveMenuBar::icon(bool paused, double scale)
{
    const int side = int(std::lround(18 * scale));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    const QRectF outer(2, 2, 14, 14);
    ring.addEllipse(outer);
    ring.addEllipse(outer.adjusted(2.25, 2.25, -2.25, -2.25));
    painter.drawPath(ring);
    if (paused) {
        painter.drawRect(QRectF(6.75, 6.5, 1.5, 5));
        painter.drawRect(QRectF(9.75, 6.5, 1.5, 5));
    } else {
        painter.drawEllipse(QRectF(7.8, 7.8, 2.4, 2.4));
    }
    painter.end();
    image.setDevicePixelRatio(scale);
    return image;
}

QString ZentroveMenuBar::accessibleName(bool paused)
{
    return paused ? QStringLiteral("Zentrove, wallpaper paused") : QStringLiteral("Zentrove");
}

MenuActions ZentroveMenuBar::actions()
{
    return {[this] { openZentrove(); }, [this] { sendFeedback(); }, [this] { quitZentrove(m_workspace, m_quitSelf); }};
}

void ZentroveMenuBar::openZentrove()
{
    if (m_item)
        m_item->close();
    Zentrove::showSettings(QStringLiteral("looks"), m_workspace);
}

void ZentroveMenuBar::sendFeedback()
{
    if (m_item)
        m_item->close();
    Zentrove::showSettings(QStringLiteral("feedback"), m_workspace);
}

void ZentroveMenuBar::quitZentrove(Workspace& workspace, const std::function<void()>& quitSelf)
{
    const QString me = ProcessIdentity::current();
    for (const QString& id : order()) {
        if (id == me)
            continue;
        for (const RunningApplication& application : workspace.runningApplications(id))
            workspace.terminate(application);
    }
    if (quitSelf)
        quitSelf();
}
