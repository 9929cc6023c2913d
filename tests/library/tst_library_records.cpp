#include "core/record_json.h"
#include "core/unique_name.h"
#include "library/activity.h"
#include "library/ensemble.h"
#include "library/ensemble_changing.h"
#include "library/library_files.h"
#include "library/wallpaper.h"

#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTest>

namespace {

const QString idA = QStringLiteral("0D2F7A52-6C0E-4C59-9D1B-1F0E8A7B3C41");
const QString idB = QStringLiteral("9A3C2B14-55E1-4F61-8C9E-7D6A5B4C3D22");

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class LibraryRecordsTest : public QObject
{
    Q_OBJECT

private slots:
    void wallpaperWritesOnlyPresentKeys()
    {
        const QByteArray json = "{\"id\":\"" + idA.toLatin1() + "\",\"name\":\"Beach\",\"fileName\":\"Beach.mp4\",\"addedAt\":0}";
        const auto decoded = Wallpaper::fromJson(QJsonDocument::fromJson(json).object());
        QVERIFY(decoded);
        QVERIFY(!decoded->clockPreset && !decoded->taskbarTheme && !decoded->builtIn);
        QCOMPARE(decoded->toJson().keys().size(), 4);
        // The reference date is 2001-01-01 UTC, not the Unix epoch.
        QCOMPARE(decoded->addedAt, QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC));
    }

    void datesRoundTripAsSecondsSince2001()
    {
        Wallpaper item {QUuid::fromString(idA), QStringLiteral("X"), QStringLiteral("x.mov"),
                        QDateTime(QDate(2024, 3, 1), QTime(12, 30, 15, 250), Qt::UTC), QUuid::fromString(idB), std::nullopt, std::nullopt};
        const QJsonObject object = item.toJson();
        QCOMPARE(object.value(QStringLiteral("addedAt")).toDouble(), 730989015.25);
        QCOMPARE(object.value(QStringLiteral("id")).toString(), idA); // upper case
        QCOMPARE(Wallpaper::fromJson(object), item);

        EnsembleChanging changing;
        changing.lastChange = QDateTime(QDate(2001, 1, 2), QTime(0, 0), Qt::UTC);
        changing.deck = {QUuid::fromString(idA)};
        const QByteArray bytes = changing.encode();
        QVERIFY(bytes.contains("\"lastChange\":86400"));
        QVERIFY(!bytes.contains('\n') && !bytes.contains("null"));
        QCOMPARE(EnsembleChanging::decode(bytes), changing);
    }

    void strictRecords_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("readable");
        const QByteArray id = "\"" + idA.toLatin1() + "\"";
        QTest::newRow("ensemble") << "[{\"id\":" + id + ",\"name\":\"E\",\"wallpaper\":" + id + "}]" << true;
        QTest::newRow("null optional is absent") << "[{\"id\":" + id + ",\"name\":\"E\",\"wallpaper\":" + id + ",\"clockPreset\":null}]" << true;
        QTest::newRow("bad optional uuid text is absent")
            << "[{\"id\":" + id + ",\"name\":\"E\",\"wallpaper\":" + id + ",\"clockPreset\":\"nope\"}]" << true;
        QTest::newRow("optional of the wrong type") << "[{\"id\":" + id + ",\"name\":\"E\",\"wallpaper\":" + id + ",\"clockPreset\":5}]" << false;
        QTest::newRow("missing wallpaper") << "[{\"id\":" + id + ",\"name\":\"E\"}]" << false;
        QTest::newRow("lower-case id") << "[{\"id\":" + id.toLower() + ",\"name\":\"E\",\"wallpaper\":" + id + "}]" << true;
        QTest::newRow("braced id") << "[{\"id\":\"{" + idA.toLatin1() + "}\",\"name\":\"E\",\"wallpaper\":" + id + "}]" << false;
        QTest::newRow("one bad record spoils all")
            << "[{\"id\":" + id + ",\"name\":\"E\",\"wallpaper\":" + id + "},{\"id\":" + id + ",\"name\":7,\"wallpaper\":" + id + "}]" << false;
        QTest::newRow("not an array") << QByteArray("{}") << false;
        QTest::newRow("garbage") << QByteArray("\x00\xff[", 3) << false;
    }
    void strictRecords()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, readable);
        QCOMPARE(LibraryFiles::decodeEnsembles(json).has_value(), readable);
    }

    void unknownRawValuesSpoilTheRecord()
    {
        const QByteArray id = "\"" + idA.toLatin1() + "\"";
        QVERIFY(RecordJson::decodeArray<Activity>("[{\"id\":" + id + ",\"title\":\"t\",\"detail\":\"d\",\"state\":\"done\"}]"));
        QVERIFY(!RecordJson::decodeArray<Activity>("[{\"id\":" + id + ",\"title\":\"t\",\"detail\":\"d\",\"state\":\"paused\"}]"));
        QVERIFY(!EnsembleChanging::decode("{\"mode\":\"hourly\",\"deck\":[]}"));
        QVERIFY(!EnsembleChanging::decode("{\"mode\":\"daily\",\"deck\":[\"x\"]}"));
        const auto daily = EnsembleChanging::decode("{\"mode\":\"daily\",\"deck\":[],\"setForDark\":true}");
        QVERIFY(daily);
        QCOMPARE(daily->mode, EnsembleChanging::Mode::daily);
        QCOMPARE(daily->setForDark, std::optional<bool>(true));
    }

    void readingDropsRecordsWithoutMedia()
    {
        TestHome home;
        const LibraryLocations where {home.dataHome() + QStringLiteral("/Paneflow"), home.path() + QStringLiteral("/shipped")};
        const QUuid kept = QUuid::fromString(idA), gone = QUuid::fromString(idB);
        const QList<Wallpaper> items {
            {kept, QStringLiteral("Kept"), QStringLiteral("Kept.mp4")},
            {gone, QStringLiteral("Gone"), QStringLiteral("Gone.mp4")},
            {QUuid::createUuid(), QStringLiteral("Escape"), QStringLiteral("../Kept.mp4")},
        };
        const QList<Ensemble> ensembles {
            {QUuid::createUuid(), QStringLiteral("A"), kept},
            {QUuid::createUuid(), QStringLiteral("B"), gone},
            {QUuid::createUuid(), QStringLiteral("C"), QUuid::createUuid()},
        };
        QDir().mkpath(where.root);
        LibraryFiles::writeIndex(where, items, ensembles);
        writeFile(where.videos() + QStringLiteral("/Kept.mp4"), "x");
        writeFile(where.root + QStringLiteral("/Kept.mp4"), "x");

        const QList<Wallpaper> read = LibraryFiles::readWallpapers(where);
        QCOMPARE(read.size(), 1);
        QCOMPARE(read.first().id, kept);
        const auto readEnsembles = LibraryFiles::readEnsembles(where, read);
        QVERIFY(readEnsembles);
        QCOMPARE(readEnsembles->size(), 1);
        QCOMPARE(readEnsembles->first().name, QStringLiteral("A"));

        // What counts as the media file: a file or a link to one, in the folder the record says.
        Wallpaper shipped {QUuid::createUuid(), QStringLiteral("Shipped"), QStringLiteral("Shipped.mov")};
        shipped.builtIn = QStringLiteral("shipped");
        Wallpaper notShipped = shipped;
        notShipped.id = QUuid::createUuid();
        notShipped.fileName = QStringLiteral("Kept.mp4"); // present in Videos, but a built-in is looked for in the bundle
        const QList<Wallpaper> kinds {
            {QUuid::createUuid(), QStringLiteral("Folder"), QStringLiteral("Folder.mp4")},
            {QUuid::createUuid(), QStringLiteral("Link"), QStringLiteral("Link.mp4")},
            {QUuid::createUuid(), QStringLiteral("Dangling"), QStringLiteral("Dangling.mp4")},
            {QUuid::createUuid(), QStringLiteral("LinkToFolder"), QStringLiteral("LinkToFolder.mp4")},
            shipped,
            notShipped,
        };
        QDir().mkpath(where.videos() + QStringLiteral("/Folder.mp4"));
        QVERIFY(QFile::link(where.videos() + QStringLiteral("/Kept.mp4"), where.videos() + QStringLiteral("/Link.mp4")));
        QVERIFY(QFile::link(where.videos() + QStringLiteral("/Nowhere.mp4"), where.videos() + QStringLiteral("/Dangling.mp4")));
        QVERIFY(QFile::link(where.videos() + QStringLiteral("/Folder.mp4"), where.videos() + QStringLiteral("/LinkToFolder.mp4")));
        QDir().mkpath(where.shippedWallpapers);
        writeFile(where.shippedWallpapers + QStringLiteral("/Shipped.mov"), "x");
        LibraryFiles::writeIndex(where, kinds, {});
        QStringList present;
        for (const Wallpaper& item : LibraryFiles::readWallpapers(where))
            present.append(item.name);
        QCOMPARE(present, (QStringList {QStringLiteral("Link"), QStringLiteral("Shipped")}));

        // Damaged, empty and absent files are three different things.
        writeFile(where.ensemblesFile(), "[");
        QCOMPARE(LibraryFiles::readEnsembles(where, read), std::optional<QList<Ensemble>>(QList<Ensemble> {}));
        QFile::remove(where.ensemblesFile());
        QVERIFY(!LibraryFiles::readEnsembles(where, read));
        writeFile(where.libraryFile(), "[{\"id\":\"" + idA.toLatin1() + "\",\"name\":\"Kept\",\"fileName\":\"Kept.mp4\"}]");
        QVERIFY(LibraryFiles::readWallpapers(where).isEmpty()); // no addedAt: that record cannot be read
    }

    void uniqueNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("among");
        QTest::addColumn<QString>("expected");
        QTest::newRow("free") << "New Ensemble" << QStringList {} << "New Ensemble";
        QTest::newRow("case and spaces") << "Sunset" << QStringList {QStringLiteral("sunset ")} << "Sunset 2";
        QTest::newRow("numbered") << "Sunset 2" << QStringList {QStringLiteral("Sunset"), QStringLiteral("Sunset 2")} << "Sunset 3";
        QTest::newRow("gap") << "Sea" << QStringList {QStringLiteral("Sea"), QStringLiteral("Sea 2"), QStringLiteral("SEA 3")} << "Sea 4";
    }
    void uniqueNames()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, among);
        QFETCH(QString, expected);
        QCOMPARE(UniqueName::make(name, among), expected);
    }

    void fixGivesABatchDistinctNames()
    {
        QList<Ensemble> batch {{QUuid::createUuid(), QStringLiteral("Dune"), {}}, {QUuid::createUuid(), QStringLiteral("dune"), {}}};
        UniqueName::fix(batch, &Ensemble::name, {QStringLiteral("Dune")});
        QCOMPARE(batch[0].name, QStringLiteral("Dune 2"));
        QCOMPARE(batch[1].name, QStringLiteral("dune 3"));
    }
};

QTEST_GUILESS_MAIN(LibraryRecordsTest)
#include "tst_library_records.moc"
