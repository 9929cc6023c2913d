#include "agent_process.h"

#include "app/ensembles_model.h"
#include "app/navigation.h"
#include "app/ui/app_style.h"
#include "app/ui/ensemble_card.h"
#include "app/ui/ensembles_page.h"
#include "clock/style_store.h"
#include "core/zentrove.h"
#include "library/library_files.h"
#include "library/library_store.h"
#include "looks/display_ensembles.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "taskbar/settings_store.h"
#include "test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTest>

// The ensembles page in this process and the real live-wallpaper and clock agents of the build
// tree on the private bus: what the page applies is what the agents end up with.
class TestEnsemblesAgents : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    const ScreenInfo mainScreen {1, QStringLiteral("11111111-1111-1111-1111-111111111111"), QStringLiteral("main")};
    const ScreenInfo sideScreen {2, QStringLiteral("22222222-2222-2222-2222-222222222222"), QStringLiteral("side")};

    static void stop(QProcess* agent)
    {
        if (!agent)
            return;
        agent->terminate();
        agent->waitForFinished(5000);
    }

    // A user library of three pictures with one ensemble each, the first one current.
    QList<Ensemble> writeLibrary()
    {
        const LibraryLocations where = LibraryLocations::standard();
        QDir().mkpath(where.videos());
        QList<Wallpaper> items;
        QList<Ensemble> ensembles;
        for (const QString& name : {QStringLiteral("Beach"), QStringLiteral("Dune"), QStringLiteral("Forest")}) {
            Wallpaper item {QUuid::createUuid(), name, name + QStringLiteral(".png")};
            QImage picture(64, 40, QImage::Format_RGB32);
            picture.fill(Qt::darkCyan);
            picture.save(where.videos() + QLatin1Char('/') + item.fileName);
            items << item;
            ensembles << Ensemble {QUuid::createUuid(), name + QStringLiteral(" time"), item.id};
        }
        LibraryFiles::writeIndex(where, items, ensembles);
        Defaults& prefs = Defaults::domain(Zentrove::paneflowID());
        prefs.set(QStringLiteral("currentEnsembleID"), ensembles.first().id.toString(QUuid::WithoutBraces).toUpper());
        prefs.set(QStringLiteral("startedOnFirstEnsemble"), true);
        return ensembles;
    }

private slots:
    void initTestCase()
    {
        AppStyle::apply(*qApp);
    }

    void init()
    {
        home = std::make_unique<TestHome>();
        ProcessIdentity::set(Zentrove::bundleID());
        Screens::setOverride(QList<ScreenInfo> {mainScreen, sideScreen});
    }

    void cleanup()
    {
        Screens::setOverride(std::nullopt);
        home.reset();
    }

    void theLiveWallpaperAgentAgreesOnWhatThePageApplies()
    {
        const QList<Ensemble> written = writeLibrary();
        QProcess* agent = AgentProcess::start(Zentrove::paneflowID(), this);
        QVERIFY(agent);
        QVERIFY(AgentProcess::waitForLog(agent, QStringLiteral("running")));

        LibraryStore library(Zentrove::paneflowID(), false);
        StyleStore clocks(Defaults::domain(Zentrove::vizaVedidID()));
        SettingsStore taskbar(Defaults::domain(Zentrove::taskbarID()), true);
        Navigation nav;
        EnsemblesModel model(library, clocks, taskbar, nav);
        EnsemblesPage page(model);
        page.resize(1100, 900);
        page.show();

        // The main display: a double click makes the ensemble current, in both processes.
        const Ensemble dune = *library.ensemble(written.at(1).id);
        QTest::mouseDClick(page.card(dune.id), Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(library.currentEnsembleID(), std::optional<QUuid>(dune.id));
        QVERIFY(AgentProcess::waitForLog(agent, QStringLiteral("showing the ensemble ") + dune.id.toString(QUuid::WithoutBraces).toUpper()));

        // The other display: its own ensemble, and the current one stays.
        const Ensemble forest = *library.ensemble(written.at(2).id);
        page.displayButtons().at(1)->click();
        QTest::mouseDClick(page.card(forest.id), Qt::LeftButton, {}, QPoint(40, 40));
        DisplayMap expected;
        expected.insert(*sideScreen.displayUUID, forest.id);
        QVERIFY(AgentProcess::waitForLog(agent, QStringLiteral("display ensembles ") + DisplayEnsembles::encode(expected)));
        QCOMPARE(library.currentEnsembleID(), std::optional<QUuid>(dune.id));

        // Back to following the main display.
        QTest::mouseDClick(page.sameAsMainCard(), Qt::LeftButton, {}, QPoint(40, 40));
        QVERIFY(AgentProcess::waitForLog(agent, QStringLiteral("display ensembles {}")));
        QVERIFY(!AgentProcess::waitForLog(agent, QStringLiteral("showing the ensemble"), 300));
        stop(agent);
    }

    void aPresetThatIsGoneLeavesTheClockPartAlone()
    {
        const QList<Ensemble> written = writeLibrary();
        QProcess* clockAgent = AgentProcess::start(Zentrove::vizaVedidID(), this);
        QVERIFY(clockAgent);
        QVERIFY(AgentProcess::waitForLog(clockAgent, QStringLiteral("running")));

        LibraryStore library(Zentrove::paneflowID(), false);
        StyleStore clocks(Defaults::domain(Zentrove::vizaVedidID()));
        SettingsStore taskbar(Defaults::domain(Zentrove::taskbarID()), true);
        Navigation nav;
        EnsemblesModel model(library, clocks, taskbar, nav);
        EnsemblesPage page(model);
        page.show();
        QVERIFY(clocks.customPresets().size() >= 2);

        // Dune wears a preset that is then deleted; Forest wears one that exists.
        const NamedStyle gone = clocks.customPresets().at(0);
        const NamedStyle kept = clocks.customPresets().at(1);
        library.setLook(*library.ensemble(written.at(1).id), LibraryStore::LookSlot::clock, gone.id);
        library.setLook(*library.ensemble(written.at(2).id), LibraryStore::LookSlot::clock, kept.id);
        QTest::qWait(200);
        clockAgent->readAllStandardError(); // earlier lines must not answer the wait below
        clocks.deletePreset(gone.id);
        // The clock part has taken the deletion before the look arrives (a person deletes and
        // applies in two separate turns of the event loop, never in one).
        QVERIFY(AgentProcess::waitForLog(clockAgent, QStringLiteral("settings reloaded")));
        QCOMPARE(page.card(written.at(1).id)->content().name, written.at(1).name);
        const std::optional<QUuid> before = clocks.activePresetID();

        QTest::mouseDClick(page.card(written.at(1).id), Qt::LeftButton, {}, QPoint(40, 40));
        QVERIFY(!AgentProcess::waitForLog(clockAgent, QStringLiteral("showing the preset"), 800));
        QCOMPARE(clocks.activePresetID(), before);

        // The same road with a preset that exists does switch the clock part.
        QTest::mouseDClick(page.card(written.at(2).id), Qt::LeftButton, {}, QPoint(40, 40));
        QVERIFY(AgentProcess::waitForLog(clockAgent, QStringLiteral("showing the preset ") + kept.name));
        QTRY_COMPARE_WITH_TIMEOUT(clocks.activePresetID(), std::optional<QUuid>(kept.id), 5000);
        stop(clockAgent);
    }
};

QTEST_MAIN(TestEnsemblesAgents)
#include "tst_ensembles_agents.moc"
