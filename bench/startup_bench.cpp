// Start-up time of the program, from process start to the first paint of its main window, beside a
// minimal Qt Widgets program with the same window and one version fetch, on the X server named by
// DISPLAY and with a version server on loopback that this driver runs itself. Also the processor
// time each spent up to that paint and its peak memory (max RSS).
//
// Usage: startup_bench <program> <baseline> <version port> [starts] [warm-ups]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr double kGoal = 1.15;      // the program's start-up at most this times the baseline's
constexpr int kWindowWait = 10'000; // ms a program gets to put its window on screen
constexpr int kSettle = 100;        // ms a program runs on after its first paint
constexpr int kPortWait = 180'000;  // ms to wait for the version port to come free
constexpr std::string_view kTitlePrefix = "TavikLumrose"; // both main windows' titles start so

double now_ms() {
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_nsec) / 1e6;
}

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "startup_bench: %s\n", message.c_str());
    std::exit(1);
}

// Publishes "1.0" at any path of 127.0.0.1:<port>, one connection at a time, and counts the
// requests it answered.
class VersionServer {
public:
    explicit VersionServer(std::uint16_t port) {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int yes = 1;
        if (listener_ < 0 ||
            setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0) {
            fail(std::string("cannot open a socket: ") + std::strerror(errno));
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        // The port is the local build's one, which scripts/run and the end-to-end tests serve too
        // while they run; wait for them a while.
        const double give_up = now_ms() + kPortWait;
        while (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            if (errno != EADDRINUSE || now_ms() > give_up) {
                fail("cannot serve the version on 127.0.0.1:" + std::to_string(port) + " (" +
                     std::strerror(errno) + ")");
            }
            if (!waited_) {
                std::fprintf(stderr, "startup_bench: 127.0.0.1:%d is busy; waiting for it\n", port);
                waited_ = true;
            }
            poll(nullptr, 0, 500);
        }
        if (listen(listener_, 16) != 0) {
            fail(std::string("cannot listen: ") + std::strerror(errno));
        }
        thread_ = std::thread([this] { serve(); });
    }
    ~VersionServer() {
        stopping_ = true;
        thread_.join();
        close(listener_);
    }
    VersionServer(const VersionServer&) = delete;
    VersionServer& operator=(const VersionServer&) = delete;

    int requests() const { return requests_; }

private:
    void serve() {
        static constexpr std::string_view kAnswer =
            "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 3\r\n\r\n1.0";
        while (!stopping_) {
            pollfd entry{listener_, POLLIN, 0};
            if (poll(&entry, 1, 50) <= 0) {
                continue;
            }
            const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) {
                continue;
            }
            std::string request;
            char buffer[2048];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
                if (got <= 0) {
                    break;
                }
                request.append(buffer, static_cast<std::size_t>(got));
            }
            if (send(connection, kAnswer.data(), kAnswer.size(), MSG_NOSIGNAL) ==
                static_cast<ssize_t>(kAnswer.size())) {
                ++requests_;
            }
            close(connection);
        }
    }

    int listener_ = -1;
    bool waited_ = false;
    std::atomic<bool> stopping_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};

struct Start {
    double to_map_ms;   // process start to the mapping of the main window
    double to_paint_ms; // process start to the first drawing into the mapped main window
    double cpu_ms;      // processor time of all the program's threads up to that drawing
    long max_rss_kib;
};

// Starts programs one at a time and watches the X server for their main windows.
class Stopwatch {
public:
    Stopwatch() {
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) {
            fail("cannot open the X display named by DISPLAY");
        }
        int error_base = 0;
        if (!XDamageQueryExtension(display_, &damage_event_, &error_base)) {
            fail("the X server has no DAMAGE extension");
        }
        // Damage objects go with their windows; freeing one that is already gone is harmless.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        root_ = DefaultRootWindow(display_);
        net_wm_pid_ = XInternAtom(display_, "_NET_WM_PID", False);
        net_wm_name_ = XInternAtom(display_, "_NET_WM_NAME", False);
        utf8_string_ = XInternAtom(display_, "UTF8_STRING", False);
        XSelectInput(display_, root_, SubstructureNotifyMask);
        XSync(display_, True);
        environment_ = child_environment();
    }
    ~Stopwatch() { XCloseDisplay(display_); }
    Stopwatch(const Stopwatch&) = delete;
    Stopwatch& operator=(const Stopwatch&) = delete;

    Start run(const std::string& program) {
        std::vector<char*> arguments{const_cast<char*>(program.c_str()), nullptr};
        std::vector<char*> environment;
        for (std::string& entry : environment_) {
            environment.push_back(entry.data());
        }
        environment.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);

        const double start = now_ms();
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, program.c_str(), &files, nullptr, arguments.data(),
                                        environment.data());
        posix_spawn_file_actions_destroy(&files);
        if (spawned != 0) {
            fail("cannot start " + program + ": " + std::strerror(spawned));
        }

        std::vector<Damage> damages;
        std::optional<Window> window;
        double mapped = 0;
        std::optional<double> painted;
        double cpu = 0;
        while (!painted) {
            if (XPending(display_) == 0) {
                wait_for_events(program, pid, start);
                continue;
            }
            XEvent event;
            XNextEvent(display_, &event);
            const double at = now_ms();
            if (event.type == CreateNotify && event.xcreatewindow.parent == root_) {
                // Watched from birth, so no drawing slips by between its mapping and the watch.
                damages.push_back(
                    XDamageCreate(display_, event.xcreatewindow.window, XDamageReportNonEmpty));
            } else if (event.type == MapNotify && !window) {
                if (const std::optional<std::string> title = title_of(event.xmap.window, pid)) {
                    if (!title->starts_with(kTitlePrefix)) {
                        stop(pid);
                        fail(program + " showed \"" + *title +
                             "\" instead of its main window; was the version not \"1.0\"?");
                    }
                    window = event.xmap.window;
                    mapped = at;
                }
            } else if (event.type == damage_event_ + XDamageNotify && window &&
                       reinterpret_cast<const XDamageNotifyEvent&>(event).drawable == *window) {
                painted = at;
                cpu = processor_time(pid);
            }
        }

        // The program runs on a little, so that its peak memory is that of a program that is up.
        while (now_ms() < *painted + kSettle) {
            poll(nullptr, 0, static_cast<int>(*painted + kSettle - now_ms()) + 1);
        }
        const long rss = stop(pid);
        for (Damage damage : damages) {
            XDamageDestroy(display_, damage);
        }
        XSync(display_, True); // the rest of this start's events concern no one
        return {mapped - start, *painted - start, cpu, rss};
    }

private:
    // What the programs see: this environment, on X, with no proxy between them and loopback.
    static std::vector<std::string> child_environment() {
        static constexpr std::string_view kDropped[] = {
            "QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "http_proxy", "HTTP_PROXY",
            "https_proxy",     "HTTPS_PROXY",     "all_proxy",  "ALL_PROXY"};
        std::vector<std::string> result;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string_view text(*entry);
            const std::string_view name = text.substr(0, text.find('='));
            if (std::find(std::begin(kDropped), std::end(kDropped), name) == std::end(kDropped)) {
                result.emplace_back(text);
            }
        }
        result.emplace_back("QT_QPA_PLATFORM=xcb");
        return result;
    }

    void wait_for_events(const std::string& program, pid_t pid, double start) {
        const int left = static_cast<int>(start + kWindowWait - now_ms());
        if (left <= 0) {
            stop(pid);
            fail(program + " put no main window on screen within " +
                 std::to_string(kWindowWait / 1000) + " s");
        }
        pollfd entry{ConnectionNumber(display_), POLLIN, 0};
        poll(&entry, 1, std::min(left, 100));
        if (int status = 0; waitpid(pid, &status, WNOHANG) == pid) {
            fail(program + " ended before its main window was painted (wait status " +
                 std::to_string(status) + ")");
        }
    }

    // The title of a window of the program's own, nothing for anybody else's window.
    std::optional<std::string> title_of(Window window, pid_t pid) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        bool owned = false;
        if (XGetWindowProperty(display_, window, net_wm_pid_, 0, 1, False, XA_CARDINAL, &type,
                               &format, &count, &after, &data) == Success &&
            data != nullptr) {
            // Xlib hands 32-bit items over as longs.
            owned = format == 32 && count == 1 &&
                    static_cast<pid_t>(*reinterpret_cast<const long*>(data)) == pid;
            XFree(data);
        }
        if (!owned) {
            return std::nullopt;
        }
        std::string title;
        data = nullptr;
        if (XGetWindowProperty(display_, window, net_wm_name_, 0, 256, False, utf8_string_, &type,
                               &format, &count, &after, &data) == Success &&
            data != nullptr) {
            title.assign(reinterpret_cast<const char*>(data), count);
            XFree(data);
        }
        return title;
    }

    // Processor time of the program's threads so far, in ms, from the scheduler's own account.
    static double processor_time(pid_t pid) {
        const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
        double total = 0;
        DIR* directory = opendir(tasks.c_str());
        if (directory == nullptr) {
            return total;
        }
        while (const dirent* entry = readdir(directory)) {
            if (entry->d_name[0] == '.') {
                continue;
            }
            const std::string path = tasks + "/" + entry->d_name + "/schedstat";
            if (std::FILE* file = std::fopen(path.c_str(), "r")) {
                unsigned long long nanoseconds = 0;
                if (std::fscanf(file, "%llu", &nanoseconds) == 1) {
                    total += static_cast<double>(nanoseconds) / 1e6;
                }
                std::fclose(file);
            }
        }
        closedir(directory);
        return total;
    }

    // Ends the program and gives its peak memory in KiB.
    static long stop(pid_t pid) {
        kill(pid, SIGTERM);
        int status = 0;
        rusage usage{};
        while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
        }
        return usage.ru_maxrss;
    }

    Display* display_ = nullptr;
    Window root_ = None;
    int damage_event_ = 0;
    Atom net_wm_pid_ = None;
    Atom net_wm_name_ = None;
    Atom utf8_string_ = None;
    std::vector<std::string> environment_;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

template <typename Field> double median_of(const std::vector<Start>& starts, Field field) {
    std::vector<double> values;
    for (const Start& start : starts) {
        values.push_back(static_cast<double>(start.*field));
    }
    return median(values);
}

// The median over the pairs of starts made one right after the other, which share whatever else
// the machine was doing at the time.
template <typename Field>
double paired_ratio(const std::vector<Start>& ours, const std::vector<Start>& theirs, Field field) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        ratios.push_back(static_cast<double>(ours[i].*field) /
                         static_cast<double>(theirs[i].*field));
    }
    return median(ratios);
}

int parse_count(const char* text, const char* what) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 65'535) {
        fail(std::string("bad ") + what + ": " + text);
    }
    return static_cast<int>(value);
}

void print_row(const char* name, const std::vector<Start>& starts) {
    std::vector<double> paint;
    for (const Start& start : starts) {
        paint.push_back(start.to_paint_ms);
    }
    std::printf("  %-9s %6.1f ms %6.1f ms %6.1f ms %6.1f ms %7.1f MiB\n", name,
                median_of(starts, &Start::to_paint_ms),
                *std::min_element(paint.begin(), paint.end()), median_of(starts, &Start::to_map_ms),
                median_of(starts, &Start::cpu_ms), median_of(starts, &Start::max_rss_kib) / 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 6) {
        std::fprintf(stderr, "usage: %s <program> <baseline> <version port> [starts] [warm-ups]\n",
                     argv[0]);
        return 2;
    }
    const std::string program = argv[1];
    const std::string baseline = argv[2];
    const int port = parse_count(argv[3], "port");
    const int starts = argc > 4 ? std::max(1, parse_count(argv[4], "start count")) : 30;
    const int warm_ups = argc > 5 ? parse_count(argv[5], "warm-up count") : 3;

    VersionServer server(static_cast<std::uint16_t>(port));
    Stopwatch stopwatch;
    for (int i = 0; i < warm_ups; ++i) {
        stopwatch.run(baseline);
        stopwatch.run(program);
    }
    const int requests_before = server.requests();
    std::vector<Start> ours;
    std::vector<Start> theirs;
    // In pairs, each time the other one first, so that neither always follows the other.
    for (int i = 0; i < starts; ++i) {
        if (i % 2 == 0) {
            theirs.push_back(stopwatch.run(baseline));
            ours.push_back(stopwatch.run(program));
        } else {
            ours.push_back(stopwatch.run(program));
            theirs.push_back(stopwatch.run(baseline));
        }
    }
    if (server.requests() - requests_before != 2 * starts) {
        fail("expected one version request per start; the server answered " +
             std::to_string(server.requests() - requests_before) + " for " +
             std::to_string(2 * starts) + " starts");
    }

    std::printf("start-up to the first paint of the main window: medians of %d starts each "
                "(after %d warm-up pairs), version served on 127.0.0.1:%d\n",
                starts, warm_ups, port);
    std::printf("  %-9s %9s %9s %9s %9s %11s\n", "", "to paint", "fastest", "to map", "CPU",
                "max RSS");
    print_row("tavik", ours);
    print_row("baseline", theirs);
    const double ratio = paired_ratio(ours, theirs, &Start::to_paint_ms);
    std::printf("  tavik / baseline: to paint %.2f (goal: at most %.2f, %s), CPU %.2f, max RSS "
                "%.2f\n",
                ratio, kGoal, ratio <= kGoal ? "met" : "MISSED",
                paired_ratio(ours, theirs, &Start::cpu_ms),
                paired_ratio(ours, theirs, &Start::max_rss_kib));
    return 0;
}
