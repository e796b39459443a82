// What x11_window_title.sh needs of the X server that xdotool does not give: the windows' comings and
// goings as they happen, so that the script waits on them and never on the clock, and what a window
// manager does (none runs on Xvfb): a close box's request, and the keyboard focus given to a window.
//   x11_watch events     "ready" once it listens, then a line per top-level window mapped
//                        ("map ID NAME", NAME its _NET_WM_NAME then), unmapped ("unmap ID") or
//                        destroyed ("destroy ID"); menus and tooltips (override-redirect) left out.
//   x11_watch close ID   WM_DELETE_WINDOW to window ID, as a click on its close box sends.
//   x11_watch focus ID   the keyboard focus to window ID; returns once the server has it there, so
//                        that keys typed next reach it.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct Free {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, Free>;

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const Reply<xcb_intern_atom_reply_t> r(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::string nameOf(xcb_connection_t* c, xcb_window_t window)
{
    const Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), 0, 1024), nullptr));
    if (!r) return {};
    return {static_cast<const char*>(xcb_get_property_value(r.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(r.get()))};
}

int events(xcb_connection_t* c, xcb_window_t root)
{
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (Reply<xcb_generic_error_t>(xcb_request_check(c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask))))
        return 1;
    std::puts("ready");
    std::fflush(stdout);
    while (const Reply<xcb_generic_event_t> e{xcb_wait_for_event(c)}) {
        const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(e.get());
        switch (e->response_type & 0x7f) {
        case XCB_MAP_NOTIFY:
            if (!map->override_redirect) std::printf("map 0x%x %s\n", map->window, nameOf(c, map->window).c_str());
            break;
        case XCB_UNMAP_NOTIFY:
            std::printf("unmap 0x%x\n", reinterpret_cast<const xcb_unmap_notify_event_t*>(e.get())->window);
            break;
        case XCB_DESTROY_NOTIFY:
            std::printf("destroy 0x%x\n", reinterpret_cast<const xcb_destroy_notify_event_t*>(e.get())->window);
            break;
        }
        std::fflush(stdout);
    }
    return 0;  // the server ended
}

int close(xcb_connection_t* c, xcb_window_t window)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(c, "WM_PROTOCOLS");
    message.data.data32[0] = atom(c, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    return Reply<xcb_generic_error_t>(xcb_request_check(
               c, xcb_send_event_checked(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message))))
               ? 1 : 0;
}

int focus(xcb_connection_t* c, xcb_window_t window)
{
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    const Reply<xcb_get_input_focus_reply_t> r(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return r && r->focus == window ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!(mode == "events" && argc == 2) && !((mode == "close" || mode == "focus") && argc == 3)) {
        std::fputs("usage: x11_watch events | close WINDOW | focus WINDOW\n", stderr);
        return 2;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fputs("x11_watch: no X server\n", stderr);
        return 1;
    }
    const auto window = static_cast<xcb_window_t>(argc == 3 ? std::strtoul(argv[2], nullptr, 0) : 0);
    const int status = mode == "events" ? events(c, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root)
                       : mode == "close" ? close(c, window)
                                         : focus(c, window);
    xcb_disconnect(c);
    return status;
}
