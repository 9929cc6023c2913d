#include "library_fixture.h"

#include "core/record_json.h"
#include "library/work_files.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using RecordJson::uuidText;

// Index files that exist but cannot be read in full: what is read, what is kept, and what the
// store leaves alone until the index reads again.
class DamagedIndexTest : public QObject
{
    Q_OBJECT

    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // The index file with one key taken out of the record with this id.
    static QByteArray dropKey(const QString& path, const QUuid& id, const QString& key)
    {
        QJsonArray records = QJsonDocument::fromJson(bytesOf(path)).array();
        for (qsizetype i = 0; i < records.size(); ++i) {
            QJsonObject record = records[i].toObject();
            if (record.value(QStringLiteral("id")).toString() == uuidText(id)) {
                record.remove(key);
                records[i] = record;
            }
        }
        const QByteArray damaged = QJsonDocument(records).toJson(QJsonDocument::Compact);
        write(path, damaged);
        return damaged;
    }

    static void ageFile(const QString& path, int hours)
    {
        QFile file(path);
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(QDateTime::currentDateTime().addSecs(-3600 * hours), QFileDevice::FileModificationTime);
    }

    // Three wallpapers with an ensemble each and a lock-screen copy each; the second is current.
    struct Library
    {
        Library()
        {
            for (const char* name : {"Dunes", "Harbour", "Orchard"}) {
                const Wallpaper w = f.wallpaper(QString::fromUtf8(name));
                items.append(w);
                ensembles.append(Ensemble {QUuid::createUuid(), w.name, w.id});
                LibraryFixture::touch(f.where.lockScreenPath(w.fileName), "copy");
            }
            f.writeIndex(items, ensembles);
            const QVariantList tags {QStringLiteral("Eclipse"), QStringLiteral("Graphite"), QStringLiteral("Infinity"),
                                     QStringLiteral("Frog Pond")};
            f.prefs().set(QStringLiteral("seededWallpapers"), tags);
            f.prefs().set(QStringLiteral("seededEnsembles"), tags);
            f.prefs().set(QStringLiteral("startedOnFirstEnsemble"), true);
            f.prefs().set(QStringLiteral("currentID"), uuidText(items[1].id));
            f.prefs().set(QStringLiteral("currentEnsembleID"), uuidText(ensembles[1].id));
        }
        QString key(const QString& name)
        {
            f.prefs().sync();
            return f.prefs().string(name).value_or(QString());
        }
        LibraryFixture f;
        QList<Wallpaper> items;
        QList<Ensemble> ensembles;
    };

private slots:
    void readableRecordsAreKept()
    {
        LibraryFixture f;
        const Wallpaper a = f.wallpaper(QStringLiteral("A")), b = f.wallpaper(QStringLiteral("B"));
        f.writeIndex({a, b}, {{QUuid::createUuid(), QStringLiteral("EA"), a.id}});
        QVERIFY(!LibraryFiles::readWallpaperIndex(f.where).damaged);
        QVERIFY(!LibraryFiles::readEnsembleIndex(f.where, {a, b})->damaged);

        // A record that cannot be read, an id that is no UUID, an element that is no record.
        QByteArray json = bytesOf(f.where.libraryFile());
        json.insert(1, "{\"id\":\"not-an-id\",\"name\":\"X\",\"fileName\":\"A.mp4\",\"addedAt\":1},7,");
        write(f.where.libraryFile(), json);
        dropKey(f.where.libraryFile(), b.id, QStringLiteral("addedAt"));
        const IndexRead<Wallpaper> read = LibraryFiles::readWallpaperIndex(f.where);
        QCOMPARE(read.records, QList<Wallpaper>({a}));
        QVERIFY(read.damaged);
        QCOMPARE(read.damaged->path, f.where.libraryFile());
        QCOMPARE(read.damaged->reason, QStringLiteral("3 of its 4 records could not be read"));

        // Not an array at all: nothing is read, and that is damage too; an empty array is not.
        write(f.where.ensemblesFile(), "{\"0\":1}");
        const auto ensembles = LibraryFiles::readEnsembleIndex(f.where, {a});
        QVERIFY(ensembles && ensembles->records.isEmpty() && ensembles->damaged);
        write(f.where.ensemblesFile(), "[]");
        QVERIFY(!LibraryFiles::readEnsembleIndex(f.where, {a})->damaged);
        QFile::remove(f.where.libraryFile());
        QVERIFY(!LibraryFiles::readWallpaperIndex(f.where).damaged);
    }

    void keepingNeverReplacesAnEarlierCopy()
    {
        LibraryFixture f;
        write(f.where.libraryFile(), "[{");
        const DamagedIndex first = DamagedIndex::of(f.where.libraryFile(), QStringLiteral("test"));
        QCOMPARE(LibraryFiles::keepDamaged(first), std::optional<QString>(f.where.libraryFile() + QStringLiteral(".damaged")));
        // Already replaced by someone else: nothing left to keep. (Of another size: a rewrite of the
        // same size within one tick of the file system's clock keeps the same time stamp.)
        write(f.where.libraryFile(), "[ ]");
        QCOMPARE(LibraryFiles::keepDamaged(first), std::optional<QString>(QString()));
        write(f.where.libraryFile(), "[1");
        QCOMPARE(LibraryFiles::keepDamaged(DamagedIndex::of(f.where.libraryFile(), QString())),
                 std::optional<QString>(f.where.libraryFile() + QStringLiteral(".2.damaged")));
        QCOMPARE(bytesOf(f.where.libraryFile() + QStringLiteral(".damaged")), QByteArray("[{"));
        QCOMPARE(bytesOf(f.where.libraryFile() + QStringLiteral(".2.damaged")), QByteArray("[1"));
    }

    void theControlAppKeepsADamagedLibrary()
    {
        Library lib;
        const QByteArray ensemblesBefore = bytesOf(lib.f.where.ensemblesFile());
        const QByteArray damaged = dropKey(lib.f.where.libraryFile(), lib.items[1].id, QStringLiteral("addedAt"));

        auto store = lib.f.open();
        // The records that read are there; the current ones stay current although not found.
        QCOMPARE(store->items(), QList<Wallpaper>({lib.items[0], lib.items[2]}));
        QCOMPARE(store->ensembles(), QList<Ensemble>({lib.ensembles[0], lib.ensembles[2]}));
        QVERIFY(store->indexDamaged());
        QCOMPARE(store->currentID(), std::optional<QUuid>(lib.items[1].id));
        QCOMPARE(store->currentEnsembleID(), std::optional<QUuid>(lib.ensembles[1].id));
        QCOMPARE(lib.key(QStringLiteral("currentEnsembleID")), uuidText(lib.ensembles[1].id));
        QCOMPARE(bytesOf(lib.f.where.libraryFile()), damaged); // read, not written

        // The first write keeps both files as they were; an import does not take over as current.
        const Wallpaper added = lib.f.wallpaper(QStringLiteral("Meadow"));
        store->addWallpaper(added);
        QCOMPARE(store->currentID(), std::optional<QUuid>(lib.items[1].id));
        QCOMPARE(bytesOf(lib.f.where.libraryFile() + QStringLiteral(".damaged")), damaged);
        QCOMPARE(bytesOf(lib.f.where.ensemblesFile() + QStringLiteral(".damaged")), ensemblesBefore);
        QCOMPARE(LibraryFiles::readWallpapers(lib.f.where), QList<Wallpaper>({lib.items[0], lib.items[2], added}));

        // Kept once: later writes do not copy again, until the file is damaged anew.
        store->rename(added, QStringLiteral("Field"));
        QVERIFY(!QFileInfo::exists(lib.f.where.libraryFile() + QStringLiteral(".2.damaged")));
        write(lib.f.where.libraryFile(), "[{\"id\":");
        store->reload();
        QVERIFY(store->items().isEmpty());
        store->addWallpaper(lib.f.wallpaper(QStringLiteral("Grove")));
        QCOMPARE(bytesOf(lib.f.where.libraryFile() + QStringLiteral(".2.damaged")), QByteArray("[{\"id\":"));
        QCOMPARE(LibraryFiles::readWallpapers(lib.f.where).size(), 1);
    }

    void aDamagedEnsemblesFileKeepsTheCurrentEnsemble()
    {
        Library lib;
        const QByteArray damaged = dropKey(lib.f.where.ensemblesFile(), lib.ensembles[1].id, QStringLiteral("name"));
        auto store = lib.f.open();
        QCOMPARE(store->items().size(), 3);
        QCOMPARE(store->ensembles().size(), 2);
        QCOMPARE(store->currentEnsembleID(), std::optional<QUuid>(lib.ensembles[1].id));
        QCOMPARE(store->currentID(), std::optional<QUuid>(lib.items[1].id));
        store->addEnsemble(lib.items[0].id);
        QCOMPARE(bytesOf(lib.f.where.ensemblesFile() + QStringLiteral(".damaged")), damaged);
        QVERIFY(!QFileInfo::exists(lib.f.where.libraryFile() + QStringLiteral(".damaged")));
    }

    void housekeepingWaitsForAReadableIndex()
    {
        Library lib;
        const QString stray = lib.f.where.lockScreen() + QStringLiteral("/Gone-lockscreen-v1.mov");
        const QString work = lib.f.where.videos() + QStringLiteral("/Clip.mp4.%1.partial").arg(QUuid::createUuid().toString(QUuid::WithoutBraces));
        LibraryFixture::touch(stray);
        LibraryFixture::touch(work);
        ageFile(work, 3);
        dropKey(lib.f.where.libraryFile(), lib.items[1].id, QStringLiteral("addedAt"));

        auto engine = lib.f.open(true);
        for (const Wallpaper& w : lib.items)
            QVERIFY(QFileInfo::exists(lib.f.where.lockScreenPath(w.fileName)));
        QVERIFY(QFileInfo::exists(stray));
        QVERIFY(QFileInfo::exists(work));
        QCOMPARE(engine->currentID(), std::optional<QUuid>(lib.items[1].id));

        // Asked for directly, it still deletes nothing.
        LibraryHousekeeping::removeStrayLockScreenCopies(*engine);
        QVERIFY(QFileInfo::exists(stray));
        engine.reset();

        // Once the index reads again, the start cleans up as usual.
        lib.f.writeIndex(lib.items, lib.ensembles);
        engine = lib.f.open(true);
        QVERIFY(!engine->indexDamaged());
        QVERIFY(!QFileInfo::exists(stray));
        QVERIFY(!QFileInfo::exists(work));
        QVERIFY(QFileInfo::exists(lib.f.where.lockScreenPath(lib.items[1].fileName)));
    }
};

QTEST_GUILESS_MAIN(DamagedIndexTest)
#include "tst_damaged_index.moc"
