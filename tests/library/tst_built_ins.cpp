#include "library_fixture.h"

#include "core/record_json.h"
#include "core/string_list_key.h"

#include <QSignalSpy>
#include <QTest>

using RecordJson::uuidText;

namespace {

QStringList names(const QList<Ensemble>& ensembles)
{
    QStringList result;
    for (const Ensemble& e : ensembles)
        result.append(e.name);
    return result;
}

const QStringList shippedNames {QStringLiteral("Eclipse"), QStringLiteral("Graphite"), QStringLiteral("Infinity"),
                                QStringLiteral("Frog Pond")};

class CountingThumbnails : public ThumbnailMaker
{
public:
    void makeMissing(LibraryStore&, const QList<Wallpaper>& items) override { made += items.size(); }
    void remake(LibraryStore&, const Wallpaper& item) override { remade.append(item.name); }
    int made = 0;
    QStringList remade;
};

class RestoringSource : public ShippedLookSource
{
public:
    std::optional<QUuid> restoreShipped(const QUuid& shippedID) override
    {
        asked.append(shippedID);
        return given;
    }
    QList<QUuid> asked;
    QUuid given = QUuid::createUuid();
};

} // namespace

class BuiltInsTest : public QObject
{
    Q_OBJECT

private slots:
    void seedingOnceThenRestoringAtTheShippedPlace()
    {
        LibraryFixture f(true);
        const Wallpaper mine = f.wallpaper(QStringLiteral("Eclipse")); // the user has one of that name
        f.writeIndex({mine}, {{QUuid::createUuid(), QStringLiteral("Mine"), mine.id}});
        auto thumbnails = std::make_shared<CountingThumbnails>();
        LibraryServices services;
        services.thumbnails = thumbnails;
        auto store = std::make_unique<LibraryStore>(Zentrove::paneflowID(), false, f.where, services);

        QCOMPARE(store->items().size(), 5);
        QCOMPARE(store->items().first().name, QStringLiteral("Eclipse 2")); // shipped position 0, unique name
        QCOMPARE(store->items().first().builtIn, std::optional<QString>(QStringLiteral("Eclipse")));
        QCOMPARE(names(store->ensembles()), (QStringList {QStringLiteral("Eclipse"), QStringLiteral("Graphite"), QStringLiteral("Infinity"),
                                                          QStringLiteral("Frog Pond"), QStringLiteral("Mine")}));
        QCOMPARE(readStringList(f.prefs(), QStringLiteral("seededWallpapers")), shippedNames);
        QCOMPARE(readStringList(f.prefs(), QStringLiteral("seededEnsembles")), shippedNames);
        QCOMPARE(thumbnails->made, 4);
        // Seeded ensembles are paired already; the name pass leaves them alone.
        QVERIFY(readStringList(f.prefs(), QStringLiteral("pairedLooks")).contains(QStringLiteral("clock:6AF625E7-92C5-41AD-8885-D53A6B00E4A2")));
        // Written at once, though start-up writes nothing else back.
        QCOMPARE(LibraryFiles::readWallpapers(f.where).size(), 5);

        const Ensemble graphite = store->ensembles().at(1);
        store->removeEnsemble(graphite);
        store.reset();
        store = f.open();
        QVERIFY(!store->ensemble(graphite.id));
        QCOMPARE(store->missingBuiltInEnsembles().size(), 1);
        QCOMPARE(store->missingBuiltInEnsembles().first().id, graphite.id);
        QVERIFY(store->missingBuiltInWallpapers().isEmpty());

        RestoringSource clock, taskbar;
        store->restoreBuiltInEnsembles(&clock, &taskbar);
        QCOMPARE(store->ensembles().at(1).id, graphite.id);
        QCOMPARE(clock.asked, QList<QUuid> {*graphite.clockPreset});
        QCOMPARE(store->ensemble(graphite.id)->clockPreset, std::optional<QUuid>(clock.given));
        QCOMPARE(store->ensemble(graphite.id)->taskbarTheme, std::optional<QUuid>(taskbar.given));
        QVERIFY(store->missingBuiltInEnsembles().isEmpty());
    }

    void restoringIntoAShortListAppends()
    {
        LibraryFixture f(true);
        f.writeIndex({}, {});
        auto store = f.open();
        for (const Ensemble& e : QList<Ensemble>(store->ensembles()))
            store->removeEnsemble(e);
        const Wallpaper infinity = *store->wallpaper(BuiltInEnsembles::wallpapers().at(2).id);
        store->remove(infinity);
        QCOMPARE(store->missingBuiltInWallpapers().size(), 1);
        QCOMPARE(store->missingBuiltInEnsembles().size(), 4);
        store->restoreBuiltInEnsembles();
        QCOMPARE(names(store->ensembles()), shippedNames);
        QCOMPARE(store->items().last().id, infinity.id); // wallpapers come back at the end
    }

    void olderCopiesAreReplacedAndMissingMediaWaits()
    {
        LibraryFixture f(true);
        const Wallpaper shipped = BuiltInEnsembles::wallpapers().at(1);
        const Wallpaper oldCopy {shipped.id, QStringLiteral("Graphite"), QStringLiteral("graphite-old.mov")};
        LibraryFixture::touch(f.where.videos() + QStringLiteral("/graphite-old.mov"));
        QFile::remove(f.where.mediaPath(BuiltInEnsembles::wallpapers().at(3))); // this build lacks Frog Pond
        f.writeIndex({oldCopy}, {});
        auto store = f.open();
        QCOMPARE(store->wallpaper(shipped.id)->builtIn, shipped.builtIn);
        QVERIFY(!QFileInfo::exists(f.where.videos() + QStringLiteral("/graphite-old.mov")));
        QCOMPARE(store->items().size(), 3);
        QCOMPARE(store->ensembles().size(), 3);
        QVERIFY(!readStringList(f.prefs(), QStringLiteral("seededWallpapers")).contains(QStringLiteral("Frog Pond")));

        // The next build ships it: offered then.
        store.reset();
        LibraryFixture::touch(f.where.mediaPath(BuiltInEnsembles::wallpapers().at(3)));
        store = f.open();
        QVERIFY(store->ensemble(BuiltInEnsembles::ensembles().at(3).id));
    }

    void engineHousekeeping()
    {
        LibraryFixture f(true);
        const QUuid id = QUuid::createUuid();
        const Wallpaper legacy {id, QStringLiteral("Dunes"), uuidText(id) + QStringLiteral(".mp4")};
        LibraryFixture::touch(f.where.videos() + QLatin1Char('/') + legacy.fileName);
        const Wallpaper eclipse = BuiltInEnsembles::wallpapers().first();
        const Ensemble dusk {QUuid::createUuid(), QString::fromUtf8("  \xC3\x89""CLIPSE "), id};
        const Ensemble decided {QUuid::createUuid(), QStringLiteral("Eclipse"), id};
        f.writeIndex({legacy, eclipse}, {dusk, decided});
        f.prefs().set(QStringLiteral("seededWallpapers"), QVariantList {QStringLiteral("Eclipse"), QStringLiteral("Graphite"),
                                                                        QStringLiteral("Infinity"), QStringLiteral("Frog Pond")});
        f.prefs().setValue(QStringLiteral("seededEnsembles"), f.prefs().value(QStringLiteral("seededWallpapers")));
        f.prefs().set(QStringLiteral("pairedLooks"), QVariantList {QStringLiteral("clock:") + uuidText(decided.id)});
        f.prefs().set(QStringLiteral("builtInSizes"), QVariantMap {{QStringLiteral("Eclipse"), qlonglong(1)}});
        const QUuid preset = QUuid::createUuid();
        Defaults::domain(Zentrove::vizaVedidID())
            .set(QStringLiteral("customPresets"),
                 QByteArray("[{\"id\":\"" + uuidText(preset).toLatin1() + "\",\"name\":\"Eclipse\",\"font\":\"x\"}]"));
        for (const QString& name : {QStringLiteral("Eclipse-lockscreen-v1.mov"), QStringLiteral("stray-lockscreen-v1.mov"),
                                    QStringLiteral("job.partial.mov"), QStringLiteral("job.looped.mov"), QStringLiteral("notes.txt")})
            LibraryFixture::touch(f.where.lockScreen() + QLatin1Char('/') + name);

        auto thumbnails = std::make_shared<CountingThumbnails>();
        LibraryServices services;
        services.thumbnails = thumbnails;
        LibraryStore store(Zentrove::paneflowID(), true, f.where, services);
        LibraryHousekeeping::atStart(store);

        // The file follows the wallpaper's name.
        QCOMPARE(store.wallpaper(id)->fileName, QStringLiteral("Dunes.mp4"));
        QVERIFY(QFileInfo::exists(f.where.videos() + QStringLiteral("/Dunes.mp4")));
        // Case, accents and spaces are folded when pairing; a decided slot stays empty.
        QCOMPARE(store.ensemble(dusk.id)->clockPreset, std::optional<QUuid>(preset));
        QVERIFY(!store.ensemble(decided.id)->clockPreset);
        QCOMPARE(LibraryFiles::readEnsembles(f.where, store.items())->first().clockPreset, std::optional<QUuid>(preset));
        // The shipped Eclipse changed size: its lock-screen copy goes and its thumbnail is remade.
        QVERIFY(!QFileInfo::exists(f.where.lockScreen() + QStringLiteral("/Eclipse-lockscreen-v1.mov")));
        QVERIFY(thumbnails->remade.contains(QStringLiteral("Eclipse")));
        QCOMPARE(f.prefs().dictionary(QStringLiteral("builtInSizes"))->value(QStringLiteral("Eclipse")).toLongLong(),
                 QFileInfo(f.where.mediaPath(eclipse)).size());
        // Stray copies go; work files of a running conversion and other files stay.
        QVERIFY(!QFileInfo::exists(f.where.lockScreen() + QStringLiteral("/stray-lockscreen-v1.mov")));
        QVERIFY(QFileInfo::exists(f.where.lockScreen() + QStringLiteral("/job.partial.mov")));
        QVERIFY(QFileInfo::exists(f.where.lockScreen() + QStringLiteral("/job.looped.mov")));
        QVERIFY(QFileInfo::exists(f.where.lockScreen() + QStringLiteral("/notes.txt")));
    }
};

QTEST_GUILESS_MAIN(BuiltInsTest)
#include "tst_built_ins.moc"
