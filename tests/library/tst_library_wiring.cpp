#include "library_fixture.h"

#include "core/notices.h"
#include "core/record_json.h"
#include "platform/bundle.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

using RecordJson::uuidText;

// The library as the control app and the live-wallpaper agent run it.
class LibraryWiringTest : public QObject
{
    Q_OBJECT

    struct Library
    {
        Library()
        {
            for (const char* name : {"Night Drive", "Frog Pond", "Dawn"}) {
                const Wallpaper w = f.wallpaper(QString::fromUtf8(name));
                items.append(w);
                ensembles.append(Ensemble {QUuid::createUuid(), w.name, w.id});
            }
            f.writeIndex(items, ensembles);
            // Built-ins count as offered already, so the library holds exactly these three.
            const QVariantList tags {QStringLiteral("Eclipse"), QStringLiteral("Graphite"), QStringLiteral("Infinity"), QStringLiteral("Frog Pond")};
            f.prefs().set(QStringLiteral("seededWallpapers"), tags);
            f.prefs().set(QStringLiteral("seededEnsembles"), tags);
            f.prefs().set(QStringLiteral("startedOnFirstEnsemble"), true);
            f.prefs().set(QStringLiteral("currentEnsembleID"), uuidText(ensembles[0].id));
        }
        std::optional<QString> stored(const QString& key)
        {
            f.prefs().sync();
            return f.prefs().string(key);
        }
        LibraryFixture f;
        QList<Wallpaper> items;
        QList<Ensemble> ensembles;
    };

    static int launch(const QStringList& arguments, qint64* elapsedMs, QString* output)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        QElapsedTimer clock;
        clock.start();
        process.start(TestSupport::buildDir() + QStringLiteral("/bin/zentrove"), arguments);
        if (!process.waitForFinished(15000)) {
            process.kill();
            process.waitForFinished();
        }
        *elapsedMs = clock.elapsed();
        *output = QString::fromUtf8(process.readAll());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
    }

    void linksSwitchEnsemblesWithoutAWindow()
    {
        Library lib;
        qint64 elapsed = 0;
        QString output;
        // Ending on its own proves there was no window: a shown window keeps the app running.
        QCOMPARE(launch({QStringLiteral("zentrove://next")}, &elapsed, &output), 0);
        QVERIFY2(elapsed < 8000, qPrintable(output));
        QCOMPARE(lib.stored(QStringLiteral("currentEnsembleID")), uuidText(lib.ensembles[1].id));
        QCOMPARE(lib.stored(QStringLiteral("currentID")), uuidText(lib.items[1].id));

        QCOMPARE(launch({QStringLiteral("zentrove://previous"), QStringLiteral("zentrove://previous")}, &elapsed, &output), 0);
        QCOMPARE(lib.stored(QStringLiteral("currentEnsembleID")), uuidText(lib.ensembles[2].id)); // wrapped round

        QCOMPARE(launch({QStringLiteral("zentrove://ensemble/night%20DRIVE")}, &elapsed, &output), 0);
        QCOMPARE(lib.stored(QStringLiteral("currentEnsembleID")), uuidText(lib.ensembles[0].id));
    }

    void theLiveWallpaperAgentRunsTheEngineStore()
    {
        Library lib;
        // Daily changing, last changed two days ago: due as soon as the agent starts.
        EnsembleChanging changing;
        changing.mode = EnsembleChanging::Mode::daily;
        changing.deck = {lib.ensembles[2].id};
        changing.lastChange = QDateTime::currentDateTime().addDays(-2);
        lib.f.prefs().set(QStringLiteral("ensembleChanging"), changing.encode());

        QProcess agent;
        agent.setProcessChannelMode(QProcess::ForwardedChannels);
        agent.start(Bundle::agentExecutable(Zentrove::paneflowID()));
        QVERIFY(agent.waitForStarted(5000));
        QTRY_COMPARE_WITH_TIMEOUT(lib.stored(QStringLiteral("currentEnsembleID")), uuidText(lib.ensembles[2].id), 10000);

        // Another process picks an ensemble while the part runs: the part switches.
        QTRY_VERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(Zentrove::paneflowID()).value());
        Notifier::post(Notices::chooseEnsembleTheme(), uuidText(lib.ensembles[1].id));
        QTRY_COMPARE_WITH_TIMEOUT(lib.stored(QStringLiteral("currentID")), uuidText(lib.items[1].id), 5000);

        agent.terminate();
        QVERIFY(agent.waitForFinished(5000));
    }
};

QTEST_GUILESS_MAIN(LibraryWiringTest)
#include "tst_library_wiring.moc"
