// Measures how long a program takes from its launch until its first top-level window is on
// screen: e2e_map_timer [--rss-after MS] [--class NAME] PROGRAM [ARGS...]
// Prints the milliseconds (and, with --rss-after, the program's resident memory in KiB that
// many milliseconds after the map), ends the program with SIGTERM and waits for it. The watch on
// the root window starts before the launch, so no map is missed. Meant for a display without a
// window manager, where the client windows are the root's children.
#include <xcb/xcb.h>

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern char** environ;

namespace {

xcb_atom_t internAtom(xcb_connection_t* conn, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        conn, xcb_intern_atom(conn, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

std::string property(xcb_connection_t* conn, xcb_window_t window, xcb_atom_t atom) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        conn, xcb_get_property(conn, 0, window, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
    std::string value;
    if (reply != nullptr) {
        value.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                     static_cast<std::size_t>(xcb_get_property_value_length(reply)));
        std::free(reply);
    }
    return value;
}

bool isProgramWindow(xcb_connection_t* conn, xcb_window_t window, pid_t pid, xcb_atom_t pidAtom,
                     const char* wantedClass) {
    const std::string pidValue = property(conn, window, pidAtom);
    uint32_t windowPid = 0;
    if (pidValue.size() != sizeof windowPid) {
        return false;
    }
    std::memcpy(&windowPid, pidValue.data(), sizeof windowPid);
    if (static_cast<pid_t>(windowPid) != pid) {
        return false;
    }
    if (wantedClass == nullptr) {
        return true;
    }
    const std::string wmClass = property(conn, window, XCB_ATOM_WM_CLASS);
    const std::size_t end = wmClass.find('\0');
    return end != std::string::npos && std::strcmp(wmClass.c_str() + end + 1, wantedClass) == 0;
}

}  // namespace

// VmRSS of a process in KiB, 0 when it cannot be read.
long residentKiB(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        return 0;
    }
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            kib = std::atol(line + 6);
        }
    }
    std::fclose(file);
    return kib;
}

int main(int argc, char** argv) {
    int first = 1;
    const char* wantedClass = nullptr;
    int rssAfterMs = -1;
    if (argc > 2 && std::strcmp(argv[first], "--rss-after") == 0) {
        rssAfterMs = std::atoi(argv[first + 1]);
        first += 2;
    }
    if (argc > first + 1 && std::strcmp(argv[first], "--class") == 0) {
        wantedClass = argv[first + 1];
        first += 2;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [--rss-after MS] [--class NAME] PROGRAM [ARGS...]\n",
                     argv[0]);
        return 2;
    }
    xcb_connection_t* conn = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(conn) != 0) {
        std::fprintf(stderr, "cannot open the display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(conn, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t pidAtom = internAtom(conn, "_NET_WM_PID");
    // A round trip, so that the server has the event mask before the program starts.
    xcb_get_input_focus_reply_t* sync =
        xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr);
    std::free(sync);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[first], nullptr, nullptr, argv + first, environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[first]);
        return 2;
    }

    int result = 1;
    const auto deadline = start + std::chrono::seconds(30);
    pollfd fd{xcb_get_file_descriptor(conn), POLLIN, 0};
    while (std::chrono::steady_clock::now() < deadline) {
        xcb_generic_event_t* event = xcb_poll_for_event(conn);
        if (event == nullptr) {
            if (xcb_connection_has_error(conn) != 0) {
                break;
            }
            poll(&fd, 1, 100);
            continue;
        }
        const auto now = std::chrono::steady_clock::now();
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (isProgramWindow(conn, map->window, pid, pidAtom, wantedClass)) {
                const double ms = std::chrono::duration<double, std::milli>(now - start).count();
                if (rssAfterMs >= 0) {
                    usleep(static_cast<useconds_t>(rssAfterMs) * 1000);
                    std::printf("%.1f %ld\n", ms, residentKiB(pid));
                } else {
                    std::printf("%.1f\n", ms);
                }
                result = 0;
                std::free(event);
                break;
            }
        }
        std::free(event);
    }
    if (result != 0) {
        std::fprintf(stderr, "no window of %s was mapped\n", argv[first]);
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    xcb_disconnect(conn);
    return result;
}
