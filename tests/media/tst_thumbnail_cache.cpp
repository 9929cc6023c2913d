#include "media/thumbnail_cache.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The views' shared thumbnail cache: reads happen on its readers, at the asked size, bounded in
// memory, newest first; a remade file is read again only when it changed.
class TestThumbnailCache : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString picture(const QString& name, QSize size, QColor colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir.filePath(name);
        if (!image.save(path))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // Asks until the picture is in (reads run on the cache's own threads).
    static QImage loaded(ThumbnailCache& cache, const QString& path, QSize size, int version = 0)
    {
        QImage image = cache.image(path, size, version);
        for (int i = 0; i < 200 && image.isNull() && !cache.isMissing(path, size); ++i) {
            cache.waitForReads();
            image = cache.image(path, size, version);
        }
        return image;
    }

private slots:
    void readsAtTheSizeShown_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<QSize>("read");
        QTest::newRow("covers a card, aspect kept") << QSize(1024, 576) << QSize(300, 150) << QSize(300, 168);
        QTest::newRow("covers a tall box") << QSize(1024, 576) << QSize(100, 200) << QSize(355, 200);
        QTest::newRow("width only") << QSize(1024, 640) << QSize(256, 0) << QSize(256, 160);
        QTest::newRow("never enlarged") << QSize(64, 36) << QSize(300, 169) << QSize(64, 36);
    }

    void readsAtTheSizeShown()
    {
        QFETCH(QSize, source);
        QFETCH(QSize, asked);
        QFETCH(QSize, read);
        ThumbnailCache cache;
        const QString path = picture(QStringLiteral("p%1x%2.png").arg(source.width()).arg(source.height()), source, Qt::red);
        QSignalSpy spy(&cache, &ThumbnailCache::loaded);
        // Nothing is read on the asking thread: the first answer is always "not yet".
        QVERIFY(cache.image(path, asked).isNull());
        QCOMPARE(cache.pending(), 1);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toString(), path);
        const QImage image = cache.image(path, asked);
        QCOMPARE(image.size(), read);
        QCOMPARE(image.pixelColor(read.width() / 2, read.height() / 2), QColor(Qt::red));
        QCOMPARE(cache.pending(), 0);
    }

    void missingAndBrokenFilesAreMarked()
    {
        ThumbnailCache cache;
        const QSize size(200, 100);
        const QString gone = dir.filePath(QStringLiteral("gone.png"));
        const QString broken = dir.filePath(QStringLiteral("broken.png"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();
        for (const QString& path : {gone, broken}) {
            QVERIFY(loaded(cache, path, size).isNull());
            QVERIFY2(cache.isMissing(path, size), qPrintable(path));
        }
        // A missing file is remembered: asking again does not read again.
        QVERIFY(cache.image(gone, size).isNull());
        QCOMPARE(cache.pending(), 0);
        QVERIFY(cache.image(QString(), size).isNull());
        QCOMPARE(cache.pending(), 0);
    }

    void aNewerVersionRereadsOnlyAChangedFile()
    {
        ThumbnailCache cache;
        const QSize size(64, 36);
        const QString path = picture(QStringLiteral("remade.png"), QSize(64, 36), Qt::red);
        QCOMPARE(loaded(cache, path, size, 1).pixelColor(5, 5), QColor(Qt::red));

        // The library says thumbnails were remade, but this file is as it was: no new read.
        QSignalSpy spy(&cache, &ThumbnailCache::loaded);
        QCOMPARE(cache.image(path, size, 2).pixelColor(5, 5), QColor(Qt::red));
        cache.waitForReads();
        QCOMPARE(spy.count(), 0);
        QCOMPARE(cache.pending(), 0);

        // Remade: the old picture stays shown until the new one is in.
        picture(QStringLiteral("remade.png"), QSize(64, 36), Qt::blue);
        QFile remade(path);
        QVERIFY(remade.open(QIODevice::ReadWrite));
        QVERIFY(remade.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
        remade.close();
        QCOMPARE(cache.image(path, size, 3).pixelColor(5, 5), QColor(Qt::red));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(cache.image(path, size, 3).pixelColor(5, 5), QColor(Qt::blue));
    }

    void anotherSizeShowsTheLastReadUntilItIsIn()
    {
        ThumbnailCache cache;
        const QString path = picture(QStringLiteral("resized.png"), QSize(800, 450), Qt::green);
        QCOMPARE(loaded(cache, path, QSize(320, 180)).size(), QSize(320, 180));
        // The view grew: the smaller picture stands in while the new size is read.
        QCOMPARE(cache.image(path, QSize(400, 225)).size(), QSize(320, 180));
        cache.waitForReads();
        QCOMPARE(cache.image(path, QSize(400, 225)).size(), QSize(400, 225));
        QCOMPARE(cache.image(path, QSize(320, 180)).size(), QSize(320, 180));
    }

    void memoryStaysWithinTheBound()
    {
        // Room for three 100x100 pictures.
        ThumbnailCache cache(3 * 100 * 100 * 4);
        QStringList paths;
        for (int i = 0; i < 8; ++i)
            paths << picture(QStringLiteral("bound%1.png").arg(i), QSize(100, 100), QColor::fromHsv(i * 40, 200, 200));
        for (const QString& path : paths) {
            QVERIFY(!loaded(cache, path, QSize(100, 100)).isNull());
            QVERIFY(cache.bytes() <= cache.maxBytes());
        }
        QCOMPARE(cache.bytes(), cache.maxBytes());
        // The latest stay; the first went to make room and is read again when asked.
        QVERIFY(!cache.image(paths.last(), QSize(100, 100)).isNull());
        QVERIFY(cache.image(paths.first(), QSize(100, 100)).isNull());
    }

    void requestsLeftFarBehindAreDropped()
    {
        ThumbnailCache cache;
        const int count = ThumbnailCache::maxQueued + 100;
        const QSize small(32, 18);
        QStringList paths;
        // Big enough that a read takes a while: asking for all is much faster than reading them.
        for (int i = 0; i < count; ++i)
            paths << picture(QStringLiteral("many%1.png").arg(i), QSize(640, 360), Qt::gray);
        QSignalSpy spy(&cache, &ThumbnailCache::loaded);
        for (const QString& path : paths)
            cache.image(path, small);
        cache.waitForReads();
        QCOMPARE(cache.pending(), 0);
        // The newest were read; of the oldest, those dropped are read when asked again.
        QVERIFY(!cache.image(paths.last(), small).isNull());
        QVERIFY2(spy.count() < count - 50, qPrintable(QString::number(spy.count())));
        QStringList unread;
        for (const QString& path : paths.mid(0, 60))
            if (cache.image(path, small).isNull())
                unread << path;
        QVERIFY(!unread.isEmpty());
        cache.waitForReads();
        for (const QString& path : unread)
            QVERIFY(!cache.image(path, small).isNull());
    }
};

QTEST_GUILESS_MAIN(TestThumbnailCache)
#include "tst_thumbnail_cache.moc"
