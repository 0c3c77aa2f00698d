// The benchmark runner of bench/run.sh. It serves the demo content from two loopback servers on
// ephemeral ports, measures each figure side by side with its anchor, alternating them, and prints
// markdown tables of the median and the range.
//   linkvane-bench [--sections startup,idle,fetch] [--runs N] [--idle-runs N] [--idle-seconds S]
//                  [--platform-name TEXT] [--demo DIR]
// The windows run on the Qt platform of QT_QPA_PLATFORM (offscreen unless set); --platform-name
// only names it in the tables. One child process at a time: the figures share no core.

#include "net/codepage.h"
#include "net/internetfile.h"
#include "net/transport.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

double NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

[[noreturn]] void Fail(const std::string& why);

// ---- child processes -----------------------------------------------------------------------

std::atomic<pid_t> g_child{-1};  // the one alive, killed on every way out

struct Child {
    pid_t pid = -1;
    int in = -1, out = -1;  // its standard input and output
    std::string pending;    // output read but not yet taken as lines
};

Child Spawn(const std::vector<std::string>& args) {
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
        Fail("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);  // no server sockets
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    Child child;
    const int error = posix_spawnp(&child.pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    if (error != 0)
        Fail("cannot start " + args[0]);
    g_child = child.pid;
    child.in = in[1];
    child.out = out[0];
    return child;
}

// The next line the child prints, without its line break; empty at its end or after timeoutMs.
std::string ReadLine(Child& child, double timeoutMs) {
    const double deadline = NowMs() + timeoutMs;
    for (;;) {
        if (const auto end = child.pending.find('\n'); end != std::string::npos) {
            std::string line = child.pending.substr(0, end);
            child.pending.erase(0, end + 1);
            return line;
        }
        pollfd ready{child.out, POLLIN, 0};
        const double left = deadline - NowMs();
        if (left <= 0 || poll(&ready, 1, int(left) + 1) <= 0)
            return {};
        char buffer[4096];
        const ssize_t count = read(child.out, buffer, sizeof buffer);
        if (count <= 0)
            return {};
        child.pending.append(buffer, size_t(count));
    }
}

void Send(const Child& child, const char* command) {
    if (write(child.in, command, std::char_traits<char>::length(command)) < 0)
        Fail("the child ended early");
}

// Waits for the child's end (killing it first when asked); its resource usage.
rusage Reap(Child& child, bool kill = false) {
    if (kill)
        ::kill(child.pid, SIGKILL);
    close(child.in);
    close(child.out);
    rusage usage{};
    int status = 0;
    wait4(child.pid, &status, 0, &usage);
    g_child = -1;
    return usage;
}

// Async-signal-safe: also the way out at SIGINT and SIGTERM.
void KillChild() {
    if (const pid_t pid = g_child.exchange(-1); pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

void Fail(const std::string& why) {
    std::fprintf(stderr, "linkvane-bench: %s\n", why.c_str());
    KillChild();
    std::exit(1);
}

// ---- statistics and tables -----------------------------------------------------------------

struct Stats {
    double median = 0, min = 0, max = 0;
};

Stats Summarise(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return {n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2, values.front(), values.back()};
}

std::string Format(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Cell(const std::vector<double>& values, int decimals) {
    const Stats s = Summarise(values);
    return Format(s.median, decimals) + " (" + Format(s.min, decimals) + "–" + Format(s.max, decimals) + ")";
}

std::string Ratio(const std::vector<double>& values, const std::vector<double>& anchor) {
    const double base = Summarise(anchor).median;
    return base > 0 ? Format(Summarise(values).median / base, 2) + "x" : "n/a (anchor 0)";
}

void Row(const std::vector<std::string>& cells) {
    std::string line = "|";
    for (const std::string& cell : cells)
        line += " " + cell + " |";
    std::printf("%s\n", line.c_str());
}

void Header(const std::vector<std::string>& cells) {
    Row(cells);
    Row(std::vector<std::string>(cells.size(), "---"));
}

// ---- /proc ---------------------------------------------------------------------------------

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The number after "Name:" in a /proc status file; 0 without it.
long long StatusField(const std::string& status, const std::string& name) {
    const size_t at = status.find("\n" + name + ":");
    return at == std::string::npos ? 0 : std::atoll(status.c_str() + at + name.size() + 2);
}

struct ProcSample {
    double cpuMs = 0;        // user + system time of every thread, /proc/PID/stat
    long long switches = 0;  // voluntary + involuntary context switches of every live thread
};

ProcSample SampleProc(pid_t pid) {
    const fs::path proc = "/proc/" + std::to_string(pid);
    const std::string text = ReadFile(proc / "stat");
    std::istringstream stat(text.substr(text.rfind(')') + 2));  // after the command name
    std::vector<std::string> fields{std::istream_iterator<std::string>(stat), {}};
    ProcSample sample;
    if (fields.size() > 12)  // fields 14 and 15 of stat(5); this list starts at field 3
        sample.cpuMs = (std::stod(fields[11]) + std::stod(fields[12])) * 1000.0 / double(sysconf(_SC_CLK_TCK));
    std::error_code gone;  // the child ended: no threads to count
    for (const auto& task : fs::directory_iterator(proc / "task", gone)) {
        const std::string status = ReadFile(task.path() / "status");
        sample.switches += StatusField(status, "voluntary_ctxt_switches") +
                           StatusField(status, "nonvoluntary_ctxt_switches");
    }
    return sample;
}

// ---- the loopback servers ------------------------------------------------------------------

std::string ReadDemoFile(const std::string& path) {
    const std::string text = ReadFile(path);
    if (text.empty())
        Fail("no demo file " + path);
    return text;
}

class Servers {
public:
    explicit Servers(const std::string& demo) {
        Serve(content_, demo + "/content-server");
        Serve(links_, demo + "/link-server");
        // The banner address names the demo server's fixed port: point it at this server.
        std::string banner = ReadDemoFile(demo + "/content-server/document/ADSBaner.txt");
        const size_t host = banner.find("://") + 3;
        banner.replace(host, banner.find('/', host) - host, contentHost());
        content_.set_pre_routing_handler([banner](const httplib::Request& request, httplib::Response& response) {
            if (request.path != "/document/ADSBaner.txt")
                return httplib::Server::HandlerResponse::Unhandled;
            response.set_content(banner, "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        });
        for (const auto& [path, size] : {std::pair{"/bench/1k", 1024}, std::pair{"/bench/1m", 1 << 20}}) {
            std::string body(size_t(size), 'x');
            for (size_t i = 0; i < body.size(); ++i)  // printable ASCII, a line break every 64
                body[i] = i % 64 == 63 ? '\n' : char('a' + i % 26);
            content_.Get(path, [body](const httplib::Request&, httplib::Response& response) {
                response.set_content(body, "text/plain");
            });
        }
        silentPort_ = ListenSilently();
        for (httplib::Server* server : {&content_, &links_})
            threads_.emplace_back([server] { server->listen_after_bind(); });
        while (!content_.is_running() || !links_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~Servers() {
        content_.stop();
        links_.stop();
        for (std::thread& thread : threads_)
            thread.join();
        close(silentSocket_);
    }

    std::string contentHost() const { return "127.0.0.1:" + std::to_string(contentPort_); }
    // A server that takes connections and never answers: the kernel completes them in the
    // listen queue and nobody reads.
    std::string silentHost() const { return "127.0.0.1:" + std::to_string(silentPort_); }
    std::string linksHost() const { return "127.0.0.1:" + std::to_string(linksPort_); }

private:
    void Serve(httplib::Server& server, const std::string& folder) {
        server.set_file_extension_and_mimetype_mapping("txt", "text/plain");
        const int port = server.bind_to_any_port("127.0.0.1");
        if (!server.set_mount_point("/", folder) || port < 0)
            Fail("cannot serve " + folder);
        (&server == &content_ ? contentPort_ : linksPort_) = port;
    }

    int ListenSilently() {
        silentSocket_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (silentSocket_ < 0 || bind(silentSocket_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(silentSocket_, 64) != 0 ||
            getsockname(silentSocket_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            Fail("cannot listen for the silent server");
        return ntohs(address.sin_port);
    }

    httplib::Server content_, links_;
    int contentPort_ = -1, linksPort_ = -1;
    int silentSocket_ = -1, silentPort_ = -1;
    std::vector<std::thread> threads_;
};

// ---- the measurements ----------------------------------------------------------------------

struct Options {
    std::set<std::string> sections{"startup", "idle", "fetch"};
    int runs = 11;        // start-up pairs; fetch rounds
    int idleRuns = 3;
    double idleSeconds = 10;
    std::string platform;
    std::string demo = LINKVANE_DEMO_DIR;
    std::string binDir;
};

struct Window {
    std::string name;
    std::vector<std::string> args;
};

// The anchor first, then the program's window, then a variant that helps to explain the figures:
// for start-up a bare window with one line of text, for the idle cost the main window with its
// clock stopped and a bare window with a 1 ms timer that does nothing.
std::vector<Window> Windows(const Options& options, const Servers& servers, const std::string& section) {
    const std::string child = options.binDir + "/linkvane-bench-window";
    const std::vector<std::string> main{child, "main", servers.contentHost(), servers.linksHost()};
    std::vector<Window> windows{{"bare QWidget", {child, "bare"}}, {"linkvane::Main", main}};
    if (section == "startup") {
        windows.push_back({"bare QWidget + one QLabel", {child, "bare", "--label"}});
        windows.push_back({"linkvane::Main, servers never answer",
                           {child, "main", servers.silentHost(), servers.silentHost()}});
    } else {
        std::vector<std::string> stopped = main;
        stopped.push_back("--no-timer");
        windows.push_back({"linkvane::Main, LTime stopped", stopped});
        windows.push_back({"bare QWidget + empty 1 ms QTimer", {child, "bare", "--empty-timer"}});
    }
    return windows;
}

// Start to the end of the first paint, in ms, and the peak resident size at that moment, in MiB.
std::pair<double, double> StartOnce(const Window& window) {
    const double start = NowMs();
    Child child = Spawn(window.args);
    const std::string line = ReadLine(child, 30'000);
    const rusage usage = Reap(child, line.empty());
    if (line.rfind("painted ", 0) != 0)
        Fail(window.name + " never painted (see the log)");
    return {std::atoll(line.c_str() + 8) / 1e6 - start, usage.ru_maxrss / 1024.0};
}

void MeasureStartup(const Options& options, const Servers& servers) {
    const std::vector<Window> windows = Windows(options, servers, "startup");
    for (const Window& window : windows)
        StartOnce(window);  // warm-up: font and disk caches
    std::vector<std::vector<double>> ms(windows.size()), mib(windows.size());
    for (int run = 0; run < options.runs; ++run)
        for (size_t k = 0; k < windows.size(); ++k) {
            const size_t w = (k + size_t(run)) % windows.size();  // alternate which goes first
            const auto [time, peak] = StartOnce(windows[w]);
            ms[w].push_back(time);
            mib[w].push_back(peak);
        }
    std::printf("\n### Start-up: process start to first paint done (%s, %d alternating runs each)\n\n",
                options.platform.c_str(), options.runs);
    Header({"window", "ms, median (min–max)", "peak RSS at first paint, MiB (ru_maxrss)"});
    for (size_t w = 0; w < windows.size(); ++w)
        Row({windows[w].name, Cell(ms[w], 1), Cell(mib[w], 1)});
    Row({"**ratio Main / bare**", "**" + Ratio(ms[1], ms[0]) + "**", "**" + Ratio(mib[1], mib[0]) + "**"});
    Row({"ratio Main / bare with a QLabel", Ratio(ms[1], ms[2]), Ratio(mib[1], mib[2])});
    Row({"**ratio Main, servers never answer / bare**", "**" + Ratio(ms[3], ms[0]) + "**",
         "**" + Ratio(mib[3], mib[0]) + "**"});
}

void MeasureIdle(const Options& options, const Servers& servers) {
    const std::vector<Window> windows = Windows(options, servers, "idle");
    struct Figures {
        std::vector<double> cpu, wakeups, fires, paints, timers, hwm;
    };
    std::vector<Figures> figures(windows.size());
    for (int run = 0; run < options.idleRuns; ++run)
        for (size_t k = 0; k < windows.size(); ++k) {
            const size_t w = (k + size_t(run)) % windows.size();
            std::vector<std::string> args = windows[w].args;
            args.push_back("--stay");
            Child child = Spawn(args);
            if (ReadLine(child, 30'000).rfind("painted ", 0) != 0)
                Fail(windows[w].name + " never painted (see the log)");
            usleep(1'000'000);  // let it settle
            const auto counters = [&child] {
                Send(child, "r");
                long long fires = 0, paints = 0, timers = 0;
                std::sscanf(ReadLine(child, 5'000).c_str(), "fires %lld paints %lld timers %lld", &fires, &paints, &timers);
                return std::array<double, 3>{double(fires), double(paints), double(timers)};
            };
            const auto before = counters();
            const ProcSample first = SampleProc(child.pid);
            const double start = NowMs();
            usleep(useconds_t(options.idleSeconds * 1e6));
            const ProcSample last = SampleProc(child.pid);
            const double seconds = (NowMs() - start) / 1e3;
            const auto after = counters();
            Figures& f = figures[w];
            f.cpu.push_back((last.cpuMs - first.cpuMs) / (seconds * 10));  // percent of one core
            f.wakeups.push_back(double(last.switches - first.switches) / seconds);
            f.fires.push_back((after[0] - before[0]) / seconds);
            f.paints.push_back((after[1] - before[1]) / seconds);
            f.timers.push_back((after[2] - before[2]) / seconds);
            f.hwm.push_back(double(StatusField(ReadFile("/proc/" + std::to_string(child.pid) + "/status"), "VmHWM")) / 1024);
            Send(child, "q");
            Reap(child);
        }
    std::printf("\n### Idle: %.0f s after start-up settles, clock running (%s, %d runs each)\n\n",
                options.idleSeconds, options.platform.c_str(), options.idleRuns);
    Header({"window", "CPU, % of one core (user+sys, 10 ms ticks)", "wake-ups/s (context switches, all threads)",
            "LTime fires/s", "paint events/s", "Qt timer events/s"});
    for (size_t w = 0; w < windows.size(); ++w) {
        const Figures& f = figures[w];
        Row({windows[w].name, Cell(f.cpu, 2), Cell(f.wakeups, 0), Cell(f.fires, 0), Cell(f.paints, 1), Cell(f.timers, 0)});
    }
    Row({"**ratio Main / Main with LTime stopped**", "**" + Ratio(figures[1].cpu, figures[2].cpu) + "**",
         "**" + Ratio(figures[1].wakeups, figures[2].wakeups) + "**", "", "", ""});

    std::printf("\n### Peak memory after the idle run (VmHWM, %s, %d runs each)\n\n", options.platform.c_str(),
                options.idleRuns);
    Header({"window", "VmHWM, MiB"});
    for (size_t w = 0; w < windows.size(); ++w)
        Row({windows[w].name, Cell(figures[w].hwm, 1)});
    Row({"**ratio Main / bare**", "**" + Ratio(figures[1].hwm, figures[0].hwm) + "**"});
}

// Runs a command to its end; its first output line and its whole time from start to end in ms.
std::pair<std::string, double> RunWhole(const std::vector<std::string>& args) {
    const double start = NowMs();
    Child child = Spawn(args);
    std::string line = ReadLine(child, 30'000);
    while (!ReadLine(child, 30'000).empty()) {
    }
    Reap(child);
    return {line, NowMs() - start};
}

void MeasureFetch(const Options& options, const Servers& servers) {
    std::printf("\n### One download from the loopback server (%d interleaved rounds)\n\n", options.runs);
    Header({"body", "GetInternetFile in-process, ms", "curl `time_total`, ms", "ratio",
            "its transfer alone (HttpGet), ms", "its decode alone (FromAnsi), ms",
            "linkvane-bench-fetch whole process, ms", "curl whole process, ms", "ratio"});
    for (const auto& [label, path, size] : {std::tuple{"1 KiB", "/bench/1k", 1024}, std::tuple{"1 MiB", "/bench/1m", 1 << 20}}) {
        const std::string url = "http://" + servers.contentHost() + path;
        const std::vector<std::string> curl{"curl", "-s", "-o", "/dev/null", "--noproxy", "*",
                                            "-w", "%{time_total} %{size_download}\n", url};
        const std::vector<std::string> ours{options.binDir + "/linkvane-bench-fetch", url};
        std::vector<double> whole, transfer, decode, curlTransfer, oursProcess, curlProcess;
        for (int run = -1; run < options.runs; ++run) {  // run -1 warms up
            double t[4];
            t[0] = NowMs();
            const long long got = static_cast<long long>(linkvane::GetInternetFile(linkvane::FromUtf8(url)).size());
            t[1] = NowMs();
            // GetInternetFile's two halves on their own: libcurl into a std::string, then the
            // Windows-1256 bytes to UTF-16.
            const std::string body = linkvane::HttpGet(url, size).body;
            t[2] = NowMs();
            const long long decoded = static_cast<long long>(linkvane::FromAnsi(body).size());
            t[3] = NowMs();
            const auto [curlLine, curlMs] = RunWhole(curl);
            const auto [oursLine, oursMs] = RunWhole(ours);
            double curlSeconds = 0;
            long long curlBytes = 0;
            std::sscanf(curlLine.c_str(), "%lf %lld", &curlSeconds, &curlBytes);
            if (got != size || decoded != size || curlBytes != size || std::atoll(oursLine.c_str()) != size)
                Fail(url + ": incomplete body: " + std::to_string(got) + " in process, " + oursLine +
                     " in linkvane-bench-fetch, " + std::to_string(curlBytes) + " in curl");
            if (run < 0)
                continue;
            whole.push_back(t[1] - t[0]);
            transfer.push_back(t[2] - t[1]);
            decode.push_back(t[3] - t[2]);
            curlTransfer.push_back(curlSeconds * 1e3);
            oursProcess.push_back(oursMs);
            curlProcess.push_back(curlMs);
        }
        Row({std::string(label) + " (" + std::to_string(size) + " bytes, all arrived)", Cell(whole, 2),
             Cell(curlTransfer, 2), Ratio(whole, curlTransfer), Cell(transfer, 2), Cell(decode, 2),
             Cell(oursProcess, 1), Cell(curlProcess, 1), Ratio(oursProcess, curlProcess)});
    }
}

Options Parse(int argc, char* argv[]) {
    Options options;
    options.binDir = fs::canonical("/proc/self/exe").parent_path();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    options.platform = std::getenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--sections") {
            options.sections.clear();
            std::istringstream list(value);
            for (std::string section; std::getline(list, section, ',');)
                options.sections.insert(section);
        } else if (name == "--runs") {
            options.runs = std::max(1, std::atoi(value.c_str()));
        } else if (name == "--idle-runs") {
            options.idleRuns = std::max(1, std::atoi(value.c_str()));
        } else if (name == "--idle-seconds") {
            options.idleSeconds = std::max(1.0, std::atof(value.c_str()));
        } else if (name == "--platform-name") {
            options.platform = value;
        } else if (name == "--demo") {
            options.demo = value;
        } else {
            Fail("unknown option " + name);
        }
    }
    if (argc % 2 == 0)
        Fail("an option without its value");
    return options;
}

}  // namespace

int main(int argc, char* argv[]) {
    const Options options = Parse(argc, argv);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, [](int) {
            KillChild();
            _exit(1);
        });
    std::signal(SIGPIPE, SIG_IGN);
    Servers servers(options.demo);
    if (options.sections.count("startup"))
        MeasureStartup(options, servers);
    if (options.sections.count("idle"))
        MeasureIdle(options, servers);
    if (options.sections.count("fetch"))
        MeasureFetch(options, servers);
    return 0;
}
