// Starts a program and ends it as soon as the X server has mapped a top-level window of
// it, so that a whole-process timer measures the time to the window shown, and a memory
// accounting the program's peak until then.
//
//   bench_until_shown PROGRAM [ARGUMENTS...]
//
// Exit status: 0 once a window was mapped; 1 when the program ended first or none came
// within 20 s; 2 without a display.

#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_until_shown PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> x(xcb_connect(nullptr, nullptr),
                                                                   &xcb_disconnect);
    if (xcb_connection_has_error(x.get())) {
        std::fprintf(stderr, "bench_until_shown: no X display\n");
        return 2;
    }
    // Every window mapped under the root: a program's top-level window, or the frame a
    // window manager puts around it.
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(x.get())).data;
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x.get(), screen->root, XCB_CW_EVENT_MASK, &events);
    xcb_flush(x.get());

    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    pollfd display{xcb_get_file_descriptor(x.get()), POLLIN, 0};
    int status = 1;
    while (std::chrono::steady_clock::now() < deadline) {
        ::poll(&display, 1, 50);
        bool mapped = false;
        while (xcb_generic_event_t *event = xcb_poll_for_event(x.get())) {
            mapped = mapped || (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
        }
        if (mapped) {
            status = 0;
            break;
        }
        if (waitpid(child, nullptr, WNOHANG) == child)
            return 1;
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return status;
}
