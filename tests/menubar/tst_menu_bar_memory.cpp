#include "../app/agent_process.h"
#include "../library/library_fixture.h"
#include "status_watcher.h"

#include "library/ensemble_theme.h"
#include "looks/look.h"
#include "platform/machine.h"

#include <QDBusMessage>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// The live-wallpaper agent hosting the item through 2,000 ensemble changes and 200 openings and
// closings of its popover, driven from outside as the desktop and another part would. Its
// resident memory after the last cycle stays within 5 % of where it was after the first 100.
class TestMenuBarMemory : public QObject
{
    Q_OBJECT

    StatusWatcher watcher;

    // The agent's resident memory, read the way the agent reads its own.
    static double residentMiB(qint64 pid, const QString& root)
    {
        QFile::remove(root + QStringLiteral("/self"));
        QFile::link(QStringLiteral("/proc/%1").arg(pid), root + QStringLiteral("/self"));
        Machine::Sources sources;
        sources.procRoot = root;
        sources.thermalPollMs = 0;
        const std::optional<ProcessUsage> usage = Machine::makeSystem(sources)->processUsage();
        return usage ? usage->memoryMiB : 0;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        qputenv("ZENTROVE_HUB", TestSupport::buildDir().toUtf8());
        QVERIFY(watcher.start());
    }

    void steadyThroughChangesAndPopovers()
    {
        LibraryFixture fixture;
        Screens::setOverride(std::nullopt);
        QList<Wallpaper> wallpapers;
        QList<Ensemble> ensembles;
        for (int i = 0; i < 12; ++i) {
            wallpapers.append(fixture.wallpaper(QStringLiteral("W%1").arg(i)));
            QImage thumb(480, 270, QImage::Format_RGB32);
            thumb.fill(QColor::fromHsv(i * 30, 160, 200));
            QDir().mkpath(QFileInfo(fixture.where.thumbnailPath(wallpapers.last().id)).absolutePath());
            QVERIFY(thumb.save(fixture.where.thumbnailPath(wallpapers.last().id)));
            ensembles.append(Ensemble {QUuid::createUuid(), QStringLiteral("Ensemble %1").arg(i), wallpapers.last().id});
        }
        fixture.writeIndex(wallpapers, ensembles);
        fixture.prefs().set(QStringLiteral("currentEnsembleID"), ensembles[0].id.toString(QUuid::WithoutBraces).toUpper());

        QProcess* agent = AgentProcess::start(Zentrove::paneflowID(), this);
        QVERIFY(agent);
        QTRY_COMPARE(watcher.items.size(), 1);
        const QString item = watcher.items.firstKey();
        // This process plays a part that asks the live wallpaper to switch.
        EnsembleTheme::setPartRunningCheck([] { return true; });

        QTemporaryDir proc;
        QVERIFY(QFile::link(QStringLiteral("/proc/stat"), proc.path() + QStringLiteral("/stat")));
        const double atStart = residentMiB(agent->processId(), proc.path());
        double afterHundred = 0;
        int changes = 0;
        const auto toggle = [&item] {
            QDBusMessage activate = QDBusMessage::createMethodCall(item, QStringLiteral("/StatusNotifierItem"),
                                                                   QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"));
            activate << 640 << 2;
            return QDBusConnection::sessionBus().call(activate).type() == QDBusMessage::ReplyMessage;
        };
        for (int cycle = 1; cycle <= 200; ++cycle) {
            QVERIFY(toggle()); // open
            for (int i = 0; i < 10; ++i)
                EnsembleTheme::choose(ensembles[(changes++ + 1) % ensembles.size()].id);
            QTest::qWait(20); // let the open popover draw the changes
            QVERIFY(toggle()); // close
            if (cycle == 100)
                afterHundred = residentMiB(agent->processId(), proc.path());
        }
        // The last choice reached the part.
        const QString last = ensembles[changes % ensembles.size()].id.toString(QUuid::WithoutBraces).toUpper();
        const auto current = [] {
            Look::paneflowPrefs().sync();
            return Look::paneflowPrefs().string(QStringLiteral("currentEnsembleID")).value_or(QString());
        };
        QTRY_COMPARE_WITH_TIMEOUT(current(), last, 10000);
        const double atEnd = residentMiB(agent->processId(), proc.path());
        qInfo("resident memory: %.1f MiB at start, %.1f MiB after 100 cycles, %.1f MiB after 200 cycles and %d ensemble changes (%+.1f %%)",
              atStart, afterHundred, atEnd, changes, (atEnd - afterHundred) / afterHundred * 100);
        QCOMPARE(changes, 2000);
        QVERIFY(afterHundred > 0);
        QVERIFY2(atEnd <= afterHundred * 1.05, qPrintable(QStringLiteral("%1 -> %2 MiB").arg(afterHundred).arg(atEnd)));
        QCOMPARE(agent->state(), QProcess::Running);
        ::kill(pid_t(agent->processId()), SIGTERM);
        QVERIFY(agent->waitForFinished(5000));
    }
};

QTEST_MAIN(TestMenuBarMemory)
#include "tst_menu_bar_memory.moc"
