#include "core/zentrove.h"
#include "platform/defaults.h"
#include "services/safety.h"
#include "test_support.h"

#include <QDateTime>
#include <QProcess>
#include <QTest>

#include <signal.h>

class TestSafetyStart : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    const QString partID = Zentrove::paneflowID();

    static QString helper() { return TestSupport::buildDir() + QStringLiteral("/tests/zentrove-safety-part"); }

    QStringList arguments(bool crash = false) const
    {
        QStringList a {partID, QStringLiteral("paneflow")};
        if (crash)
            a << QStringLiteral("--crash");
        return a;
    }

    // Runs the part to its end; returns its output lines.
    QStringList run(bool crash = false, int* exitCode = nullptr)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(helper(), arguments(crash));
        p.waitForFinished(10000);
        if (exitCode)
            *exitCode = p.exitCode();
        return QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    Defaults& part() const
    {
        Defaults& d = Defaults::domain(partID);
        d.sync();
        return d;
    }

private slots:
    void init()
    {
        home = std::make_unique<TestHome>();
        qputenv("ZENTROVE_SYSTEM_VERSION", "14.5.0");
        Safety::Environment env;
        env.systemVersion = QStringLiteral("14.5.0");
        env.appBuild = 1;
        Safety::setEnvironment(env);
    }

    void cleanup()
    {
        Safety::resetEnvironment();
        qunsetenv("ZENTROVE_SYSTEM_VERSION");
        home.reset();
    }

    void fourQuickStartsWithoutCleanQuitsStandDown()
    {
        for (int i = 0; i < 3; ++i)
            QCOMPARE(run(true), QStringList {QStringLiteral("start true")});
        QCOMPARE(part().array(Safety::startsKey())->size(), 3);
        int code = -1;
        QCOMPARE(run(true, &code), QStringList({QStringLiteral("giveBack"), QStringLiteral("start false"), QStringLiteral("quit")}));
        QCOMPARE(code, 0);
        QVERIFY(!part().contains(Safety::startsKey()));
        auto record = Safety::stoodDown(partID);
        QVERIFY(record);
        QVERIFY(record->crashed);
        QCOMPARE(record->reason, Safety::crashReason(QStringLiteral("14.5.0")));

        // Stays down until the user tries again.
        QCOMPARE(run().value(1), QStringLiteral("start false"));
        QVERIFY(Safety::stoodDown(partID)->crashed);
        Safety::clearStoodDown(partID);
        QCOMPARE(run(true), QStringList {QStringLiteral("start true")});
    }

    void aSlowStartResetsTheCount()
    {
        const double now = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
        part().set(Safety::startsKey(), QVariantList {now - 300, now - 200, now - 121});
        QCOMPARE(run(true), QStringList {QStringLiteral("start true")});
        QCOMPARE(part().array(Safety::startsKey())->size(), 1);
        // Three earlier starts, each within 120 s of the one before: this one is the fourth.
        part().set(Safety::startsKey(), QVariantList {now - 200, now - 100, now - 60});
        QCOMPARE(run(true).value(1), QStringLiteral("start false"));
        QVERIFY(Safety::stoodDown(partID)->crashed);
    }

    void aPoliteKillIsACleanQuit()
    {
        QProcess p;
        p.start(helper(), arguments());
        QCOMPARE(TestSupport::waitForLine(&p, QStringLiteral("start")), QStringLiteral("start true"));
        QCOMPARE(part().array(Safety::startsKey())->size(), 1);
        ::kill(pid_t(p.processId()), SIGTERM);
        QCOMPARE(TestSupport::waitForLine(&p, QStringLiteral("quit")), QStringLiteral("quit"));
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(!part().contains(Safety::startsKey())); // no crash counted
    }

    void switchedOffWhileRunning()
    {
        QProcess p;
        p.start(helper(), arguments());
        QCOMPARE(TestSupport::waitForLine(&p, QStringLiteral("start")), QStringLiteral("start true"));
        // A list for another part changes nothing.
        Safety::save(R"({"off":[{"feature":"taskbar","macOS":"1","message":"not you"}]})");
        QTest::qWait(300);
        QCOMPARE(p.state(), QProcess::Running);
        Safety::save(R"({"off":[{"feature":"paneflow","macOS":"14","message":"Broken on this macOS"}]})");
        QCOMPARE(TestSupport::waitForLine(&p, QStringLiteral("giveBack")), QStringLiteral("giveBack"));
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 0);
        const auto record = Safety::stoodDown(partID);
        QVERIFY(record);
        QCOMPARE(record->reason, QStringLiteral("Broken on this macOS"));
        QVERIFY(!record->crashed);
    }

    void switchedOffAtStartAndLiftedByASystemUpdate()
    {
        Safety::save(R"({"off":[{"feature":"paneflow","macOS":"14","through":"14.5","message":"Off on 14.5"}]})");
        QCOMPARE(run(), QStringList({QStringLiteral("giveBack"), QStringLiteral("start false"), QStringLiteral("quit")}));
        QCOMPARE(Safety::stoodDown(partID)->reason, QStringLiteral("Off on 14.5"));

        // A crash record from the previous system version does not hold after an update either.
        part().set(Safety::stoodDownKey(), QVariantMap {{QStringLiteral("reason"), QStringLiteral("old")},
                                                        {QStringLiteral("macOS"), QStringLiteral("14.5.0")},
                                                        {QStringLiteral("crashed"), true}});
        qputenv("ZENTROVE_SYSTEM_VERSION", "14.6");
        QCOMPARE(run(true), QStringList {QStringLiteral("start true")});
        QVERIFY(!part().contains(Safety::stoodDownKey()));
    }
};

QTEST_GUILESS_MAIN(TestSafetyStart)
#include "tst_safety_start.moc"
