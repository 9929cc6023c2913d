#include "clip_maker.h"
#include "library/import/media_import.h"
#include "library/import/media_jobs.h"
#include "library/import/media_thumbnails.h"
#include "library/library_store.h"
#include "platform/defaults.h"
#include "test_support.h"
#include "media/lock_screen_video.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QtEndian>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>

namespace {

const QString domain = QStringLiteral("app.zentrove.paneflow");

QString write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QString picture(const QString& path, const char* format = "PNG")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(96, 64, QImage::Format_RGB32);
    image.fill(QColor(40, 90, 160));
    image.save(path, format);
    return path;
}

} // namespace

class TestMediaImport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<LibraryStore> m_store;
    QTemporaryDir m_clipFolder;
    QString m_clips;
    LibraryLocations m_where;
    QStringList m_fifos;

    LibraryStore& store() { return *m_store; }
    QString root() const { return m_where.root; }
    QStringList videos() const { return ClipMaker::filesIn(m_where.videos()); }

    void openStore()
    {
        m_store.reset();
        m_store = std::make_unique<LibraryStore>(
            domain, false, m_where,
            LibraryServices{std::make_shared<MediaThumbnails>(), std::make_shared<MediaImporter>(), std::make_shared<AccentRefresher>()});
    }
    void waitForImports()
    {
        QTRY_COMPARE_WITH_TIMEOUT(store().importing(), 0, 180000);
        MediaJobs::waitForAll();
        QCoreApplication::processEvents();
    }
    std::optional<Activity> activity(const QString& title) const
    {
        for (const Activity& a : m_store->activityLog().activities())
            if (a.title == title)
                return a;
        return std::nullopt;
    }
    QStringList sortedFileNames() const
    {
        QStringList names = fileNames();
        names.sort();
        return names;
    }
    QStringList fileNames() const
    {
        QStringList names;
        for (const Wallpaper& w : m_store->items())
            names << w.fileName;
        return names;
    }

private slots:
    void initTestCase()
    {
        m_clips = m_clipFolder.path();
        QVERIFY(ClipMaker::pattern(m_clips + "/a/Clip.mp4", "160x120", 30, 1));
        QDir().mkpath(m_clips + "/b");
        QVERIFY(QFile::copy(m_clips + "/a/Clip.mp4", m_clips + "/b/Clip.mp4"));
        // Lossless noise at a high frame rate: far over 60 Mbit/s, so it is shrunk on the way in.
        QVERIFY(ClipMaker::ffmpeg({"-f", "lavfi", "-i", "testsrc2=size=640x480:rate=120:duration=0.5", "-vf",
                                   "noise=alls=100:allf=t", "-c:v", "libx264", "-preset", "ultrafast", "-qp", "0"},
                                  m_clips + "/Heavy.mp4"));
        QVERIFY(ClipMaker::ffmpeg({"-f", "lavfi", "-i", "sine=duration=1", "-c:a", "aac"}, m_clips + "/Sound only.mp4"));
    }

    void init()
    {
        m_home = std::make_unique<TestHome>();
        m_where = LibraryLocations{m_home->dataHome() + "/Paneflow", m_home->path() + "/shipped"};
        // Built-ins count as offered already: the library starts empty, with nothing current.
        Defaults& defaults = Defaults::domain(domain);
        const QVariantList tags{"Eclipse", "Graphite", "Infinity", "Frog Pond"};
        defaults.set("seededWallpapers", tags);
        defaults.set("seededEnsembles", tags);
        openStore();
        QVERIFY(store().items().isEmpty());
    }
    void cleanup()
    {
        // A reader left waiting on a FIFO (a fault under test) is let go, so the suite ends.
        for (const QString& fifo : std::exchange(m_fifos, {})) {
            const int end = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (end >= 0)
                ::close(end);
        }
        MediaJobs::waitForAll();
        m_store.reset();
        m_home.reset();
    }

    void twoClipsOfTheSameNameImportSideBySide()
    {
        QSignalSpy importing(&store(), &LibraryStore::importingChanged);
        store().importFiles({QUrl::fromLocalFile(m_clips + "/a/Clip.mp4"), QUrl::fromLocalFile(m_clips + "/b/Clip.mp4"),
                             QUrl::fromLocalFile(m_clips + "/notes.txt")});
        QCOMPARE(store().importing(), 2);
        QCOMPARE(store().activityLog().activities().size(), 2);
        QCOMPARE(store().activityLog().activities().first().detail, QString("Checking video"));
        waitForImports();

        // Each import appends its record when it is done, so the order is whichever finished first.
        QCOMPARE(sortedFileNames(), QStringList({"Clip 2.mp4", "Clip.mp4"}));
        QStringList names;
        for (const Wallpaper& w : store().items()) {
            names << w.name;
            QVERIFY(QFileInfo::exists(store().thumbnailPath(w.id)));
            QVERIFY(QImage(store().thumbnailPath(w.id)).width() <= 1024);
        }
        names.sort();
        QCOMPARE(names, QStringList({"Clip", "Clip 2"}));
        // The first to arrive became current, since nothing was.
        QCOMPARE(store().currentID(), std::optional(store().items().first().id));
        for (const Activity& a : store().activityLog().activities()) {
            QCOMPARE(a.detail, QString("Added to library"));
            QCOMPARE(a.state, Activity::State::done);
        }
        QCOMPARE(ClipMaker::filesIn(m_where.lockScreen()), QStringList({"Clip 2-lockscreen-v1.mov", "Clip-lockscreen-v1.mov"}));
        QVERIFY(ClipMaker::probe(m_where.lockScreenPath("Clip.mp4")).value("format").toObject().value("duration").toString().toDouble() >= 3600);
        QCOMPARE(videos(), QStringList({"Clip 2.mp4", "Clip.mp4"}));
        QVERIFY(importing.size() >= 4); // up twice, down twice

        // The records reached the index file.
        const QJsonArray saved = QJsonDocument::fromJson([&] {
            QFile f(m_where.libraryFile());
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }()).array();
        QCOMPARE(saved.size(), 2);
    }

    void oversizedVideoIsShrunk()
    {
        store().importFiles({QUrl::fromLocalFile(m_clips + "/Heavy.mp4")});
        waitForImports();
        QCOMPARE(fileNames(), QStringList{"Heavy.mov"});
        const QJsonObject stream = ClipMaker::videoStream(ClipMaker::probe(m_where.videos() + "/Heavy.mov"));
        QCOMPARE(stream.value("codec_name").toString(), QString("hevc"));
        QCOMPARE(stream.value("nb_frames").toString().toInt(), 60); // the library copy keeps every frame
        QCOMPARE(store().activityLog().activities().first().detail, QString("Added to library"));
        QCOMPARE(videos(), QStringList{"Heavy.mov"});
    }

    void badFilesFailCleanly()
    {
        store().importFiles({QUrl::fromLocalFile(m_clips + "/a/Clip.mp4")});
        waitForImports();
        const QStringList before = videos();
        const QStringList beforeLock = ClipMaker::filesIn(m_where.lockScreen());
        const QByteArray index = [&] { QFile f(m_where.libraryFile()); f.open(QIODevice::ReadOnly); return f.readAll(); }();

        const QString bad = m_home->path() + "/bad";
        store().importFiles({QUrl::fromLocalFile(write(bad + "/Letter.mp4", "Dear library, this is not a film.")),
                             QUrl::fromLocalFile(write(bad + "/Nothing.mov", {})),
                             QUrl::fromLocalFile(m_clips + "/Sound only.mp4"),
                             QUrl::fromLocalFile(write(bad + "/Empty.heic", {})),
                             QUrl::fromLocalFile(write(bad + "/Words.png", "no pixels here")),
                             QUrl::fromLocalFile(bad + "/Vanished.mp4"),
                             QUrl::fromLocalFile(write(bad + "/readme.txt", "skipped without a word"))});
        waitForImports();
        QCOMPARE(store().activityLog().activities().size(), 1 + 6);
        for (const Activity& a : store().activityLog().activities().mid(1)) {
            QCOMPARE(a.state, Activity::State::failed);
            const bool isPicture = a.title == "Empty" || a.title == "Words";
            QCOMPARE(a.detail, isPicture ? QString("Couldn't read this picture") : QString("Couldn't read this video"));
        }
        QCOMPARE(videos(), before);
        QCOMPARE(ClipMaker::filesIn(m_where.lockScreen()), beforeLock);
        QCOMPARE(ClipMaker::filesIn(m_where.thumbnails()).size(), 1);
        QFile after(m_where.libraryFile());
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), index);
    }

    // Clips a few pixels across get a thumbnail of their own size and join the library; the
    // lock-screen encoder takes nothing that small, which fails that step alone.
    void tinyClipsJoinTheLibrary()
    {
        QList<QUrl> files;
        for (const QString size : {"2x2", "4x4", "12x12", "2x64"}) {
            const QString clip = m_clips + "/tiny/Tiny " + size + ".mp4";
            if (!QFileInfo::exists(clip))
                QVERIFY(ClipMaker::pattern(clip, size, 10, 0.3));
            files << QUrl::fromLocalFile(clip);
        }
        store().importFiles(files);
        waitForImports();
        QCOMPARE(store().items().size(), 4);
        for (const Wallpaper& item : store().items()) {
            const QStringList sides = item.name.section(' ', 1).split('x');
            QCOMPARE(QImage(store().thumbnailPath(item.id)).size(), QSize(sides[0].toInt(), sides[1].toInt()));
        }
        for (const Activity& a : store().activityLog().activities())
            QCOMPARE(a.detail, QString("Added, but lock screen prep failed"));
        QCOMPARE(videos().size(), 4);
        QVERIFY(ClipMaker::filesIn(m_where.lockScreen()).isEmpty());
    }

    // A video whose facts read well but whose pictures do not decode: no thumbnail, so the copy
    // is taken back and nothing of the import stays.
    void aFailedThumbnailLeavesNothing()
    {
        QFile source(m_clips + "/a/Clip.mp4");
        QVERIFY(source.open(QIODevice::ReadOnly));
        QByteArray bytes = source.readAll();
        const qsizetype mdat = bytes.indexOf("mdat");
        QVERIFY(mdat >= 4);
        const qsizetype end = mdat - 4 + qFromBigEndian<quint32>(bytes.constData() + mdat - 4);
        QVERIFY(end <= bytes.size());
        std::fill(bytes.begin() + mdat + 4, bytes.begin() + end, '\0');
        const QString blank = write(m_home->path() + "/in/Blank.mp4", bytes);

        store().importFiles({QUrl::fromLocalFile(blank)});
        waitForImports();
        QCOMPARE(store().activityLog().activities().first().detail, QString("Import failed"));
        QCOMPARE(store().activityLog().activities().first().state, Activity::State::failed);
        QVERIFY(store().items().isEmpty());
        QCOMPARE(videos(), QStringList());
        QCOMPARE(ClipMaker::filesIn(m_where.thumbnails()), QStringList());
    }

    // Only regular files are read: a FIFO would wait for a writer forever, a device never ends.
    void filesThatAreNotRegularAreRefusedAtOnce()
    {
        const QString dir = m_home->path() + "/special";
        QDir().mkpath(dir);
        for (const QString name : {"Pipe.mp4", "Pipe.png"}) {
            QCOMPARE(::mkfifo(QFile::encodeName(dir + "/" + name).constData(), 0600), 0);
            m_fifos << dir + "/" + name;
        }
        QVERIFY(QFile::link("/dev/zero", dir + "/Zero.mov"));
        QVERIFY(QFile::link("/dev/zero", dir + "/Zero.jpg"));
        QLocalServer socket;
        QVERIFY(socket.listen(dir + "/Socket.mp4"));

        QElapsedTimer clock;
        clock.start();
        store().importFiles({QUrl::fromLocalFile(dir + "/Pipe.mp4"), QUrl::fromLocalFile(dir + "/Pipe.png"),
                             QUrl::fromLocalFile(dir + "/Zero.mov"), QUrl::fromLocalFile(dir + "/Zero.jpg"),
                             QUrl::fromLocalFile(dir + "/Socket.mp4")});
        QTRY_COMPARE_WITH_TIMEOUT(store().importing(), 0, 10000);
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(store().activityLog().activities().size(), 5);
        QStringList details;
        for (const Activity& a : store().activityLog().activities()) {
            QCOMPARE(a.state, Activity::State::failed);
            details << a.title + ": " + a.detail;
        }
        details.sort();
        QCOMPARE(details, QStringList({"Pipe: Couldn't read this picture", "Pipe: Couldn't read this video",
                                       "Socket: Couldn't read this video", "Zero: Couldn't read this picture",
                                       "Zero: Couldn't read this video"}));
        QCOMPARE(videos(), QStringList());
    }

    void picturesAndTheirNames()
    {
        const QString dir = m_home->path() + "/pictures";
        store().importFiles({QUrl::fromLocalFile(picture(dir + "/a:b.png")), QUrl::fromLocalFile(picture(dir + "/.hidden.png")),
                             QUrl::fromLocalFile(picture(dir + "/   .png")),
                             // A PNG that calls itself a JPEG is still a picture.
                             QUrl::fromLocalFile(picture(dir + "/Liar.JPG", "PNG"))});
        waitForImports();
        QCOMPARE(sortedFileNames(), QStringList({"Liar.jpg", "Wallpaper.hidden.png", "Wallpaper.png", "a-b.png"}));
        for (const Activity& a : store().activityLog().activities())
            QCOMPARE(a.detail, QString("Added to library"));
        QVERIFY(ClipMaker::filesIn(m_where.lockScreen()).isEmpty()); // pictures get no lock-screen copy
    }

    void lockScreenFailureKeepsTheWallpaper()
    {
        write(m_where.lockScreen(), "a file where the folder should be");
        store().importFiles({QUrl::fromLocalFile(m_clips + "/a/Clip.mp4")});
        waitForImports();
        QCOMPARE(fileNames(), QStringList{"Clip.mp4"});
        QCOMPARE(store().activityLog().activities().first().detail, QString("Added, but lock screen prep failed"));
        QCOMPARE(store().activityLog().activities().first().state, Activity::State::failed);
        QCOMPARE(videos(), QStringList{"Clip.mp4"});
    }

    void refreshFollowsTheVideosFolder()
    {
        store().importFiles({QUrl::fromLocalFile(picture(m_home->path() + "/p/Kept.png")),
                             QUrl::fromLocalFile(picture(m_home->path() + "/p/Gone.png"))});
        waitForImports();
        QCOMPARE(store().items().size(), 2);
        const Wallpaper gone = *std::find_if(store().items().begin(), store().items().end(),
                                             [](const Wallpaper& w) { return w.fileName == "Gone.png"; });
        QVERIFY(QFile::remove(m_where.videos() + "/Gone.png"));
        picture(m_where.videos() + "/Found.png");
        QVERIFY(QFile::copy(m_clips + "/a/Clip.mp4", m_where.videos() + "/Film.mp4"));
        // What a crash in the middle of shrinking leaves: a playable movie, but no wallpaper.
        QVERIFY(QFile::copy(m_clips + "/a/Clip.mp4", LockScreenVideo::partialPath(m_where.videos() + "/Film.mov")));
        store().activityLog().clear();

        QSignalSpy versions(&store(), &LibraryStore::thumbnailVersionChanged);
        store().refresh();
        QTRY_VERIFY_WITH_TIMEOUT(store().activityLog().activities().size() == 1 && store().activityLog().activities().first().state != Activity::State::running, 60000);
        QCOMPARE(store().activityLog().activities().first().title, QString("Library Refreshed"));
        QCOMPARE(store().activityLog().activities().first().detail, QString("3 wallpapers"));
        QCOMPARE(fileNames().mid(1), QStringList({"Film.mp4", "Found.png"})); // new files in name order, at the end
        QCOMPARE(fileNames().first(), QString("Kept.png"));
        QVERIFY(!QFileInfo::exists(store().thumbnailPath(gone.id)));
        QCOMPARE(versions.size(), 3);

        // A file that only looks like a picture fails its thumbnail, and the count says so.
        write(m_where.videos() + "/Broken.png", "not really");
        store().activityLog().clear();
        store().refresh();
        QTRY_VERIFY_WITH_TIMEOUT(store().activityLog().activities().size() == 1 && store().activityLog().activities().first().state != Activity::State::running, 60000);
        QCOMPARE(store().activityLog().activities().first().detail, QString("1 thumbnail failed"));
        QCOMPARE(store().activityLog().activities().first().state, Activity::State::failed);
    }

    // Runs last: once the process has started leaving, media work stays stopped.
    void leavingCancelsAndWaitsForMediaWork()
    {
        store().importFiles({QUrl::fromLocalFile(m_clips + "/Heavy.mp4")});
        QTRY_VERIFY_WITH_TIMEOUT(store().activityLog().activities().size() == 1 && store().activityLog().activities().first().detail == "Shrinking to 4K"
                                     && store().activityLog().activities().first().progress.value_or(0) > 0,
                                 60000);
        // The other worker copies a huge picture (a readable header, then 2 GB of nothing) until
        // the process leaves; work queued behind it never starts.
        const QString huge = picture(m_clips + "/Huge.png");
        QVERIFY(QFile(huge).resize(qint64(2) << 30));
        store().importFiles({QUrl::fromLocalFile(huge)});
        const auto copying = [this] {
            for (const QFileInfo& file : QDir(m_where.videos()).entryInfoList({QStringLiteral("*.partial")}, QDir::Files))
                if (file.size() > 0)
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(copying(), 60000);
        std::atomic<int> ran{0};
        for (int i = 0; i < 5; ++i)
            MediaJobs::run(&store(), [&ran] { return ++ran; }, [](int) {});

        QElapsedTimer leaving;
        leaving.start();
        MediaJobs::shutDown();
        // The copy stopped at its next chunk instead of finishing, and took its partial file
        // with it; the conversion stopped at its next frame, likewise.
        QVERIFY2(leaving.elapsed() < 20000, qPrintable(QString::number(leaving.elapsed())));
        QCOMPARE(MediaJobs::pool().activeThreadCount(), 0);
        QCOMPARE(ran.load(), 0);
        QCOMPARE(videos(), QStringList());

        MediaJobs::run(&store(), [&ran] { return ++ran; }, [](int) {});
        MediaJobs::waitForAll();
        QCOMPARE(ran.load(), 0);
    }
};

QTEST_MAIN(TestMediaImport)
#include "tst_media_import.moc"
