#include "platform/notifier.h"
#include "test_support.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

struct Received
{
    QList<std::optional<QString>> objects;
    NoticeToken token;
    explicit Received(const QString& name)
        : token(Notifier::observe(name, [this](const std::optional<QString>& o) { objects.append(o); }))
    {
    }
};

// Readable form of what arrived, so a failure prints the whole sequence.
QStringList described(const QList<std::optional<QString>>& objects)
{
    QStringList out;
    for (const auto& o : objects)
        out << (o ? QStringLiteral("\"%1\"").arg(*o) : QStringLiteral("(none)"));
    return out;
}

void sendRaw(const QVariantList& arguments)
{
    QDBusMessage m = QDBusMessage::createSignal(QStringLiteral("/app/zentrove/Notices"), QStringLiteral("app.zentrove.Notices"),
                                                QStringLiteral("Posted"));
    m.setArguments(arguments);
    QVERIFY(QDBusConnection::sessionBus().send(m));
}

} // namespace

class TestNotifier : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus (run the suite under dbus-run-session)");
        QVERIFY(Notifier::reachesOtherProcesses());
    }

    void deliversObjectOrNoneAndStopsWithTheToken()
    {
        Received r(QStringLiteral("test.local"));
        Notifier::post(QStringLiteral("test.local"), QStringLiteral("payload"));
        Notifier::post(QStringLiteral("test.local"));
        Notifier::post(QStringLiteral("test.local"), QString());
        // In order, and an empty object is not an absent one.
        const QStringList expected{QStringLiteral("\"payload\""), QStringLiteral("(none)"), QStringLiteral("\"\"")};
        QTRY_COMPARE_WITH_TIMEOUT(described(r.objects), expected, 20000);
        r.token.reset();
        Notifier::post(QStringLiteral("test.local"), QStringLiteral("late"));
        QTest::qWait(200);
        QCOMPARE(described(r.objects), expected);
    }

    void crossesToAndFromAnotherProcess()
    {
        Received fromPeer(QStringLiteral("test.fromPeer"));
        int code = -1;
        TestSupport::runPeer({QStringLiteral("post"), QStringLiteral("test.fromPeer"), QStringLiteral("hello")}, 30000, &code);
        QCOMPARE(code, 0);
        QTRY_COMPARE_WITH_TIMEOUT(fromPeer.objects.size(), 1, 20000);
        QCOMPARE(fromPeer.objects[0], std::optional<QString>(QStringLiteral("hello")));

        QProcess* peer = TestSupport::startPeer({QStringLiteral("count"), QStringLiteral("test.toPeer")}, this);
        QVERIFY(!TestSupport::waitForLine(peer, QStringLiteral("ready")).isEmpty());
        Notifier::post(QStringLiteral("test.toPeer"), QStringLiteral("über"));
        QCOMPARE(TestSupport::waitForLine(peer, QStringLiteral("notice")), QStringLiteral("notice über"));
        peer->kill();
        peer->waitForFinished();
    }

    void malformedOrOversizedSignalsAreIgnored()
    {
        Received r(QStringLiteral("test.untrusted"));
        const QString name = QStringLiteral("test.untrusted");
        sendRaw({name, true});                                         // too few arguments
        sendRaw({name, true, QStringLiteral("x"), QStringLiteral("y")}); // too many
        sendRaw({name, true, 42});                                     // object is not a string
        sendRaw({name, QStringLiteral("yes"), QStringLiteral("x")});   // flag is not a bool
        sendRaw({7, true, QStringLiteral("x")});                       // name is not a string
        sendRaw({name, true, QString(Notifier::maxObjectLength + 1, QLatin1Char('x'))});
        sendRaw({name, true, QStringLiteral("good")});
        QTRY_COMPARE_WITH_TIMEOUT(r.objects.size(), 1, 20000);
        QTest::qWait(200);
        QCOMPARE(r.objects.size(), 1);
        QCOMPARE(r.objects[0], std::optional<QString>(QStringLiteral("good")));

        // We do not send what we would not accept.
        Notifier::post(name, QString(Notifier::maxObjectLength + 1, QLatin1Char('x')));
        QTest::qWait(200);
        QCOMPARE(r.objects.size(), 1);
    }

    void withoutABusNoticesStayInTheProcess()
    {
        QProcess peer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent/zentrove-bus"));
        peer.setProcessEnvironment(env);
        peer.start(TestSupport::peerPath(), {QStringLiteral("loopback"), QStringLiteral("test.nobus"), QStringLiteral("inside")});
        QVERIFY(peer.waitForFinished(30000));
        QCOMPARE(peer.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(peer.readAllStandardOutput()).trimmed(), QStringLiteral("got inside"));
        QVERIFY(QString::fromUtf8(peer.readAllStandardError()).contains(QStringLiteral("no session bus")));
    }
};

QTEST_GUILESS_MAIN(TestNotifier)
#include "tst_notifier.moc"
