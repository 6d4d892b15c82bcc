// Launches a program on the X display and measures it from the outside:
//  map_ms         from the start of the process to its first window mapped;
//  map_cpu_ms     the processor time the process had used by then, all threads (steadier
//                 than map_ms on a busy machine);
//  rss3_mb        its resident memory 3 s after the start;
//  rss_sound_mb   the same 1 s after a key typed into that window (a keystroke sound), with
//                 --type;
//  close_ms       from asking that window to close, as a window manager's close button does,
//                 to the end of the process.
// Usage: bench_launch [--type] PROGRAM [ARGS...]

#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double rssMb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return -1;
}

// Processor time used by every thread of the process so far.
double cpuMs(pid_t pid) {
    double total = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    if (DIR* dir = opendir(tasks.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.')
                continue;
            std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
            double ns = 0;
            if (stat >> ns)
                total += ns / 1e6;
        }
        closedir(dir);
    }
    return total;
}

xcb_atom_t atom(xcb_connection_t* x, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

} // namespace

int main(int argc, char* argv[]) {
    int first = 1;
    const bool type = argc > 1 && std::strcmp(argv[1], "--type") == 0;
    if (type)
        ++first;
    if (first >= argc) {
        std::fprintf(stderr, "usage: bench_launch [--type] PROGRAM [ARGS...]\n");
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (int error = xcb_connection_has_error(x)) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "cannot reach the X display %s (%d)\n", display ? display : "", error);
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[first], argv + first);
        _exit(127);
    }
    xcb_window_t window = 0;
    while (!window) {
        xcb_generic_event_t* event = xcb_wait_for_event(x);
        if (!event)
            return 1;
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (!map->override_redirect)
                window = map->window;
        }
        std::free(event);
    }
    const double mapMs = msSince(start);
    const double mapCpuMs = cpuMs(pid);

    std::this_thread::sleep_until(start + std::chrono::seconds(3));
    const double rss3 = rssMb(pid);
    double rssSound = -1;
    if (type) {
        const std::string keys = "xdotool windowfocus --sync " + std::to_string(window) +
                                 " key --delay 0 a >/dev/null 2>&1";
        if (std::system(keys.c_str()) != 0)
            std::fprintf(stderr, "xdotool failed\n");
        std::this_thread::sleep_for(std::chrono::seconds(1));
        rssSound = rssMb(pid);
    }

    xcb_client_message_event_t close{};
    close.response_type = XCB_CLIENT_MESSAGE;
    close.format = 32;
    close.window = window;
    close.type = atom(x, "WM_PROTOCOLS");
    close.data.data32[0] = atom(x, "WM_DELETE_WINDOW");
    close.data.data32[1] = XCB_CURRENT_TIME;
    const auto closing = Clock::now();
    xcb_send_event(x, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&close));
    xcb_flush(x);
    int status = 0;
    waitpid(pid, &status, 0);
    const double closeMs = msSince(closing);

    std::printf("map_ms=%.1f map_cpu_ms=%.1f rss3_mb=%.1f rss_sound_mb=%.1f close_ms=%.1f\n", mapMs,
                mapCpuMs, rss3, rssSound, closeMs);
    xcb_disconnect(x);
    return 0;
}
