#include "../wallpaper/xvfb_test_main.h"
#include "cpu_time.h"

#include "clock/clock_view.h"
#include "clock/desktop_clock.h"
#include "clock/desktop_clock_window.h"
#include "clock/style_store.h"
#include "core/zentrove.h"
#include "platform/defaults.h"
#include "platform/desktop_window.h"
#include "platform/screen_areas.h"
#include "platform/screens.h"
#include "test_support.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QTest>


namespace {

XvfbServer server;

const ScreenInfo mainScreen {1, QStringLiteral("11111111-1111-1111-1111-111111111111"), QStringLiteral("main")};
const ScreenInfo sideScreen {2, QStringLiteral("22222222-2222-2222-2222-222222222222"), QStringLiteral("side")};
const QRect mainArea(0, 0, 800, 500);
const QRect sideArea(800, 60, 600, 440);
constexpr quint32 blue = 0x0000FF;

// A stand-in for the video: one colour filling a display from the bottom of the desktop layer.
class Backdrop : public DesktopWindow
{
public:
    Backdrop(const QRect& area)
        : DesktopWindow(DesktopLayer::system(), DesktopLayer::Level::wallpaper, area)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(QRect(QPoint(), size()), QColor::fromRgb(blue)); }
};

// An ordinary application window.
class Ordinary : public QRasterWindow
{
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(QRect(QPoint(), size()), QColor(0, 255, 0)); }
};

// The root's children from the bottom of the stack to the top, as the server has them.
QList<quint32> stackingOrder()
{
    QList<quint32> order;
    xcb_connection_t* conn = xcb_connect(server.display().constData(), nullptr);
    if (!xcb_connection_has_error(conn)) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
        if (auto* tree = xcb_query_tree_reply(conn, xcb_query_tree(conn, root), nullptr)) {
            const xcb_window_t* children = xcb_query_tree_children(tree);
            for (int i = 0; i < xcb_query_tree_children_length(tree); ++i)
                order.append(children[i]);
            std::free(tree);
        }
    }
    xcb_disconnect(conn);
    return order;
}

} // namespace

// The clock on a real X server's desktop: a see-through window per display over the wallpaper and
// under ordinary windows, where the layout puts it, following the setting and the displays.
class TestDesktopClock : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    std::unique_ptr<StyleStore> store;

    void setDisplays(const QList<std::pair<ScreenInfo, QRect>>& displays)
    {
        QList<ScreenInfo> screens;
        QHash<quint32, QRect> areas;
        for (const auto& [screen, area] : displays) {
            screens.append(screen);
            areas.insert(screen.displayID, area);
        }
        ScreenAreas::setOverride(areas);
        Screens::setOverride(screens);
    }

    // Pixels in `area` that are not the backdrop's blue (the clock's ink), every other pixel.
    int ink(const QRect& area)
    {
        const QByteArray data = server.pixels(area);
        int count = 0;
        for (qsizetype i = 0; i + 3 < data.size(); i += 8) {
            const quint32 rgb = quint32(quint8(data[i + 2])) << 16 | quint32(quint8(data[i + 1])) << 8 | quint8(data[i]);
            count += rgb != blue;
        }
        return count;
    }

    QRect placed(const QWindow* window) { return server.placement(window->winId()).rect; }

private slots:
    void initTestCase()
    {
        if (!server.running())
            QSKIP("Xvfb is not installed");
        QVERIFY(DesktopLayer::system().available());
        // A fixed moment: the same digits on every run.
        ClockView::frozen() = QDateTime(QDate(2026, 3, 14), QTime(10, 8));
    }

    void init()
    {
        home = std::make_unique<TestHome>();
        store = std::make_unique<StyleStore>(Defaults::domain(Zentrove::vizaVedidID()));
        ClockStyle style = store->style();
        style.position = ScreenPosition::bottomRight;
        style.showSeconds = false;
        store->setStyle(style);
        store->setShowOnDesktop(true);
        setDisplays({{mainScreen, mainArea}, {sideScreen, sideArea}});
    }

    void cleanup()
    {
        store.reset();
        home.reset();
        Screens::setOverride(std::nullopt);
        ScreenAreas::setOverride(std::nullopt);
    }

    void drawsOverTheWallpaperUnderOtherWindows()
    {
        Backdrop mainVideo(mainArea), sideVideo(sideArea);
        QTRY_COMPARE(server.pixel(mainArea.topLeft()), blue);
        QTRY_COMPARE(server.pixel(sideArea.topLeft()), blue);
        DesktopClock clock(*store, DesktopLayer::system());
        QCOMPARE(clock.windows().size(), 2);
        for (const auto& [id, area] : {std::pair {mainScreen.displayID, mainArea}, std::pair {sideScreen.displayID, sideArea}}) {
            const DesktopClockWindow* window = clock.window(id);
            QVERIFY(window);
            const quintptr native = window->winId();
            QTRY_VERIFY(server.placement(native).viewable);
            QVERIFY(server.property(native, "_NET_WM_WINDOW_TYPE").endsWith("_NET_WM_WINDOW_TYPE_DESKTOP"));
            const QString state = server.property(native, "_NET_WM_STATE");
            for (const char* wanted : {"_NET_WM_STATE_BELOW", "_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_SKIP_TASKBAR"})
                QVERIFY2(state.contains(QLatin1String(wanted)), qPrintable(state));
            QVERIFY(server.property(native, "WM_HINTS").contains("input or input focus: False"));

            // Bottom right of its own display, inside it, only as big as the clock.
            QTRY_COMPARE(placed(window), window->geometry());
            const QRect rect = placed(window);
            QVERIFY2(area.contains(rect), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height())));
            QVERIFY2(rect.right() > area.right() - 100 && rect.bottom() > area.bottom() - 100 && rect.left() > area.left() + 20, qPrintable(QStringLiteral("%1,%2 %3x%4 in %5,%6 %7x%8").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height()).arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height())));
            QVERIFY(rect.height() < area.height() * 2 / 3);

            // The clock's pixels show over the video; the rest of the display is the video's.
            QTRY_VERIFY2(ink(rect) > 200, qPrintable(QString::number(ink(rect))));
            QCOMPARE(ink(QRect(area.topLeft(), QSize(area.width(), rect.top() - area.top()))), 0);
            QCOMPARE(ink(QRect(area.topLeft(), QSize(rect.left() - area.left(), area.height()))), 0);
        }
        // Stacked: the videos, then the clocks, then everything else.
        Ordinary other;
        other.setGeometry(placed(clock.window(mainScreen.displayID)));
        other.show();
        QTRY_VERIFY(server.placement(other.winId()).viewable);
        const QList<quint32> order = stackingOrder();
        const auto at = [&](const QWindow& window) { return order.indexOf(quint32(window.winId())); };
        QVERIFY(at(mainVideo) >= 0 && at(sideVideo) >= 0);
        for (const DesktopClockWindow* window : clock.windows()) {
            QVERIFY(at(*window) > at(mainVideo) && at(*window) > at(sideVideo));
            QVERIFY(at(*window) < at(other));
        }
        const QRect rect = placed(clock.window(mainScreen.displayID));
        QTRY_COMPARE(server.pixel(rect.center()), quint32(0x00FF00));
    }

    void staysOverAWallpaperThatComesLater()
    {
        // The player may start after the clock, or put up a window for a new display.
        DesktopClock clock(*store, DesktopLayer::system());
        QTRY_COMPARE(placed(clock.window(mainScreen.displayID)), clock.window(mainScreen.displayID)->geometry());
        const QRect rect = placed(clock.window(mainScreen.displayID));
        Backdrop lateVideo(mainArea);
        QTRY_VERIFY(server.placement(lateVideo.winId()).viewable);
        QTRY_VERIFY(ink(mainArea) > 0);
        QTRY_VERIFY(ink(rect) > 200);
        const QList<quint32> order = stackingOrder();
        QVERIFY(order.indexOf(quint32(lateVideo.winId())) < order.indexOf(quint32(clock.window(mainScreen.displayID)->winId())));
    }

    void followsTheSettingAndTheDisplays()
    {
        Backdrop mainVideo(mainArea), sideVideo(sideArea);
        DesktopClock clock(*store, DesktopLayer::system());
        QTRY_VERIFY(ink(sideArea) > 200);

        // Turned off: the windows go and the video shows alone; nothing ticks any more.
        store->setShowOnDesktop(false);
        QTRY_COMPARE(clock.windows().size(), 0);
        QVERIFY(!clock.ticking());
        QTRY_COMPARE(ink(mainArea), 0);
        QCOMPARE(ink(sideArea), 0);

        // On again; then the side display goes and comes back elsewhere.
        store->setShowOnDesktop(true);
        QTRY_COMPARE(clock.windows().size(), 2);
        QTRY_VERIFY(ink(mainArea) > 200);
        QTRY_COMPARE(placed(clock.window(sideScreen.displayID)), clock.window(sideScreen.displayID)->geometry());
        const QRect before = placed(clock.window(sideScreen.displayID));
        setDisplays({{mainScreen, mainArea}});
        QTRY_COMPARE(clock.windows().size(), 1);
        QTRY_COMPARE(ink(sideArea), 0);
        const QRect moved(800, 0, 600, 480);
        setDisplays({{mainScreen, mainArea}, {sideScreen, moved}});
        QTRY_COMPARE(clock.windows().size(), 2);
        // Same right edge, bottom edge 20 points higher: the clock keeps its margins from them.
        QTRY_COMPARE(placed(clock.window(sideScreen.displayID)).topLeft(), before.topLeft() - QPoint(0, 20));

        // A new style moves the clock: top left now.
        ClockStyle style = store->style();
        style.position = ScreenPosition::topLeft;
        store->setStyle(style);
        QTRY_VERIFY(placed(clock.window(mainScreen.displayID)).center().x() < mainArea.center().x());
        QVERIFY(placed(clock.window(mainScreen.displayID)).center().y() < mainArea.center().y());
    }

    void redrawsOnTheMinuteOrTheSecond()
    {
        ClockView::frozen().reset();
        DesktopClock clock(*store, DesktopLayer::system());
        const DesktopClockWindow* window = clock.window(mainScreen.displayID);
        // Without seconds, a second and a half passes with at most one redraw (a minute may turn).
        qint64 shown = window->shownCount();
        QTest::qWait(1500);
        QVERIFY(window->shownCount() - shown <= 1);

        ClockStyle style = store->style();
        style.showSeconds = true;
        store->setStyle(style);
        shown = window->shownCount();
        const double cpu = cpuSeconds();
        QTest::qWait(3200);
        const qint64 redraws = window->shownCount() - shown;
        QVERIFY2(redraws >= 3 && redraws <= 5, qPrintable(QString::number(redraws)));
        qInfo("%lld redraws of two displays in 3.2 s took %.0f ms of CPU", redraws, (cpuSeconds() - cpu) * 1000);
        ClockView::frozen() = QDateTime(QDate(2026, 3, 14), QTime(10, 8));
    }
};

int main(int argc, char* argv[])
{
    return runOnXvfb<TestDesktopClock>(server, QSize(1400, 500), argc, argv);
}

#include "tst_desktop_clock.moc"
