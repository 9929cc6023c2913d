#include "app/navigation.h"

#include <QSignalSpy>
#include <QTest>

class TestNavigation : public QObject
{
    Q_OBJECT
private slots:
    void goChangesPageOnce()
    {
        Navigation nav;
        QCOMPARE(nav.page(), Page::looks);
        QSignalSpy pages(&nav, &Navigation::pageChanged);
        QSignalSpy reselects(&nav, &Navigation::reselectedChanged);
        nav.go(Page::settings);
        QCOMPARE(nav.page(), Page::settings);
        QCOMPARE(pages.count(), 1);
        QCOMPARE(nav.reselected(), 0);
        QCOMPARE(reselects.count(), 0);
    }

    void goToTheShownPageReselects()
    {
        Navigation nav;
        int guardAsked = 0;
        nav.setLeaveGuard([&](Page) { ++guardAsked; return false; });
        QSignalSpy pages(&nav, &Navigation::pageChanged);
        nav.go(Page::looks);
        nav.go(Page::looks);
        QCOMPARE(nav.reselected(), 2);
        QCOMPARE(pages.count(), 0);
        QCOMPARE(guardAsked, 0); // staying on the page needs no leave
    }

    void leaveGuardDecides()
    {
        Navigation nav;
        nav.setPage(Page::vizavedid);
        QList<Page> asked;
        bool allow = false;
        nav.setLeaveGuard([&](Page target) { asked << target; return allow; });
        nav.go(Page::taskbar);
        QCOMPARE(nav.page(), Page::vizavedid);
        allow = true;
        nav.go(Page::settings);
        QCOMPARE(nav.page(), Page::settings);
        QCOMPARE(asked, (QList<Page>{Page::taskbar, Page::settings}));
        nav.clearLeaveGuard();
        nav.go(Page::looks);
        QCOMPARE(nav.page(), Page::looks);
        QCOMPARE(asked.size(), 2);
    }

    void flagsAnnounceOnlyChanges()
    {
        Navigation nav;
        QSignalSpy sheets(&nav, &Navigation::sheetsChanged);
        nav.setShowUninstall(true);
        nav.setShowUninstall(true);
        nav.setShowSetup(false);
        QCOMPARE(sheets.count(), 1);
        QSignalSpy wallpapers(&nav, &Navigation::openWallpaperChanged);
        const QUuid id = QUuid::createUuid();
        nav.setOpenWallpaper(id);
        nav.setOpenWallpaper(id);
        nav.setOpenWallpaper(std::nullopt);
        QCOMPARE(wallpapers.count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestNavigation)
#include "tst_navigation.moc"
