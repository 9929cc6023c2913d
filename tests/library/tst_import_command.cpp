#include "clip_maker.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

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

    // A name is printed as text: its control characters are shown escaped, never sent to the
    // terminal (where an escape sequence could rewrite the screen).
    void namesArePrintedWithControlCharactersEscaped()
    {
        TestHome home;
        const QString name = m_files.filePath(QString::fromUtf8("Evil\x1b]0;owned\x07\nLine\u202e.png"));
        QVERIFY(QFile::copy(m_files.filePath("Leaf.png"), name));
        QString output;
        QCOMPARE(runImport({name}, &output), 0);
        QVERIFY2(output.contains(QString::fromUtf8("Evil\\x1b]0;owned\\a\\nLine\\u202e.png: Added to library\n")), qPrintable(output));
        for (const QChar c : output)
            QVERIFY2(c == '\n' || (c.category() != QChar::Other_Control && c != QChar(0x202e)), qPrintable(QString::number(c.unicode())));
    }

    // Ending the command from outside stops it at once and takes the unfinished item's work files
    // with it: here a copy of a 2 GB picture (a readable header, then nothing) under way.
    void signalsEndTheImportAndTakeItsWorkFiles_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("terminate") << SIGTERM;
        QTest::newRow("interrupt") << SIGINT;
        QTest::newRow("hang-up") << SIGHUP;
    }
    void signalsEndTheImportAndTakeItsWorkFiles()
    {
        QFETCH(int, signal);
        TestHome home;
        const QString huge = m_files.filePath("Huge.png");
        if (!QFileInfo::exists(huge)) {
            QVERIFY(QFile::copy(m_files.filePath("Leaf.png"), huge));
            QVERIFY(QFile(huge).resize(qint64(2) << 30));
        }
        QProcess process;
        process.start(program(), {"--import", huge});
        QVERIFY(process.waitForStarted());
        const QString videos = home.dataHome() + "/Paneflow/Videos";
        const auto copying = [&] {
            for (const QFileInfo& file : QDir(videos).entryInfoList(QDir::Files))
                if (file.size() > 0)
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(copying(), 60000);
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(process.processId()), signal);
        QVERIFY(process.waitForFinished(10000));
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 128 + signal);
        const QString output = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(output.endsWith("Huge.png: stopped\n"), qPrintable(output));
        QCOMPARE(ClipMaker::filesIn(videos), QStringList());
        // No record for the picture, and no thumbnail but those of the records (the shipped ones).
        QFile index(home.dataHome() + "/Paneflow/library.json");
        QVERIFY(index.open(QIODevice::ReadOnly));
        QStringList recorded;
        for (const QJsonValue& record : QJsonDocument::fromJson(index.readAll()).array()) {
            QVERIFY(record.toObject().value("fileName").toString() != "Huge.png");
            recorded << record.toObject().value("id").toString() + ".png";
        }
        for (const QString& thumbnail : ClipMaker::filesIn(home.dataHome() + "/Paneflow/Thumbnails"))
            QVERIFY2(recorded.contains(thumbnail), qPrintable(thumbnail));
    }
};

QTEST_GUILESS_MAIN(TestImportCommand)
#include "tst_import_command.moc"
