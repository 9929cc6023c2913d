#include "binary_plist.h"
#include "platform/defaults.h"
#include "platform/paths.h"
#include "platform/property_list.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimeZone>

class TestDefaults : public QObject
{
    Q_OBJECT

private:
    static QByteArray readBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeBytes(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    // What another process would see: a fresh read of the file.
    static QVariantMap onDisk(const QString& path)
    {
        const auto root = PropertyList::parse(readBytes(path));
        return root ? root->toMap() : QVariantMap();
    }

private slots:
    void everyTypeRoundTripsThroughTheFile()
    {
        TestHome home;
        const QDateTime when = QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58), QTimeZone::utc());
        const QVariantMap nested {{QStringLiteral("list"), QVariantList {1, QStringLiteral("two"), 3.5, true}},
                                  {QStringLiteral("empty"), QVariantMap()}};
        {
            Defaults& d = Defaults::domain(QStringLiteral("app.test"));
            QVERIFY(d.set(QStringLiteral("flag"), true));
            QVERIFY(d.set(QStringLiteral("count"), qlonglong(-42)));
            QVERIFY(d.set(QStringLiteral("big"), qlonglong(1) << 40));
            QVERIFY(d.set(QStringLiteral("ratio"), 0.125));
            QVERIFY(d.set(QStringLiteral("name"), QStringLiteral("Frog Pond · ünïcode")));
            QVERIFY(d.set(QStringLiteral("blob"), QByteArray("\x00\x01\xff", 3)));
            QVERIFY(d.set(QStringLiteral("when"), when));
            QVERIFY(d.set(QStringLiteral("tree"), nested));
        }
        Defaults::forgetAll(); // read back from disk, not from memory
        Defaults& d = Defaults::domain(QStringLiteral("app.test"));
        QCOMPARE(d.boolean(QStringLiteral("flag")), std::optional<bool>(true));
        QCOMPARE(d.integer(QStringLiteral("count")), std::optional<qlonglong>(-42));
        QCOMPARE(d.integer(QStringLiteral("big")), std::optional<qlonglong>(qlonglong(1) << 40));
        QCOMPARE(d.real(QStringLiteral("ratio")), std::optional<double>(0.125));
        QCOMPARE(d.string(QStringLiteral("name")), std::optional<QString>(QStringLiteral("Frog Pond · ünïcode")));
        QCOMPARE(d.data(QStringLiteral("blob")), std::optional<QByteArray>(QByteArray("\x00\x01\xff", 3)));
        QCOMPARE(d.date(QStringLiteral("when")), std::optional<QDateTime>(when));
        const QVariantMap tree = d.dictionary(QStringLiteral("tree")).value_or(QVariantMap());
        QCOMPARE(tree.value(QStringLiteral("list")).toList().size(), 4);
        QCOMPARE(tree.value(QStringLiteral("list")).toList().at(1).toString(), QStringLiteral("two"));
        QVERIFY(tree.contains(QStringLiteral("empty")));

        // Wrong-typed reads give nothing rather than a converted guess.
        QCOMPARE(d.string(QStringLiteral("count")), std::nullopt);
        QCOMPARE(d.array(QStringLiteral("tree")), std::nullopt);
        QCOMPARE(d.integer(QStringLiteral("missing")), std::nullopt);
        QCOMPARE(d.boolean(QStringLiteral("missing"), true), true);

        QVERIFY(d.remove(QStringLiteral("flag")));
        Defaults::forgetAll();
        QVERIFY(!Defaults::domain(QStringLiteral("app.test")).contains(QStringLiteral("flag")));
        QVERIFY(Defaults::domain(QStringLiteral("app.test")).contains(QStringLiteral("count")));
    }

    void unsupportedValuesAreRefused()
    {
        TestHome home;
        Defaults& d = Defaults::domain(QStringLiteral("app.test"));
        QVERIFY(!d.setValue(QStringLiteral("point"), QVariant(QPoint(1, 2))));
        QVERIFY(!d.setValue(QStringLiteral("list"), QVariantList {1, QVariant(QPoint(1, 2))}));
        QVERIFY(!d.contains(QStringLiteral("point")));
        QVERIFY(!d.contains(QStringLiteral("list")));
    }

    void aWriteKeepsKeysOthersWroteMeanwhile()
    {
        TestHome home;
        Defaults& d = Defaults::domain(QStringLiteral("app.merge"));
        QVERIFY(d.set(QStringLiteral("mine"), 1));
        // Another process adds a key behind our back.
        QVariantMap other = onDisk(d.filePath());
        other.insert(QStringLiteral("theirs"), QStringLiteral("kept"));
        writeBytes(d.filePath(), PropertyList::toXml(other));
        QVERIFY(d.set(QStringLiteral("mine"), 2));
        const QVariantMap after = onDisk(d.filePath());
        QCOMPARE(after.value(QStringLiteral("theirs")).toString(), QStringLiteral("kept"));
        QCOMPARE(after.value(QStringLiteral("mine")).toLongLong(), 2);
        // ... and the write brought the other key into this process too.
        QCOMPARE(d.string(QStringLiteral("theirs")), std::optional<QString>(QStringLiteral("kept")));
    }

    void syncPicksUpOtherWritesOnlyWhenAsked()
    {
        TestHome home;
        Defaults& d = Defaults::domain(QStringLiteral("app.sync"));
        QVERIFY(d.set(QStringLiteral("a"), QStringLiteral("old")));
        QVariantMap other = onDisk(d.filePath());
        other.insert(QStringLiteral("a"), QStringLiteral("new"));
        writeBytes(d.filePath(), PropertyList::toXml(other));
        QCOMPARE(d.string(QStringLiteral("a")), std::optional<QString>(QStringLiteral("old")));
        d.sync();
        QCOMPARE(d.string(QStringLiteral("a")), std::optional<QString>(QStringLiteral("new")));
        QFile::remove(d.filePath());
        d.sync();
        QVERIFY(d.keys().isEmpty());
    }

    void damagedFilesReadAsEmpty_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbage") << QByteArray("not a property list at all");
        QTest::newRow("truncated xml")
            << QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key><string>x");
        QTest::newRow("foreign root") << PropertyList::toXml(QVariantList {1, 2, 3});
        QTest::newRow("binary header only") << QByteArray("bplist00");
        QTest::newRow("truncated binary") << PropertyList::toBinary(QVariantMap {{QStringLiteral("k"), 1}}).left(20);
        QTest::newRow("deeply nested") << QByteArray("<plist>") + QByteArray("<array>").repeated(100000) + QByteArray("</plist>");
        QTest::newRow("nul bytes") << QByteArray(4096, '\0');
        // Each of these once brought down every process reading the domain.
        QTest::newRow("deeply nested binary") << BinaryPlist::nestedArrays(100000);
        QTest::newRow("binary cycle") << BinaryPlist::file({BinaryPlist::dict({1}, {0}), BinaryPlist::ascii("self")});
        QTest::newRow("binary key with a nul")
            << BinaryPlist::file({BinaryPlist::dict({1}, {2}), BinaryPlist::utf16(QStringLiteral("a") + QChar(0)), BinaryPlist::integer(1)});
    }

    void damagedFilesReadAsEmpty()
    {
        QFETCH(QByteArray, bytes);
        TestHome home;
        const QString path = Paths::defaultsFolder() + QStringLiteral("/app.damaged.plist");
        writeBytes(path, bytes);
        Defaults& d = Defaults::domain(QStringLiteral("app.damaged"));
        QVERIFY(d.keys().isEmpty());
        d.sync();
        QVERIFY(d.keys().isEmpty());
        // Reading never rewrites the file.
        QCOMPARE(readBytes(path), bytes);
        // The first write keeps the damaged bytes aside and leaves a readable domain.
        QVERIFY(d.set(QStringLiteral("fresh"), true));
        QCOMPARE(onDisk(path).value(QStringLiteral("fresh")).toBool(), true);
        QCOMPARE(readBytes(path + QStringLiteral(".damaged")), bytes);
    }

    void aStringWithANulIsReadNotFatal()
    {
        TestHome home;
        const QString text = QStringLiteral("on") + QChar(0) + QStringLiteral("off");
        Defaults& d = Defaults::domain(QStringLiteral("app.nul"));
        writeBytes(d.filePath(),
                   BinaryPlist::file({BinaryPlist::dict({1, 2}, {3, 4}), BinaryPlist::ascii("status"), BinaryPlist::ascii("n"),
                                      BinaryPlist::utf16(text), BinaryPlist::integer(9)}));
        QCOMPARE(d.string(QStringLiteral("status")), std::optional<QString>(text));
        QCOMPARE(d.integer(QStringLiteral("n")), std::optional<qlonglong>(9));
        // A readable file is no damaged one: a write keeps its other keys and moves nothing aside.
        QVERIFY(d.set(QStringLiteral("more"), 1));
        QCOMPARE(onDisk(d.filePath()).value(QStringLiteral("n")).toLongLong(), 9);
        QVERIFY(!QFileInfo::exists(d.filePath() + QStringLiteral(".damaged")));
    }

    // A switch that is on by default stays on when its key holds anything but a boolean.
    void onlyBooleansReadAsBooleans()
    {
        TestHome home;
        Defaults& d = Defaults::domain(QStringLiteral("app.switches"));
        writeBytes(d.filePath(), PropertyList::toXml(QVariantMap {{QStringLiteral("zero"), 0},
                                                                  {QStringLiteral("one"), 1},
                                                                  {QStringLiteral("text"), QStringLiteral("false")},
                                                                  {QStringLiteral("real"), 0.0},
                                                                  {QStringLiteral("off"), false}}));
        for (const char* key : {"zero", "one", "text", "real"}) {
            QCOMPARE(d.boolean(QString::fromLatin1(key)), std::nullopt);
            QCOMPARE(d.boolean(QString::fromLatin1(key), true), true);
            QCOMPARE(d.boolean(QString::fromLatin1(key), false), false);
        }
        QCOMPARE(d.boolean(QStringLiteral("off"), true), false);
    }

    // A writer killed between making its temporary file and renaming it leaves the file behind.
    void theNextWriteRemovesStaleTemporaryFiles()
    {
        TestHome home;
        Defaults& d = Defaults::domain(QStringLiteral("app.temps"));
        const QString folder = QFileInfo(d.filePath()).absolutePath();
        const QString stale = d.filePath() + QStringLiteral(".KuohQH");
        const QString fresh = d.filePath() + QStringLiteral(".aBcdEf");
        const QString otherDomain = folder + QStringLiteral("/app.other.plist.KuohQH");
        const QString notATemporary = d.filePath() + QStringLiteral(".bak-01");
        const QString damaged = d.filePath() + QStringLiteral(".damaged");
        const QDateTime twoMinutesAgo = QDateTime::currentDateTimeUtc().addSecs(-120);
        for (const QString& path : {stale, fresh, otherDomain, notATemporary, damaged}) {
            writeBytes(path, "half a write");
            if (path != fresh) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadWrite));
                QVERIFY(file.setFileTime(twoMinutesAgo, QFileDevice::FileModificationTime));
            }
        }
        QVERIFY(d.set(QStringLiteral("k"), 1));
        QVERIFY(!QFileInfo::exists(stale));
        // Younger than a minute: maybe another process's write still going on.
        QVERIFY(QFileInfo::exists(fresh));
        QVERIFY(QFileInfo::exists(otherDomain));
        QVERIFY(QFileInfo::exists(notATemporary));
        QVERIFY(QFileInfo::exists(damaged));
        QCOMPARE(onDisk(d.filePath()).value(QStringLiteral("k")).toLongLong(), 1);
    }

    void aFolderInPlaceOfTheFileKeepsValuesInMemory()
    {
        TestHome home;
        Defaults& d = Defaults::domain(QStringLiteral("app.folder"));
        QVERIFY(QDir().mkpath(d.filePath()));
        QVERIFY(d.keys().isEmpty());
        QVERIFY(!d.set(QStringLiteral("k"), 5));
        QCOMPARE(d.integer(QStringLiteral("k")), std::optional<qlonglong>(5));
        QVERIFY(QFileInfo(d.filePath()).isDir());
        QVERIFY(!QFileInfo::exists(d.filePath() + QStringLiteral(".damaged")));
    }

    void anUnwritableConfigFolderFailsWithoutLosingTheValue()
    {
        TestHome home;
        // A plain file where the settings folder should be: nothing can be made below it.
        writeBytes(Paths::defaultsFolder(), "in the way");
        Defaults& d = Defaults::domain(QStringLiteral("app.blocked"));
        QVERIFY(!d.set(QStringLiteral("k"), QStringLiteral("v")));
        QCOMPARE(d.string(QStringLiteral("k")), std::optional<QString>(QStringLiteral("v")));
    }

    void writtenFilesParseWithPlistutil()
    {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("plistutil"));
        if (tool.isEmpty())
            QSKIP("plistutil is not installed");
        TestHome home;
        Defaults& d = Defaults::domain(QStringLiteral("app.tool"));
        QVERIFY(d.setValues({{QStringLiteral("s"), QStringLiteral("<&>\"'")},
                             {QStringLiteral("d"), QDateTime::currentDateTimeUtc()},
                             {QStringLiteral("x"), QByteArray(300, 'z')},
                             {QStringLiteral("n"), QVariantMap {{QStringLiteral("a"), QVariantList {1.5, false}}}}}));
        QProcess p;
        p.start(tool, {QStringLiteral("-i"), d.filePath(), QStringLiteral("-o"), home.path() + QStringLiteral("/out.bin")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        const auto back = PropertyList::parse(readBytes(home.path() + QStringLiteral("/out.bin")));
        QVERIFY(back);
        QCOMPARE(back->toMap().value(QStringLiteral("s")).toString(), QStringLiteral("<&>\"'"));
        QCOMPARE(back->toMap().value(QStringLiteral("x")).toByteArray(), QByteArray(300, 'z'));
    }
};

QTEST_GUILESS_MAIN(TestDefaults)
#include "tst_defaults.moc"
