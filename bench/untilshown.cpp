// Starts a program and stops it as soon as the X server has mapped a top-level window of
// it, and prints on stdout what the start cost until then:
//
//   SECONDS KB CPU_SECONDS
//
// the time from the start to the map, the program's peak resident memory (the kernel's
// high-water mark, read while it is stopped, so that nothing it does after the map counts),
// and the processor time of all its threads. The program's own output goes nowhere.
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
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct CloseDirectory
{
    void operator()(DIR *directory) const { closedir(directory); }
};

// VmHWM of a process, in kB.
long peakKilobytes(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "r"),
                                                       &std::fclose);
    char line[256];
    while (file && std::fgets(line, sizeof line, file.get())) {
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            return std::strtol(line + 6, nullptr, 10);
    }
    return -1;
}

// Nanoseconds on the processor, all threads of a process, from the scheduler's counts.
long long processorNanoseconds(pid_t pid)
{
    const std::string folder = "/proc/" + std::to_string(pid) + "/task";
    std::unique_ptr<DIR, CloseDirectory> tasks(opendir(folder.c_str()));
    long long sum = 0;
    while (tasks) {
        const dirent *task = readdir(tasks.get());
        if (!task)
            break;
        if (task->d_name[0] == '.')
            continue;
        const std::string path = folder + "/" + task->d_name + "/schedstat";
        std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "r"),
                                                           &std::fclose);
        long long ran = 0;
        if (file && std::fscanf(file.get(), "%lld", &ran) == 1)
            sum += ran;
    }
    return sum;
}

} // namespace

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

    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int nowhere = open("/dev/null", O_WRONLY);
        dup2(nowhere, STDOUT_FILENO);
        dup2(nowhere, STDERR_FILENO);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    const auto deadline = started + std::chrono::seconds(20);
    pollfd display{xcb_get_file_descriptor(x.get()), POLLIN, 0};
    while (std::chrono::steady_clock::now() < deadline) {
        ::poll(&display, 1, 50);
        bool mapped = false;
        while (xcb_generic_event_t *event = xcb_poll_for_event(x.get())) {
            mapped = mapped || (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
        }
        if (mapped) {
            const std::chrono::duration<double> shown = std::chrono::steady_clock::now() - started;
            kill(child, SIGSTOP);
            waitpid(child, nullptr, WUNTRACED);
            std::printf("%.4f %ld %.4f\n", shown.count(), peakKilobytes(child),
                        double(processorNanoseconds(child)) / 1e9);
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            return 0;
        }
        if (waitpid(child, nullptr, WNOHANG) == child)
            return 1;
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return 1;
}
