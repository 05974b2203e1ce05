// Times a program from launch to its window shown on an X display (a private Xvfb):
//
//   first_paint [TIMEOUT_SECONDS] -- COMMAND ARGUMENT...
//
// prints "map_ms M paint_ms P width W height H" and ends the program again.
//
// Watched from outside, so the same yardstick serves any program without changing it.
// "Mapped" is the X server's MapNotify for the first top-level window. "Painted" is the
// first moment the window's pixels differ from the root's background: the root is
// filled with a colour no widget paints before launch, and a Qt window has no
// background of its own, so the server leaves that colour showing until the program
// puts its first frame on the screen. The screen is sampled every millisecond.

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uint32_t kMarker = 0x123456;

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The share of sampled points inside the window that no longer show the marker. The
// requests go out together, so a sample costs one round trip to the server.
double paintedShare(xcb_connection_t* connection, xcb_window_t root, int x, int y, int width, int height)
{
    constexpr int kGrid = 5;
    xcb_get_image_cookie_t cookies[kGrid * kGrid];
    for (int row = 0; row < kGrid; ++row) {
        for (int column = 0; column < kGrid; ++column) {
            const int px = x + width * (column + 1) / (kGrid + 1);
            const int py = y + height * (row + 1) / (kGrid + 1);
            cookies[row * kGrid + column]
                = xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, px, py, 1, 1, ~0u);
        }
    }
    int samples = 0;
    int painted = 0;
    for (xcb_get_image_cookie_t cookie : cookies) {
        xcb_get_image_reply_t* image = xcb_get_image_reply(connection, cookie, nullptr);
        if (!image)
            continue;
        uint32_t pixel = 0;
        std::memcpy(&pixel, xcb_get_image_data(image), std::min(4, xcb_get_image_data_length(image)));
        std::free(image);
        ++samples;
        if ((pixel & 0xffffff) != kMarker)
            ++painted;
    }
    return samples ? double(painted) / samples : 0.0;
}

void endProgram(pid_t child)
{
    // The program and its helpers are one process group: all of them go.
    ::kill(-child, SIGTERM);
    for (int waited = 0; waited < 1000; ++waited) {
        if (::waitpid(child, nullptr, WNOHANG) == child)
            return;
        ::usleep(10000);
    }
    ::kill(-child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

} // namespace

int main(int argc, char* argv[])
{
    int first = 1;
    double timeoutSeconds = 60;
    if (first < argc && std::strcmp(argv[first], "--") != 0)
        timeoutSeconds = std::atof(argv[first++]);
    if (first >= argc || std::strcmp(argv[first], "--") != 0 || first + 1 >= argc) {
        std::fprintf(stderr, "usage: first_paint [TIMEOUT_SECONDS] -- COMMAND ARGUMENT...\n");
        return 2;
    }
    char** command = argv + first + 1;

    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "first_paint: cannot open the display\n");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    if (screens.data->root_depth != 24) {
        std::fprintf(stderr, "first_paint: needs a 24-bit screen\n");
        return 2;
    }

    const uint32_t background[] = {kMarker};
    xcb_change_window_attributes(connection, root, XCB_CW_BACK_PIXEL, background);
    xcb_clear_area(connection, 0, root, 0, 0, 0, 0);
    const uint32_t events[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, events);
    // A round trip: the root is filled and watched before the program starts.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    const auto launched = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::setpgid(0, 0);
        ::execvp(command[0], command);
        std::_Exit(127);
    }
    ::setpgid(child, child);

    const auto timedOut = [&] { return millisecondsSince(launched) > timeoutSeconds * 1000; };
    xcb_window_t window = XCB_NONE;
    double mappedMs = 0;
    while (window == XCB_NONE) {
        if (timedOut() || ::waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "first_paint: no window was mapped\n");
            endProgram(child);
            return 1;
        }
        pollfd watch{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&watch, 1, 100);
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && window == XCB_NONE) {
                auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (!map->override_redirect) {
                    window = map->window;
                    mappedMs = millisecondsSince(launched);
                }
            }
            std::free(event);
        }
    }

    xcb_get_geometry_reply_t* geometry
        = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry) {
        endProgram(child);
        return 1;
    }
    const int x = geometry->x, y = geometry->y, width = geometry->width, height = geometry->height;
    std::free(geometry);

    double paintedMs = -1;
    while (!timedOut()) {
        if (paintedShare(connection, root, x, y, width, height) > 0.95) {
            paintedMs = millisecondsSince(launched);
            break;
        }
        ::usleep(1000);
    }
    endProgram(child);
    if (paintedMs < 0) {
        std::fprintf(stderr, "first_paint: the window was never painted\n");
        return 1;
    }
    std::printf("map_ms %.1f paint_ms %.1f width %d height %d\n", mappedMs, paintedMs, width, height);
    xcb_disconnect(connection);
    return 0;
}
