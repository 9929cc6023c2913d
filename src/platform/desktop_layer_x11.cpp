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
        m_conn = xcb_connect(nullptr, nullptr);
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

    bool place(quintptr nativeWindow) override
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
        // A round trip, so the hints are in place before the caller's own connection maps it.
        std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
        if (xcb_connection_has_error(m_conn)) {
            qCWarning(lcDesktopLayer).noquote() << "Paneflow: the X server connection broke while placing a desktop window";
            return false;
        }
        return true;
    }

private:
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
