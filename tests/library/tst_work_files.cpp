#include "library_fixture.h"

#include "library/work_files.h"
#include "media/lock_screen_video.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString uuid = QStringLiteral("6F1C2B7E-0A4D-4C55-9E3B-2D8A7F90C1E4");

void touchAged(const QString& path, int hoursAgo)
{
    LibraryFixture::touch(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-hoursAgo * 3600), QFileDevice::FileModificationTime));
}

QString fileName(const QString& path) { return QFileInfo(path).fileName(); }

} // namespace

class WorkFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void recognisesWhatTheMediaCodeWrites_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("work");
        QTest::newRow("conversion") << fileName(LockScreenVideo::partialPath(QStringLiteral("/x/Beach Walk.mov"))) << true;
        QTest::newRow("lock-screen conversion")
            << fileName(LockScreenVideo::partialPath(QStringLiteral("/x/Beach-lockscreen-v1.mov"))) << true;
        QTest::newRow("loop") << QStringLiteral("Beach-lockscreen-v1.%1.looped.mov").arg(uuid) << true;
        QTest::newRow("copy") << QStringLiteral("Clip.mp4.%1.partial").arg(uuid.toLower()) << true;
        QTest::newRow("finished movie") << QStringLiteral("Beach Walk.mov") << false;
        QTest::newRow("lock-screen copy") << QStringLiteral("Beach-lockscreen-v1.mov") << false;
        QTest::newRow("named by id") << QStringLiteral("%1.mov").arg(uuid) << false;
        QTest::newRow("a user's own name") << QStringLiteral("holiday.partial.mov") << false;
        QTest::newRow("not quite an id") << QStringLiteral("a.6F1C2B7E-0A4D-4C55-9E3B.partial.mov") << false;
        QTest::newRow("id in the middle") << QStringLiteral("a.%1.partial.mov.mp4").arg(uuid) << false;
    }
    void recognisesWhatTheMediaCodeWrites()
    {
        QFETCH(QString, name);
        QFETCH(bool, work);
        QCOMPARE(WorkFiles::isWorkFile(name), work);
    }

    void removesOnlyQuietWorkFiles()
    {
        QTemporaryDir folder;
        const QString left = QStringLiteral("Clip.%1.partial.mov").arg(uuid);
        const QString running = QStringLiteral("Other.%1.partial.mov").arg(QUuid::createUuid().toString(QUuid::WithoutBraces));
        touchAged(folder.filePath(left), 2);
        touchAged(folder.filePath(running), 0);
        touchAged(folder.filePath(QStringLiteral("Old.mov")), 48);
        touchAged(folder.filePath(QStringLiteral(".Hidden.%1.looped.mov").arg(uuid)), 2);

        const QStringList removed = WorkFiles::removeAbandoned(folder.path());
        QCOMPARE(QSet<QString>(removed.begin(), removed.end()),
                 QSet<QString>({left, QStringLiteral(".Hidden.%1.looped.mov").arg(uuid)}));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), QStringList({"Old.mov", running}));
        QVERIFY(WorkFiles::removeAbandoned(folder.filePath(QStringLiteral("missing"))).isEmpty());
    }

    void theEngineClearsLeftoversAtStart()
    {
        LibraryFixture f;
        const QString shrink = f.where.videos() + QStringLiteral("/Clip.%1.partial.mov").arg(uuid);
        const QString running = f.where.videos() + QStringLiteral("/Next.%1.partial.mov").arg(QUuid::createUuid().toString(QUuid::WithoutBraces));
        const QString lockScreen = f.where.lockScreen() + QStringLiteral("/Clip-lockscreen-v1.%1.looped.mov").arg(uuid);
        touchAged(shrink, 3);
        touchAged(running, 0);
        touchAged(lockScreen, 3);
        const Wallpaper kept = f.wallpaper(QStringLiteral("Kept"));
        f.writeIndex({kept}, {});

        // A viewer of the library leaves the folders alone; the engine owns them.
        f.open(false);
        QVERIFY(QFileInfo::exists(shrink));
        auto engine = f.open(true);
        QVERIFY(!QFileInfo::exists(shrink));
        QVERIFY(!QFileInfo::exists(lockScreen));
        QVERIFY(QFileInfo::exists(running));
        QCOMPARE(engine->items().size(), 1);
        QCOMPARE(engine->items().first().fileName, QStringLiteral("Kept.mp4"));
    }
};

QTEST_GUILESS_MAIN(WorkFilesTest)
#include "tst_work_files.moc"
