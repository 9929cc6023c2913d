#include "platform/desktop_layer.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QLoggingCategory>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

Q_LOGGING_CATEGORY(lcDesktopLayer, "zentrove.desktoplayer")

namespace {

// The EWMH hints of a desktop window, written through an xcb connection of its own: window
// managers read them when the window is first mapped, so they are set before it is shown.
class X11DesktopLayer final : public DesktopLayer
{
public:
    X11DesktopLayer()
    {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY"))
            return;
        m_conn = xcb_connect(nullptr, &m_screen);
        if (xcb_connection_has_error(m_conn)) {
            xcb_disconnect(m_conn);
            m_conn = nullptr;
        }
    }

    ~X11DesktopLayer() override
    {
        if (m_conn)
            xcb_disconnect(m_conn);
    }

    bool available() const override
    {
        // The windows' own ids must be X11 windows of the same server.
        return m_conn && QGuiApplication::platformName() == QLatin1String("xcb");
    }

    bool place(quintptr nativeWindow, Level level) override
    {
        if (!available() || nativeWindow == 0 || xcb_connection_has_error(m_conn))
            return false;
        const auto window = xcb_window_t(nativeWindow);
        const xcb_atom_t type = atom("_NET_WM_WINDOW_TYPE_DESKTOP");
        setAtoms(window, atom("_NET_WM_WINDOW_TYPE"), {type});
        setAtoms(window, atom("_NET_WM_STATE"),
                 {atom("_NET_WM_STATE_BELOW"), atom("_NET_WM_STATE_STICKY"), atom("_NET_WM_STATE_SKIP_PAGER"),
                  atom("_NET_WM_STATE_SKIP_TASKBAR")});
        // On every workspace.
        const uint32_t allDesktops = 0xFFFFFFFF;
        xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL, 32, 1,
                            &allDesktops);
        // Our own mark, so that windows of other processes find the wallpapers to stack over.
        const auto mark = uint32_t(level);
        xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, window, atom(levelProperty), XCB_ATOM_CARDINAL, 32, 1, &mark);
        // A round trip, so the hints are in place before the caller's own connection maps it.
        std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
        if (xcb_connection_has_error(m_conn)) {
            qCWarning(lcDesktopLayer).noquote() << "Paneflow: the X server connection broke while placing a desktop window";
            return false;
        }
        return true;
    }

    bool stack(quintptr nativeWindow, Level level) override
    {
        if (!available() || nativeWindow == 0 || xcb_connection_has_error(m_conn))
            return false;
        const auto window = xcb_window_t(nativeWindow);
        const xcb_window_t wallpaper = level == Level::overWallpaper ? topmostWallpaper(window) : xcb_window_t(XCB_NONE);
        if (wallpaper != XCB_NONE) {
            const uint32_t values[] = {wallpaper, XCB_STACK_MODE_ABOVE};
            xcb_configure_window(m_conn, window, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
        } else {
            const uint32_t values[] = {XCB_STACK_MODE_BELOW};
            xcb_configure_window(m_conn, window, XCB_CONFIG_WINDOW_STACK_MODE, values);
        }
        std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
        return !xcb_connection_has_error(m_conn);
    }

    bool composited() override
    {
        if (!m_conn || xcb_connection_has_error(m_conn))
            return false;
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(m_screen);
        auto* reply = xcb_get_selection_owner_reply(m_conn, xcb_get_selection_owner(m_conn, atom(name.constData())), nullptr);
        const bool owned = reply && reply->owner != XCB_NONE;
        std::free(reply);
        return owned;
    }

private:
    static constexpr const char* levelProperty = "_ZENTROVE_DESKTOP_LEVEL";

    // The highest wallpaper window among the root's children (any process's), or none.
    xcb_window_t topmostWallpaper(xcb_window_t except)
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        auto* tree = xcb_query_tree_reply(m_conn, xcb_query_tree(m_conn, root), nullptr);
        if (!tree)
            return XCB_NONE;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        const int count = xcb_query_tree_children_length(tree);
        const xcb_atom_t mark = atom(levelProperty);
        // Asked all at once, answered in one round trip; children come bottom to top.
        std::vector<xcb_get_property_cookie_t> cookies;
        cookies.reserve(size_t(count));
        for (int i = 0; i < count; ++i)
            cookies.push_back(xcb_get_property(m_conn, 0, children[i], mark, XCB_ATOM_CARDINAL, 0, 1));
        xcb_window_t found = XCB_NONE;
        for (int i = 0; i < count; ++i) {
            auto* reply = xcb_get_property_reply(m_conn, cookies[size_t(i)], nullptr);
            if (reply && children[i] != except && xcb_get_property_value_length(reply) == 4
                && *static_cast<const uint32_t*>(xcb_get_property_value(reply)) == uint32_t(Level::wallpaper))
                found = children[i];
            std::free(reply);
        }
        std::free(tree);
        return found;
    }

    xcb_atom_t atom(const char* name)
    {
        auto* reply = xcb_intern_atom_reply(m_conn, xcb_intern_atom(m_conn, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return value;
    }

    void setAtoms(xcb_window_t window, xcb_atom_t property, const std::vector<xcb_atom_t>& values)
    {
        xcb_change_property(m_conn, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32, uint32_t(values.size()),
                            values.data());
    }

    xcb_connection_t* m_conn = nullptr;
    int m_screen = 0;
};

} // namespace

DesktopLayer& DesktopLayer::system()
{
    static const std::unique_ptr<DesktopLayer> layer = makeSystem();
    return *layer;
}

std::unique_ptr<DesktopLayer> DesktopLayer::makeSystem()
{
    return std::make_unique<X11DesktopLayer>();
}
