#include "core/zentrove.h"
#include "platform/bundle.h"
#include "test_support.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The programs where there is no screen at all (over SSH, in a text console, on a server): what
// needs no screen works, and a start that needs one says so in a line instead of aborting.
class TestWithoutDisplay : public QObject
{
    Q_OBJECT

    QTemporaryDir m_files;

    struct Run
    {
        bool finished = false;
        bool crashed = false;
        int exitCode = -1;
        QString out;
        QString err;
    };

    static QString executable(const QString& name)
    {
        if (name == QLatin1String("zentrove"))
            return TestSupport::buildDir() + QStringLiteral("/bin/zentrove");
        return Bundle::agentExecutable(QStringLiteral("app.zentrove.") + name.section('-', 1));
    }

    static Run run(const QString& name, const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(variable));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(executable(name), arguments);
        Run result;
        result.finished = process.waitForFinished(120000);
        result.crashed = process.exitStatus() != QProcess::NormalExit;
        result.exitCode = process.exitCode();
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        if (!result.finished)
            process.kill();
        return result;
    }

    static QStringList programs() { return {"zentrove", "zentrove-paneflow", "zentrove-vizavedid", "zentrove-taskbar"}; }

private slots:
    void initTestCase()
    {
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        for (const QString& name : programs())
            QVERIFY2(QFileInfo(executable(name)).isExecutable(), qPrintable(executable(name)));
    }

    void helpAndVersion_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("expected");
        for (const QString& name : programs()) {
            QTest::addRow("%s --help", qPrintable(name)) << name << "--help" << "Usage: ";
            QTest::addRow("%s --version", qPrintable(name)) << name << "--version" << " (";
        }
    }
    void helpAndVersion()
    {
        QFETCH(QString, program);
        QFETCH(QString, option);
        QFETCH(QString, expected);
        const Run result = run(program, {option});
        QVERIFY(result.finished);
        QVERIFY2(!result.crashed, qPrintable(result.err));
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.contains(expected), qPrintable(result.out));
    }

    void importNeedsNoScreen()
    {
        TestHome home;
        QImage still(40, 30, QImage::Format_RGB32);
        still.fill(Qt::darkCyan);
        QVERIFY(still.save(m_files.filePath("Lake.png")));
        const Run result = run("zentrove", {"--import", m_files.filePath("Lake.png")});
        QVERIFY(result.finished);
        QVERIFY2(!result.crashed, qPrintable(result.err));
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.contains("Lake.png: Added to library\n"), qPrintable(result.out));
        QVERIFY(QFileInfo::exists(home.dataHome() + "/Paneflow/Videos/Lake.png"));
    }

    void picturesNeedNoScreen_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("clock") << "zentrove-vizavedid";
        QTest::newRow("bar") << "zentrove-taskbar";
    }
    void picturesNeedNoScreen()
    {
        QFETCH(QString, program);
        TestHome home;
        const QString png = m_files.filePath(program + ".png");
        const Run result = run(program, {"--render", png, "800x600"});
        QVERIFY(result.finished);
        QVERIFY2(!result.crashed, qPrintable(result.err));
        QCOMPARE(result.exitCode, 0);
        const QImage picture(png);
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), QSize(800, 600));
    }

    void aStartThatNeedsAScreenSaysSoAndLeaves_data()
    {
        QTest::addColumn<QString>("program");
        for (const QString& name : programs())
            QTest::newRow(qPrintable(name)) << name;
    }
    void aStartThatNeedsAScreenSaysSoAndLeaves()
    {
        QFETCH(QString, program);
        TestHome home;
        const Run result = run(program, {});
        QVERIFY(result.finished);
        QVERIFY2(!result.crashed, qPrintable(result.err));
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err.count('\n'), 1);
        QVERIFY2(result.err.contains("no display"), qPrintable(result.err));
    }
};

QTEST_GUILESS_MAIN(TestWithoutDisplay)
#include "tst_without_display.moc"
