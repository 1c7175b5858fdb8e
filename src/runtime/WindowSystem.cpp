#include "runtime/WindowSystem.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLibrary>
#include <QThread>
#include <QWidget>
#include <QWindow>

#if __has_include(<xcb/xcb.h>) && QT_CONFIG(xcb)
#include <xcb/xcb.h>
#define NIMBREL_ASK_X11 1
#endif

namespace WindowSystem {

#ifdef NIMBREL_ASK_X11
namespace {

// The few X calls needed, taken from the X library Qt has already loaded, so
// the program does not link against X itself and runs on any platform.
struct X11 {
    using Translate = xcb_translate_coordinates_cookie_t (*)(xcb_connection_t*, xcb_window_t, xcb_window_t, int16_t, int16_t);
    using TranslateReply = xcb_translate_coordinates_reply_t* (*)(xcb_connection_t*, xcb_translate_coordinates_cookie_t, xcb_generic_error_t**);
    using GetSetup = const xcb_setup_t* (*)(xcb_connection_t*);
    using Roots = xcb_screen_iterator_t (*)(const xcb_setup_t*);
    using Flush = int (*)(xcb_connection_t*);

    Translate translate = nullptr;
    TranslateReply reply = nullptr;
    GetSetup setup = nullptr;
    Roots roots = nullptr;
    Flush flush = nullptr;

    X11()
    {
        QLibrary xcb(QStringLiteral("xcb"), 1);
        translate = reinterpret_cast<Translate>(xcb.resolve("xcb_translate_coordinates"));
        reply = reinterpret_cast<TranslateReply>(xcb.resolve("xcb_translate_coordinates_reply"));
        setup = reinterpret_cast<GetSetup>(xcb.resolve("xcb_get_setup"));
        roots = reinterpret_cast<Roots>(xcb.resolve("xcb_setup_roots_iterator"));
        flush = reinterpret_cast<Flush>(xcb.resolve("xcb_flush"));
    }
    bool usable() const { return translate && reply && setup && roots && flush; }
};

const X11& x11()
{
    static const X11 calls;
    return calls;
}

xcb_connection_t* connection()
{
    const auto* native = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return native ? native->connection() : nullptr;
}

}  // namespace
#endif

bool WaitUntilPlaced(const QWidget* window, int timeoutMs)
{
#ifdef NIMBREL_ASK_X11
    xcb_connection_t* c = connection();
    if (!c || !window || !window->windowHandle() || !x11().usable())
        return false;
    const X11& x = x11();
    const xcb_window_t id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = x.roots(x.setup(c)).data->root;
    const qreal ratio = window->devicePixelRatioF();
    const QPoint wanted(qRound(window->geometry().x() * ratio), qRound(window->geometry().y() * ratio));
    x.flush(c);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        xcb_translate_coordinates_reply_t* where = x.reply(c, x.translate(c, id, root, 0, 0), nullptr);
        const bool placed = where && QPoint(where->dst_x, where->dst_y) == wanted;
        free(where);
        if (placed)
            return true;
        if (clock.elapsed() >= timeoutMs)
            return false;
        QThread::usleep(500);
    }
#else
    Q_UNUSED(window);
    Q_UNUSED(timeoutMs);
    return false;
#endif
}

bool IsWatched()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

}  // namespace WindowSystem
