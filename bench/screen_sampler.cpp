// Samples points of an X display's screen at a steady rate, from outside any program:
//
//   screen_sampler RATE_HZ SECONDS X,Y ...
//
// prints one line a frame, "MONOTONIC_SECONDS RRGGBB RRGGBB ...", the points in the order
// given, until SECONDS have passed or SIGTERM comes. The points of one frame are read
// under a server grab, so they are one moment of the screen: no other client draws
// between the first point and the last. The time is that of CLOCK_MONOTONIC, the clock
// Python's time.monotonic() reads, so frames line up with a page server's request log.

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

struct Point {
    int x;
    int y;
};

double monotonicSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: screen_sampler RATE_HZ SECONDS X,Y ...\n");
        return 2;
    }
    const double rate = std::atof(argv[1]);
    const double seconds = std::atof(argv[2]);
    std::vector<Point> points;
    for (int i = 3; i < argc; ++i) {
        Point point{};
        if (std::sscanf(argv[i], "%d,%d", &point.x, &point.y) != 2 || rate <= 0) {
            std::fprintf(stderr, "screen_sampler: not a point: %s\n", argv[i]);
            return 2;
        }
        points.push_back(point);
    }
    std::signal(SIGTERM, [](int) { stopRequested = 1; });

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "screen_sampler: cannot open the display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;

    const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(1.0 / rate));
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                 std::chrono::duration<double>(seconds));
    std::vector<xcb_get_image_cookie_t> cookies(points.size());
    std::string line;
    for (auto due = start; !stopRequested && due < end; due += period) {
        std::this_thread::sleep_until(due);
        // A frame missed (the machine was busy) is skipped, not caught up in a burst.
        while (due + period < std::chrono::steady_clock::now())
            due += period;
        xcb_grab_server(connection);
        for (size_t i = 0; i < points.size(); ++i)
            cookies[i]
                = xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, points[i].x, points[i].y, 1, 1, ~0u);
        xcb_ungrab_server(connection);
        xcb_flush(connection);
        char text[16];
        std::snprintf(text, sizeof text, "%.6f", monotonicSeconds());
        line = text;
        for (xcb_get_image_cookie_t cookie : cookies) {
            xcb_get_image_reply_t* image = xcb_get_image_reply(connection, cookie, nullptr);
            uint32_t pixel = 0;
            if (image) {
                std::memcpy(&pixel, xcb_get_image_data(image), std::min(4, xcb_get_image_data_length(image)));
                std::free(image);
            }
            std::snprintf(text, sizeof text, " %06x", pixel & 0xffffff);
            line += text;
        }
        std::puts(line.c_str());
    }
    std::fflush(stdout);
    xcb_disconnect(connection);
    return 0;
}
