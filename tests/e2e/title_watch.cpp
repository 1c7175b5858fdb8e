// Prints every title a window is given, in the order clients set them:
//
//   title_watch [--stamp] <window id> [property]     (property: _NET_WM_NAME)
//
// The first line is the title the window has when it starts (as xprop prints
// it: `_NET_WM_NAME = "..."`, or `_NET_WM_NAME:  not found.`), then one line
// per change. With --stamp each line begins with the wall-clock time, in epoch
// milliseconds to the microsecond ("1796913894632.518"), at which the change
// was seen.
//
// "xprop -spy" reads the property again after each change notice, so a title
// the program replaces a few milliseconds later can be gone before it is read,
// and is never printed. This tool records the change requests themselves
// through the X server's RECORD extension, each with the value it carries, so
// no title is missed however quickly the next one follows.
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>

#include <sys/select.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

struct Watch {
    unsigned long window = 0;
    unsigned long property = 0;
    const char* name = "_NET_WM_NAME";
    bool stamp = false;
    bool recording = false;  // the server has begun to send records
    bool printed = false;    // the first title has been printed
    std::string title;
};

void PrintNow()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    const long long us = static_cast<long long>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
    std::printf("%lld.%03lld ", us / 1000, us % 1000);
}

void Print(const Watch& watch, bool found)
{
    if (watch.stamp)
        PrintNow();
    if (!found) {
        std::printf("%s:  not found.\n", watch.name);
    } else {
        std::string quoted;
        for (const char c : watch.title) {
            if (c == '"' || c == '\\')
                quoted += '\\';
            if (c == '\n')
                quoted += "\\n";
            else
                quoted += c;
        }
        std::printf("%s = \"%s\"\n", watch.name, quoted.c_str());
    }
    std::fflush(stdout);
}

uint32_t Card32(const unsigned char* p, bool swapped)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return swapped ? __builtin_bswap32(v) : v;
}

uint16_t Card16(const unsigned char* p, bool swapped)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return swapped ? __builtin_bswap16(v) : v;
}

// A recorded ChangeProperty request: header (24 bytes, 28 with a big-request
// length), then the value.
void OnRequest(XPointer closure, XRecordInterceptData* data)
{
    auto& watch = *reinterpret_cast<Watch*>(closure);
    const auto* p = static_cast<const unsigned char*>(data->data);
    const size_t bytes = static_cast<size_t>(data->data_len) * 4;
    if (data->category == XRecordStartOfData)
        watch.recording = true;
    if (data->category == XRecordFromClient && bytes >= 24 && p[0] == X_ChangeProperty) {
        const bool swapped = data->client_swapped;
        const int mode = p[1];
        size_t at = 4;
        if (Card16(p + 2, swapped) == 0)
            at += 4;  // the length did not fit in 16 bits and follows the header
        if (bytes >= at + 20 && Card32(p + at, swapped) == watch.window
            && Card32(p + at + 4, swapped) == watch.property && p[at + 12] == 8) {
            const size_t units = Card32(p + at + 16, swapped);
            const size_t start = at + 20;
            const std::string value(reinterpret_cast<const char*>(p + start),
                                    units <= bytes - start ? units : bytes - start);
            if (mode == PropModeAppend)
                watch.title += value;
            else if (mode == PropModePrepend)
                watch.title = value + watch.title;
            else
                watch.title = value;
            if (watch.printed)  // before it, the first title read holds this one
                Print(watch, true);
        }
    }
    XRecordFreeData(data);
}

bool ReadTitle(Display* display, Watch& watch)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* value = nullptr;
    const int status = XGetWindowProperty(display, watch.window, watch.property, 0, 1L << 20, False,
                                          AnyPropertyType, &type, &format, &count, &after, &value);
    const bool found = status == Success && type != None && format == 8;
    watch.title = found ? std::string(reinterpret_cast<char*>(value), count) : std::string();
    if (value)
        XFree(value);
    return found;
}

}  // namespace

int main(int argc, char** argv)
{
    Watch watch;
    int arg = 1;
    if (arg < argc && std::strcmp(argv[arg], "--stamp") == 0) {
        watch.stamp = true;
        ++arg;
    }
    if (arg >= argc) {
        std::fprintf(stderr, "usage: title_watch [--stamp] <window id> [property]\n");
        return 2;
    }
    watch.window = std::strtoul(argv[arg++], nullptr, 0);
    if (arg < argc)
        watch.name = argv[arg];

    // RECORD wants two connections: one to set it up, one the records arrive on.
    Display* control = XOpenDisplay(nullptr);
    Display* records = XOpenDisplay(nullptr);
    int major = 0, minor = 0;
    if (!control || !records || !XRecordQueryVersion(control, &major, &minor)) {
        std::fprintf(stderr, "title_watch: no X display with the RECORD extension\n");
        return 1;
    }
    watch.property = XInternAtom(control, watch.name, False);

    XRecordRange* range = XRecordAllocRange();
    range->core_requests.first = X_ChangeProperty;
    range->core_requests.last = X_ChangeProperty;
    XRecordClientSpec clients = XRecordAllClients;
    XRecordContext context = XRecordCreateContext(control, 0, &clients, 1, &range, 1);
    XFree(range);
    XSync(control, False);
    if (!context || !XRecordEnableContextAsync(records, context, OnRequest,
                                               reinterpret_cast<XPointer>(&watch))) {
        std::fprintf(stderr, "title_watch: the X server would not record\n");
        return 1;
    }
    XFlush(records);

    const int fd = ConnectionNumber(records);
    for (;;) {
        XRecordProcessReplies(records);
        // The first title is read once the server says it records, so no
        // change can fall between the two.
        if (watch.recording && !watch.printed) {
            Print(watch, ReadTitle(control, watch));
            watch.printed = true;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval wait{1, 0};  // in case a record is held in Xlib's buffer
        if (select(fd + 1, &readable, nullptr, nullptr, &wait) < 0)
            return 1;
    }
}
