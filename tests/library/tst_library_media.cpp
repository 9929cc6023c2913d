#include "heic_maker.h"
#include "library_fixture.h"

#include "library/import/media_import.h"
#include "library/import/media_jobs.h"
#include "library/import/media_thumbnails.h"
#include "core/record_json.h"
#include "media/video_info.h"
#include "platform/property_list.h"

#include <QImage>
#include <QTest>

using RecordJson::uuidText;

// What the store keeps about its media files: facts and dynamic pictures read once, forgotten
// when a file goes or comes anew, and the re-scan of the "Videos" folder.
class LibraryMediaTest : public QObject
{
    Q_OBJECT

    static std::unique_ptr<LibraryStore> open(LibraryFixture& f)
    {
        return std::make_unique<LibraryStore>(
            Zentrove::paneflowID(), false, f.where,
            LibraryServices {std::make_shared<MediaThumbnails>(), std::make_shared<MediaImporter>(), std::make_shared<AccentRefresher>()});
    }

    static void seeded(LibraryFixture& f)
    {
        const QVariantList tags {QStringLiteral("Eclipse"), QStringLiteral("Graphite"), QStringLiteral("Infinity"),
                                 QStringLiteral("Frog Pond")};
        f.prefs().set(QStringLiteral("seededWallpapers"), tags);
        f.prefs().set(QStringLiteral("seededEnsembles"), tags);
        f.prefs().set(QStringLiteral("startedOnFirstEnsemble"), true);
    }

    static void picture(const QString& path, int width)
    {
        QImage image(width, 10, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(path, "PNG"));
    }

    static void settle(LibraryStore& store)
    {
        QTRY_COMPARE_WITH_TIMEOUT(store.importing(), 0, 30000);
        MediaJobs::waitForAll();
        QCoreApplication::processEvents();
    }

private slots:
    void refreshAddsFoundFilesWithoutMakingThemCurrent()
    {
        LibraryFixture f;
        seeded(f);
        const Wallpaper shown = f.wallpaper(QStringLiteral("Shown"));
        f.writeIndex({shown}, {});
        auto store = open(f);
        QCOMPARE(store->currentID(), std::nullopt);

        // Another process named a wallpaper this one does not list: after a re-scan it is current
        // no more, and a file found in the folder does not take its place.
        const QUuid unknown = QUuid::createUuid();
        f.prefs().set(QStringLiteral("currentID"), uuidText(unknown));
        store->reload();
        QCOMPARE(store->currentID(), std::optional<QUuid>(unknown));
        LibraryFixture::touch(f.where.videos() + QStringLiteral("/Found.mp4"));
        store->refresh();
        QCOMPARE(store->items().size(), 2);
        QCOMPARE(store->items().last().name, QStringLiteral("Found"));
        QCOMPARE(store->currentID(), std::nullopt);
        f.prefs().sync();
        QVERIFY(!f.prefs().string(QStringLiteral("currentID")));

        // With nothing current at all, a found file still waits to be chosen.
        LibraryFixture::touch(f.where.videos() + QStringLiteral("/Later.mp4"));
        store->refresh();
        QCOMPARE(store->items().size(), 3);
        QCOMPARE(store->currentID(), std::nullopt);
        settle(*store);
    }

    void refreshAfterADamagedIndexDeletesNothing()
    {
        LibraryFixture f;
        seeded(f);
        const Wallpaper gone = f.wallpaper(QStringLiteral("Gone")), kept = f.wallpaper(QStringLiteral("Kept"));
        Wallpaper unreadable = f.wallpaper(QStringLiteral("Unreadable"));
        unreadable.clockPreset = QUuid::createUuid();
        f.writeIndex({gone, unreadable, kept}, {});
        // The clock preset written as a number: that one record cannot be read.
        QFile file(f.where.libraryFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll().replace(uuidText(*unreadable.clockPreset).toLatin1().prepend('"').append('"'), "7");
        file.close();
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        LibraryFixture::touch(f.where.lockScreenPath(gone.fileName));
        auto store = open(f);
        QVERIFY(store->indexDamaged());
        QCOMPARE(store->items().size(), 2);

        // The media of a listed record goes: the re-scan leaves the record and its copies alone,
        // and finds the unreadable record's media as a new wallpaper.
        QFile::remove(f.where.mediaPath(gone));
        store->refresh();
        QVERIFY(store->wallpaper(gone.id));
        QVERIFY(QFileInfo::exists(f.where.lockScreenPath(gone.fileName)));
        QCOMPARE(store->items().size(), 3);
        QCOMPARE(store->items().last().fileName, unreadable.fileName);
        settle(*store);
    }

    void factsAreForgottenWhenAFileGoesOrComes()
    {
        LibraryFixture f;
        seeded(f);
        auto store = open(f);
        const QString path = f.where.videos() + QStringLiteral("/Pane.png");
        picture(path, 20);
        const Wallpaper pane {QUuid::createUuid(), QStringLiteral("Pane"), QStringLiteral("Pane.png")};
        store->addWallpaper(pane);
        QCOMPARE(VideoInfo::load(path)->size, QSize(20, 10));

        // Removed, then a different file under the same name: its own facts are read.
        store->remove(pane);
        QVERIFY(!QFileInfo::exists(path));
        picture(path, 30);
        QCOMPARE(VideoInfo::load(path)->size, QSize(30, 10));

        // A picture imported under a name whose facts were read before (the file went behind
        // the library's back) is read anew.
        QFile::remove(path);
        const QString source = f.home.path() + QStringLiteral("/Pane.png");
        picture(source, 40);
        store->importFiles({QUrl::fromLocalFile(source)});
        settle(*store);
        QCOMPARE(store->items().size(), 1);
        QCOMPARE(store->items().first().fileName, QStringLiteral("Pane.png"));
        QCOMPARE(VideoInfo::load(path)->size, QSize(40, 10));
    }

    void dynamicPicturesAreReadOncePerFile()
    {
        LibraryFixture f;
        seeded(f);
        auto store = open(f);
        const QString path = f.where.videos() + QStringLiteral("/Sky.heic");
        const QByteArray xmp = desktopXmp({{QStringLiteral("apr"), PropertyList::toBinary(QVariantMap {{"l", 0}, {"d", 1}}).toBase64()}}, true);
        QVERIFY(makeHeic(path, {Qt::white, Qt::black}, xmp));
        const Wallpaper sky {QUuid::createUuid(), QStringLiteral("Sky"), QStringLiteral("Sky.heic")};
        store->addWallpaper(sky);
        QVERIFY(store->isDynamic(sky));

        // The answer holds for the life of the store, even with the file changed underneath...
        QVERIFY(makeHeic(path, {Qt::gray}));
        QVERIFY(store->isDynamic(sky));
        // ...while another store reads the file as it is now.
        QVERIFY(!open(f)->isDynamic(sky));
        QVERIFY(!store->isDynamic(Wallpaper {QUuid::createUuid(), QStringLiteral("Clip"), QStringLiteral("Clip.mp4")}));

        // A removed wallpaper's answer goes with it: a new file of that name is read.
        store->remove(sky);
        QVERIFY(makeHeic(path, {Qt::gray}));
        QVERIFY(!store->isDynamic(sky));
        settle(*store);
    }
};

QTEST_MAIN(LibraryMediaTest)
#include "tst_library_media.moc"
