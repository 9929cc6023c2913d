#include "../library/library_fixture.h"

#include "menubar/ensemble_menu.h"
#include "menubar/ensemble_menu_model.h"
#include "menubar/paneflow_menu.h"
#include "menubar/ui/menu_content_view.h"

#include <QApplication>
#include <QTest>

// The menu in the control app's preview window, clicked and typed at as a person would.
class TestMenuContentView : public QObject
{
    Q_OBJECT

private slots:
    void clicksAndKeys()
    {
        LibraryFixture fixture;
        Screens::setOverride(QList<ScreenInfo> {fixture.mainScreen});
        const Wallpaper dunes = fixture.wallpaper(QStringLiteral("Dunes"));
        const Ensemble morning {QUuid::createUuid(), QStringLiteral("Morning"), dunes.id};
        const Ensemble evening {QUuid::createUuid(), QStringLiteral("Evening"), dunes.id};
        fixture.writeIndex({dunes}, {morning, evening});
        const auto store = fixture.open();
        store->setCurrentEnsembleID(morning.id);

        int opened = 0;
        MenuActions actions {[&opened] { ++opened; }, {}, {}};
        LibraryStore* library = store.get();
        MenuContentView view(std::make_unique<EnsembleMenuModel>(), [&](EnsembleMenuModel& model) {
            return PaneflowMenu::make(model, *library, [library](const QUuid& id) { library->setCurrentEnsembleID(id); }, actions,
                                      [] { return false; });
        });
        view.resize(view.sizeHint());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.menu().headerName(), QStringLiteral("Morning"));

        // Where the menu draws a thing, in the view's coordinates.
        const auto at = [&view](EnsembleMenu::Hit hit) {
            const QRectF rect = view.menu().rectOf(hit);
            return (rect.center() + QPointF((view.width() - view.menu().size().width()) / 2, 16)).toPoint();
        };
        QTest::mouseClick(&view, Qt::LeftButton, {}, at({EnsembleMenu::Target::tile, 1}));
        QCOMPARE(store->currentEnsembleID(), std::optional<QUuid>(evening.id));
        QTRY_COMPARE(view.menu().headerName(), QStringLiteral("Evening"));

        QTest::mouseClick(&view, Qt::LeftButton, {}, at({EnsembleMenu::Target::extra, -1}));
        QVERIFY(store->switches().on(LibrarySwitch::userPaused));
        QCOMPARE(view.menu().headerStatus(), QStringLiteral("Paused by you"));

        QTest::keyClick(&view, Qt::Key_Comma, Qt::ControlModifier);
        QCOMPARE(opened, 1);
        QTest::mouseClick(&view, Qt::LeftButton, {}, at({EnsembleMenu::Target::open, -1}));
        QCOMPARE(opened, 2);
    }
};

QTEST_MAIN(TestMenuContentView)
#include "tst_menu_content_view.moc"
