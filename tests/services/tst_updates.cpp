#include "platform/defaults.h"
#include "platform/update_feed.h"
#include "platform/updater.h"
#include "services/updates.h"
#include "test_http_server.h"
#include "test_support.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// An updater that does what the test tells it and counts what it was asked.
class FakeUpdater : public Updater
{
public:
    bool canCheck = true;
    bool session = false;
    bool automatic = true;
    std::optional<QDateTime> last;
    int backgroundChecks = 0;
    int userChecks = 0;

    bool canCheckForUpdates() const override { return canCheck; }
    bool sessionInProgress() const override { return session; }
    bool automaticallyChecksForUpdates() const override { return automatic; }
    void setAutomaticallyChecksForUpdates(bool on) override { automatic = on; }
    bool isPackaged() const override { return false; }
    std::optional<QDateTime> lastUpdateCheckDate() const override { return last; }
    void checkForUpdatesInBackground() override { ++backgroundChecks; }
    void checkForUpdates() override { ++userChecks; }
    void setPresenter(Presenter) override {}

    void setCanCheck(bool on)
    {
        canCheck = on;
        emit canCheckChanged();
    }
};

const QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);

QStringList& logLines()
{
    static QStringList lines;
    return lines;
}

void keepLog(QtMsgType, const QMessageLogContext&, const QString& message)
{
    logLines() << message;
}

} // namespace

// The updates wrapper's rules against a fake updater, and the feed updater against a real HTTP
// server on this machine.
class TestUpdates : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    TestHttpServer server;

    Updater::Settings feedSettings(const QString& path, qint64 build = 10)
    {
        Updater::Settings settings;
        settings.feed = server.url(path);
        settings.timeoutMs = 5000;
        settings.currentBuild = build;
        settings.scheduleDelayMs = 24 * 3600 * 1000; // never during a test
        return settings;
    }

    struct Shown
    {
        int times = 0;
        std::optional<UpdateOffer> offer;
        std::function<void()> close;
    };

    // Runs one check; returns what the presenter was given.
    Shown check(Updater& updater, bool userInitiated)
    {
        auto shown = std::make_shared<Shown>();
        updater.setPresenter([shown](const std::optional<UpdateOffer>& offer, std::function<void()> closed) {
            ++shown->times;
            shown->offer = offer;
            shown->close = std::move(closed);
        });
        QSignalSpy finished(&updater, &Updater::cycleFinished);
        userInitiated ? updater.checkForUpdates() : updater.checkForUpdatesInBackground();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() || shown->times > 0, 10000); }();
        return *shown;
    }

private slots:
    void initTestCase()
    {
        const QByteArray newer = "{\"version\":\"0.3.0\",\"build\":12,\"date\":\"2026-12-01T09:00:00Z\",\"notes\":\"Faster thumbnails.\\n<b>not bold</b>\",\"download\":\"https://zentrove.app/download/0.3.0\"}";
        server.answer("/newer.json", {"200 OK", newer});
        server.answer("/older.json", {"200 OK", "{\"version\":\"0.0.9\",\"build\":\"9\",\"notes\":\"\",\"download\":\"https://zentrove.app/d\"}"});
        server.answer("/not-json.json", {"200 OK", "<html>maintenance</html>"});
        server.answer("/no-version.json", {"200 OK", "{\"build\":99,\"download\":\"https://zentrove.app/d\"}"});
        server.answer("/huge.json", {"200 OK", "{\"version\":\"9.0\",\"build\":999,\"notes\":\"", 0, 100000000});
        server.answer("/broken.json", {"503 Service Unavailable", "{}"});
    }

    void init() { home = std::make_unique<TestHome>(); }
    void cleanup() { home.reset(); }

    void checkOnlyLaunchChecksAfterTwentyHours_data()
    {
        QTest::addColumn<int>("secondsAgo"); // -1: never checked
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<bool>("checkOnly");
        QTest::addColumn<bool>("checks");
        QTest::newRow("21 hours ago") << 21 * 3600 << true << true << true;
        QTest::newRow("19 hours ago") << 19 * 3600 << true << true << false;
        QTest::newRow("exactly 20 hours") << 72000 << true << true << false;
        QTest::newRow("a second past 20 hours") << 72001 << true << true << true;
        QTest::newRow("never checked") << -1 << true << true << true;
        QTest::newRow("automatic off") << -1 << false << true << false;
        QTest::newRow("ordinary launch") << -1 << true << false << false;
    }

    void checkOnlyLaunchChecksAfterTwentyHours()
    {
        QFETCH(int, secondsAgo);
        QFETCH(bool, automatic);
        QFETCH(bool, checkOnly);
        QFETCH(bool, checks);
        FakeUpdater updater;
        if (secondsAgo >= 0)
            updater.last = now.addSecs(-secondsAgo);
        updater.automatic = automatic;
        Updates updates(updater, checkOnly, [] { return now; });
        QCOMPARE(updater.backgroundChecks, checks ? 1 : 0);
        QCOMPARE(updates.checking(), checks);
        QCOMPARE(updates.lastChecked(), updater.last);
        QCOMPARE(updater.userChecks, 0);
    }

    void cycleAndRunEndsCallOnFinished()
    {
        FakeUpdater updater;
        Updates updates(updater, true, [] { return now; });
        int finished = 0;
        updates.onFinished = [&finished] { ++finished; };
        QVERIFY(updates.checking());
        emit updater.willShowUpdate();
        QVERIFY(updates.showingUpdate());

        // The run ends first: showing stops at once, the call comes on a later turn.
        emit updater.runFinished();
        QVERIFY(!updates.showingUpdate());
        QCOMPARE(finished, 0);
        QTRY_COMPARE(finished, 1);

        updater.last = now;
        emit updater.willShowUpdate();
        emit updater.cycleFinished(false);
        QCOMPARE(finished, 2);
        QVERIFY(!updates.checking());
        QVERIFY(!updates.showingUpdate());
        QCOMPARE(updates.lastChecked(), std::optional(now));
    }

    void canCheckFollowsTheUpdater()
    {
        FakeUpdater updater;
        updater.canCheck = false;
        Updates updates(updater, false);
        QVERIFY(!updates.canCheck());
        QSignalSpy changed(&updates, &Updates::changed);
        updater.setCanCheck(true);
        QVERIFY(updates.canCheck());
        QCOMPARE(changed.size(), 1);
        updater.setCanCheck(true);
        QCOMPARE(changed.size(), 1);
        updater.session = true;
        QVERIFY(updates.sessionInProgress());
        updates.checkNow();
        QCOMPARE(updater.userChecks, 1);
        updates.setAutomatic(false);
        QVERIFY(!updates.automatic());
    }

    void feedDecodingIsStrictAboutWhatItOffers_data()
    {
        QTest::addColumn<QByteArray>("feed");
        QTest::addColumn<bool>("offers");
        QTest::newRow("complete") << QByteArray("{\"version\":\"1.2\",\"build\":5,\"date\":\"2026-01-02T03:04:05Z\",\"notes\":\"n\",\"download\":\"https://a.example/z\"}") << true;
        QTest::newRow("build as text") << QByteArray("{\"version\":\"1.2\",\"build\":\" 5 \",\"download\":\"http://a.example/z\"}") << true;
        QTest::newRow("no version") << QByteArray("{\"build\":5,\"download\":\"https://a.example/z\"}") << false;
        QTest::newRow("blank version") << QByteArray("{\"version\":\"  \",\"build\":5,\"download\":\"https://a.example/z\"}") << false;
        QTest::newRow("no build") << QByteArray("{\"version\":\"1.2\",\"download\":\"https://a.example/z\"}") << false;
        QTest::newRow("fractional build") << QByteArray("{\"version\":\"1.2\",\"build\":5.5,\"download\":\"https://a.example/z\"}") << false;
        QTest::newRow("negative build") << QByteArray("{\"version\":\"1.2\",\"build\":-5,\"download\":\"https://a.example/z\"}") << false;
        QTest::newRow("file download") << QByteArray("{\"version\":\"1.2\",\"build\":5,\"download\":\"file:///etc/passwd\"}") << false;
        QTest::newRow("no download") << QByteArray("{\"version\":\"1.2\",\"build\":5}") << false;
        QTest::newRow("array") << QByteArray("[1,2]") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("too large") << QByteArray("{\"version\":\"1\",\"build\":2,\"download\":\"https://a.example/z\",\"notes\":\"")
                + QByteArray(UpdateFeed::maxBytes, 'x') + "\"}" << false;
    }

    void feedDecodingIsStrictAboutWhatItOffers()
    {
        QFETCH(QByteArray, feed);
        QFETCH(bool, offers);
        QString why;
        const std::optional<UpdateOffer> offer = UpdateFeed::decode(feed, &why);
        QCOMPARE(offer.has_value(), offers);
        QCOMPARE(why.isEmpty(), offers);
        if (offer)
            QCOMPARE(offer->build, qint64(5));
    }

    void newerBuildIsOfferedAndTheRunEndsWhenClosed()
    {
        auto updater = Updater::makeSystem(feedSettings(QStringLiteral("/newer.json")));
        Updates updates(*updater, false);
        QVERIFY(updates.canCheck());
        QSignalSpy willShow(updater.get(), &Updater::willShowUpdate);
        int finished = 0;
        updates.onFinished = [&finished] { ++finished; };
        const Shown shown = check(*updater, false);
        QCOMPARE(shown.times, 1);
        QVERIFY(shown.offer);
        QCOMPARE(shown.offer->version, QStringLiteral("0.3.0"));
        QCOMPARE(shown.offer->build, qint64(12));
        QCOMPARE(shown.offer->download, QUrl(QStringLiteral("https://zentrove.app/download/0.3.0")));
        QCOMPARE(shown.offer->date->date(), QDate(2026, 12, 1));
        QCOMPARE(willShow.size(), 1);
        QVERIFY(updates.showingUpdate());
        QVERIFY(updates.sessionInProgress());
        QVERIFY(!updates.canCheck());
        QVERIFY(updater->lastUpdateCheckDate());
        // The wrapper takes the date over when the cycle ends.
        QVERIFY(!updates.lastChecked());
        shown.close();
        QVERIFY(updates.lastChecked());
        QVERIFY(updates.lastChecked()->secsTo(QDateTime::currentDateTimeUtc()) < 60);
        QVERIFY(!updates.sessionInProgress());
        QVERIFY(updates.canCheck());
        QVERIFY(!updates.showingUpdate());
        QTRY_COMPARE(finished, 2); // the run's end and the cycle's end
    }

    void olderBuildIsQuietUnlessTheUserAsked()
    {
        auto updater = Updater::makeSystem(feedSettings(QStringLiteral("/older.json")));
        QSignalSpy willShow(updater.get(), &Updater::willShowUpdate);
        QCOMPARE(check(*updater, false).times, 0);
        QVERIFY(updater->lastUpdateCheckDate());
        QVERIFY(!updater->sessionInProgress());
        const Shown asked = check(*updater, true);
        QCOMPARE(asked.times, 1);
        QVERIFY(!asked.offer);
        QCOMPARE(willShow.size(), 0);
        asked.close();
        // The same build as ours is not newer either.
        auto same = Updater::makeSystem(feedSettings(QStringLiteral("/newer.json"), 12));
        QCOMPARE(check(*same, false).times, 0);
    }

    void badFeedsAreIgnoredWithALogLine_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("logged");
        QTest::newRow("not JSON") << "/not-json.json" << "update feed ignored: the feed is not a JSON object";
        QTest::newRow("no version") << "/no-version.json" << "update feed ignored: the feed names no version";
        QTest::newRow("100 MB") << "/huge.json" << "update check failed: the answer is too large";
        QTest::newRow("server error") << "/broken.json" << "update check failed: status 503";
    }

    void badFeedsAreIgnoredWithALogLine()
    {
        QFETCH(QString, path);
        QFETCH(QString, logged);
        auto updater = Updater::makeSystem(feedSettings(path, 1));
        QSignalSpy finished(updater.get(), &Updater::cycleFinished);
        logLines().clear();
        const QtMessageHandler previous = qInstallMessageHandler(keepLog);
        const Shown shown = check(*updater, false);
        qInstallMessageHandler(previous);
        QCOMPARE(shown.times, 0);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toBool(), true);
        QVERIFY2(logLines().join(u'\n').contains(logged), qPrintable(logLines().join(u'\n')));
        QVERIFY(updater->canCheckForUpdates());
    }

    void packageInstallLeavesUpdatesToThePackageManager()
    {
        Updater::Settings settings = feedSettings(QStringLiteral("/newer.json"));
        settings.packaged = true;
        auto updater = Updater::makeSystem(settings);
        Defaults::standard().set(QStringLiteral("updatesAutomatically"), true);
        QVERIFY(!updater->automaticallyChecksForUpdates());
        QVERIFY(!updater->canCheckForUpdates());
        updater->setAutomaticallyChecksForUpdates(true);
        QVERIFY(!updater->automaticallyChecksForUpdates());
        const int before = server.requests;
        Updates updates(*updater, true);
        updater->checkForUpdates();
        QTest::qWait(100);
        QCOMPARE(server.requests, before);
        QVERIFY(!updates.checking());
        QVERIFY(updates.isPackaged());
    }

    void automaticSettingIsKept()
    {
        auto updater = Updater::makeSystem(feedSettings(QStringLiteral("/newer.json")));
        QVERIFY(updater->automaticallyChecksForUpdates());
        updater->setAutomaticallyChecksForUpdates(false);
        auto again = Updater::makeSystem(feedSettings(QStringLiteral("/newer.json")));
        QVERIFY(!again->automaticallyChecksForUpdates());
    }
};

QTEST_GUILESS_MAIN(TestUpdates)
#include "tst_updates.moc"
