#include "platform/status_item.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QLoggingCategory>
#include <QPointer>
#include <QtEndian>

Q_LOGGING_CATEGORY(lcStatusItem, "zentrove.platform.statusitem")

// The item speaks the desktop's StatusNotifierItem protocol on the session bus: each item owns a
// bus name of its own, exports the item's object under it and registers that name with the
// desktop's watcher. The watcher drops the item when the name goes away.

struct SniPixmap
{
    int width = 0;
    int height = 0;
    QByteArray argb; // ARGB32, network byte order
};
using SniPixmaps = QList<SniPixmap>;

struct SniToolTip
{
    QString iconName;
    SniPixmaps pixmaps;
    QString title;
    QString text;
};

Q_DECLARE_METATYPE(SniPixmap)
Q_DECLARE_METATYPE(SniPixmaps)
Q_DECLARE_METATYPE(SniToolTip)

QDBusArgument& operator<<(QDBusArgument& argument, const SniPixmap& pixmap)
{
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.argb;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniPixmap& pixmap)
{
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.argb;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& tip)
{
    argument.beginStructure();
    argument << tip.iconName << tip.pixmaps << tip.title << tip.text;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& tip)
{
    argument.beginStructure();
    argument >> tip.iconName >> tip.pixmaps >> tip.title >> tip.text;
    argument.endStructure();
    return argument;
}

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString itemPath = QStringLiteral("/StatusNotifierItem");

// The mask tinted for a dark panel, as the protocol wants it.
SniPixmap pixmapOf(const QImage& mask)
{
    QImage image = mask.convertToFormat(QImage::Format_ARGB32);
    const QRgb tint = qRgb(0xF2, 0xF2, 0xF2);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgba(qRed(tint), qGreen(tint), qBlue(tint), qAlpha(line[x]));
    }
    SniPixmap pixmap {image.width(), image.height(), QByteArray(image.width() * image.height() * 4, Qt::Uninitialized)};
    auto* out = reinterpret_cast<quint32*>(pixmap.argb.data());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            *out++ = qToBigEndian(quint32(line[x]));
    }
    return pixmap;
}

class SniItem;

// The org.kde.StatusNotifierItem interface of one item.
class SniAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(SniPixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(QString AttentionIconName READ iconName)
    Q_PROPERTY(SniPixmaps AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString OverlayIconName READ iconName)
    Q_PROPERTY(SniPixmaps OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

public:
    SniAdaptor(QObject* holder, QString identifier)
        : QDBusAbstractAdaptor(holder)
        , m_identifier(std::move(identifier))
    {
    }

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return m_identifier; }
    QString title() const { return m_name; }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString iconName() const { return {}; }
    SniPixmaps iconPixmap() const { return m_pixmaps; }
    SniPixmaps noPixmaps() const { return {}; }
    SniToolTip toolTip() const { return {QString(), {}, m_name, QString()}; }
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return QDBusObjectPath(QStringLiteral("/NO_DBUSMENU")); }

    void setPixmaps(SniPixmaps pixmaps)
    {
        m_pixmaps = std::move(pixmaps);
        emit NewIcon();
    }
    void setName(const QString& name)
    {
        if (name == m_name)
            return;
        m_name = name;
        emit NewTitle();
        emit NewToolTip();
    }

    std::function<void(QPoint)> onActivate;

public slots:
    void Activate(int x, int y) { activate(x, y); }
    void SecondaryActivate(int x, int y) { activate(x, y); }
    void ContextMenu(int x, int y) { activate(x, y); }
    void Scroll(int, const QString&) {}

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

private:
    void activate(int x, int y)
    {
        if (onActivate)
            onActivate(x == 0 && y == 0 ? QPoint() : QPoint(x, y));
    }

    const QString m_identifier;
    QString m_name;
    SniPixmaps m_pixmaps;
};

class SniItem : public StatusItem
{
public:
    explicit SniItem(const QString& identifier)
        : m_bus(QDBusConnection::sessionBus())
    {
        static bool registered = [] {
            qDBusRegisterMetaType<SniPixmap>();
            qDBusRegisterMetaType<SniPixmaps>();
            qDBusRegisterMetaType<SniToolTip>();
            return true;
        }();
        Q_UNUSED(registered)
        static int serial = 0;
        m_service = QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(QCoreApplication::applicationPid()).arg(++serial);
        m_adaptor = new SniAdaptor(&m_holder, identifier);
        m_adaptor->onActivate = [this](QPoint at) { emit activated(at); };
        if (!m_bus.isConnected()) {
            qCWarning(lcStatusItem) << "no session bus: the status item cannot be shown";
            return;
        }
        if (!m_bus.registerObject(itemPath, &m_holder, QDBusConnection::ExportAdaptors) || !m_bus.registerService(m_service)) {
            qCWarning(lcStatusItem) << "could not export the status item:" << m_bus.lastError().message();
            return;
        }
        m_exported = true;
        // A desktop whose status area starts (or restarts) later gets the item then.
        m_watcher = new QDBusServiceWatcher(watcherService, m_bus,
                                            QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
        connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] { announce(); });
        connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { setRegistered(false); });
        announce();
    }

    ~SniItem() override
    {
        if (m_exported) {
            m_bus.unregisterService(m_service);
            m_bus.unregisterObject(itemPath);
        }
    }

    void setIcon(const QList<QImage>& masks) override
    {
        SniPixmaps pixmaps;
        for (const QImage& mask : masks)
            pixmaps.append(pixmapOf(mask));
        m_adaptor->setPixmaps(std::move(pixmaps));
    }

    void setAccessibleName(const QString& name) override { m_adaptor->setName(name); }
    bool isRegistered() const override { return m_registered; }

private:
    void announce()
    {
        if (!m_bus.interface()->isServiceRegistered(watcherService).value()) {
            setRegistered(false);
            return;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(watcherService, watcherPath, watcherService, QStringLiteral("RegisterStatusNotifierItem"));
        call << m_service;
        auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
        connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
            done->deleteLater();
            if (done->isError()) {
                qCWarning(lcStatusItem) << "the status area refused the item:" << done->error().message();
                setRegistered(false);
                return;
            }
            setRegistered(true);
        });
    }

    void setRegistered(bool registered)
    {
        if (registered == m_registered)
            return;
        m_registered = registered;
        emit registeredChanged(registered);
    }

    QDBusConnection m_bus;
    QObject m_holder;
    SniAdaptor* m_adaptor = nullptr;
    QDBusServiceWatcher* m_watcher = nullptr;
    QString m_service;
    bool m_exported = false;
    bool m_registered = false;
};

std::function<std::unique_ptr<StatusItem>(const QString&)>& factory()
{
    static std::function<std::unique_ptr<StatusItem>(const QString&)> made;
    return made;
}

} // namespace

std::unique_ptr<StatusItem> StatusItem::make(const QString& identifier)
{
    if (factory())
        return factory()(identifier);
    return std::make_unique<SniItem>(identifier);
}

void StatusItem::setFactory(std::function<std::unique_ptr<StatusItem>(const QString&)> made)
{
    factory() = std::move(made);
}

#include "status_item_linux.moc"
