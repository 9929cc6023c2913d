#include "../library/library_fixture.h"

#include "core/record_json.h"
#include "menubar/ensemble_menu.h"
#include "menubar/ensemble_menu_model.h"
#include "menubar/menu_status.h"
#include "menubar/paneflow_menu.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using MenuStatusRow = MenuStatus;
Q_DECLARE_METATYPE(MenuStatusRow)

// The menu's data and content: which display it is about, what the header says, what a click
// on a tile or row does.
class TestEnsembleMenu : public QObject
{
    Q_OBJECT

    std::unique_ptr<LibraryFixture> fixture;
    Wallpaper dunes;
    Wallpaper lake;
    Ensemble first;
    Ensemble second;

    static QString text(const QUuid& id) { return id.toString(QUuid::WithoutBraces).toUpper(); }

    void writeLibrary()
    {
        dunes = fixture->wallpaper(QStringLiteral("Dunes"));
        lake = fixture->wallpaper(QStringLiteral("Lake"));
        first = Ensemble {QUuid::createUuid(), QStringLiteral("Morning"), dunes.id};
        second = Ensemble {QUuid::createUuid(), QStringLiteral("Evening"), lake.id};
        fixture->writeIndex({dunes, lake}, {first, second});
        fixture->prefs().set(QStringLiteral("currentEnsembleID"), text(first.id));
        fixture->prefs().set(QStringLiteral("currentID"), text(dunes.id));
    }

    static void click(EnsembleMenu& menu, EnsembleMenu::Hit hit)
    {
        const QRectF rect = menu.rectOf(hit);
        QVERIFY2(!rect.isEmpty(), "nothing to click there");
        QCOMPARE(menu.hitAt(rect.center()), hit);
        menu.click(rect.center());
    }

    EnsembleMenu::Hooks hooks(QList<QUuid>* chosen = nullptr)
    {
        EnsembleMenu::Hooks result;
        result.status = [] { return MenuStatus {true}; };
        if (chosen)
            result.choose = [chosen](const QUuid& id) { chosen->append(id); };
        return result;
    }

private slots:
    void init()
    {
        fixture = std::make_unique<LibraryFixture>();
        writeLibrary();
    }

    void cleanup() { fixture.reset(); }

    void statusText_data()
    {
        QTest::addColumn<MenuStatusRow>("row");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("attention");
        QTest::newRow("no wallpaper beats everything") << MenuStatusRow {false, true, QStringLiteral("Paused on battery"), true, false, false, true}
                                                       << QStringLiteral("No wallpaper yet") << false;
        QTest::newRow("paused by you beats the part's reason") << MenuStatusRow {true, true, QStringLiteral("Paused on battery"), true, false, false, true}
                                                               << QStringLiteral("Paused by you") << false;
        QTest::newRow("the part's own reason") << MenuStatusRow {true, false, QStringLiteral("Paused on battery"), true, false, false, true}
                                               << QStringLiteral("Paused on battery") << true;
        QTest::newRow("lock screen playing") << MenuStatusRow {true, false, std::nullopt, true, false, false, true}
                                             << QStringLiteral("Playing · desktop and lock screen") << false;
        QTest::newRow("lock screen taken") << MenuStatusRow {true, false, std::nullopt, true, true, false, true} << QStringLiteral("Playing") << false;
        QTest::newRow("lock screen failed") << MenuStatusRow {true, false, std::nullopt, true, false, true, true} << QStringLiteral("Playing") << false;
        QTest::newRow("store not set up") << MenuStatusRow {true, false, std::nullopt, true, false, false, false} << QStringLiteral("Playing") << false;
        QTest::newRow("lock screen off") << MenuStatusRow {true, false, std::nullopt, false, false, false, true} << QStringLiteral("Playing") << false;
    }

    void statusText()
    {
        QFETCH(MenuStatusRow, row);
        QFETCH(QString, expected);
        QFETCH(bool, attention);
        QCOMPARE(row.text(), expected);
        QCOMPARE(row.attention(), attention);
    }

    // The live-wallpaper part's settings tell the same status to the parts without the store.
    void statusFromSettings()
    {
        Defaults& prefs = fixture->prefs();
        prefs.set(LibrarySwitches::key(LibrarySwitch::lockScreenEnabled), false);
        QCOMPARE(MenuStatus::of(prefs, true).text(), QStringLiteral("Playing"));
        prefs.set(LibrarySwitches::key(LibrarySwitch::lockScreenEnabled), true);
        QCOMPARE(MenuStatus::of(prefs, true).text(), QStringLiteral("Playing · desktop and lock screen"));
        prefs.set(QStringLiteral("playbackStatus"), QStringLiteral("Paused while hot"));
        QCOMPARE(MenuStatus::of(prefs, true).text(), QStringLiteral("Paused while hot"));
        QVERIFY(MenuStatus::of(prefs, true).attention());
        prefs.set(LibrarySwitches::key(LibrarySwitch::userPaused), true);
        QCOMPARE(MenuStatus::of(prefs, true).text(), QStringLiteral("Paused by you"));
        prefs.set(QStringLiteral("currentID"), QStringLiteral("not a uuid"));
        QCOMPARE(MenuStatus::of(prefs, true).text(), QStringLiteral("No wallpaper yet"));
    }

    void secondaryHeader_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("onMain");
        QTest::addColumn<bool>("followsMain");
        QTest::addColumn<QString>("expected");
        const QString both = QStringLiteral("Playing · desktop and lock screen");
        QTest::newRow("main display") << both << true << false << both;
        QTest::newRow("follows main") << both << false << true << QStringLiteral("Playing · same as main display");
        QTest::newRow("its own") << both << false << false << QStringLiteral("Playing · wallpaper and bar");
        QTest::newRow("no separator") << QStringLiteral("Paused by you") << false << true << QStringLiteral("Paused by you · same as main display");
        QTest::newRow("cut at the first") << QStringLiteral("A · B · C") << false << false << QStringLiteral("A · wallpaper and bar");
    }

    void secondaryHeader()
    {
        QFETCH(QString, status);
        QFETCH(bool, onMain);
        QFETCH(bool, followsMain);
        QFETCH(QString, expected);
        QCOMPARE(MenuStatus::forDisplay(status, onMain, followsMain), expected);
    }

    // opened(on:) makes the menu about a display only when that display has its own ensemble.
    void openedOn()
    {
        EnsembleMenuModel model;
        QCOMPARE(model.ensembles().size(), 2);
        QCOMPARE(model.currentID(), std::optional<QUuid>(first.id));
        QVERIFY(model.onMain());
        QCOMPARE(model.inUseID(), std::optional<QUuid>(first.id));

        model.opened(fixture->sideScreen);
        QCOMPARE(model.displayID(), std::nullopt);
        QVERIFY(model.onMain());

        DisplayEnsembles::save({{*fixture->sideScreen.displayUUID, second.id}});
        QTRY_COMPARE(model.displayEnsembles().value(*fixture->sideScreen.displayUUID), second.id);
        model.opened(fixture->sideScreen);
        QCOMPARE(model.displayID(), std::optional<quint32>(fixture->sideScreen.displayID));
        QVERIFY(!model.onMain());
        QVERIFY(!model.followsMain());
        QCOMPARE(model.inUseID(), std::optional<QUuid>(second.id));
        QCOMPARE(model.shown()->name, QStringLiteral("Evening"));
        QCOMPARE(model.current()->name, QStringLiteral("Morning"));

        // The main display never counts as having its own, whatever the map says.
        DisplayEnsembles::save({{*fixture->mainScreen.displayUUID, second.id}, {*fixture->sideScreen.displayUUID, second.id}});
        QTRY_COMPARE(model.displayEnsembles().size(), 2);
        model.opened(fixture->mainScreen);
        QCOMPARE(model.displayID(), std::nullopt);
        QCOMPARE(model.inUseID(), std::optional<QUuid>(first.id));

        QCOMPARE(EnsembleMenuModel::name(ScreenInfo {7, std::nullopt, QStringLiteral("eDP-1"), {}, true}), QStringLiteral("Built-in Display"));
        QCOMPARE(EnsembleMenuModel::name(ScreenInfo {7, std::nullopt, QStringLiteral("HDMI-1"), {}, false, QStringLiteral("DELL U2720Q")}),
                 QStringLiteral("DELL U2720Q"));
        QCOMPARE(EnsembleMenuModel::name(ScreenInfo {7, std::nullopt, QStringLiteral("HDMI-1")}), QStringLiteral("HDMI-1"));
    }

    // One display: no display switch, no "Same as main"; a tile makes its ensemble current.
    void oneDisplay()
    {
        Screens::setOverride(QList<ScreenInfo> {fixture->mainScreen});
        EnsembleMenuModel model;
        QList<QUuid> chosen;
        EnsembleMenu menu(model, hooks(&chosen));
        QVERIFY(!menu.showsDisplaySwitch());
        QVERIFY(!menu.showsSameAsMain());
        QVERIFY(menu.rectOf({EnsembleMenu::Target::display, 0}).isEmpty());
        QCOMPARE(menu.headerName(), QStringLiteral("Morning"));
        QCOMPARE(menu.headerStatus(), QStringLiteral("Playing"));
        click(menu, {EnsembleMenu::Target::tile, 1});
        QCOMPARE(chosen, QList<QUuid> {second.id});
    }

    // On the second display the menu follows the main one until a tile gives it its own.
    void secondDisplay()
    {
        EnsembleMenuModel model;
        QList<QUuid> chosen;
        auto hooked = hooks(&chosen);
        hooked.status = [] { return MenuStatus {true, false, std::nullopt, true, false, false, true}; };
        EnsembleMenu menu(model, hooked);
        QVERIFY(menu.showsDisplaySwitch());
        QVERIFY(!menu.showsSameAsMain());
        QCOMPARE(menu.headerStatus(), QStringLiteral("Playing · desktop and lock screen"));

        click(menu, {EnsembleMenu::Target::display, 1});
        QCOMPARE(model.displayID(), std::optional<quint32>(fixture->sideScreen.displayID));
        QVERIFY(menu.showsSameAsMain());
        QVERIFY(model.followsMain());
        QCOMPARE(menu.headerName(), QStringLiteral("Morning"));
        QCOMPARE(menu.headerStatus(), QStringLiteral("Playing · same as main display"));

        click(menu, {EnsembleMenu::Target::tile, 1});
        QVERIFY(chosen.isEmpty()); // the main display's ensemble stays
        QCOMPARE(DisplayEnsembles::saved().value(*fixture->sideScreen.displayUUID), second.id);
        QCOMPARE(menu.headerName(), QStringLiteral("Evening"));
        QCOMPARE(menu.headerStatus(), QStringLiteral("Playing · wallpaper and bar"));

        click(menu, {EnsembleMenu::Target::sameAsMain, -1});
        QVERIFY(DisplayEnsembles::saved().isEmpty());
        QVERIFY(model.followsMain());
        QCOMPARE(menu.headerName(), QStringLiteral("Morning"));

        click(menu, {EnsembleMenu::Target::display, 0});
        QVERIFY(model.onMain());
        QVERIFY(!menu.showsSameAsMain());
    }

    // A damaged or missing list: an empty grid and "No ensemble chosen", and clicks find nothing.
    void damagedList_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not json") << QByteArray("{{{");
        QTest::newRow("an object") << QByteArray("{\"name\": 1}");
        QTest::newRow("one bad entry") << QByteArray("[{\"id\": \"x\"}]");
        QTest::newRow("missing") << QByteArray();
    }

    void damagedList()
    {
        QFETCH(QByteArray, bytes);
        QFile::remove(fixture->where.ensemblesFile());
        if (!bytes.isEmpty())
            LibraryFixture::touch(fixture->where.ensemblesFile(), bytes);
        Screens::setOverride(QList<ScreenInfo> {fixture->mainScreen});
        EnsembleMenuModel model;
        EnsembleMenu menu(model, hooks());
        QVERIFY(model.ensembles().isEmpty());
        QCOMPARE(menu.headerName(), QStringLiteral("No ensemble chosen"));
        QVERIFY(menu.rectOf({EnsembleMenu::Target::tile, 0}).isEmpty());
        // It still draws, rows included.
        QImage canvas(menu.size().toSize(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&canvas);
        menu.paint(painter);
        QVERIFY(!menu.rectOf({EnsembleMenu::Target::quit, -1}).isEmpty());
    }

    // The live-wallpaper menu: the pause row follows the store and needs a current wallpaper.
    void pauseRow()
    {
        const auto store = fixture->open();
        EnsembleMenuModel model;
        QList<QUuid> chosen;
        const auto menu = PaneflowMenu::make(model, *store, [&chosen](const QUuid& id) { chosen.append(id); }, {}, [] { return false; });
        QCOMPARE(menu->extraTitle(), std::optional<QString>(QStringLiteral("Pause wallpaper")));
        QCOMPARE(menu->headerStatus(), QStringLiteral("Playing"));
        click(*menu, {EnsembleMenu::Target::extra, -1});
        QVERIFY(store->switches().on(LibrarySwitch::userPaused));
        QCOMPARE(menu->extraTitle(), std::optional<QString>(QStringLiteral("Play wallpaper")));
        QCOMPARE(menu->headerStatus(), QStringLiteral("Paused by you"));
        QVERIFY(!menu->attention());
        click(*menu, {EnsembleMenu::Target::extra, -1});
        QVERIFY(!store->switches().on(LibrarySwitch::userPaused));

        store->switches().setPlaybackStatus(QStringLiteral("Paused on battery"));
        QCOMPARE(menu->headerStatus(), QStringLiteral("Paused on battery"));
        QVERIFY(menu->attention());

        store->setCurrentID(std::nullopt);
        QCOMPARE(menu->headerStatus(), QStringLiteral("No wallpaper yet"));
        click(*menu, {EnsembleMenu::Target::extra, -1});
        QVERIFY(!store->switches().on(LibrarySwitch::userPaused)); // disabled without a wallpaper
    }

    // The first and last rows, by click and by their shortcuts.
    void rowsAndShortcuts()
    {
        int opened = 0, feedback = 0, quits = 0;
        auto hooked = hooks();
        hooked.actions = {[&] { ++opened; }, [&] { ++feedback; }, [&] { ++quits; }};
        EnsembleMenuModel model;
        EnsembleMenu menu(model, hooked);
        click(menu, {EnsembleMenu::Target::open, -1});
        click(menu, {EnsembleMenu::Target::feedback, -1});
        click(menu, {EnsembleMenu::Target::quit, -1});
        QCOMPARE((QList<int> {opened, feedback, quits}), (QList<int> {1, 1, 1}));
        QVERIFY(menu.shortcut(EnsembleMenu::openKeys()));
        QVERIFY(menu.shortcut(EnsembleMenu::quitKeys()));
        QVERIFY(!menu.shortcut(QKeyCombination(Qt::ControlModifier, Qt::Key_W)));
        QCOMPARE((QList<int> {opened, feedback, quits}), (QList<int> {2, 1, 2}));
    }

    // Many ensembles scroll; choosing a display scrolls to the ensemble it uses.
    void gridScrollsToTheDisplaysEnsemble()
    {
        QList<Ensemble> many;
        for (int i = 0; i < 20; ++i)
            many.append(Ensemble {QUuid::createUuid(), QStringLiteral("E%1").arg(i), dunes.id});
        fixture->writeIndex({dunes, lake}, many);
        DisplayEnsembles::save({{*fixture->sideScreen.displayUUID, many.last().id}});
        EnsembleMenuModel model;
        QTRY_COMPARE(model.displayEnsembles().size(), 1);
        EnsembleMenu menu(model, hooks());
        QCOMPARE(menu.gridOffset(), 0.0);
        QVERIFY(menu.rectOf({EnsembleMenu::Target::tile, 19}).isEmpty()); // below the visible rows
        click(menu, {EnsembleMenu::Target::display, 1});
        QVERIFY(menu.gridOffset() > 0);
        QVERIFY(!menu.rectOf({EnsembleMenu::Target::tile, 19}).isEmpty());
        menu.scroll(10000);
        QCOMPARE(menu.gridOffset(), 0.0);
    }
};

QTEST_MAIN(TestEnsembleMenu)
#include "tst_ensemble_menu.moc"
