#include "tests/support/testserver.h"

#include <QRegularExpression>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace linkvane {

namespace {

constexpr char kLoopback[] = "127.0.0.1";

// cpp-httplib adds these to the request headers; they are not what the client sent.
bool IsConnectionDetail(const std::string& name) {
    return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
           name == "LOCAL_PORT";
}

QByteArray Bytes(const std::string& text) { return QByteArray(text.data(), qsizetype(text.size())); }

}  // namespace

TestServer::TestServer() {
    server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        record(request);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    port_ = server_.bind_to_any_port(kLoopback);
    if (port_ < 0)
        return;  // no port: every request fails as against a dead server
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() does nothing before listening has begun, so the constructor waits for it.
    while (!server_.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TestServer::~TestServer() {
    stopping_ = true;
    if (!thread_.joinable())
        return;
    server_.stop();
    thread_.join();
}

void TestServer::serve(const QString& path, const QByteArray& body, int status,
                       const char* contentType) {
    const std::string content(body.constData(), size_t(body.size()));
    const std::string type(contentType);
    handle(QRegularExpression::escape(path),
           [content, type, status](const httplib::Request&, httplib::Response& response) {
               response.status = status;
               response.set_content(content, type.c_str());
           });
}

void TestServer::handle(const QString& pathPattern, httplib::Server::Handler handler) {
    server_.Get(pathPattern.toStdString(), std::move(handler));
}

QString TestServer::hostPort() const { return QStringLiteral("%1:%2").arg(kLoopback).arg(port_); }

QString TestServer::url(const QString& path) const {
    return QStringLiteral("http://") + hostPort() + path;
}

QList<ReceivedRequest> TestServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void TestServer::record(const httplib::Request& request) {
    ReceivedRequest received{Bytes(request.method), Bytes(request.target), Bytes(request.path), {}};
    for (const auto& [name, value] : request.headers)
        if (!IsConnectionDetail(name))
            received.headers.append({Bytes(name), Bytes(value)});
    std::lock_guard lock(mutex_);
    requests_.append(received);
}

int DeadPort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return ntohs(address.sin_port);
}

}  // namespace linkvane
