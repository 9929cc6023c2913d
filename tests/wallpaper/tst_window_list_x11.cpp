#include "platform/window_list.h"
#include "wallpaper/pause_rules.h"
#include "xvfb_server.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

// The X11 window list against a real X server (Xvfb) with windows made by the test.
class TestWindowListX11 : public QObject
{
    Q_OBJECT

    XvfbServer server;
    xcb_connection_t* conn = nullptr;
    xcb_screen_t* screen = nullptr;

    xcb_atom_t atom(const char* name)
    {
        auto* reply = xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return a;
    }

    void setCardinal(xcb_window_t w, const char* name, uint32_t value)
    {
        xcb_change_property(conn, XCB_PROP_MODE_REPLACE, w, atom(name), XCB_ATOM_CARDINAL, 32, 1, &value);
    }

    void setAtom(xcb_window_t w, const char* name, const char* value)
    {
        const xcb_atom_t v = atom(value);
        xcb_change_property(conn, XCB_PROP_MODE_REPLACE, w, atom(name), XCB_ATOM_ATOM, 32, 1, &v);
    }

    xcb_window_t window(int16_t x, int16_t y, uint16_t w, uint16_t h, uint32_t pid, bool map = true)
    {
        const xcb_window_t id = xcb_generate_id(conn);
        xcb_create_window(conn, XCB_COPY_FROM_PARENT, id, screen->root, x, y, w, h, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          screen->root_visual, 0, nullptr);
        setCardinal(id, "_NET_WM_PID", pid);
        if (map)
            xcb_map_window(conn, id);
        return id;
    }

private slots:
    void initTestCase()
    {
        if (!XvfbServer::installed())
            QSKIP("Xvfb is not installed");
        QVERIFY(server.start(QSize(1280, 800)));
        qputenv("DISPLAY", server.display());
        qunsetenv("WAYLAND_DISPLAY");
        conn = xcb_connect(nullptr, nullptr);
        QVERIFY(!xcb_connection_has_error(conn));
        screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
    }

    void cleanupTestCase()
    {
        if (conn)
            xcb_disconnect(conn);
        server.stop();
    }

    void listsWindowsAndDisplays()
    {
        const uint32_t own = uint32_t(QCoreApplication::applicationPid());
        const uint32_t other = 999999;
        window(0, 0, 1280, 800, other);                                       // full screen, another app
        window(10, 20, 100, 50, own);                                         // ours
        setAtom(window(0, 760, 1280, 40, other), "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DOCK");
        setCardinal(window(5, 5, 30, 30, other), "_NET_WM_WINDOW_OPACITY", 0); // invisible
        window(0, 0, 1280, 800, other, false);                                // never mapped
        setAtom(window(0, 0, 1280, 800, other), "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DESKTOP");
        free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr)); // a round trip: all of it applied

        auto list = WindowList::makeSystem();
        const QList<WindowInfo> windows = list->onScreenWindows();
        QCOMPARE(windows.size(), 4); // unmapped and desktop windows left out
        // Front to back: the last mapped comes first.
        QCOMPARE(windows[0].alpha, 0.0);
        QCOMPARE(windows[1].layer, int(WindowLayer::dock));
        QCOMPARE(windows[1].bounds, std::optional<QRectF>(QRectF(0, 760, 1280, 40)));
        QCOMPARE(windows[2].ownerPid, QCoreApplication::applicationPid());
        QCOMPARE(windows[2].bounds, std::optional<QRectF>(QRectF(10, 20, 100, 50)));
        QCOMPARE(windows[3].ownerPid, qint64(999999));
        QCOMPARE(windows[3].layer, int(WindowLayer::normal));
        QCOMPARE(windows[3].alpha, 1.0);

        const QList<DisplayArea> displays = list->displays();
        QCOMPARE(displays.size(), 1);
        QCOMPARE(displays[0].bounds, QRectF(0, 0, 1280, 800));
        QCOMPARE(PauseRules::coveredDisplays(windows, displays, QCoreApplication::applicationPid()),
                 QSet<quint32>({displays[0].id}));

        // Activation and workspace switches arrive as root-window property changes.
        QSignalSpy activated(list.get(), &WindowList::appActivated);
        QSignalSpy switched(list.get(), &WindowList::spaceChanged);
        setCardinal(screen->root, "_NET_CURRENT_DESKTOP", 1);
        xcb_window_t active = 0;
        xcb_change_property(conn, XCB_PROP_MODE_REPLACE, screen->root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 1,
                            &active);
        xcb_flush(conn);
        QTRY_COMPARE(activated.count(), 1);
        QCOMPARE(switched.count(), 1);
    }

    void emptyWithoutAnXServer()
    {
        const QByteArray saved = qgetenv("DISPLAY");
        qputenv("DISPLAY", ":4099");
        auto list = WindowList::makeSystem();
        QVERIFY(list->onScreenWindows().isEmpty());
        QVERIFY(list->displays().isEmpty());
        qputenv("DISPLAY", saved);
        qputenv("WAYLAND_DISPLAY", "wayland-0");
        QVERIFY(WindowList::makeSystem()->onScreenWindows().isEmpty());
        qunsetenv("WAYLAND_DISPLAY");
    }
};

QTEST_GUILESS_MAIN(TestWindowListX11)
#include "tst_window_list_x11.moc"
