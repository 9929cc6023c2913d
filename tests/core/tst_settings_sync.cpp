#include "core/change_rule.h"
#include "core/notices.h"
#include "core/settings_sync.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "platform/property_list.h"
#include "test_support.h"

#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>

namespace {

const QString clockDomain = QStringLiteral("app.zentrove.vizavedid");
const QString taskbarDomain = QStringLiteral("app.zentrove.taskbar");

// Counts raw notices of one name, own posts included.
struct NoticeCounter
{
    QList<std::optional<QString>> objects;
    NoticeToken token;
    explicit NoticeCounter(const QString& name)
        : token(Notifier::observe(name, [this](const std::optional<QString>& o) { objects.append(o); }))
    {
    }
};

QVariantMap fileContents(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const auto root = PropertyList::parse(f.readAll());
    return root ? root->toMap() : QVariantMap();
}

} // namespace

class TestSettingsSync : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus (run the suite under dbus-run-session)");
        ProcessIdentity::set(QStringLiteral("app.zentrove"));
    }

    void changesInOneTurnCoalescePerDomain()
    {
        NoticeCounter clock(Notices::settingsChanged(clockDomain));
        NoticeCounter taskbar(Notices::settingsChanged(taskbarDomain));
        SettingsSync::changed(clockDomain);
        SettingsSync::changed(clockDomain);
        SettingsSync::changed(taskbarDomain);
        SettingsSync::changed(clockDomain);
        QTRY_COMPARE_WITH_TIMEOUT(clock.objects.size(), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(taskbar.objects.size(), 1, 20000);
        QCOMPARE(clock.objects[0], std::optional<QString>(QStringLiteral("app.zentrove")));
        // Once posted, the next change is a new notice.
        SettingsSync::changed(clockDomain);
        QTRY_COMPARE_WITH_TIMEOUT(clock.objects.size(), 2, 20000);
        QTest::qWait(150);
        QCOMPARE(clock.objects.size(), 2);
        QCOMPARE(taskbar.objects.size(), 1);
    }

    void aHundredWritesInAnotherProcessMakeOneNotice()
    {
        TestHome home;
        NoticeCounter counter(Notices::settingsChanged(clockDomain));
        int code = -1;
        TestSupport::runPeer({QStringLiteral("--id"), clockDomain, QStringLiteral("burst"), clockDomain, QStringLiteral("100")}, 30000, &code);
        QCOMPARE(code, 0);
        QTRY_COMPARE_WITH_TIMEOUT(counter.objects.size(), 1, 20000);
        QTest::qWait(300);
        QCOMPARE(counter.objects.size(), 1);
        QCOMPARE(counter.objects[0], std::optional<QString>(clockDomain));
        Defaults::domain(clockDomain).sync();
        QCOMPARE(Defaults::domain(clockDomain).integer(QStringLiteral("burst")), std::optional<qlonglong>(99));
    }

    void reloadsOnOthersNoticesOnlyWithFreshValues()
    {
        TestHome home;
        int reloads = 0;
        QString seen;
        NoticeToken token = SettingsSync::observe(taskbarDomain, [&] {
            ++reloads;
            seen = Defaults::domain(taskbarDomain).string(QStringLiteral("edge")).value_or(QString());
        });
        Defaults::domain(taskbarDomain).set(QStringLiteral("edge"), QStringLiteral("bottom"));

        // Our own announcement never reloads us.
        SettingsSync::changed(taskbarDomain);
        QTest::qWait(300);
        QCOMPARE(reloads, 0);

        // Another process's write does, and the value read in the handler is the new one.
        TestSupport::runPeer({QStringLiteral("--id"), taskbarDomain, QStringLiteral("set"), taskbarDomain, QStringLiteral("edge"), QStringLiteral("left")});
        QTRY_COMPARE_WITH_TIMEOUT(reloads, 1, 20000);
        QCOMPARE(seen, QStringLiteral("left"));

        // A notice without an identifier counts as someone else's.
        Notifier::post(Notices::settingsChanged(taskbarDomain));
        QTRY_COMPARE_WITH_TIMEOUT(reloads, 2, 20000);
    }

    void aProcessWithoutIdentityIgnoresAnonymousNotices()
    {
        ProcessIdentity::set(QString());
        int reloads = 0;
        NoticeToken token = SettingsSync::observe(taskbarDomain, [&] { ++reloads; });
        Notifier::post(Notices::settingsChanged(taskbarDomain));
        Notifier::post(Notices::settingsChanged(taskbarDomain), QStringLiteral("app.zentrove.paneflow"));
        QTRY_COMPARE_WITH_TIMEOUT(reloads, 1, 20000);
        QTest::qWait(200);
        QCOMPARE(reloads, 1);
        ProcessIdentity::set(QStringLiteral("app.zentrove"));
    }

    void aValueWrittenHereIsReadThereAfterTheNotice()
    {
        TestHome home;
        QProcess* peer = TestSupport::startPeer({QStringLiteral("--id"), QStringLiteral("app.zentrove.paneflow"), QStringLiteral("watch"),
                                                 QStringLiteral("app.zentrove.paneflow"), QStringLiteral("currentID")},
                                                this);
        QVERIFY(!TestSupport::waitForLine(peer, QStringLiteral("ready")).isEmpty());
        Defaults::domain(QStringLiteral("app.zentrove.paneflow")).set(QStringLiteral("currentID"), QStringLiteral("A1B2"));
        SettingsSync::changed(QStringLiteral("app.zentrove.paneflow"));
        QVERIFY(TestSupport::waitForLine(peer, QStringLiteral("reload")).startsWith(QStringLiteral("reload A1B2 ")));
        peer->kill();
        peer->waitForFinished();
    }

    void commandsReachThePartWithoutObject()
    {
        NoticeCounter raw(taskbarDomain + QStringLiteral(".holdOpen"));
        int runs = 0;
        NoticeToken token = SettingsSync::onCommand(TaskbarCommands::holdOpen(), taskbarDomain, [&] { ++runs; });
        SettingsSync::send(TaskbarCommands::holdOpen(), taskbarDomain);
        SettingsSync::send(TaskbarCommands::holdOpen(), taskbarDomain);
        QTRY_COMPARE_WITH_TIMEOUT(runs, 2, 20000); // commands are not coalesced
        QCOMPARE(raw.objects.size(), 2);
        QCOMPARE(raw.objects[0], std::nullopt);

        QProcess* peer = TestSupport::startPeer({QStringLiteral("on-command"), taskbarDomain, TaskbarCommands::releaseHold()}, this);
        QVERIFY(!TestSupport::waitForLine(peer, QStringLiteral("ready")).isEmpty());
        SettingsSync::send(TaskbarCommands::releaseHold(), taskbarDomain);
        QCOMPARE(TestSupport::waitForLine(peer, QStringLiteral("ran")), QStringLiteral("ran"));
        peer->kill();
        peer->waitForFinished();
    }

    void theChangeRuleWritesAndAnnouncesOnlyRealChanges()
    {
        NoticeCounter counter(Notices::settingsChanged(clockDomain));
        ChangeRule rule(clockDomain);
        int value = 1, writes = 0, emits = 0;
        QVERIFY(!rule.assign(value, 1, [&] { ++writes; }, [&] { ++emits; }));
        QVERIFY(rule.assign(value, 2, [&] { ++writes; }, [&] { ++emits; }));
        rule.reloading([&] { QVERIFY(rule.assign(value, 3, [&] { ++writes; }, [&] { ++emits; })); });
        QCOMPARE(value, 3);
        QCOMPARE(writes, 1);
        QCOMPARE(emits, 2);
        QTRY_COMPARE_WITH_TIMEOUT(counter.objects.size(), 1, 20000);
        QTest::qWait(150);
        QCOMPARE(counter.objects.size(), 1);
    }

    void twoWritersLoseNoKey()
    {
        TestHome home;
        const QString domain = QStringLiteral("app.zentrove.race");
        QProcess* a = TestSupport::startPeer({QStringLiteral("write-many"), domain, QStringLiteral("a"), QStringLiteral("1000")}, this);
        QProcess* b = TestSupport::startPeer({QStringLiteral("write-many"), domain, QStringLiteral("b"), QStringLiteral("1000")}, this);
        QVERIFY(a->waitForFinished(120000));
        QVERIFY(b->waitForFinished(120000));
        QCOMPARE(a->exitCode(), 0);
        QCOMPARE(b->exitCode(), 0);
        const QVariantMap values = fileContents(Defaults::domain(domain).filePath());
        QCOMPARE(values.size(), 2000);
        for (int i = 0; i < 1000; ++i) {
            QCOMPARE(values.value(QStringLiteral("a%1").arg(i)).toLongLong(), qlonglong(i));
            QCOMPARE(values.value(QStringLiteral("b%1").arg(i)).toLongLong(), qlonglong(i));
        }
    }

    void aKilledWriterLeavesEveryReturnedWrite()
    {
        TestHome home;
        const QString domain = QStringLiteral("app.zentrove.killed");
        QProcess* writer = TestSupport::startPeer({QStringLiteral("write-many"), domain, QStringLiteral("k"), QStringLiteral("1000")}, this);
        QVERIFY(!TestSupport::waitForLine(writer, QStringLiteral("wrote 150")).isEmpty());
        ::kill(pid_t(writer->processId()), SIGKILL);
        QVERIFY(writer->waitForFinished(10000));
        int last = 150;
        for (const QByteArray& line : writer->readAllStandardOutput().split('\n'))
            if (line.startsWith("wrote "))
                last = qMax(last, line.mid(6).toInt());
        QVERIFY2(last < 999, "the writer finished before it was killed; nothing was tested");
        const QVariantMap values = fileContents(Defaults::domain(domain).filePath());
        QVERIFY(!values.isEmpty()); // the file parses
        for (int i = 0; i <= last; ++i)
            QVERIFY2(values.contains(QStringLiteral("k%1").arg(i)), qPrintable(QStringLiteral("lost k%1").arg(i)));
    }
};

QTEST_GUILESS_MAIN(TestSettingsSync)
#include "tst_settings_sync.moc"
