// Measures a program's start-up as a person sees it on an X server: starts the command given
// on the command line, waits for the map of its top-level window (SubstructureNotify on the
// root window), then reads the window's pixels until its captions appear (dark text on the
// light window; the server's root must be white, as with Xvfb -wr, so that an unpainted
// window shows none). Prints the milliseconds from just before the process was started until
// then, the milliseconds until the map, the process's CPU time in milliseconds and its peak
// resident memory in KiB at that moment, then kills it.
// Usage: first_frame PROGRAM [ARGUMENTS...]
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

extern char** environ;

enum { kCaptionPixels = 20, kTimeoutMs = 10000 };

static double nowMs(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec * 1e3 + (double)now.tv_nsec / 1e6;
}

static void fail(const char* what, pid_t child) {
    fprintf(stderr, "first_frame: %s\n", what);
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, NULL, 0);
    }
    exit(1);
}

// Whether the window shows captions: dark text on a mostly light window. (Before its first
// paint, a window shows what lies under it: the white root window, or the frame a window
// manager put around it, which is not mostly light.)
static bool showsCaptions(xcb_connection_t* x, xcb_window_t window, uint16_t width,
                          uint16_t height) {
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        x, xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, width, height, UINT32_MAX),
        NULL);
    if (image == NULL)
        return false;
    int dark = 0;
    int light = 0;
    int pixels = 0;
    if (image->depth == 24 || image->depth == 32) {
        const uint8_t* pixel = xcb_get_image_data(image);
        const int length = xcb_get_image_data_length(image);
        for (int i = 0; i + 3 < length; i += 4, ++pixels) {
            dark += pixel[i] < 0x60 && pixel[i + 1] < 0x60 && pixel[i + 2] < 0x60;
            light += pixel[i] >= 0xd0 && pixel[i + 1] >= 0xd0 && pixel[i + 2] >= 0xd0;
        }
    }
    free(image);
    return dark >= kCaptionPixels && 2 * light > pixels;
}

// The top-level windows created on the root window so far, watched for their map.
struct Created {
    xcb_window_t windows[64];
    int count;
};

// The program's top-level window when the event shows its map, else XCB_NONE. It is mapped
// on the root window, or in the frame of a window manager (its own map is then seen through
// StructureNotify).
static xcb_window_t mapIn(xcb_connection_t* x, const xcb_generic_event_t* event,
                          struct Created* created) {
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_MAP_NOTIFY) {
        const xcb_window_t mapped = ((const xcb_map_notify_event_t*)event)->window;
        for (int i = 0; i < created->count; ++i)
            if (created->windows[i] == mapped)
                return mapped;
        return XCB_NONE;
    }
    const xcb_create_notify_event_t* create = (const xcb_create_notify_event_t*)event;
    if (type != XCB_CREATE_NOTIFY || create->override_redirect || created->count == 64)
        return XCB_NONE;
    created->windows[created->count++] = create->window;
    const uint32_t own = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, create->window, XCB_CW_EVENT_MASK, &own);
    xcb_get_window_attributes_reply_t* state =
        xcb_get_window_attributes_reply(x, xcb_get_window_attributes(x, create->window), NULL);
    const bool viewable = state != NULL && state->map_state == XCB_MAP_STATE_VIEWABLE;
    free(state);
    return viewable ? create->window : XCB_NONE;
}

// Waits for the map of the program's top-level window; gives up when the program ends or
// the time runs out.
static xcb_window_t mappedWindow(xcb_connection_t* x, pid_t child, double start) {
    struct Created created = {.count = 0};
    for (;;) {
        xcb_generic_event_t* event = xcb_poll_for_event(x);
        if (event != NULL) {
            const xcb_window_t window = mapIn(x, event, &created);
            free(event);
            if (window != XCB_NONE)
                return window;
            continue;
        }
        if (xcb_connection_has_error(x))
            fail("lost the display", child);
        if (waitpid(child, NULL, WNOHANG) == child)
            fail("the program ended before its window was mapped", 0);
        if (nowMs() - start > kTimeoutMs)
            fail("no window was mapped", child);
        struct pollfd display = {xcb_get_file_descriptor(x), POLLIN, 0};
        poll(&display, 1, 100);
    }
}

int main(int argc, char* argv[]) {
    if (argc < 2) {
        fputs("usage: first_frame PROGRAM [ARGUMENTS...]\n", stderr);
        return 2;
    }
    int screenNumber = 0;
    xcb_connection_t* x = xcb_connect(NULL, &screenNumber);
    if (xcb_connection_has_error(x))
        fail("cannot open the display", 0);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_request_check(x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask));

    const double start = nowMs();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[1], NULL, NULL, argv + 1, environ) != 0)
        fail("cannot start the program", 0);

    const xcb_window_t window = mappedWindow(x, child, start);
    const double mappedAt = nowMs();
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(x, xcb_get_geometry(x, window), NULL);
    if (geometry == NULL)
        fail("the window went away", child);

    double shownAt = 0;
    for (;;) {
        if (showsCaptions(x, window, geometry->width, geometry->height)) {
            shownAt = nowMs();
            break;
        }
        if (nowMs() - start > kTimeoutMs)
            fail("no captions appeared", child);
        usleep(500);
    }
    free(geometry);

    struct rusage usage;
    kill(child, SIGKILL);
    if (wait4(child, NULL, 0, &usage) != child)
        fail("lost the program", 0);
    const double cpuMs = (double)(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                         (double)(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    printf("%.2f %.2f %.1f %ld\n", shownAt - start, mappedAt - start, cpuMs, usage.ru_maxrss);
    xcb_disconnect(x);
    return 0;
}
