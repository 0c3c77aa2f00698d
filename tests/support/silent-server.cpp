// A server that never answers, for end-to-end tests: it listens on each given port of 127.0.0.1,
// so that connections open, and then neither reads nor writes until it is killed.
//   linkvane-silent-server PORT...

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool ListenOn(int port) {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<unsigned short>(port));
    return listener >= 0 && bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
           listen(listener, 128) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PORT...\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        const int port = std::atoi(argv[i]);
        if (port <= 0 || port > 65535 || !ListenOn(port)) {
            std::fprintf(stderr, "silent server: cannot listen on 127.0.0.1:%s\n", argv[i]);
            return 1;
        }
    }
    for (;;)
        pause();
}
