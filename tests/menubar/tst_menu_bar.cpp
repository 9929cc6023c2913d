#include "menu_fakes.h"

#include "../library/notice_log.h"
#include "core/zentrove.h"
#include "menubar/ensemble_menu.h"
#include "menubar/menu_bar_popover.h"
#include "menubar/paneflow_menu.h"
#include "menubar/zentrove_menu_bar.h"
#include "platform/defaults.h"
#include "platform/process_identity.h"
#include "test_support.h"

#include <QSignalSpy>
#include <QTest>

// The item's controller: who shows it, the setting, the icon, quitting everything.
class TestMenuBar : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    MenuWorkspace* workspace = nullptr;
    std::unique_ptr<MenuWorkspace> workspaceOwner;
    int quits = 0;

    std::unique_ptr<ZentroveMenuBar> makeBar()
    {
        return std::make_unique<ZentroveMenuBar>(
            [](ZentroveMenuBar& bar) { return PlainMenu::make(bar.model(), bar.actions(), [] { return false; }); }, *workspace,
            [this] { ++quits; });
    }

    static int alpha(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)); }

private slots:
    void initTestCase() { FakeStatusItem::install(); }

    void init()
    {
        home = std::make_unique<TestHome>();
        workspaceOwner = std::make_unique<MenuWorkspace>();
        workspace = workspaceOwner.get();
        quits = 0;
    }

    void cleanup()
    {
        Notifier::flush();
        NoticeLog::settle(50);
        workspaceOwner.reset();
        home.reset();
    }

    // Ring, dot and bars where the drawing puts them, at 1x and 2x; nothing outside the ring.
    void iconPixels()
    {
        const QImage playing = ZentroveMenuBar::icon(false, 1);
        const QImage paused = ZentroveMenuBar::icon(true, 1);
        QCOMPARE(playing.size(), QSize(18, 18));
        QCOMPARE(playing.devicePixelRatio(), 1.0);
        // The ring: 2.25 wide, from radius 4.75 to 7 around (9, 9).
        QCOMPARE(alpha(playing, 9, 3), 255);
        QCOMPARE(alpha(playing, 3, 8), 255);
        QCOMPARE(alpha(playing, 14, 9), 255);
        // Inside the ring's hole, away from dot and bars, and the corners outside it: clear.
        QCOMPARE(alpha(playing, 9, 5), 0);
        QCOMPARE(alpha(playing, 0, 0), 0);
        QCOMPARE(alpha(playing, 17, 17), 0);
        QCOMPARE(alpha(playing, 0, 9), 0);
        // The dot covers the centre; paused, the centre is the gap between the bars.
        QVERIFY(alpha(playing, 9, 9) > 200);
        QVERIFY(alpha(paused, 9, 9) < 80);
        QCOMPARE(alpha(paused, 7, 8), 255); // left bar, x 6.75..8.25
        QCOMPARE(alpha(paused, 10, 10), 255); // right bar, x 9.75..11.25
        QCOMPARE(alpha(paused, 7, 7), 255);
        QCOMPARE(alpha(playing, 7, 7), 0); // beside the dot
        QCOMPARE(alpha(paused, 7, 5), 0); // above the bars (they start at 6.5)

        const QImage playing2 = ZentroveMenuBar::icon(false, 2);
        const QImage paused2 = ZentroveMenuBar::icon(true, 2);
        QCOMPARE(playing2.size(), QSize(36, 36));
        QCOMPARE(playing2.devicePixelRatio(), 2.0);
        QCOMPARE(alpha(playing2, 18, 6), 255);   // ring at (9, 3) points
        QCOMPARE(alpha(playing2, 18, 10), 0);    // hole at (9, 5)
        QCOMPARE(alpha(playing2, 18, 18), 255);  // dot fully covers (9..9.5)
        QCOMPARE(alpha(paused2, 18, 18), 0);     // gap 8.25..9.75 between the bars
        QCOMPARE(alpha(paused2, 14, 16), 255);   // left bar at (7, 8)
        QCOMPARE(alpha(paused2, 20, 22), 255);   // right bar at (10, 11)
        QCOMPARE(alpha(paused2, 14, 24), 0);     // below the bars (they end at 11.5)

        QCOMPARE(ZentroveMenuBar::accessibleName(false), QStringLiteral("Zentrove"));
        QCOMPARE(ZentroveMenuBar::accessibleName(true), QStringLiteral("Zentrove, wallpaper paused"));
    }

    void settingFallsBack_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QVariant>("paneflowOld");
        QTest::addColumn<QVariant>("clockOld");
        QTest::addColumn<bool>("shown");
        const QVariant none;
        QTest::newRow("nothing stored") << none << none << none << true;
        QTest::newRow("stored off") << QVariant(false) << none << none << false;
        QTest::newRow("stored on beats old off") << QVariant(true) << QVariant(false) << QVariant(false) << true;
        QTest::newRow("both old keys off") << none << QVariant(false) << QVariant(false) << false;
        QTest::newRow("only paneflow off") << none << QVariant(false) << none << true;
        QTest::newRow("only clock off") << none << none << QVariant(false) << true;
        QTest::newRow("unreadable, both old off") << QVariant(QStringLiteral("yes")) << QVariant(false) << QVariant(false) << false;
        QTest::newRow("unreadable, old unreadable") << QVariant(qlonglong(0)) << QVariant(qlonglong(0)) << QVariant(false) << true;
    }

    void settingFallsBack()
    {
        QFETCH(QVariant, stored);
        QFETCH(QVariant, paneflowOld);
        QFETCH(QVariant, clockOld);
        QFETCH(bool, shown);
        Defaults::domain(Zentrove::bundleID()).setValue(ZentroveMenuBar::shownKey(), stored);
        Defaults::domain(Zentrove::paneflowID()).setValue(ZentroveMenuBar::olderKey(), paneflowOld);
        Defaults::domain(Zentrove::vizaVedidID()).setValue(ZentroveMenuBar::olderKey(), clockOld);
        QCOMPARE(ZentroveMenuBar::isShown(), shown);
    }

    // The first running part in order owns the item; this process counts as running.
    void ownership_data()
    {
        QTest::addColumn<QString>("me");
        QTest::addColumn<QStringList>("running");
        QTest::addColumn<bool>("shows");
        QTest::newRow("taskbar alone") << Zentrove::taskbarID() << QStringList {} << true;
        QTest::newRow("taskbar with paneflow") << Zentrove::taskbarID() << QStringList {Zentrove::paneflowID()} << false;
        QTest::newRow("clock before taskbar") << Zentrove::vizaVedidID() << QStringList {Zentrove::taskbarID()} << true;
        QTest::newRow("taskbar after clock") << Zentrove::taskbarID() << QStringList {Zentrove::vizaVedidID()} << false;
        QTest::newRow("paneflow first") << Zentrove::paneflowID() << QStringList {Zentrove::vizaVedidID(), Zentrove::taskbarID()} << true;
        QTest::newRow("control app alone") << Zentrove::bundleID() << QStringList {} << false;
        QTest::newRow("control app with a part") << Zentrove::bundleID() << QStringList {Zentrove::taskbarID()} << false;
    }

    void ownership()
    {
        QFETCH(QString, me);
        QFETCH(QStringList, running);
        QFETCH(bool, shows);
        ProcessIdentity::set(me);
        for (const QString& id : running)
            workspace->running.insert(id);
        const auto bar = makeBar();
        QCOMPARE(bar->item() != nullptr, shows);
        QCOMPARE(FakeStatusItem::live, shows ? 1 : 0);
    }

    // Parts starting and quitting move the item; the setting removes and brings it back.
    void handOverAndSetting()
    {
        ProcessIdentity::set(Zentrove::taskbarID());
        const auto bar = makeBar();
        QVERIFY(bar->item());
        workspace->run(Zentrove::paneflowID());
        QTRY_VERIFY(!bar->item());
        workspace->end(Zentrove::paneflowID());
        QTRY_VERIFY(bar->item());
        QCOMPARE(FakeStatusItem::live, 1);

        NoticeLog notices(ZentroveMenuBar::shownChanged());
        ZentroveMenuBar::setShown(false);
        QTRY_VERIFY(!bar->item());
        QCOMPARE(notices.objects, QStringList {QStringLiteral("0")});
        QVERIFY(!ZentroveMenuBar::isShown());
        // Running changes do not bring it back while the setting is off.
        workspace->run(Zentrove::vizaVedidID());
        workspace->end(Zentrove::vizaVedidID());
        NoticeLog::settle(50);
        QVERIFY(!bar->item());
        ZentroveMenuBar::setShown(true);
        QTRY_VERIFY(bar->item());
        QCOMPARE(notices.objects, (QStringList {QStringLiteral("0"), QStringLiteral("1")}));
        // Any object other than "1" means hidden.
        Notifier::post(ZentroveMenuBar::shownChanged(), QStringLiteral("yes"));
        QTRY_VERIFY(!bar->item());
    }

    // The icon follows the pause, but not while the popover is open.
    void iconWaitsForTheClosedPopover()
    {
        ProcessIdentity::set(Zentrove::paneflowID());
        const auto bar = makeBar();
        FakeStatusItem* item = FakeStatusItem::last;
        QVERIFY(item);
        QCOMPARE(item->masks.size(), 2);
        QCOMPARE(item->masks[1].size(), QSize(36, 36));
        QCOMPARE(item->name, QStringLiteral("Zentrove"));
        bar->setPaused(true);
        QCOMPARE(item->name, QStringLiteral("Zentrove, wallpaper paused"));
        QCOMPARE(item->masks[0], ZentroveMenuBar::icon(true, 1));

        item->click();
        QVERIFY(bar->item()->isOpen());
        bar->setPaused(false);
        QVERIFY(bar->item()->hasPendingImage());
        QCOMPARE(item->name, QStringLiteral("Zentrove, wallpaper paused"));
        item->click();
        QVERIFY(!bar->item()->isOpen());
        QCOMPARE(item->name, QStringLiteral("Zentrove"));
        QCOMPARE(item->masks[0], ZentroveMenuBar::icon(false, 1));
    }

    // Quit asks every other part to end, then this process; the control app is not asked.
    void quitEndsEveryPart()
    {
        ProcessIdentity::set(Zentrove::vizaVedidID());
        workspace->running = {Zentrove::paneflowID(), Zentrove::taskbarID(), Zentrove::bundleID()};
        ZentroveMenuBar::quitZentrove(*workspace, [this] { ++quits; });
        QCOMPARE(workspace->terminated, (QStringList {Zentrove::paneflowID(), Zentrove::taskbarID()}));
        QCOMPARE(quits, 1);
        QVERIFY(workspace->running.contains(Zentrove::bundleID()));
    }
};

QTEST_MAIN(TestMenuBar)
#include "tst_menu_bar.moc"
