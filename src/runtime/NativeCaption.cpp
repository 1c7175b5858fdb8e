#include "runtime/NativeCaption.h"

#include <QGuiApplication>
#include <QWidget>

#if defined(NIMBREL_HAVE_XCB)
#include <xcb/xcb.h>
#include <cstdlib>
#include <cstring>
#endif

namespace NativeCaption {

#if defined(NIMBREL_HAVE_XCB)
namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

}  // namespace
#endif

void ShowEmpty(QWidget* window)
{
#if defined(NIMBREL_HAVE_XCB)
    // Only the X11 platform itself writes the program's name; other platforms
    // that talk to an X server (offscreen rendering) have no such window.
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window->windowHandle())
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, nullptr);
    const xcb_atom_t netName = Atom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = Atom(connection, "UTF8_STRING");
    if (netName != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE)
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, netName, utf8, 8, 0, nullptr);
    xcb_flush(connection);
#else
    (void)window;
#endif
}

}  // namespace NativeCaption
