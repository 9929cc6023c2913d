#include "platform/bundle.h"
#include "platform/login_items.h"
#include "platform/paths.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

// Login items as autostart entries, against a made-up install whose agents the test controls.
class TestLoginItems : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    std::unique_ptr<QTemporaryDir> hub;
    std::unique_ptr<LoginItems> items;
    const QString id = QStringLiteral("app.zentrove.paneflow");

    void installAgent()
    {
        QVERIFY(QDir().mkpath(QFileInfo(Bundle::agentExecutable(id)).absolutePath()));
        QFile agent(Bundle::agentExecutable(id));
        QVERIFY(agent.open(QIODevice::WriteOnly));
        agent.write("#!/bin/sh\n");
        agent.close();
        agent.setPermissions(agent.permissions() | QFile::ExeOwner);
    }

    QString entryPath() const { return Paths::autostartFolder() + QLatin1Char('/') + id + QStringLiteral(".desktop"); }

private slots:
    void init()
    {
        home = std::make_unique<TestHome>();
        // A hub with a space in its path: the entry must still start the right program.
        hub = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zentrove hub XXXXXX"));
        qputenv("ZENTROVE_HUB", hub->path().toUtf8());
        items = LoginItems::makeSystem();
    }

    void cleanup()
    {
        items.reset();
        hub.reset();
        home.reset();
        qunsetenv("ZENTROVE_HUB");
    }

    void registerAndUnregister()
    {
        installAgent();
        QCOMPARE(items->status(id), LoginItemStatus::notRegistered);
        QCOMPARE(items->registerItem(id), std::nullopt);
        QCOMPARE(items->status(id), LoginItemStatus::enabled);

        QSettings entry(entryPath(), QSettings::IniFormat);
        entry.beginGroup(QStringLiteral("Desktop Entry"));
        QCOMPARE(entry.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
        QFile raw(entryPath());
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(raw.readAll());
        QVERIFY2(text.contains(QStringLiteral("Exec=\"") + Bundle::agentExecutable(id) + QStringLiteral("\"\n")), qPrintable(text));

        // Registering twice keeps one entry.
        QCOMPARE(items->registerItem(id), std::nullopt);
        QCOMPARE(QDir(Paths::autostartFolder()).entryList(QDir::Files).size(), 1);

        QCOMPARE(items->unregisterItem(id), std::nullopt);
        QCOMPARE(items->status(id), LoginItemStatus::notRegistered);
        QVERIFY(!QFile::exists(entryPath()));
        // Already off is where unregistering wants to be.
        QCOMPARE(items->unregisterItem(id), std::nullopt);
    }

    void missingAgentIsNotFoundAndCannotRegister()
    {
        QCOMPARE(items->status(id), LoginItemStatus::notFound);
        QVERIFY(items->registerItem(id).has_value());
        QVERIFY(!QFile::exists(entryPath()));
        // An entry left from an older install does not make the part present.
        QVERIFY(Paths::ensureFolder(Paths::autostartFolder()));
        QFile stale(entryPath());
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("[Desktop Entry]\nType=Application\nExec=/gone\n");
        stale.close();
        QCOMPARE(items->status(id), LoginItemStatus::notFound);
    }

    void entrySwitchedOffByTheDesktopWaitsForApproval_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("status");
        QTest::newRow("hidden") << "Hidden=true" << int(LoginItemStatus::requiresApproval);
        QTest::newRow("gnome off") << "X-GNOME-Autostart-enabled=false" << int(LoginItemStatus::requiresApproval);
        QTest::newRow("gnome on") << "X-GNOME-Autostart-enabled=true" << int(LoginItemStatus::enabled);
        QTest::newRow("not hidden") << "Hidden=false" << int(LoginItemStatus::enabled);
    }

    void entrySwitchedOffByTheDesktopWaitsForApproval()
    {
        QFETCH(QString, line);
        QFETCH(int, status);
        installAgent();
        QVERIFY(Paths::ensureFolder(Paths::autostartFolder()));
        QFile entry(entryPath());
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write(("[Desktop Entry]\nType=Application\nExec=x\n" + line + "\n").toUtf8());
        entry.close();
        QCOMPARE(items->status(id), LoginItemStatus(status));
        // Registering again writes a fresh entry, which is on.
        QCOMPARE(items->registerItem(id), std::nullopt);
        QCOMPARE(items->status(id), LoginItemStatus::enabled);
    }

    void unregisterLaterAnswersOnALaterTurn()
    {
        installAgent();
        QCOMPARE(items->registerItem(id), std::nullopt);
        bool done = false;
        items->unregisterLater(id, [&](const LoginItems::Failure& failure) {
            QVERIFY(!failure);
            done = true;
        });
        QVERIFY(!done);
        QTRY_VERIFY(done);
        QCOMPARE(items->status(id), LoginItemStatus::notRegistered);
    }
};

QTEST_GUILESS_MAIN(TestLoginItems)
#include "tst_login_items.moc"
