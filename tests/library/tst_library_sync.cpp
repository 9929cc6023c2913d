#include "library_fixture.h"

#include "core/record_json.h"

#include <QProcess>
#include <QTest>

using RecordJson::uuidText;

namespace {
QString peer()
{
    return TestSupport::buildDir() + QStringLiteral("/tests/zentrove-library-peer");
}

QProcess* start(const QStringList& arguments, QObject* parent)
{
    auto* process = new QProcess(parent);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(peer(), arguments);
    process->waitForStarted(5000);
    return process;
}

void stop(QProcess* process)
{
    process->terminate();
    if (!process->waitForFinished(3000))
        process->kill();
}
} // namespace

class LibrarySyncTest : public QObject
{
    Q_OBJECT

private slots:
    void controlAppEngineAndReceiverAgree()
    {
        LibraryFixture f;
        const Wallpaper beach = f.wallpaper(QStringLiteral("Beach"));
        const Wallpaper sea = f.wallpaper(QStringLiteral("Sea"));
        const QUuid theme = QUuid::createUuid();
        const Ensemble a {QUuid::createUuid(), QStringLiteral("A"), beach.id, QUuid::createUuid()};
        const Ensemble b {QUuid::createUuid(), QStringLiteral("B"), sea.id, std::nullopt, theme};
        f.writeIndex({beach, sea}, {a, b});
        f.prefs().set(QStringLiteral("currentEnsembleID"), uuidText(a.id));
        f.prefs().set(QStringLiteral("startedOnFirstEnsemble"), true);

        QObject owner;
        QProcess* engine = start({QStringLiteral("--id"), Zentrove::paneflowID(), QStringLiteral("--shipped"), f.where.shippedWallpapers,
                                  QStringLiteral("engine-store")}, &owner);
        QVERIFY(!TestSupport::waitForLine(engine, QStringLiteral("ready")).isEmpty());
        QProcess* taskbar = start({QStringLiteral("--id"), Zentrove::taskbarID(), QStringLiteral("receive-looks")}, &owner);
        QVERIFY(!TestSupport::waitForLine(taskbar, QStringLiteral("ready")).isEmpty());

        auto control = f.open(false);
        QCOMPARE(control->currentEnsembleID(), std::optional<QUuid>(a.id));
        control->setCurrentEnsembleID(b.id);
        QCOMPARE(control->currentID(), std::optional<QUuid>(sea.id));

        const QString agreed = QStringLiteral("current ") + uuidText(b.id) + QLatin1Char(' ') + uuidText(sea.id);
        QCOMPARE(TestSupport::waitForLine(engine, agreed), agreed);
        QCOMPARE(TestSupport::waitForLine(taskbar, QStringLiteral("applied")), QStringLiteral("applied - ") + uuidText(theme));
        // Once: the engine took the change over without publishing it again.
        QVERIFY(TestSupport::waitForLine(taskbar, QStringLiteral("applied"), 1500).isEmpty());

        // The other way round: a change made by the engine reaches the control app.
        engine->write(("choose " + uuidText(a.id) + "\n").toUtf8());
        QTRY_COMPARE(control->currentEnsembleID(), std::optional<QUuid>(a.id));
        QCOMPARE(control->currentID(), std::optional<QUuid>(beach.id));
        QCOMPARE(TestSupport::waitForLine(taskbar, QStringLiteral("applied")), QStringLiteral("applied ") + uuidText(*a.clockPreset) + QStringLiteral(" -"));
        stop(engine);
        stop(taskbar);
    }
};

QTEST_GUILESS_MAIN(LibrarySyncTest)
#include "tst_library_sync.moc"
