#include "x11_desktop.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef USER32_WITH_XCB
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#endif

namespace user32::x11 {

#ifdef USER32_WITH_XCB

namespace {

constexpr std::uint32_t kMoveResizeMove = 8;  // _NET_WM_MOVERESIZE_MOVE
constexpr std::uint32_t kNormalApplication = 1;
constexpr std::uint32_t kStateAdd = 1;  // _NET_WM_STATE_ADD

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

// The reply to a request, its error let go of: a window gone meanwhile (a window manager's
// check window left behind) reads as no answer, not as an error in Qt's event queue.
template <class T, class Cookie>
Reply<T> answer(T* (*reply)(xcb_connection_t*, Cookie, xcb_generic_error_t**), xcb_connection_t* c,
                Cookie cookie) {
    xcb_generic_error_t* error = nullptr;
    T* result = reply(c, cookie, &error);
    std::free(error);
    return Reply<T>(result, &std::free);
}

xcb_connection_t* connection() {
    if (qGuiApp == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const auto reply =
        answer(xcb_intern_atom_reply, c,
               xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The 32-bit values of a property of the given type (any type: XCB_GET_PROPERTY_TYPE_ANY);
// empty when it is not set or the window is gone.
std::vector<std::uint32_t> property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name,
                                    xcb_atom_t type) {
    const auto reply =
        answer(xcb_get_property_reply, c, xcb_get_property(c, 0, window, name, type, 0, 1024));
    if (!reply || reply->format != 32 ||
        (type != XCB_GET_PROPERTY_TYPE_ANY && reply->type != type)) {
        return {};
    }
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<std::uint32_t>(values,
                                      values + xcb_get_property_value_length(reply.get()) / 4);
}

xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window) {
    const auto reply = answer(xcb_get_geometry_reply, c, xcb_get_geometry(c, window));
    return reply ? reply->root : xcb_window_t{XCB_WINDOW_NONE};
}

bool mapped(xcb_connection_t* c, xcb_window_t window) {
    const auto reply =
        answer(xcb_get_window_attributes_reply, c, xcb_get_window_attributes(c, window));
    return reply && reply->map_state != XCB_MAP_STATE_UNMAPPED;
}

// A message to the window manager about `window`, sent as EWMH asks: to the root window.
void tellWindowManager(xcb_connection_t* c, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                       const std::uint32_t (&data)[5]) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::copy(std::begin(data), std::end(data), event.data.data32);
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

}  // namespace

bool connected() {
    return connection() != nullptr;
}

bool windowManagerMoves(const QWidget& widget) {
    xcb_connection_t* c = connection();
    if (c == nullptr) {
        return false;
    }
    const xcb_window_t root = rootOf(c, static_cast<xcb_window_t>(widget.winId()));
    const xcb_atom_t check = atom(c, "_NET_SUPPORTING_WM_CHECK");
    // A live window manager's check window names itself. Some store it as a CARDINAL.
    const auto wm = property(c, root, check, XCB_GET_PROPERTY_TYPE_ANY);
    if (wm.size() != 1 || property(c, wm.front(), check, XCB_GET_PROPERTY_TYPE_ANY) != wm) {
        return false;
    }
    const auto supported = property(c, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    return std::find(supported.begin(), supported.end(), atom(c, "_NET_WM_MOVERESIZE")) !=
           supported.end();
}

void ungrabPointer() {
    if (xcb_connection_t* c = connection()) {
        xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
        xcb_flush(c);
    }
}

void askWindowManagerToMove(const QWidget& widget, QPointF press, int button) {
    xcb_connection_t* c = connection();
    if (c == nullptr) {
        return;
    }
    const auto window = static_cast<xcb_window_t>(widget.winId());
    const xcb_window_t root = rootOf(c, window);
    const auto origin = answer(xcb_translate_coordinates_reply, c,
                               xcb_translate_coordinates(c, window, root, 0, 0));
    const auto pointer = answer(xcb_query_pointer_reply, c, xcb_query_pointer(c, root));
    if (!origin || !pointer) {
        return;
    }
    // Where the program comes to the press late and the button is up already, the press was a
    // click: a window manager would take the next click for the end of the move. (The core
    // protocol tells the state of buttons 1 to 5 only.)
    if (button <= 5 && (pointer->mask & (XCB_BUTTON_MASK_1 << (button - 1))) == 0) {
        return;
    }
    const QPointF native = press * widget.devicePixelRatioF();
    xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
    tellWindowManager(c, root, window, atom(c, "_NET_WM_MOVERESIZE"),
                      {static_cast<std::uint32_t>(origin->dst_x + qRound(native.x())),
                       static_cast<std::uint32_t>(origin->dst_y + qRound(native.y())),
                       kMoveResizeMove, static_cast<std::uint32_t>(button), kNormalApplication});
}

void skipTaskbar(const QWidget& widget) {
    xcb_connection_t* c = connection();
    if (c == nullptr) {
        return;
    }
    const auto window = static_cast<xcb_window_t>(widget.winId());
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t skip = atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    if (mapped(c, window)) {
        tellWindowManager(c, rootOf(c, window), window, state,
                          {kStateAdd, skip, 0, 0, kNormalApplication});
        return;
    }
    // Qt adds its own states to this property when it maps the window, keeping ours.
    const auto states = property(c, window, state, XCB_ATOM_ATOM);
    if (std::find(states.begin(), states.end(), skip) == states.end()) {
        xcb_change_property(c, XCB_PROP_MODE_APPEND, window, state, XCB_ATOM_ATOM, 32, 1, &skip);
        xcb_flush(c);
    }
}

#else

bool connected() {
    return false;
}
bool windowManagerMoves(const QWidget&) {
    return false;
}
void ungrabPointer() {}
void askWindowManagerToMove(const QWidget&, QPointF, int) {}
void skipTaskbar(const QWidget&) {}

#endif

}  // namespace user32::x11
