#include "app/shared/window_title.h"

#include <QGuiApplication>
#include <QWidget>

// X11 alone needs this; Qt for Windows has no xcb.
#if defined(DRAVIK_HAS_XCB) && QT_CONFIG(xcb)
#define DRAVIK_X11_TITLE
#include <xcb/xcb.h>

#include <cstdlib>
#include <string>
#endif

void showExactWindowTitle(QWidget& window) {
#ifdef DRAVIK_X11_TITLE
    if (!window.windowTitle().isEmpty() || !window.testAttribute(Qt::WA_WState_Created))
        return;
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const char* name = "_NET_WM_NAME";
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(
        connection, 0, static_cast<uint16_t>(std::char_traits<char>::length(name)), name);
    if (xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr)) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, reply->atom, XCB_ATOM_STRING, 8,
                            0, "");
        std::free(reply);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        0, "");
    xcb_flush(connection);
#else
    (void)window;
#endif
}
