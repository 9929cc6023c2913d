#include "platform/window_list.h"

#include <QByteArray>
#include <QHash>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

Q_LOGGING_CATEGORY(lcWindowList, "zentrove.windowlist")

namespace {

template<typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template<typename T>
Reply<T> own(T* reply)
{
    return Reply<T>(reply, &std::free);
}

// The window list of an X11 session, read through its own xcb connection.
class X11WindowList final : public WindowList
{
public:
    X11WindowList()
    {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return; // Wayland keeps other apps' windows to itself
        int screenNumber = 0;
        m_conn = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(m_conn)) {
            xcb_disconnect(m_conn);
            m_conn = nullptr;
            return;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_conn));
        for (int i = 0; i < screenNumber && it.rem; ++i)
            xcb_screen_next(&it);
        if (!it.rem) {
            xcb_disconnect(m_conn);
            m_conn = nullptr;
            return;
        }
        m_root = it.data->root;
        m_rootWidth = it.data->width_in_pixels;
        m_rootHeight = it.data->height_in_pixels;
        internAtoms();

        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_conn, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_conn);
        m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_conn), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { readEvents(); });
    }

    ~X11WindowList() override
    {
        delete m_notifier;
        if (m_conn)
            xcb_disconnect(m_conn);
    }

    QList<WindowInfo> onScreenWindows() override
    {
        if (!m_conn)
            return {};
        std::vector<xcb_window_t> windows = stackingOrder();
        struct Pending
        {
            xcb_window_t window;
            xcb_get_window_attributes_cookie_t attributes;
            xcb_get_geometry_cookie_t geometry;
            xcb_translate_coordinates_cookie_t origin;
            xcb_get_property_cookie_t type, state, pid, opacity;
        };
        std::vector<Pending> pending;
        pending.reserve(windows.size());
        // Ask for everything first, then read the answers: one round trip instead of one per window.
        for (auto w = windows.rbegin(); w != windows.rend(); ++w) {
            pending.push_back({*w, xcb_get_window_attributes(m_conn, *w), xcb_get_geometry(m_conn, *w),
                               xcb_translate_coordinates(m_conn, *w, m_root, 0, 0),
                               property(*w, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32),
                               property(*w, atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32),
                               property(*w, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 1),
                               property(*w, atom("_NET_WM_WINDOW_OPACITY"), XCB_ATOM_CARDINAL, 1)});
        }
        QList<WindowInfo> result;
        for (const Pending& p : pending) {
            auto attributes = own(xcb_get_window_attributes_reply(m_conn, p.attributes, nullptr));
            auto geometry = own(xcb_get_geometry_reply(m_conn, p.geometry, nullptr));
            auto origin = own(xcb_translate_coordinates_reply(m_conn, p.origin, nullptr));
            const std::vector<uint32_t> types = values(p.type);
            const std::vector<uint32_t> states = values(p.state);
            const std::vector<uint32_t> pid = values(p.pid);
            const std::vector<uint32_t> opacity = values(p.opacity);
            if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE
                || attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY)
                continue;
            if (contains(types, atom("_NET_WM_WINDOW_TYPE_DESKTOP")) || contains(states, atom("_NET_WM_STATE_HIDDEN")))
                continue;
            WindowInfo info;
            info.layer = layerOf(types, states, attributes->override_redirect);
            info.ownerPid = pid.empty() ? 0 : qint64(pid.front());
            info.alpha = opacity.empty() ? 1.0 : double(opacity.front()) / double(0xffffffffu);
            if (geometry && origin)
                info.bounds = QRectF(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
            result << info;
        }
        return result;
    }

    QList<DisplayArea> displays() override
    {
        if (!m_conn)
            return {};
        QList<DisplayArea> result;
        const xcb_query_extension_reply_t* randr = xcb_get_extension_data(m_conn, &xcb_randr_id);
        if (randr && randr->present) {
            auto version = own(xcb_randr_query_version_reply(m_conn, xcb_randr_query_version(m_conn, 1, 5), nullptr));
            if (version && (version->major_version > 1 || version->minor_version >= 5)) {
                auto monitors = own(xcb_randr_get_monitors_reply(m_conn, xcb_randr_get_monitors(m_conn, m_root, 1), nullptr));
                if (monitors) {
                    for (auto it = xcb_randr_get_monitors_monitors_iterator(monitors.get()); it.rem;
                         xcb_randr_monitor_info_next(&it)) {
                        const xcb_randr_monitor_info_t* m = it.data;
                        const int outputs = xcb_randr_monitor_info_outputs_length(m);
                        const quint32 id = outputs > 0 ? xcb_randr_monitor_info_outputs(m)[0] : m->name;
                        result << DisplayArea {id, QRectF(m->x, m->y, m->width, m->height)};
                    }
                }
            }
        }
        if (result.isEmpty())
            result << DisplayArea {1, QRectF(0, 0, m_rootWidth, m_rootHeight)};
        return result;
    }

private:
    void internAtoms()
    {
        static const char* const names[] = {
            "_NET_CLIENT_LIST_STACKING", "_NET_WM_PID", "_NET_WM_WINDOW_OPACITY", "_NET_WM_WINDOW_TYPE",
            "_NET_WM_WINDOW_TYPE_DESKTOP", "_NET_WM_WINDOW_TYPE_DOCK", "_NET_WM_WINDOW_TYPE_UTILITY",
            "_NET_WM_WINDOW_TYPE_TOOLBAR", "_NET_WM_WINDOW_TYPE_MENU", "_NET_WM_WINDOW_TYPE_NOTIFICATION",
            "_NET_WM_WINDOW_TYPE_TOOLTIP", "_NET_WM_WINDOW_TYPE_POPUP_MENU", "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU",
            "_NET_WM_WINDOW_TYPE_COMBO", "_NET_WM_WINDOW_TYPE_DND", "_NET_WM_STATE", "_NET_WM_STATE_ABOVE",
            "_NET_WM_STATE_BELOW", "_NET_WM_STATE_HIDDEN", "_NET_ACTIVE_WINDOW", "_NET_CURRENT_DESKTOP"};
        std::vector<xcb_intern_atom_cookie_t> cookies;
        for (const char* name : names)
            cookies.push_back(xcb_intern_atom(m_conn, 0, uint16_t(strlen(name)), name));
        for (size_t i = 0; i < cookies.size(); ++i) {
            auto reply = own(xcb_intern_atom_reply(m_conn, cookies[i], nullptr));
            m_atoms.insert(QByteArray(names[i]), reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE));
        }
    }

    xcb_atom_t atom(const char* name) const { return m_atoms.value(QByteArray(name), XCB_ATOM_NONE); }

    xcb_get_property_cookie_t property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type, uint32_t length)
    {
        // `length` is in 32-bit units; 1024 atoms of state or type is far more than any window has.
        return xcb_get_property(m_conn, 0, window, name, type, 0, length == 1 ? 1 : 1024);
    }

    std::vector<uint32_t> values(xcb_get_property_cookie_t cookie)
    {
        auto reply = own(xcb_get_property_reply(m_conn, cookie, nullptr));
        if (!reply || reply->format != 32)
            return {};
        const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / 4;
        return std::vector<uint32_t>(data, data + count);
    }

    static bool contains(const std::vector<uint32_t>& list, xcb_atom_t value)
    {
        return value != XCB_ATOM_NONE && std::find(list.begin(), list.end(), value) != list.end();
    }

    int layerOf(const std::vector<uint32_t>& types, const std::vector<uint32_t>& states, bool overrideRedirect) const
    {
        for (const char* popUp : {"_NET_WM_WINDOW_TYPE_NOTIFICATION", "_NET_WM_WINDOW_TYPE_TOOLTIP",
                                  "_NET_WM_WINDOW_TYPE_POPUP_MENU", "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU",
                                  "_NET_WM_WINDOW_TYPE_COMBO", "_NET_WM_WINDOW_TYPE_DND"}) {
            if (contains(types, atom(popUp)))
                return WindowLayer::popUp;
        }
        if (contains(types, atom("_NET_WM_WINDOW_TYPE_DOCK")))
            return WindowLayer::dock;
        if (overrideRedirect)
            return WindowLayer::popUp;
        for (const char* floating : {"_NET_WM_WINDOW_TYPE_UTILITY", "_NET_WM_WINDOW_TYPE_TOOLBAR", "_NET_WM_WINDOW_TYPE_MENU"}) {
            if (contains(types, atom(floating)))
                return WindowLayer::floating;
        }
        if (contains(states, atom("_NET_WM_STATE_ABOVE")))
            return WindowLayer::floating;
        if (contains(states, atom("_NET_WM_STATE_BELOW")))
            return -1;
        return WindowLayer::normal;
    }

    // Managed windows bottom to top; without a window manager, the root's children.
    std::vector<xcb_window_t> stackingOrder()
    {
        const std::vector<uint32_t> managed =
            values(xcb_get_property(m_conn, 0, m_root, atom("_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW, 0, 65536));
        if (!managed.empty())
            return {managed.begin(), managed.end()};
        auto tree = own(xcb_query_tree_reply(m_conn, xcb_query_tree(m_conn, m_root), nullptr));
        if (!tree)
            return {};
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        return {children, children + xcb_query_tree_children_length(tree.get())};
    }

    void readEvents()
    {
        while (xcb_generic_event_t* raw = xcb_poll_for_event(m_conn)) {
            auto event = own(raw);
            if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                continue;
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
            if (notify->window != m_root)
                continue;
            if (notify->atom == atom("_NET_ACTIVE_WINDOW"))
                emit appActivated();
            else if (notify->atom == atom("_NET_CURRENT_DESKTOP"))
                emit spaceChanged();
        }
        if (xcb_connection_has_error(m_conn)) {
            qCWarning(lcWindowList) << "lost the X connection; the window list is empty from now on";
            m_notifier->setEnabled(false);
            xcb_disconnect(m_conn);
            m_conn = nullptr;
        }
    }

    xcb_connection_t* m_conn = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    quint16 m_rootWidth = 0;
    quint16 m_rootHeight = 0;
    QHash<QByteArray, xcb_atom_t> m_atoms;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace

std::unique_ptr<WindowList> WindowList::makeSystem()
{
    return std::make_unique<X11WindowList>();
}

WindowList& WindowList::system()
{
    static WindowList* list = makeSystem().release();
    return *list;
}
