#include "library_fixture.h"
#include "notice_log.h"

#include "core/notices.h"
#include "core/record_json.h"
#include "looks/look.h"
#include "looks/look_request.h"

#include <QSignalSpy>
#include <QTest>

using RecordJson::uuidText;

class LibraryStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void firstStartMakesOneEnsemblePerWallpaperOnlyWithoutEnsemblesFile()
    {
        LibraryFixture f;
        Wallpaper beach = f.wallpaper(QStringLiteral("Beach"));
        beach.clockPreset = QUuid::createUuid();
        const Wallpaper dune = f.wallpaper(QStringLiteral("Dune"));
        f.writeIndex({beach, dune}, {});
        QFile::remove(f.where.ensemblesFile());

        auto store = f.open();
        QCOMPARE(store->ensembles().size(), 2);
        const Ensemble first = store->ensembles().first();
        QCOMPARE(first.id, beach.id);
        QCOMPARE(first.wallpaper, beach.id);
        QCOMPARE(first.clockPreset, beach.clockPreset);
        QVERIFY(!first.builtIn);
        QVERIFY(QFileInfo::exists(f.where.ensemblesFile()));
        // First start: the first ensemble shows, and that is remembered.
        QCOMPARE(store->currentEnsembleID(), std::optional<QUuid>(beach.id));
        QCOMPARE(store->currentID(), std::optional<QUuid>(beach.id));
        QCOMPARE(f.prefs().boolean(QStringLiteral("startedOnFirstEnsemble")), std::optional<bool>(true));
        QCOMPARE(f.prefs().string(QStringLiteral("currentEnsembleID")), uuidText(beach.id));
        store.reset();

        // An empty list written by the user stays empty.
        f.writeIndex({beach, dune}, {});
        auto again = f.open();
        QVERIFY(again->ensembles().isEmpty());
    }

    void lostMediaDropsTheRecordAndItsEnsembles()
    {
        LibraryFixture f;
        const Wallpaper kept = f.wallpaper(QStringLiteral("Kept"));
        const Wallpaper lost = f.wallpaper(QStringLiteral("Lost"));
        f.writeIndex({kept, lost}, {{QUuid::createUuid(), QStringLiteral("A"), lost.id}, {QUuid::createUuid(), QStringLiteral("B"), kept.id}});
        QFile::remove(f.where.videos() + QStringLiteral("/Lost.mp4"));
        f.prefs().set(QStringLiteral("currentID"), uuidText(lost.id));

        auto store = f.open();
        QCOMPARE(store->items().size(), 1);
        QCOMPARE(store->ensembles().size(), 1);
        QCOMPARE(store->ensembles().first().name, QStringLiteral("B"));
        // A current wallpaper that is gone is current no more.
        QVERIFY(!store->currentID() || *store->currentID() != lost.id);
    }

    void startUpReadsSettingsTolerantly()
    {
        LibraryFixture f;
        const Wallpaper beach = f.wallpaper(QStringLiteral("Beach"));
        const Ensemble evening {QUuid::createUuid(), QStringLiteral("Evening"), beach.id};
        f.writeIndex({beach}, {evening});
        f.prefs().set(QStringLiteral("pauseOnThermal"), QStringLiteral("no")); // not a boolean: default true
        f.prefs().set(QStringLiteral("pauseOnBattery"), true);
        f.prefs().set(QStringLiteral("ensembleChanging"), QByteArray("{\"mode\":\"weekly\"}"));
        f.prefs().set(QStringLiteral("currentEnsembleID"), QStringLiteral("not a uuid"));
        f.prefs().set(QStringLiteral("startedOnFirstEnsemble"), true);

        auto store = f.open();
        QVERIFY(store->switches().on(LibrarySwitch::pauseOnThermal));
        QVERIFY(store->switches().on(LibrarySwitch::pauseOnBattery));
        QVERIFY(!store->switches().on(LibrarySwitch::userPaused));
        QCOMPARE(store->ensembleChanging(), EnsembleChanging {});
        // Not the first start and nothing stored that parses: nothing is current.
        QVERIFY(!store->currentEnsembleID());
    }

    void renameFollowsIntoEnsemblesAndFiles()
    {
        LibraryFixture f;
        const Wallpaper beach = f.wallpaper(QStringLiteral("Beach"));
        const Wallpaper sea = f.wallpaper(QStringLiteral("Sea"));
        const Ensemble named {QUuid::createUuid(), QStringLiteral("Beach"), beach.id};
        const Ensemble evening {QUuid::createUuid(), QStringLiteral("Evening"), beach.id};
        const Ensemble other {QUuid::createUuid(), QStringLiteral("Beach 2"), sea.id};
        f.writeIndex({beach, sea}, {named, evening, other});
        LibraryFixture::touch(f.where.lockScreenPath(QStringLiteral("Beach.mp4")));
        auto store = f.open();

        QSignalSpy items(store.get(), &LibraryStore::itemsChanged);
        store->rename(beach, QStringLiteral("  \n "));
        QCOMPARE(items.count(), 0);

        store->rename(beach, QStringLiteral(" Sea "));
        const Wallpaper renamed = *store->wallpaper(beach.id);
        QCOMPARE(renamed.name, QStringLiteral("Sea 2"));
        QCOMPARE(store->ensemble(named.id)->name, QStringLiteral("Sea 2")); // unique among ensembles only
        QCOMPARE(store->ensemble(evening.id)->name, QStringLiteral("Evening"));
        QCOMPARE(renamed.fileName, QStringLiteral("Sea 2.mp4"));
        QVERIFY(QFileInfo::exists(f.where.videos() + QStringLiteral("/Sea 2.mp4")));
        QVERIFY(!QFileInfo::exists(f.where.videos() + QStringLiteral("/Beach.mp4")));
        QVERIFY(QFileInfo::exists(f.where.lockScreenPath(QStringLiteral("Sea 2.mp4"))));
        QVERIFY(!QFileInfo::exists(f.where.lockScreenPath(QStringLiteral("Beach.mp4"))));
        // Saved: a fresh read sees the new names.
        QCOMPARE(LibraryFiles::readWallpapers(f.where).first().fileName, QStringLiteral("Sea 2.mp4"));

        // A rename that cannot move the file keeps the old file name.
        QFile::remove(f.where.videos() + QStringLiteral("/Sea.mp4"));
        store->rename(*store->wallpaper(sea.id), QStringLiteral("Ocean"));
        QCOMPARE(store->wallpaper(sea.id)->name, QStringLiteral("Ocean"));
        QCOMPARE(store->wallpaper(sea.id)->fileName, QStringLiteral("Sea.mp4"));
    }

    void removeTakesEnsemblesAndFilesAlong()
    {
        LibraryFixture f(true);
        const Wallpaper beach = f.wallpaper(QStringLiteral("Beach"));
        const Wallpaper sea = f.wallpaper(QStringLiteral("Sea"));
        const Ensemble a {QUuid::createUuid(), QStringLiteral("A"), beach.id};
        const Ensemble b {QUuid::createUuid(), QStringLiteral("B"), sea.id};
        f.writeIndex({beach, sea}, {a, b});
        f.prefs().set(QStringLiteral("currentEnsembleID"), uuidText(a.id));
        LibraryFixture::touch(f.where.thumbnailPath(beach.id));
        LibraryFixture::touch(f.where.lockScreenPath(beach.fileName));
        auto store = f.open();
        QCOMPARE(store->currentID(), std::optional<QUuid>(beach.id));

        store->remove(beach);
        QVERIFY(!store->wallpaper(beach.id));
        QVERIFY(!store->ensemble(a.id));
        QVERIFY(store->ensemble(b.id));
        QVERIFY(!store->currentID());
        QVERIFY(!store->currentEnsembleID());
        QVERIFY(!QFileInfo::exists(f.where.videos() + QStringLiteral("/Beach.mp4")));
        QVERIFY(!QFileInfo::exists(f.where.thumbnailPath(beach.id)));
        QVERIFY(!QFileInfo::exists(f.where.lockScreenPath(beach.fileName)));
        QVERIFY(!f.prefs().contains(QStringLiteral("currentID")));

        // Shipped media is never deleted.
        const Wallpaper eclipse = *store->wallpaper(BuiltInEnsembles::wallpapers().first().id);
        store->remove(eclipse);
        QVERIFY(QFileInfo::exists(f.where.mediaPath(eclipse)));

        // Unknown ids change nothing.
        QSignalSpy spy(store.get(), &LibraryStore::itemsChanged);
        store->remove(beach);
        store->rename(beach, QStringLiteral("X"));
        store->removeEnsemble(a);
        QCOMPARE(spy.count(), 0);
    }

    void currentEnsembleAndWallpaperStayConsistent()
    {
        LibraryFixture f;
        const Wallpaper beach = f.wallpaper(QStringLiteral("Beach"));
        const Wallpaper sea = f.wallpaper(QStringLiteral("Sea"));
        const QUuid clock = QUuid::createUuid();
        const Ensemble plain {QUuid::createUuid(), QStringLiteral("Plain"), beach.id};
        const Ensemble dressed {QUuid::createUuid(), QStringLiteral("Dressed"), beach.id, clock};
        const Ensemble seaside {QUuid::createUuid(), QStringLiteral("Seaside"), sea.id};
        f.writeIndex({beach, sea}, {plain, dressed, seaside});
        f.prefs().set(QStringLiteral("startedOnFirstEnsemble"), true);
        auto store = f.open();
        NoticeLog changed(Notices::paneflowCurrentChanged());
        NoticeLog looks(Notices::applyLook());

        store->setCurrentEnsembleID(plain.id);
        QCOMPARE(store->currentID(), std::optional<QUuid>(beach.id));
        NoticeLog::settle();
        QCOMPARE(changed.objects, QStringList {uuidText(beach.id)});
        QVERIFY(looks.objects.isEmpty()); // no clock preset, no theme: nothing to publish

        // Same wallpaper: no second wallpaper notice, but the look of the new ensemble goes out.
        store->setCurrentEnsembleID(dressed.id);
        NoticeLog::settle();
        QCOMPARE(changed.objects.size(), 1);
        QCOMPARE(looks.objects.size(), 1);
        const auto published = LookRequest::decode(looks.objects.first().toUtf8());
        QVERIFY(published);
        QCOMPARE(published->clockPreset, std::optional<QUuid>(clock));
        QVERIFY(!published->taskbarTheme);
        QCOMPARE(LookRequest::latest(), published);

        // Picking a wallpaper picks an ensemble that shows it.
        store->setCurrentID(sea.id);
        QCOMPARE(store->currentEnsembleID(), std::optional<QUuid>(seaside.id));
        QCOMPARE(f.prefs().string(QStringLiteral("currentEnsembleID")), uuidText(seaside.id));

        // Removing the current ensemble keeps its wallpaper showing.
        store->removeEnsemble(seaside);
        QVERIFY(!store->currentEnsembleID());
        QCOMPARE(store->currentID(), std::optional<QUuid>(sea.id));

        // A wallpaper without any ensemble: nothing current as an ensemble, notice with its id.
        store->setCurrentID(std::nullopt);
        NoticeLog::settle();
        QCOMPARE(changed.objects.last(), QString());
    }

    void displaysFollowTheMainOneUnlessGivenTheirOwn()
    {
        LibraryFixture f;
        const Wallpaper beach = f.wallpaper(QStringLiteral("Beach"));
        const Wallpaper sea = f.wallpaper(QStringLiteral("Sea"));
        const Ensemble a {QUuid::createUuid(), QStringLiteral("A"), beach.id};
        f.writeIndex({beach, sea}, {a});
        auto store = f.open();
        QSignalSpy spy(store.get(), &LibraryStore::displayEnsemblesChanged);

        store->setEnsemble(a.id, f.mainScreen);
        QVERIFY(store->displayEnsembles().isEmpty());
        QCOMPARE(spy.count(), 0);

        // A wallpaper without an ensemble gets one, shown on the side display only.
        store->use(sea, f.sideScreen);
        QCOMPARE(store->ensembles().size(), 2);
        const Ensemble made = store->ensembles().last();
        QCOMPARE(made.name, QStringLiteral("Sea"));
        QCOMPARE(store->ownEnsemble(f.sideScreen)->id, made.id);
        QCOMPARE(store->wallpaperOn(f.sideScreen)->id, sea.id);
        QCOMPARE(store->currentEnsembleID(), std::optional<QUuid>(a.id));
        QCOMPARE(DisplayEnsembles::saved(), store->displayEnsembles());
        // The wallpaper now shown on a display reuses that display's ensemble.
        QCOMPARE(store->ensembleToUse(sea)->id, made.id);

        store->use(sea, f.mainScreen);
        QCOMPARE(store->currentEnsembleID(), std::optional<QUuid>(made.id));
        QCOMPARE(store->ensembles().size(), 2);

        store->useEverywhere(beach);
        QVERIFY(store->displayEnsembles().isEmpty());
        QCOMPARE(store->currentID(), std::optional<QUuid>(beach.id));

        store->setEnsemble(made.id, f.sideScreen);
        store->removeEnsemble(made);
        QVERIFY(store->displayEnsembles().isEmpty());
        QVERIFY(DisplayEnsembles::saved().isEmpty());
    }

    void displayMapNoticesFromOthersAreCheckedFirst()
    {
        LibraryFixture f;
        const Wallpaper beach = f.wallpaper(QStringLiteral("Beach"));
        const Ensemble a {QUuid::createUuid(), QStringLiteral("A"), beach.id};
        f.writeIndex({beach}, {a});
        auto store = f.open();
        QSignalSpy spy(store.get(), &LibraryStore::displayEnsemblesChanged);
        for (const QString& junk : {QStringLiteral("[1,2]"), QStringLiteral("{\"x\":5}"), QStringLiteral("nonsense")})
            Notifier::post(DisplayEnsembles::changed(), junk);
        Notifier::post(DisplayEnsembles::changed(), QStringLiteral("{\"%1\":\"%2\",\"other\":\"bad\"}").arg(*f.sideScreen.displayUUID, uuidText(a.id)));
        QTRY_COMPARE(spy.count(), 1);
        NoticeLog::settle(100);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(store->displayEnsembles(), (DisplayMap {{*f.sideScreen.displayUUID, a.id}}));
    }

    void reloadAssignsOnlyWhatDiffersAndWritesNothing()
    {
        LibraryFixture f;
        const Wallpaper beach = f.wallpaper(QStringLiteral("Beach"));
        const Wallpaper sea = f.wallpaper(QStringLiteral("Sea"));
        const Ensemble a {QUuid::createUuid(), QStringLiteral("A"), beach.id};
        const Ensemble b {QUuid::createUuid(), QStringLiteral("B"), sea.id, QUuid::createUuid()};
        f.writeIndex({beach, sea}, {a, b});
        f.prefs().set(QStringLiteral("currentEnsembleID"), uuidText(a.id));
        auto store = f.open();
        NoticeLog looks(Notices::applyLook());
        QSignalSpy itemSpy(store.get(), &LibraryStore::itemsChanged);
        QSignalSpy ensembleSpy(store.get(), &LibraryStore::ensemblesChanged);
        QSignalSpy currentSpy(store.get(), &LibraryStore::currentEnsembleIDChanged);

        // Another process switched to B and renamed it; its files carry extra white space we keep.
        const Ensemble renamed {b.id, QStringLiteral("B2"), sea.id, b.clockPreset};
        f.writeIndex({beach, sea}, {a, renamed});
        QFile file(f.where.ensemblesFile());
        QVERIFY(file.open(QIODevice::Append));
        file.write("  \n");
        file.close();
        const QByteArray onDisk = *LibraryFiles::readSmallFile(f.where.ensemblesFile());
        f.prefs().set(QStringLiteral("currentEnsembleID"), uuidText(b.id));
        f.prefs().set(QStringLiteral("currentID"), uuidText(sea.id));
        f.prefs().set(QStringLiteral("userPaused"), true);

        store->reload();
        QCOMPARE(itemSpy.count(), 0);
        QCOMPARE(ensembleSpy.count(), 1);
        QCOMPARE(currentSpy.count(), 1);
        QCOMPARE(store->currentID(), std::optional<QUuid>(sea.id));
        QVERIFY(store->switches().on(LibrarySwitch::userPaused));
        QCOMPARE(*LibraryFiles::readSmallFile(f.where.ensemblesFile()), onDisk);
        NoticeLog::settle();
        QVERIFY(looks.objects.isEmpty()); // the process that switched already published the look

        store->reload();
        QCOMPARE(ensembleSpy.count(), 1);
        QCOMPARE(currentSpy.count(), 1);
    }

    void ensembleEditsAndCounts()
    {
        LibraryFixture f;
        const Wallpaper beach = f.wallpaper(QStringLiteral("Beach"));
        const Wallpaper sea = f.wallpaper(QStringLiteral("Sea"));
        f.writeIndex({beach, sea}, {});
        auto store = f.open();
        const Ensemble first = store->addEnsemble(beach.id);
        const Ensemble second = store->addEnsemble(beach.id);
        QCOMPARE(second.name, QStringLiteral("New Ensemble 2"));
        const Ensemble copy = store->duplicateEnsemble(first);
        QCOMPARE(store->ensembles().at(1).id, copy.id); // right after its source
        QCOMPARE(copy.name, QStringLiteral("New Ensemble 3"));
        QCOMPARE(store->ensembleCountOfWallpaper(beach.id), 3);
        QCOMPARE(LibraryStore::ensembleCountText(store->ensembleCountOfWallpaper(sea.id)), QStringLiteral("NOT USED"));
        QCOMPARE(LibraryStore::ensembleCountText(1), QStringLiteral("IN 1 ENSEMBLE"));
        QCOMPARE(LibraryStore::ensembleCountText(2), QStringLiteral("IN 2 ENSEMBLES"));

        store->setCurrentEnsembleID(first.id);
        store->setWallpaper(first, sea.id);
        QCOMPARE(store->currentID(), std::optional<QUuid>(sea.id));
        store->setWallpaper(first, QUuid::createUuid()); // unknown wallpaper: nothing
        QCOMPARE(store->ensemble(first.id)->wallpaper, sea.id);

        store->renameEnsemble(second, QStringLiteral("new ensemble 3 "));
        QCOMPARE(store->ensemble(second.id)->name, QStringLiteral("new ensemble 2")); // its own old name is free

        const QUuid theme = QUuid::createUuid();
        store->setLook(*store->ensemble(second.id), LibraryStore::LookSlot::taskbar, theme);
        QCOMPARE(store->ensembleCountOfTaskbar(theme), 1);
        QCOMPARE(store->homeWallpaper([&](const Ensemble& e) { return e.taskbarTheme == theme; })->id, beach.id);
        QCOMPARE(store->homeWallpaper([](const Ensemble&) { return true; })->id, sea.id); // the current one first

        const Ensemble outsider {QUuid::createUuid(), QStringLiteral("Outsider"), beach.id};
        store->insert(outsider, 99);
        QCOMPARE(store->ensembles().last().id, outsider.id);
        // Saved as it goes.
        QCOMPARE(LibraryFiles::readEnsembles(f.where, store->items())->size(), 4);
    }

    void activitiesInEngineModeAreShared()
    {
        LibraryFixture f;
        f.writeIndex({}, {});
        auto engine = f.open(true);
        const QUuid job = engine->activityLog().begin(QStringLiteral("Clip"), QStringLiteral("Checking video"));
        engine->activityLog().update(job, QStringLiteral("Copying into library"), 0.5);
        engine->activityLog().update(QUuid::createUuid(), QStringLiteral("ignored"), 0.1);
        engine->activityLog().finish(job, std::nullopt, QStringLiteral("Added to library"), false, 0.05);
        QCOMPARE(engine->activityLog().activities().first().progress, std::optional<double>(1.0));
        QCOMPARE(engine->activityLog().activities().first().state, Activity::State::done);

        auto control = f.open(false);
        QCOMPARE(control->activityLog().engineActivities().size(), 1);
        QCOMPARE(control->activityLog().engineActivities().first().detail, QStringLiteral("Added to library"));
        QTRY_VERIFY(engine->activityLog().activities().isEmpty());
        control->reload();
        QVERIFY(control->activityLog().engineActivities().isEmpty());
    }
};

QTEST_GUILESS_MAIN(LibraryStoreTest)
#include "tst_library_store.moc"
