// A window manager that shows a new window before it puts it in its place, the way a
// reparenting manager may for a moment. A window that asks to be mapped first stands where it
// asked to be for a while (its client learns of that place); then it goes into a frame at
// 0, 0, is shown there and moved inside the frame (a real configure event, which the client
// answers by asking the server where it is: 0, 0); DELAY_MS later the frame moves to the
// window's place, with no word to the client. Requests of a framed window are ignored.
//
//   late_placing_wm [DELAY_MS]    prints "ready" once it manages the screen and
//                                 "placed X Y" each time a frame reached its place
#include <xcb/xcb.h>

#include <poll.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

struct Client {
    xcb_window_t frame = XCB_NONE;  // none until the window is framed
    uint32_t place[2] = {0, 0};     // where the window asked to be
    Clock::time_point due;          // when the next step comes; none once placed
};

// Frames the window at 0, 0, or moves its frame to the window's place.
void step(xcb_connection_t* conn, xcb_screen_t* screen, xcb_window_t window, Client& client,
          int delayMs) {
    if (client.frame == XCB_NONE) {
        xcb_get_geometry_reply_t* at =
            xcb_get_geometry_reply(conn, xcb_get_geometry(conn, window), nullptr);
        if (at == nullptr) {
            client.due = {};
            return;
        }
        client.place[0] = uint32_t(at->x);
        client.place[1] = uint32_t(at->y);
        client.frame = xcb_generate_id(conn);
        const uint32_t redirect[] = {XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT};
        xcb_create_window(conn, XCB_COPY_FROM_PARENT, client.frame, screen->root, 0, 0, at->width,
                          at->height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_EVENT_MASK, redirect);
        std::free(at);
        // In at 1, 0 and then to 0, 0: a real move, which the client is told of.
        xcb_reparent_window(conn, window, client.frame, 1, 0);
        const uint32_t inside[] = {0, 0};
        xcb_configure_window(conn, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, inside);
        xcb_map_window(conn, window);
        xcb_map_window(conn, client.frame);
        client.due = Clock::now() + std::chrono::milliseconds(delayMs);
    } else {
        xcb_configure_window(conn, client.frame, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y,
                             client.place);
        // Said only once the server has moved it.
        std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
        std::printf("placed %d %d\n", int(client.place[0]), int(client.place[1]));
        std::fflush(stdout);
        client.due = {};
    }
    xcb_flush(conn);
}

// Takes the steps that are due; returns the milliseconds until the next one, -1 for none.
int takeDueSteps(xcb_connection_t* conn, xcb_screen_t* screen,
                 std::map<xcb_window_t, Client>& clients, int delayMs) {
    int wait = -1;
    for (auto& [window, client] : clients) {
        if (client.due != Clock::time_point{} && client.due <= Clock::now()) {
            step(conn, screen, window, client, delayMs);
        }
        if (client.due != Clock::time_point{}) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(client.due - Clock::now());
            wait = std::max(0, wait < 0 ? int(left.count()) : std::min(wait, int(left.count())));
        }
    }
    return wait;
}

// A window that is not framed yet moves and resizes as it asks.
void configure(xcb_connection_t* conn, const xcb_configure_request_event_t* request) {
    uint32_t values[4];
    int n = 0;
    const uint16_t mask =
        request->value_mask & (XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                               XCB_CONFIG_WINDOW_HEIGHT);
    for (const auto& [flag, value] :
         {std::pair{XCB_CONFIG_WINDOW_X, uint32_t(request->x)},
          std::pair{XCB_CONFIG_WINDOW_Y, uint32_t(request->y)},
          std::pair{XCB_CONFIG_WINDOW_WIDTH, uint32_t(request->width)},
          std::pair{XCB_CONFIG_WINDOW_HEIGHT, uint32_t(request->height)}}) {
        if (mask & flag) {
            values[n++] = value;
        }
    }
    xcb_configure_window(conn, request->window, mask, values);
    xcb_flush(conn);
}

}  // namespace

int main(int argc, char** argv) {
    const int delayMs = argc > 1 ? std::atoi(argv[1]) : 1000;
    xcb_connection_t* conn = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(conn)) {
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
    const uint32_t mask[] = {XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT};
    if (xcb_generic_error_t* error = xcb_request_check(
            conn,
            xcb_change_window_attributes_checked(conn, screen->root, XCB_CW_EVENT_MASK, mask))) {
        std::free(error);
        return 1;  // another manager runs
    }
    std::printf("ready\n");
    std::fflush(stdout);
    std::map<xcb_window_t, Client> clients;
    pollfd connection{xcb_get_file_descriptor(conn), POLLIN, 0};
    while (!xcb_connection_has_error(conn)) {
        xcb_generic_event_t* event = xcb_poll_for_event(conn);
        if (event == nullptr) {
            poll(&connection, 1, takeDueSteps(conn, screen, clients, delayMs));
            continue;
        }
        const int type = event->response_type & 0x7f;
        if (type == XCB_MAP_REQUEST) {
            const auto* map = reinterpret_cast<xcb_map_request_event_t*>(event);
            if (clients.count(map->window) == 0) {
                clients[map->window].due = Clock::now() + std::chrono::milliseconds(300);
            }
        } else if (type == XCB_CONFIGURE_REQUEST) {
            const auto* request = reinterpret_cast<xcb_configure_request_event_t*>(event);
            if (clients.count(request->window) == 0 || clients[request->window].frame == XCB_NONE) {
                configure(conn, request);
            }
        }
        std::free(event);
    }
    return 0;
}
