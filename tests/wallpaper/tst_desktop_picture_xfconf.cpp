#include "platform/desktop_picture_settings.h"
#include "test_support.h"
#include "wallpaper/desktop_picture.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

const QString monitor = QStringLiteral("/backdrop/screen0/monitorVirtual1");
const QString first = monitor + QStringLiteral("/workspace0/last-image");
const QString second = monitor + QStringLiteral("/workspace1/last-image");
const QString ownFirst = QStringLiteral("/usr/share/backgrounds/xfce/xfce-shapes.svg");
const QString ownSecond = QStringLiteral("/home/me/Pictures/Own picture #2.jpg");

// Where the distribution puts Xfce's settings daemon.
QString daemonPath()
{
    for (const char* candidate : {"/usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd", "/usr/lib/xfce4/xfconf/xfconfd",
                                  "/usr/libexec/xfconfd"})
        if (QFileInfo(QString::fromLatin1(candidate)).isExecutable())
            return QString::fromLatin1(candidate);
    return {};
}

// Xfce's daemon asked directly, past the code under test.
QDBusMessage xfconf(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.xfce.Xfconf"), QStringLiteral("/org/xfce/Xfconf"),
                                                          QStringLiteral("org.xfce.Xfconf"), method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, 5000);
}

std::optional<QString> stored(const QString& property)
{
    const QDBusMessage reply = xfconf(QStringLiteral("GetProperty"), {QStringLiteral("xfce4-desktop"), property});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return reply.arguments().first().value<QDBusVariant>().variant().toString();
}

bool store(const QString& property, const QVariant& value)
{
    return xfconf(QStringLiteral("SetProperty"), {QStringLiteral("xfce4-desktop"), property, QVariant::fromValue(QDBusVariant(value))})
               .type()
        == QDBusMessage::ReplyMessage;
}

QImage still(QColor colour)
{
    QImage image(64, 36, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

// Xfce's desktop pictures through its own settings daemon (xfconfd) on the test's private session
// bus, keeping its files in the test's folder: the user's pictures come back exactly.
class TestDesktopPictureXfconf : public QObject
{
    Q_OBJECT

    QTemporaryDir daemonHome;
    QProcess daemon;
    std::unique_ptr<TestHome> home;
    std::unique_ptr<DesktopPictureSettings> settings;

private slots:
    void initTestCase()
    {
        const QString path = daemonPath();
        if (path.isEmpty())
            QSKIP("Xfce's settings daemon is not installed (xfconf)");
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        // Started here, with its files in the test's folder, before anything could ask the bus to
        // start one with the bus's own environment.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), daemonHome.path());
        environment.insert(QStringLiteral("HOME"), daemonHome.path());
        daemon.setProcessEnvironment(environment);
        daemon.start(path, {});
        QVERIFY(daemon.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.xfce.Xfconf")).value(),
                                 10000);
    }

    void cleanupTestCase()
    {
        if (daemon.state() != QProcess::NotRunning) {
            daemon.terminate();
            daemon.waitForFinished(5000);
        }
    }

    void init()
    {
        home = std::make_unique<TestHome>();
        settings = DesktopPictureSettings::makeXfconf();
        xfconf(QStringLiteral("ResetProperty"), {QStringLiteral("xfce4-desktop"), QStringLiteral("/backdrop"), true});
        QVERIFY(store(first, ownFirst));
        QVERIFY(store(second, ownSecond));
        QVERIFY(store(monitor + QStringLiteral("/workspace0/image-style"), 5)); // not a picture
    }

    void cleanup()
    {
        settings.reset();
        home.reset();
    }

    void chosenByTheDesktop()
    {
        qputenv("XDG_CURRENT_DESKTOP", "XFCE");
        QCOMPARE(DesktopPictureSettings::makeSystem()->backend(), QStringLiteral("xfconf"));
        qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
        QCOMPARE(DesktopPictureSettings::makeSystem()->backend(), QStringLiteral("GSettings"));
        qunsetenv("XDG_CURRENT_DESKTOP");
    }

    void readsEveryMonitorAndWorkspaceAsURIs()
    {
        QVERIFY(settings->isSetUp());
        QCOMPARE(settings->keys(), QStringList({first, second}));
        const auto value = settings->value(second);
        QVERIFY(value);
        QVERIFY(value->ownValue);
        QCOMPARE(value->text, QUrl::fromLocalFile(ownSecond).toString());
        QCOMPARE(QUrl(value->text).toLocalFile(), ownSecond);
        // A picture Xfce never set reads as its default.
        QCOMPARE(settings->value(monitor + QStringLiteral("/workspace7/last-image")), std::optional(DesktopPictureSettings::Value {}));
    }

    void placesAndGivesBackExactly()
    {
        QString error;
        QVERIFY2(DesktopPicture::place(*settings, still(Qt::red), &error), qPrintable(error));
        // Xfce holds plain paths of our still, in every workspace.
        const std::optional<QString> placed = stored(first);
        QVERIFY(placed && placed->startsWith(DesktopPicture::stillFolder() + QLatin1Char('/')));
        QVERIFY(QFileInfo::exists(*placed));
        QCOMPARE(stored(second), placed);
        QCOMPARE(stored(monitor + QStringLiteral("/workspace0/image-style")), std::optional<QString>(QStringLiteral("5")));
        QVERIFY(DesktopPicture::showsOurs(*settings));

        // Placed again (a new wallpaper): the backup still holds the user's own.
        QVERIFY(DesktopPicture::place(*settings, still(Qt::blue), &error));
        QVERIFY(stored(first) != placed);

        QVERIFY(DesktopPicture::giveBack(*settings));
        QCOMPARE(stored(first), std::optional<QString>(ownFirst));
        QCOMPARE(stored(second), std::optional<QString>(ownSecond));
        QVERIFY(!QFileInfo::exists(DesktopPicture::backupPath()));
        QVERIFY(QDir(DesktopPicture::stillFolder()).entryList(QDir::Files).isEmpty());
    }

    void keepsWhatTheUserPickedMeanwhile()
    {
        QVERIFY(DesktopPicture::place(*settings, still(Qt::green)));
        const QString picked = QStringLiteral("/home/me/Pictures/later.png");
        QVERIFY(store(second, picked));
        QVERIFY(DesktopPicture::giveBack(*settings));
        QCOMPARE(stored(first), std::optional<QString>(ownFirst));
        QCOMPARE(stored(second), std::optional<QString>(picked));
    }

    void aDesktopWithoutPicturesIsNotSetUp()
    {
        // Xfce's desktop has never run on this account: it has made no picture settings yet.
        xfconf(QStringLiteral("ResetProperty"), {QStringLiteral("xfce4-desktop"), QStringLiteral("/backdrop"), true});
        QVERIFY(!settings->isSetUp());
        QString error;
        QVERIFY(!DesktopPicture::place(*settings, still(Qt::red), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(DesktopPicture::giveBack(*settings)); // nothing to give back, no harm
    }
};

QTEST_GUILESS_MAIN(TestDesktopPictureXfconf)
#include "tst_desktop_picture_xfconf.moc"
