#include "core/notices.h"
#include "core/zentrove.h"
#include "platform/defaults.h"
#include "platform/notifier.h"
#include "services/safety.h"
#include "test_support.h"

#include <QTest>

using Safety::Order;

class TestSafety : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    QDateTime now;

    void useSystem(const QString& version, qint64 build = 200)
    {
        Safety::Environment env;
        env.systemVersion = version;
        env.appBuild = build;
        env.now = [this] { return now; };
        Safety::setEnvironment(env);
    }

    static Defaults& hub() { return Defaults::domain(Zentrove::bundleID()); }

private slots:
    void init()
    {
        home = std::make_unique<TestHome>();
        now = QDateTime(QDate(2026, 6, 1), QTime(8, 0), Qt::UTC);
        useSystem(QStringLiteral("14.5.0"));
    }

    void cleanup()
    {
        Safety::resetEnvironment();
        home.reset();
    }

    void compareVersions_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<Order>("order");
        QTest::newRow("missing pieces are 0") << "14" << "14.0.0" << Order::same;
        QTest::newRow("numbers, not text") << "14.10" << "14.9" << Order::descending;
        QTest::newRow("numbers, not text, reversed") << "14.9" << "14.10" << Order::ascending;
        QTest::newRow("longer and larger") << "14.0.1" << "14" << Order::descending;
        QTest::newRow("empty pieces dropped") << "1..2." << "1.2" << Order::same;
        QTest::newRow("not a number counts as 0") << "14.beta" << "14.0" << Order::same;
        QTest::newRow("too large counts as 0") << "99999999999999999999999" << "0" << Order::same;
        QTest::newRow("empty") << "" << "0.0" << Order::same;
    }

    void compareVersions()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(Order, order);
        QCOMPARE(Safety::compare(a, b), order);
    }

    void decodeIsAllOrNothing_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<int>("entries"); // -1: does not decode
        QTest::newRow("good") << QByteArray(R"({"off":[{"feature":"taskbar","macOS":"15","through":"15.1",)"
                                            R"("fixedInBuild":120,"message":"m","extra":true}]})")
                              << 1;
        QTest::newRow("empty list") << QByteArray(R"({"off":[]})") << 0;
        QTest::newRow("nulls mean absent") << QByteArray(R"({"off":[{"feature":"a","macOS":"1","message":"m",)"
                                                         R"("through":null,"fixedInBuild":null}]})")
                                           << 1;
        QTest::newRow("not JSON") << QByteArray("<html>oops</html>") << -1;
        QTest::newRow("no off") << QByteArray(R"({"on":[]})") << -1;
        QTest::newRow("off is no array") << QByteArray(R"({"off":{}})") << -1;
        QTest::newRow("top level array") << QByteArray(R"([{"off":[]}])") << -1;
        QTest::newRow("entry not an object") << QByteArray(R"({"off":["taskbar"]})") << -1;
        QTest::newRow("feature is a number") << QByteArray(R"({"off":[{"feature":1,"macOS":"1","message":"m"}]})") << -1;
        QTest::newRow("message missing") << QByteArray(R"({"off":[{"feature":"a","macOS":"1"}]})") << -1;
        QTest::newRow("through is a number") << QByteArray(R"({"off":[{"feature":"a","macOS":"1","message":"m","through":15}]})")
                                             << -1;
        QTest::newRow("build is text") << QByteArray(R"({"off":[{"feature":"a","macOS":"1","message":"m","fixedInBuild":"120"}]})")
                                       << -1;
        QTest::newRow("build is a fraction")
            << QByteArray(R"({"off":[{"feature":"a","macOS":"1","message":"m","fixedInBuild":120.5}]})") << -1;
        QTest::newRow("nested to death") << QByteArray(5000, '[') << -1;
    }

    void decodeIsAllOrNothing()
    {
        QFETCH(QByteArray, document);
        QFETCH(int, entries);
        const auto decoded = Safety::decode(document);
        QCOMPARE(decoded ? int(decoded->size()) : -1, entries);
    }

    void whichEntriesSwitchOff_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("feature");
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("build");
        QTest::addColumn<QString>("message"); // empty: not switched off
        const QString open = QStringLiteral(R"({"feature":"paneflow","macOS":"14","message":"broken"})");
        const QString bounded = QStringLiteral(R"({"feature":"paneflow","macOS":"14","through":"14.2","message":"broken"})");
        const QString fixed = QStringLiteral(R"({"feature":"taskbar","macOS":"13","fixedInBuild":120,"message":"fixed later"})");
        QTest::newRow("before the first version") << open << "paneflow" << "13.9.9" << 1 << "";
        QTest::newRow("at the first version") << open << "paneflow" << "14.0.0" << 1 << "broken";
        QTest::newRow("no upper bound") << open << "paneflow" << "27.1.0" << 1 << "broken";
        QTest::newRow("through its last version") << bounded << "paneflow" << "14.2.0" << 1 << "broken";
        QTest::newRow("after its last version") << bounded << "paneflow" << "14.3.0" << 1 << "";
        QTest::newRow("a point release after through") << bounded << "paneflow" << "14.2.1" << 1 << "";
        QTest::newRow("build before the fix") << fixed << "taskbar" << "14.0.0" << 119 << "fixed later";
        QTest::newRow("build with the fix") << fixed << "taskbar" << "14.0.0" << 120 << "";
        QTest::newRow("another part") << open << "taskbar" << "14.0.0" << 1 << "";
        QTest::newRow("dotted feature matches its base") << open << "paneflow.lockscreen" << "14.0.0" << 1 << "broken";
        QTest::newRow("dotted entry does not match the base")
            << QStringLiteral(R"({"feature":"paneflow.lockscreen","macOS":"1","message":"x"})") << "paneflow" << "14.0.0" << 1
            << "";
        QTest::newRow("first applying entry wins") << bounded + QStringLiteral(",") + fixed + QStringLiteral(",")
                + QStringLiteral(R"({"feature":"paneflow","macOS":"1","message":"second"})")
                + QStringLiteral(",") + open
                                                   << "paneflow" << "15.0.0" << 1 << "second";
    }

    void whichEntriesSwitchOff()
    {
        QFETCH(QString, entries);
        QFETCH(QString, feature);
        QFETCH(QString, version);
        QFETCH(int, build);
        QFETCH(QString, message);
        const QByteArray list = QStringLiteral(R"({"off":[%1]})").arg(entries).toUtf8();
        QCOMPARE(Safety::offMessage(feature, list, version, build).value_or(QString()), message);

        // The same answer through the stored list and the running system's values.
        useSystem(version, build);
        hub().set(Safety::listKey(), list);
        QCOMPARE(Safety::offMessage(feature).value_or(QString()), message);
    }

    void undecodableStoredListSwitchesNothingOff()
    {
        hub().set(Safety::listKey(), QByteArray(R"({"off":[{"feature":"paneflow","macOS":"1","message":7}]})"));
        QVERIFY(!Safety::offMessage(QStringLiteral("paneflow")));
        hub().set(Safety::listKey(), QStringLiteral("text where data belongs"));
        QVERIFY(!Safety::offMessage(QStringLiteral("paneflow")));
    }

    void saveStoresAndAnnouncesOnlyNewBytes()
    {
        int notices = 0;
        const NoticeToken token = Notifier::observe(Notices::safetyChanged(), [&](const std::optional<QString>& object) {
            QVERIFY(!object);
            ++notices;
        });
        const QByteArray list = R"({"off":[]})";
        Safety::save(list);
        QCOMPARE(hub().data(Safety::listKey()), std::optional<QByteArray>(list));
        QCOMPARE(hub().date(Safety::fetchedKey()), std::optional<QDateTime>(now));
        QCOMPARE(hub().string(Safety::fetchedOnKey()), std::optional<QString>(QStringLiteral("14.5.0")));
        QTRY_COMPARE(notices, 1);

        now = now.addSecs(3600);
        Safety::save(list); // the same list: only the date moves
        QCOMPARE(hub().date(Safety::fetchedKey()), std::optional<QDateTime>(now));
        QTest::qWait(200);
        QCOMPARE(notices, 1);

        Safety::save(R"({"off": []})");
        QTRY_COMPARE(notices, 2);
    }

    void fetchIsDue()
    {
        QVERIFY(Safety::isDue()); // never fetched
        Safety::save(R"({"off":[]})");
        QVERIFY(!Safety::isDue());
        now = now.addSecs(Safety::refreshAfterSeconds);
        QVERIFY(!Safety::isDue());
        now = now.addSecs(1);
        QVERIFY(Safety::isDue());

        now = now.addSecs(-1);
        useSystem(QStringLiteral("14.6.0")); // a system update forces a fetch
        QVERIFY(Safety::isDue());
        useSystem(QStringLiteral("14.5.0"));
        QVERIFY(!Safety::isDue());

        hub().set(Safety::fetchedKey(), now.addDays(400)); // saved while the clock was far ahead
        QVERIFY(Safety::isDue());
        hub().set(Safety::fetchedKey(), QStringLiteral("yesterday"));
        QVERIFY(Safety::isDue());
    }

    void standDownRecords()
    {
        const QString id = Zentrove::taskbarID();
        Defaults& part = Defaults::domain(id);
        QVERIFY(!Safety::stoodDown(id));
        part.set(Safety::stoodDownKey(), QVariantMap {{QStringLiteral("reason"), QStringLiteral("Dock broke")},
                                                      {QStringLiteral("macOS"), QStringLiteral("14.5.0")},
                                                      {QStringLiteral("crashed"), true}});
        part.set(Safety::startsKey(), QVariantList {1.0, 2.0});
        auto record = Safety::stoodDown(id);
        QVERIFY(record);
        QCOMPARE(record->reason, QStringLiteral("Dock broke"));
        QVERIFY(record->crashed);

        useSystem(QStringLiteral("14.6.0"));
        QVERIFY(!Safety::stoodDown(id)); // lifted by the system update
        useSystem(QStringLiteral("14.5.0"));

        part.set(Safety::stoodDownKey(), QVariantMap {{QStringLiteral("macOS"), QStringLiteral("14.5.0")}});
        record = Safety::stoodDown(id);
        QVERIFY(record);
        QCOMPARE(record->reason, QString());
        QVERIFY(!record->crashed);
        part.set(Safety::stoodDownKey(), QVariantMap {{QStringLiteral("reason"), QStringLiteral("x")}});
        QVERIFY(!Safety::stoodDown(id)); // no version: not trusted

        Safety::clearStoodDown(id);
        QVERIFY(!part.contains(Safety::stoodDownKey()));
        QVERIFY(!part.contains(Safety::startsKey()));
    }
};

QTEST_GUILESS_MAIN(TestSafety)
#include "tst_safety.moc"
