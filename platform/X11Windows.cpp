#include "platform/X11Windows.h"

#include "platform/WindowMatch.h"

#include <QtGui/qguiapplication_platform.h>
#include <QDeadlineTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QThread>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace taskwick::x11 {

namespace {

constexpr char MarkerAtom[] = "_TASKWICK_INSTANCE";
constexpr char ShowAtom[] = "_TASKWICK_SHOW";

// _NET_WM_STATE client message actions and the source indication of a pager, which window
// managers obey without applying focus-stealing prevention.
constexpr quint32 StateRemove = 0;
constexpr quint32 StateAdd = 1;
constexpr quint32 SourceApplication = 1;
constexpr quint32 SourcePager = 2;

// Levels below the root that the search looks at: frame, wrapper, client.
constexpr int SearchDepth = 3;

// Long enough for 254 characters of UTF-8, counted in 32-bit units.
constexpr quint32 TextPropertyLongs = 256;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// Errors of requests about other clients' windows (one that went away meanwhile) are expected;
// taking them here keeps them from reaching Qt's event handling, which would print warnings.
class IgnoredError {
public:
    IgnoredError() = default;
    IgnoredError(const IgnoredError&) = delete;
    IgnoredError& operator=(const IgnoredError&) = delete;
    ~IgnoredError() { std::free(error_); }
    operator xcb_generic_error_t**() { return &error_; }

private:
    xcb_generic_error_t* error_ = nullptr;
};

xcb_connection_t* connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

// The root windows of all screens of the display. A display with several X screens (not
// several monitors, which share one) is rare, but an instance may run on any of them.
std::vector<xcb_window_t> rootWindows(xcb_connection_t* conn) {
    std::vector<xcb_window_t> roots;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(conn)); it.rem > 0;
         xcb_screen_next(&it)) {
        roots.push_back(it.data->root);
    }
    return roots;
}

// The root window of the window's screen, where window manager requests about it go.
xcb_window_t rootOf(xcb_connection_t* conn, xcb_window_t window) {
    const Reply<xcb_query_tree_reply_t> reply(
        xcb_query_tree_reply(conn, xcb_query_tree(conn, window), IgnoredError()));
    if (reply) {
        return reply->root;
    }
    const std::vector<xcb_window_t> roots = rootWindows(conn);
    return roots.empty() ? xcb_window_t{XCB_NONE} : roots.front();
}

xcb_atom_t atom(xcb_connection_t* conn, const char* name) {
    static QHash<QByteArray, xcb_atom_t> cache;
    const QByteArray key(name);
    const auto found = cache.constFind(key);
    if (found != cache.constEnd()) {
        return *found;
    }
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        conn, xcb_intern_atom(conn, 0, static_cast<quint16>(key.size()), key.constData()),
        IgnoredError()));
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    if (value != XCB_ATOM_NONE) {
        cache.insert(key, value);
    }
    return value;
}

xcb_window_t nativeId(QWindow* window) {
    return static_cast<xcb_window_t>(window->winId());
}

bool isMapped(xcb_connection_t* conn, xcb_window_t window) {
    const Reply<xcb_get_window_attributes_reply_t> reply(xcb_get_window_attributes_reply(
        conn, xcb_get_window_attributes(conn, window), IgnoredError()));
    return reply && reply->map_state != XCB_MAP_STATE_UNMAPPED;
}

QByteArray propertyBytes(const xcb_get_property_reply_t* reply) {
    if (reply == nullptr || reply->type == XCB_ATOM_NONE) {
        return {};
    }
    const int length = xcb_get_property_value_length(reply);
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), length);
}

xcb_get_property_cookie_t askProperty(xcb_connection_t* conn, xcb_window_t window,
                                      xcb_atom_t property, quint32 longs) {
    return xcb_get_property(conn, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, longs);
}

// The children of each window, bottom to top as the server keeps them. The requests of one
// level go out together, so the walk costs one round trip per level.
std::vector<std::vector<xcb_window_t>> childrenOf(xcb_connection_t* conn,
                                                  const std::vector<xcb_window_t>& windows) {
    std::vector<xcb_query_tree_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (const xcb_window_t window : windows) {
        cookies.push_back(xcb_query_tree(conn, window));
    }
    std::vector<std::vector<xcb_window_t>> result(windows.size());
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        const Reply<xcb_query_tree_reply_t> reply(
            xcb_query_tree_reply(conn, cookies[i], IgnoredError()));
        if (!reply) {
            continue;  // the window went away meanwhile
        }
        const xcb_window_t* children = xcb_query_tree_children(reply.get());
        result[i].assign(children, children + xcb_query_tree_children_length(reply.get()));
    }
    return result;
}

// Every window down to SearchDepth levels below the roots, each root child followed by its
// descendants, the topmost root child first.
std::vector<xcb_window_t> candidateWindows(xcb_connection_t* conn) {
    QHash<xcb_window_t, std::vector<xcb_window_t>> children;
    const std::vector<xcb_window_t> roots = rootWindows(conn);
    std::vector<xcb_window_t> level = roots;
    for (int depth = 0; depth < SearchDepth && !level.empty(); ++depth) {
        const auto lists = childrenOf(conn, level);
        std::vector<xcb_window_t> next;
        for (std::size_t i = 0; i < level.size(); ++i) {
            next.insert(next.end(), lists[i].begin(), lists[i].end());
            children.insert(level[i], lists[i]);
        }
        level = std::move(next);
    }

    std::vector<xcb_window_t> order;
    // Depth-first with an explicit stack; children are pushed bottom first so the topmost
    // comes off first.
    std::vector<std::pair<xcb_window_t, int>> stack;
    for (auto root = roots.rbegin(); root != roots.rend(); ++root) {
        for (const xcb_window_t child : children.value(*root)) {
            stack.emplace_back(child, 1);
        }
    }
    while (!stack.empty()) {
        const auto [window, depth] = stack.back();
        stack.pop_back();
        order.push_back(window);
        if (depth < SearchDepth) {
            for (const xcb_window_t child : children.value(window)) {
                stack.emplace_back(child, depth + 1);
            }
        }
    }
    return order;
}

QString titleOf(xcb_connection_t* conn, const xcb_get_property_reply_t* netWmName,
                const xcb_get_property_reply_t* wmName) {
    if (netWmName != nullptr && netWmName->type != XCB_ATOM_NONE) {
        return decodeWindowText(propertyBytes(netWmName), TextEncoding::Utf8);
    }
    if (wmName == nullptr) {
        return {};
    }
    const TextEncoding encoding =
        wmName->type == atom(conn, "UTF8_STRING") ? TextEncoding::Utf8 : TextEncoding::Latin1;
    return decodeWindowText(propertyBytes(wmName), encoding);
}

void sendToRoot(xcb_connection_t* conn, xcb_window_t window, xcb_atom_t type,
                std::initializer_list<quint32> data) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    int i = 0;
    for (const quint32 value : data) {
        event.data.data32[i++] = value;
    }
    xcb_send_event(conn, 0, rootOf(conn, window),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

// Adds or removes states in the window's _NET_WM_STATE. Before the window is mapped the
// property is what the window manager reads when it takes the window on; once it is mapped
// the property belongs to the window manager, and changes go to it as client messages.
void changeNetWmState(xcb_connection_t* conn, xcb_window_t window, bool add,
                      const std::vector<xcb_atom_t>& states) {
    const xcb_atom_t netWmState = atom(conn, "_NET_WM_STATE");
    if (isMapped(conn, window)) {
        // One message carries at most two states.
        for (std::size_t i = 0; i < states.size(); i += 2) {
            const quint32 second = i + 1 < states.size() ? states[i + 1] : 0;
            sendToRoot(conn, window, netWmState,
                       {add ? StateAdd : StateRemove, states[i], second, SourceApplication});
        }
        xcb_flush(conn);
        return;
    }

    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        conn, xcb_get_property(conn, 0, window, netWmState, XCB_ATOM_ATOM, 0, 1024),
        IgnoredError()));
    std::vector<xcb_atom_t> current;
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        current.assign(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }
    for (const xcb_atom_t state : states) {
        const auto at = std::find(current.begin(), current.end(), state);
        if (add && at == current.end()) {
            current.push_back(state);
        } else if (!add && at != current.end()) {
            current.erase(at);
        }
    }
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, window, netWmState, XCB_ATOM_ATOM, 32,
                        static_cast<quint32>(current.size()), current.data());
    xcb_flush(conn);
}

void applySkipStates(QWindow* window) {
    xcb_connection_t* conn = connection();
    if (conn == nullptr) {
        return;
    }
    changeNetWmState(
        conn, nativeId(window), true,
        {atom(conn, "_NET_WM_STATE_SKIP_TASKBAR"), atom(conn, "_NET_WM_STATE_SKIP_PAGER")});
}

// A minimised window: the window manager keeps it unmapped with WM_STATE Iconic.
bool isIconic(xcb_connection_t* conn, xcb_window_t window) {
    constexpr quint32 IconicState = 3;
    const xcb_atom_t wmState = atom(conn, "WM_STATE");
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        conn, xcb_get_property(conn, 0, window, wmState, wmState, 0, 1), IgnoredError()));
    const QByteArray value = propertyBytes(reply.get());
    quint32 state = 0;
    if (value.size() == sizeof state) {
        std::memcpy(&state, value.constData(), sizeof state);
    }
    return state == IconicState;
}

void sendActivation(xcb_connection_t* conn, xcb_window_t window) {
    sendToRoot(conn, window, atom(conn, "_NET_ACTIVE_WINDOW"),
               {SourcePager, XCB_CURRENT_TIME, XCB_NONE});
    xcb_flush(conn);
}

// Applies the skip states whenever the window is shown: before the map, so the window manager
// reads them from the property, and once it is on screen, in case the window manager took the
// window on before the property was written.
class SkipStateKeeper : public QObject {
public:
    static constexpr char Name[] = "taskwick-skip-state-keeper";

    explicit SkipStateKeeper(QWindow* window) : QObject(window), window_(window) {
        setObjectName(QLatin1String(Name));
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_) {
            if (event->type() == QEvent::Show) {
                applySkipStates(window_);
                pendingExpose_ = true;
            } else if (event->type() == QEvent::Expose && pendingExpose_ && window_->isExposed()) {
                pendingExpose_ = false;
                applySkipStates(window_);
            }
        }
        return false;
    }

private:
    QWindow* window_;
    bool pendingExpose_ = false;
};

// Activates a window once it is on screen; removes itself afterwards.
class DeferredActivation : public QObject {
public:
    static constexpr char Name[] = "taskwick-deferred-activation";

    explicit DeferredActivation(QWindow* window) : QObject(window), window_(window) {
        setObjectName(QLatin1String(Name));
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Expose && window_->isExposed()) {
            if (xcb_connection_t* conn = connection()) {
                sendActivation(conn, nativeId(window_));
            }
            deleteLater();
        }
        return false;
    }

private:
    QWindow* window_;
};

}  // namespace

bool isAvailable() {
    return connection() != nullptr;
}

std::optional<WindowId> findRunningInstanceWindow(qint64 excludePid) {
    xcb_connection_t* conn = connection();
    if (conn == nullptr) {
        return std::nullopt;
    }
    QSet<xcb_window_t> own;
    for (QWindow* window : QGuiApplication::allWindows()) {
        if (window->handle() != nullptr) {
            own.insert(nativeId(window));
        }
    }

    const std::vector<xcb_window_t> windows = candidateWindows(conn);
    std::vector<xcb_get_property_cookie_t> classCookies;
    classCookies.reserve(windows.size());
    for (const xcb_window_t window : windows) {
        classCookies.push_back(askProperty(conn, window, XCB_ATOM_WM_CLASS, TextPropertyLongs));
    }
    // Titles are read only for the few windows of the right class.
    std::vector<std::pair<xcb_window_t, QString>> sameClass;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(conn, classCookies[i], IgnoredError()));
        QString className = wmClassClassPart(propertyBytes(reply.get()));
        if (!own.contains(windows[i]) && isInstanceWindowClass(className)) {
            sameClass.emplace_back(windows[i], std::move(className));
        }
    }

    const xcb_atom_t netWmName = atom(conn, "_NET_WM_NAME");
    const xcb_atom_t netWmPid = atom(conn, "_NET_WM_PID");
    for (const auto& [window, className] : sameClass) {
        const auto netNameCookie = askProperty(conn, window, netWmName, TextPropertyLongs);
        const auto nameCookie = askProperty(conn, window, XCB_ATOM_WM_NAME, TextPropertyLongs);
        const auto pidCookie = askProperty(conn, window, netWmPid, 1);
        const Reply<xcb_get_property_reply_t> netName(
            xcb_get_property_reply(conn, netNameCookie, IgnoredError()));
        const Reply<xcb_get_property_reply_t> name(
            xcb_get_property_reply(conn, nameCookie, IgnoredError()));
        const Reply<xcb_get_property_reply_t> pid(
            xcb_get_property_reply(conn, pidCookie, IgnoredError()));

        const QByteArray pidBytes = propertyBytes(pid.get());
        if (pidBytes.size() == 4) {
            quint32 value = 0;
            std::memcpy(&value, pidBytes.constData(), sizeof value);
            if (static_cast<qint64>(value) == excludePid) {
                continue;
            }
        }
        if (isRunningInstanceWindow(className, titleOf(conn, netName.get(), name.get()))) {
            return window;
        }
    }
    return std::nullopt;
}

bool isTaskwickWindow(WindowId window) {
    xcb_connection_t* conn = connection();
    if (conn == nullptr) {
        return false;
    }
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        conn, askProperty(conn, window, atom(conn, MarkerAtom), 1), IgnoredError()));
    return reply && reply->type != XCB_ATOM_NONE;
}

bool requestShowWindow(WindowId window) {
    xcb_connection_t* conn = connection();
    if (conn == nullptr) {
        return false;
    }
    // Each check waits for the server, so the requests have been carried out when this
    // process ends right after.
    const auto succeeded = [conn](xcb_void_cookie_t cookie) {
        const Reply<xcb_generic_error_t> error(xcb_request_check(conn, cookie));
        return !error;
    };
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    if (isTaskwickWindow(window)) {
        event.type = atom(conn, ShowAtom);
        // With no event mask the event goes to the client that created the window.
        return succeeded(xcb_send_event_checked(conn, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                                reinterpret_cast<const char*>(&event)));
    }
    if (!succeeded(xcb_map_window_checked(conn, window))) {
        return false;
    }
    event.type = atom(conn, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = SourcePager;
    event.data.data32[1] = XCB_CURRENT_TIME;
    return succeeded(xcb_send_event_checked(
        conn, 0, rootOf(conn, window),
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char*>(&event)));
}

void markAsTaskwickWindow(QWindow* window) {
    xcb_connection_t* conn = connection();
    if (conn == nullptr || window == nullptr) {
        return;
    }
    const quint32 pid = static_cast<quint32>(QCoreApplication::applicationPid());
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, nativeId(window), atom(conn, MarkerAtom),
                        XCB_ATOM_CARDINAL, 32, 1, &pid);
    xcb_flush(conn);
}

void setWindowClass(QWindow* window, const QByteArray& instanceName, const QByteArray& className) {
    xcb_connection_t* conn = connection();
    if (conn == nullptr || window == nullptr) {
        return;
    }
    const QByteArray value = instanceName + '\0' + className + '\0';
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, nativeId(window), XCB_ATOM_WM_CLASS,
                        XCB_ATOM_STRING, 8, static_cast<quint32>(value.size()), value.constData());
    xcb_flush(conn);
}

void setSkipTaskbarAndPager(QWindow* window) {
    if (connection() == nullptr || window == nullptr) {
        return;
    }
    if (window->findChild<QObject*>(QLatin1String(SkipStateKeeper::Name),
                                    Qt::FindDirectChildrenOnly) == nullptr) {
        new SkipStateKeeper(window);
    }
    applySkipStates(window);
}

void setStayOnTop(QWindow* window, bool onTop) {
    xcb_connection_t* conn = connection();
    if (conn == nullptr || window == nullptr) {
        return;
    }
    // Qt marks a stay-on-top window with the older KDE state as well; both go together.
    changeNetWmState(conn, nativeId(window), onTop,
                     {atom(conn, "_NET_WM_STATE_ABOVE"), atom(conn, "_NET_WM_STATE_STAYS_ON_TOP")});
}

void activateWindow(QWindow* window) {
    xcb_connection_t* conn = connection();
    if (conn == nullptr || window == nullptr) {
        return;
    }
    // Activation also brings a minimised window back; a window that is still on its way to
    // the screen is activated once it got there.
    if (window->isExposed() || isIconic(conn, nativeId(window))) {
        sendActivation(conn, nativeId(window));
    } else if (window->findChild<QObject*>(QLatin1String(DeferredActivation::Name),
                                           Qt::FindDirectChildrenOnly) == nullptr) {
        new DeferredActivation(window);
    }
}

std::optional<QPoint> positionOnScreen(QWindow* window, int waitForScreenMs) {
    xcb_connection_t* conn = connection();
    if (conn == nullptr || window == nullptr || window->handle() == nullptr) {
        return std::nullopt;
    }
    const xcb_window_t id = nativeId(window);
    const QDeadlineTimer deadline(waitForScreenMs);
    for (;;) {
        const Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
            conn, xcb_get_window_attributes(conn, id), IgnoredError()));
        if (!attributes) {
            return std::nullopt;  // gone, or the connection broke
        }
        // Only a window on the screen has a place there: one on its way to it may still stand
        // where it was made (0, 0) before the manager places it.
        if (attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
            break;
        }
        if (!window->isVisible() || deadline.hasExpired()) {
            return std::nullopt;
        }
        QThread::msleep(5);
    }
    const Reply<xcb_translate_coordinates_reply_t> place(xcb_translate_coordinates_reply(
        conn, xcb_translate_coordinates(conn, id, rootOf(conn, id), 0, 0), IgnoredError()));
    if (!place) {
        return std::nullopt;
    }
    // Qt's positions are in its own scaled pixels, measured from the screen's origin.
    const QPoint native(place->dst_x, place->dst_y);
    const QScreen* screen = window->screen();
    const QPoint origin = screen != nullptr ? screen->geometry().topLeft() : QPoint();
    return origin + (QPointF(native - origin) / window->devicePixelRatio()).toPoint();
}

ShowRequestListener::ShowRequestListener(QObject* parent) : QObject(parent) {
    if (connection() != nullptr) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
}

ShowRequestListener::~ShowRequestListener() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool ShowRequestListener::nativeEventFilter(const QByteArray& eventType, void* message,
                                            qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) {
        return false;
    }
    xcb_connection_t* conn = connection();
    const auto* clientMessage = static_cast<const xcb_client_message_event_t*>(message);
    if (conn == nullptr || clientMessage->type != atom(conn, ShowAtom)) {
        return false;
    }
    // Shown from the event loop rather than from inside Qt's event dispatch.
    QMetaObject::invokeMethod(this, &ShowRequestListener::showRequested, Qt::QueuedConnection);
    return true;
}

}  // namespace taskwick::x11
