#pragma once
// An HTTP server inside the test process, on 127.0.0.1 and an ephemeral port, answering on a
// thread of its own. Tests never talk to any other address.
//
//   TestServer server;
//   server.serve("/document/AdminPm.txt", "hello\r\n");             // 200, text/plain
//   server.serve("/missing.txt", "<html>not here</html>", 404);
//   server.serve("/banner.gif", gifBytes, 200, "image/gif");
//   server.handle("/slow", [&](const httplib::Request&, httplib::Response& res) {
//       res.set_content("late", "text/plain");                      // any cpp-httplib handler
//   });
//   QCOMPARE(GetInternetFile(server.url("/document/AdminPm.txt")), QString("hello\r\n"));
//   QCOMPARE(server.requests().size(), 1);                            // what arrived, in order
//   // The destructor stops the server and waits for its thread; handlers that wait should
//   // poll stopping() so that it does not wait for them.

#include <httplib.h>

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

namespace linkvane {

// One request as the server received it.
struct ReceivedRequest {
    QByteArray method;
    QByteArray target;  // the request target byte for byte as sent, query included
    QByteArray path;    // its path, percent-escapes decoded
    // The request headers in name order, without the connection details cpp-httplib adds.
    QList<std::pair<QByteArray, QByteArray>> headers;
};

class TestServer {
public:
    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Answers GET `path` with exactly these body bytes and this status.
    void serve(const QString& path, const QByteArray& body, int status = 200,
               const char* contentType = "text/plain");
    // Answers GET `path` (a cpp-httplib pattern, a regular expression) with a handler of its own.
    void handle(const QString& pathPattern, httplib::Server::Handler handler);

    int port() const { return port_; }
    QString hostPort() const;                // "127.0.0.1:PORT"
    QString url(const QString& path) const;  // "http://127.0.0.1:PORT" + path

    QList<ReceivedRequest> requests() const;  // every request so far, as it arrived
    // True once the server is shutting down: a handler that stalls on purpose polls it.
    bool stopping() const { return stopping_; }

private:
    void record(const httplib::Request& request);

    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    QList<ReceivedRequest> requests_;
};

// A port on 127.0.0.1 that nothing listens on (bound and released again), for a dead server.
int DeadPort();

}  // namespace linkvane
