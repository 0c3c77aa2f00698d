#pragma once
// An HTTP server inside the test process, on 127.0.0.1 and an ephemeral port, answering on a
// thread of its own. Tests never talk to any other address.

#include "net/limits.h"

#include <httplib.h>  // with <atomic>, <memory>, <mutex>, <string> and <thread>

#include <chrono>
#include <utility>
#include <vector>

namespace linkvane {

struct ReceivedRequest {
    std::string method;
    std::string target;  // byte for byte as sent, query included
    std::string path;    // percent-escapes decoded
    // In name order, without the connection details cpp-httplib adds.
    std::vector<std::pair<std::string, std::string>> headers;
    bool operator==(const ReceivedRequest&) const = default;
};

class TestServer {
public:
    TestServer() : TestServer(std::make_unique<httplib::Server>(), "http") {}
    // e.g. an httplib::SSLServer, with "https": the scheme its base() and url() name.
    TestServer(std::unique_ptr<httplib::Server> server, std::string scheme);
    // Stops the server and waits for its thread: handlers that wait poll stopping().
    ~TestServer();

    // Answers GET `path` with exactly these body bytes and this status.
    void serve(const std::string& path, const std::string& body, int status = 200,
               const char* contentType = "text/plain");
    // `pathPattern` is a cpp-httplib pattern, a regular expression.
    void handle(const std::string& pathPattern, httplib::Server::Handler handler);
    // Answers GET `path` with `prefix`, then sends nothing more until the server stops; with no
    // prefix it sends no answer at all.
    void stall(const std::string& path, const std::string& prefix = "");
    // Answers GET `path` with `piece` again and again, every `pause`, until the client goes away
    // (counted in hangUps()) or the server stops.
    void trickle(const std::string& path, const std::string& piece, std::chrono::milliseconds pause);
    int hangUps() const { return hangUps_; }

    std::string hostPort() const;                // "127.0.0.1:PORT"
    std::u16string hostPort16() const;
    std::u16string base() const;                 // u"SCHEME://127.0.0.1:PORT"
    std::string url(const std::string& path) const;  // "SCHEME://127.0.0.1:PORT" + path
    std::u16string url(std::u16string_view path) const;

    std::vector<ReceivedRequest> requests() const;  // every request so far, as it arrived
    bool stopping() const { return stopping_; }

private:
    void record(const httplib::Request& request);
    void send(const std::string& path, const std::string& piece, std::chrono::milliseconds pause, bool again);

    std::unique_ptr<httplib::Server> server_;
    std::string scheme_;
    int port_ = -1;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> hangUps_{0};
    mutable std::mutex mutex_;
    std::vector<ReceivedRequest> requests_;
};

// u"http://127.0.0.1:PORT" where nothing listens on PORT (bound and released again): a dead server.
std::u16string DeadBase();

template <class Work>
long long MillisecondsFor(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// Instrumented builds (LINKVANE_UNTIMED set, or AddressSanitizer) run every path but hold none
// to the clock: there a time is always within its bound.
bool Untimed();
inline bool Within(long long milliseconds, long long bound) { return milliseconds < bound || Untimed(); }

// Limits short enough that a stalled or trickling server costs a test well under two seconds.
FetchLimits QuickLimits();

constexpr char kSite[] = "http://127.0.0.1/site";

struct GoodMirror {  // answers at once with the site's address and the administrator's message
    TestServer good;
    GoodMirror() { good.serve("/ads/link.txt", kSite), good.serve("/document/AdminPm.txt", "salam"); }
};

}  // namespace linkvane
