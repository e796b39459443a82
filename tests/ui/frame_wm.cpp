/* A window manager of the least kind, for the window's tests under Xvfb: it
 * frames each window with a title bar of TITLE pixels and borders of BORDER
 * pixels (none for a window that asks for none through _MOTIF_WM_HINTS),
 * announces them in _NET_FRAME_EXTENTS (and that it does so in
 * _NET_SUPPORTED), places a window where it asks, and gives it the focus.
 * Enough to see whether a window fits its frame into the screen. */
#include <xcb/xcb.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { TITLE = 30, BORDER = 4, MAX_FRAMES = 64 };

static xcb_connection_t* conn;
static xcb_window_t clients[MAX_FRAMES], frames[MAX_FRAMES];

static xcb_atom_t atom(const char* name)
{
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, (uint16_t)strlen(name), name), NULL);
    xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(r);
    return a;
}

static int frameOf(xcb_window_t client)
{
    for (int i = 0; i < MAX_FRAMES; ++i) if (clients[i] == client && frames[i] != 0) return i;
    return -1;
}

static void tellPlace(xcb_window_t client, int16_t x, int16_t y, uint16_t w, uint16_t h)
{
    xcb_configure_notify_event_t e;
    memset(&e, 0, sizeof e);
    e.response_type = XCB_CONFIGURE_NOTIFY;
    e.event = e.window = client;
    e.x = (int16_t)(x + BORDER);
    e.y = (int16_t)(y + TITLE);
    e.width = w;
    e.height = h;
    xcb_send_event(conn, 0, client, XCB_EVENT_MASK_STRUCTURE_NOTIFY, (const char*)&e);
}

// Whether a window asks for no frame (_MOTIF_WM_HINTS with decorations 0).
static int frameless(xcb_window_t client)
{
    const xcb_atom_t motif = atom("_MOTIF_WM_HINTS");
    xcb_get_property_reply_t* r = xcb_get_property_reply(conn, xcb_get_property(conn, 0, client, motif, motif, 0, 5), NULL);
    int none = 0;
    if (r != NULL && xcb_get_property_value_length(r) >= 12) {
        const uint32_t* hints = (const uint32_t*)xcb_get_property_value(r);
        none = (hints[0] & 2) != 0 && hints[2] == 0;  // flags: decorations given; decorations
    }
    free(r);
    return none;
}

static void frame(xcb_screen_t* screen, xcb_window_t client, xcb_atom_t extents)
{
    if (frameless(client)) {
        xcb_map_window(conn, client);
        return;
    }
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, client), NULL);
    if (g == NULL) return;
    int slot = 0;
    while (slot < MAX_FRAMES && frames[slot] != 0) ++slot;
    if (slot == MAX_FRAMES) { free(g); return; }
    const xcb_window_t f = xcb_generate_id(conn);
    const uint32_t values[] = {screen->black_pixel, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    xcb_create_window(conn, XCB_COPY_FROM_PARENT, f, screen->root, g->x, g->y, (uint16_t)(g->width + 2 * BORDER),
                      (uint16_t)(g->height + TITLE + BORDER), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const uint32_t margins[] = {BORDER, BORDER, TITLE, BORDER};  /* left, right, top, bottom */
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, client, extents, XCB_ATOM_CARDINAL, 32, 4, margins);
    xcb_reparent_window(conn, client, f, BORDER, TITLE);
    xcb_map_window(conn, client);
    xcb_map_window(conn, f);
    xcb_set_input_focus(conn, XCB_INPUT_FOCUS_POINTER_ROOT, client, XCB_CURRENT_TIME);
    tellPlace(client, g->x, g->y, g->width, g->height);
    clients[slot] = client;
    frames[slot] = f;
    free(g);
}

static void configure(xcb_configure_request_event_t* e)
{
    const int i = frameOf(e->window);
    if (i < 0) {
        uint32_t values[7];
        int n = 0;
        if (e->value_mask & XCB_CONFIG_WINDOW_X) values[n++] = (uint32_t)e->x;
        if (e->value_mask & XCB_CONFIG_WINDOW_Y) values[n++] = (uint32_t)e->y;
        if (e->value_mask & XCB_CONFIG_WINDOW_WIDTH) values[n++] = e->width;
        if (e->value_mask & XCB_CONFIG_WINDOW_HEIGHT) values[n++] = e->height;
        xcb_configure_window(conn, e->window, e->value_mask & 0xF, values);
        return;
    }
    xcb_get_geometry_reply_t* fg = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, frames[i]), NULL);
    xcb_get_geometry_reply_t* cg = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, e->window), NULL);
    if (fg == NULL || cg == NULL) { free(fg); free(cg); return; }
    /* The position asked for is the frame's (north-west gravity). */
    const int16_t x = (e->value_mask & XCB_CONFIG_WINDOW_X) ? e->x : fg->x;
    const int16_t y = (e->value_mask & XCB_CONFIG_WINDOW_Y) ? e->y : fg->y;
    const uint16_t w = (e->value_mask & XCB_CONFIG_WINDOW_WIDTH) ? e->width : cg->width;
    const uint16_t h = (e->value_mask & XCB_CONFIG_WINDOW_HEIGHT) ? e->height : cg->height;
    const uint32_t client[] = {w, h};
    xcb_configure_window(conn, e->window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, client);
    const uint32_t outer[] = {(uint32_t)x, (uint32_t)y, (uint32_t)(w + 2 * BORDER), (uint32_t)(h + TITLE + BORDER)};
    xcb_configure_window(conn, frames[i], XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                                              XCB_CONFIG_WINDOW_HEIGHT, outer);
    tellPlace(e->window, x, y, w, h);
    free(fg);
    free(cg);
}

int main(void)
{
    conn = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(conn)) { fputs("frame_wm: no display\n", stderr); return 1; }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_generic_error_t* error = xcb_request_check(conn, xcb_change_window_attributes_checked(conn, screen->root, XCB_CW_EVENT_MASK, &mask));
    if (error != NULL) { fputs("frame_wm: another window manager runs\n", stderr); return 1; }
    const xcb_atom_t extents = atom("_NET_FRAME_EXTENTS");
    const xcb_atom_t supported[] = {extents};
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, screen->root, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 32, 1, supported);
    const xcb_window_t check = xcb_generate_id(conn);
    xcb_create_window(conn, 0, check, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, 0, 0, NULL);
    const xcb_atom_t wmCheck = atom("_NET_SUPPORTING_WM_CHECK");
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, screen->root, wmCheck, XCB_ATOM_WINDOW, 32, 1, &check);
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, check, wmCheck, XCB_ATOM_WINDOW, 32, 1, &check);
    xcb_flush(conn);
    for (xcb_generic_event_t* e; (e = xcb_wait_for_event(conn)) != NULL; free(e)) {
        switch (e->response_type & 0x7F) {
        case XCB_MAP_REQUEST: {
            const xcb_window_t client = ((xcb_map_request_event_t*)e)->window;
            const int i = frameOf(client);
            if (i < 0) { frame(screen, client, extents); break; }
            xcb_map_window(conn, client);
            xcb_map_window(conn, frames[i]);
            break;
        }
        case XCB_CONFIGURE_REQUEST: configure((xcb_configure_request_event_t*)e); break;
        case XCB_UNMAP_NOTIFY: {
            const int i = frameOf(((xcb_unmap_notify_event_t*)e)->window);
            if (i >= 0) xcb_unmap_window(conn, frames[i]);
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const int i = frameOf(((xcb_destroy_notify_event_t*)e)->window);
            if (i >= 0) { xcb_destroy_window(conn, frames[i]); frames[i] = 0; }
            break;
        }
        default: break;
        }
        xcb_flush(conn);
    }
    return 0;
}
