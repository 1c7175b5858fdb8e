// Prints the wall-clock time, in epoch milliseconds, at which a top-level
// window of the given WM_CLASS instance name first becomes viewable, then ends.
// With "painted" it waits on and prints a second line: the time the program
// first drew into that window after it was mapped (from the DAMAGE extension),
// which is when a user sees what the window shows.
// It writes "ready" to standard error once it is listening, so a script can
// start the program after it and take the time between the two.
//
//   map_watch nimbrel [painted]  (ends with 1 after 30 s without such a window)
//
// It listens to X's structure events instead of polling, so the figure is the
// moment the server made the window viewable, not the next poll after it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <sys/select.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <set>

namespace {

long long NowMs()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

bool HasInstance(Display* display, Window window, const char* instance)
{
    XClassHint hint{};
    if (!XGetClassHint(display, window, &hint))
        return false;
    const bool same = hint.res_name && std::strcmp(hint.res_name, instance) == 0;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return same;
}

bool Viewable(Display* display, Window window)
{
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0;  // windows come and go while they are looked at
}

}  // namespace

int main(int argc, char** argv)
{
    const bool painted = argc == 3 && std::strcmp(argv[2], "painted") == 0;
    if (argc != 2 && !painted) {
        std::fprintf(stderr, "usage: map_watch INSTANCE [painted]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "map_watch: no display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreErrors);
    int damageEvent = 0, damageError = 0;
    if (painted && !XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "map_watch: the display has no DAMAGE extension\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    std::fprintf(stderr, "ready\n");
    std::fflush(stderr);

    // Every window made from now on is watched, so the map of a client inside
    // a window manager's frame is seen too. A window counts once it has the
    // class and it and all its ancestors are mapped.
    std::set<Window> seen;
    Window mapped = None;
    const long long deadline = NowMs() + 30000;
    const int fd = ConnectionNumber(display);
    while (NowMs() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify) {
                XSelectInput(display, event.xcreatewindow.window, StructureNotifyMask | SubstructureNotifyMask);
                seen.insert(event.xcreatewindow.window);
                // Watched for drawing from the start: the first picture can
                // follow the map within a millisecond.
                if (painted)
                    XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
            } else if (event.type == MapNotify && mapped == None) {
                const long long at = NowMs();
                for (Window window : seen)
                    if (HasInstance(display, window, argv[1]) && Viewable(display, window)) {
                        std::printf("%lld\n", at);
                        std::fflush(stdout);
                        if (!painted)
                            return 0;
                        mapped = window;
                        break;
                    }
            } else if (painted && event.type == damageEvent + XDamageNotify) {
                const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
                if (mapped != None && damage.drawable == mapped) {
                    std::printf("%lld\n", NowMs());
                    return 0;
                }
            }
        }
        fd_set read{};
        FD_ZERO(&read);
        FD_SET(fd, &read);
        timeval wait{0, 100000};
        select(fd + 1, &read, nullptr, nullptr, &wait);
    }
    return 1;
}
