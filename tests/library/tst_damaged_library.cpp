#include "clip_maker.h"
#include "library_fixture.h"

#include "core/record_json.h"
#include "platform/bundle.h"

#include <QDBusConnection>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using RecordJson::uuidText;

// One record of the library index goes bad; then the control app, the live-wallpaper agent and an
// import each start over it, as they would on a user's machine. Nothing of the user's is lost.
class DamagedLibraryTest : public QObject
{
    Q_OBJECT

    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static int run(const QString& program, const QStringList& arguments, QString* output)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForFinished(240000)) {
            process.kill();
            process.waitForFinished();
        }
        *output = QString::fromUtf8(process.readAll());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
    }

    void aLostDateLosesNothing()
    {
        LibraryFixture f;
        QList<Wallpaper> items;
        QList<Ensemble> ensembles;
        for (const char* name : {"Dunes", "Harbour", "Orchard"}) {
            const Wallpaper w = f.wallpaper(QString::fromUtf8(name));
            items.append(w);
            ensembles.append(Ensemble {QUuid::createUuid(), w.name, w.id});
            ensembles.append(Ensemble {QUuid::createUuid(), w.name + QStringLiteral(" at night"), w.id});
            LibraryFixture::touch(f.where.lockScreenPath(w.fileName), "lock screen copy");
        }
        f.writeIndex(items, ensembles);
        const QVariantList tags {QStringLiteral("Eclipse"), QStringLiteral("Graphite"), QStringLiteral("Infinity"),
                                 QStringLiteral("Frog Pond")};
        f.prefs().set(QStringLiteral("seededWallpapers"), tags);
        f.prefs().set(QStringLiteral("seededEnsembles"), tags);
        f.prefs().set(QStringLiteral("startedOnFirstEnsemble"), true);
        f.prefs().set(QStringLiteral("currentID"), uuidText(items[1].id));
        f.prefs().set(QStringLiteral("currentEnsembleID"), uuidText(ensembles[3].id));

        // The current wallpaper's record loses its date.
        QJsonArray records = QJsonDocument::fromJson(bytesOf(f.where.libraryFile())).array();
        QJsonObject current = records[1].toObject();
        current.remove(QStringLiteral("addedAt"));
        records[1] = current;
        const QByteArray damaged = QJsonDocument(records).toJson(QJsonDocument::Compact);
        {
            QFile file(f.where.libraryFile());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(damaged);
        }

        QTemporaryDir scratch;
        const QString app = TestSupport::buildDir() + QStringLiteral("/bin/zentrove");
        QString output;
        QCOMPARE(run(app, {QStringLiteral("--snapshot"), scratch.filePath(QStringLiteral("window.png"))}, &output), 0);

        QProcess agent;
        agent.setProcessChannelMode(QProcess::MergedChannels);
        agent.start(Bundle::agentExecutable(Zentrove::paneflowID()));
        QVERIFY(agent.waitForStarted(5000));
        QByteArray agentLog;
        // "running" comes once the engine store has started, housekeeping and all.
        QVERIFY(QTest::qWaitFor([&] { agentLog += agent.readAll(); return agentLog.contains("running"); }, 15000));
        agent.terminate();
        QVERIFY(agent.waitForFinished(5000));

        const QString clip = scratch.filePath(QStringLiteral("Lagoon.mp4"));
        QVERIFY(ClipMaker::pattern(clip, QStringLiteral("160x120"), 30, 1));
        QCOMPARE(run(app, {QStringLiteral("--import"), clip}, &output), 0);

        QCOMPARE(bytesOf(f.where.libraryFile() + QStringLiteral(".damaged")), damaged);
        for (const Wallpaper& w : items) {
            QVERIFY2(QFileInfo::exists(f.where.mediaPath(w)), qPrintable(w.fileName));
            QVERIFY2(QFileInfo::exists(f.where.lockScreenPath(w.fileName)), qPrintable(w.fileName));
        }
        f.prefs().sync();
        QCOMPARE(f.prefs().string(QStringLiteral("currentEnsembleID")), std::optional<QString>(uuidText(ensembles[3].id)));
        QCOMPARE(f.prefs().string(QStringLiteral("currentID")), std::optional<QString>(uuidText(items[1].id)));
        // The new clip joined the records that could be read; the ensembles file was kept too.
        QStringList names;
        for (const Wallpaper& w : LibraryFiles::readWallpapers(f.where))
            names << w.name;
        QCOMPARE(names, QStringList({QStringLiteral("Dunes"), QStringLiteral("Orchard"), QStringLiteral("Lagoon")}));
        QVERIFY(QFileInfo::exists(f.where.ensemblesFile() + QStringLiteral(".damaged")));
        QVERIFY(QFileInfo::exists(f.where.lockScreenPath(QStringLiteral("Lagoon.mp4"))));
    }
};

QTEST_GUILESS_MAIN(DamagedLibraryTest)
#include "tst_damaged_library.moc"
