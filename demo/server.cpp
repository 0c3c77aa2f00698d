// The demo's two web servers in one process: the content server and the link-list server, each on
// its own loopback port, serving the files of a folder as they would be published.
//   linkvane-demo-server DEMO_DIR CONTENT_PORT LINK_PORT

#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

httplib::Server* g_servers[2] = {nullptr, nullptr};

void StopAll(int) {
    for (httplib::Server* server : g_servers)
        if (server)
            server->stop();
}

bool ServeFolder(httplib::Server& server, const std::string& folder) {
    // Plain text files are published for Windows-1256 readers; say nothing about a charset.
    server.set_file_extension_and_mimetype_mapping("txt", "text/plain");
    return server.set_mount_point("/", folder);
}

int Port(const char* text) {
    char* end = nullptr;
    const long port = std::strtol(text, &end, 10);
    return (*end == '\0' && port > 0 && port < 65536) ? int(port) : -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 4 || Port(argv[2]) < 0 || Port(argv[3]) < 0) {
        std::fprintf(stderr, "usage: %s DEMO_DIR CONTENT_PORT LINK_PORT\n", argv[0]);
        return 2;
    }
    const std::string demo = argv[1];
    httplib::Server content, links;
    if (!ServeFolder(content, demo + "/content-server") || !ServeFolder(links, demo + "/link-server")) {
        std::fprintf(stderr, "demo server: %s has no content-server/ or link-server/ folder\n", argv[1]);
        return 1;
    }
    if (!content.bind_to_port("127.0.0.1", Port(argv[2])) || !links.bind_to_port("127.0.0.1", Port(argv[3]))) {
        std::fprintf(stderr, "demo server: port %s or %s is taken\n", argv[2], argv[3]);
        return 1;
    }
    g_servers[0] = &content;
    g_servers[1] = &links;
    std::signal(SIGINT, StopAll);
    std::signal(SIGTERM, StopAll);
    std::printf("demo server: content on 127.0.0.1:%s, link list on 127.0.0.1:%s\n", argv[2], argv[3]);
    std::fflush(stdout);
    std::thread linkThread([&] { links.listen_after_bind(); });
    content.listen_after_bind();
    links.stop();
    linkThread.join();
    return 0;
}
