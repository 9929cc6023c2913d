#include "clip_maker.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// `zentrove --import` as a script would use it: the real program, its output and exit status.
class TestImportCommand : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_files;

    static QString program() { return TestSupport::buildDir() + "/bin/zentrove"; }

    int runImport(const QStringList& files, QString* output)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(program(), QStringList{"--import"} + files);
        if (!process.waitForFinished(240000))
            return -1;
        *output = QString::fromUtf8(process.readAllStandardOutput());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo(program()).isExecutable());
        QVERIFY(ClipMaker::pattern(m_files.filePath("Dance.mp4"), "160x120", 30, 1));
        QImage still(64, 48, QImage::Format_RGB32);
        still.fill(Qt::darkGreen);
        QVERIFY(still.save(m_files.filePath("Leaf.png")));
        QFile letter(m_files.filePath("Letter.mp4"));
        QVERIFY(letter.open(QIODevice::WriteOnly));
        letter.write("not a film");
    }

    void everythingAddedExitsZero()
    {
        TestHome home;
        QString output;
        QCOMPARE(runImport({m_files.filePath("Dance.mp4"), m_files.filePath("Leaf.png")}, &output), 0);
        // Not a terminal: plain lines, ending with each file's outcome.
        QVERIFY2(output.contains("Dance.mp4: Checking video\n"), qPrintable(output));
        QVERIFY(output.contains("Dance.mp4: Preparing for lock screen"));
        QVERIFY(output.contains("Dance.mp4: Added to library\n"));
        QVERIFY(output.contains("Leaf.png: Added to library\n"));
        QVERIFY(!output.contains("\x1b["));
        const QString videos = home.dataHome() + "/Paneflow/Videos";
        QVERIFY(QFileInfo::exists(videos + "/Dance.mp4"));
        QVERIFY(QFileInfo::exists(videos + "/Leaf.png"));
        QVERIFY(QFileInfo::exists(home.dataHome() + "/Paneflow/LockScreen/Dance-lockscreen-v1.mov"));
    }

    void anyFailureExitsOne()
    {
        TestHome home;
        QString output;
        QCOMPARE(runImport({m_files.filePath("Leaf.png"), m_files.filePath("Letter.mp4"), m_files.filePath("notes.txt")}, &output), 1);
        QVERIFY(output.contains("Leaf.png: Added to library\n"));
        QVERIFY(output.contains("Letter.mp4: Couldn't read this video\n"));
        QVERIFY(output.contains("notes.txt: not a video or picture, skipped\n"));
        QCOMPARE(ClipMaker::filesIn(home.dataHome() + "/Paneflow/Videos"), QStringList{"Leaf.png"});
    }
};

QTEST_GUILESS_MAIN(TestImportCommand)
#include "tst_import_command.moc"
