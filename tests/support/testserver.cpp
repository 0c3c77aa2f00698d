#include "tests/support/testserver.h"

#include "net/codepage.h"

#include <cstdlib>

namespace linkvane {

namespace {

constexpr char kLoopback[] = "127.0.0.1";

std::string EscapedForPattern(const std::string& path) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(path, special, R"(\$&)");
}

int DeadPort() {
    // A socket bound to port 0 of 127.0.0.1 gets a free port; closed again, it leaves nobody there.
    const socket_t probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    httplib::detail::close_socket(probe);
    return ntohs(address.sin_port);
}

}  // namespace

TestServer::TestServer(std::unique_ptr<httplib::Server> server, std::string scheme)
    : server_(std::move(server)), scheme_(std::move(scheme)) {
    server_->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        record(request);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    port_ = server_->bind_to_any_port(kLoopback);
    if (port_ < 0)
        return;  // no port: every request fails as against a dead server
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() does nothing before listening has begun, so the constructor waits for it.
    while (!server_->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TestServer::~TestServer() {
    stopping_ = true;
    if (!thread_.joinable())
        return;
    server_->stop();
    thread_.join();
}

void TestServer::stall(const std::string& path, const std::string& prefix) {
    if (!prefix.empty())
        return send(path, prefix, std::chrono::milliseconds(10), false);
    handle(EscapedForPattern(path), [this](const httplib::Request&, httplib::Response&) {
        while (!stopping())  // not even the status line
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
}

void TestServer::trickle(const std::string& path, const std::string& piece, std::chrono::milliseconds pause) {
    send(path, piece, pause, true);
}

void TestServer::send(const std::string& path, const std::string& piece, std::chrono::milliseconds pause, bool again) {
    handle(EscapedForPattern(path), [=, this](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "text/plain", [=, this, sent = false](size_t, httplib::DataSink& sink) mutable {
                std::this_thread::sleep_for(pause);
                if (stopping() || (sent && !again))
                    return !stopping();
                sent = true;
                if (sink.write(piece.data(), piece.size()))
                    return true;
                ++hangUps_;
                return false;
            });
    });
}

bool Untimed() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return std::getenv("LINKVANE_UNTIMED") != nullptr;
#endif
}

FetchLimits QuickLimits() {
    using namespace std::chrono_literals;
    return {.connect = 1s, .silence = 400ms, .whole = 800ms};
}

void TestServer::serve(const std::string& path, const std::string& body, int status,
                       const char* contentType) {
    const std::string type(contentType);
    handle(EscapedForPattern(path),
           [body, type, status](const httplib::Request&, httplib::Response& response) {
               response.status = status;
               response.set_content(body, type.c_str());
           });
}

void TestServer::handle(const std::string& pathPattern, httplib::Server::Handler handler) {
    server_->Get(pathPattern, std::move(handler));
}

std::string TestServer::hostPort() const { return kLoopback + (":" + std::to_string(port_)); }

std::string TestServer::url(const std::string& path) const { return scheme_ + "://" + hostPort() + path; }

std::u16string TestServer::base() const { return FromUtf8(url("")); }

std::u16string TestServer::hostPort16() const { return FromUtf8(hostPort()); }

std::u16string TestServer::url(std::u16string_view path) const { return base() + std::u16string(path); }

std::vector<ReceivedRequest> TestServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void TestServer::record(const httplib::Request& request) {
    ReceivedRequest received{request.method, request.target, request.path, {}};
    // cpp-httplib adds the connection's addresses and ports; the client did not send them.
    for (const auto& [name, value] : request.headers)
        if (!name.starts_with("REMOTE_") && !name.starts_with("LOCAL_"))
            received.headers.emplace_back(name, value);
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(received));
}

std::u16string DeadBase() { return u"http://127.0.0.1:" + FromUtf8(std::to_string(DeadPort())); }

}  // namespace linkvane
