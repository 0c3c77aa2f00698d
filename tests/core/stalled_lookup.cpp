// Name lookups that never answer, inside a private user, network and mount namespace made by
// tests/core/stalled-lookup.sh: there the loopback interface is brought up, a name server on
// 127.0.0.1:53 takes every question and answers none, and /etc/resolv.conf is bound to a file that
// points at it with the resolver's longest waits (5 tries of 30 s). Linux only. Exit status 77
// (skipped) when this system's resolver does not ask that name server.
#include "net/limits.h"
#include "net/mirrors.h"
#include "tests/support/testserver.h"

#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest/doctest.h>

#include <arpa/inet.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

using namespace linkvane;
using namespace std::chrono_literals;

namespace {

constexpr int kSkipped = 77;

bool BringLoopbackUp() {
    const int probe = socket(AF_INET, SOCK_DGRAM, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    const bool up = probe >= 0 && ioctl(probe, SIOCGIFFLAGS, &request) == 0 &&
                    (request.ifr_flags |= IFF_UP, ioctl(probe, SIOCSIFFLAGS, &request) == 0);
    if (probe >= 0)
        close(probe);
    return up;
}

// A name server on 127.0.0.1:53 that never reads its questions, so never answers; it lives as long
// as the process.
bool StartSilentNameServer() {
    const int server = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(53);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return server >= 0 && bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

// True when the system resolver, asked for a name, is still waiting after `patience`: its question
// went to the silent name server. The lookup is left to run out on its own.
bool ResolverStalls(std::chrono::milliseconds patience) {
    auto answered = std::make_shared<std::atomic<bool>>(false);
    std::thread([answered] {
        addrinfo* found = nullptr;
        if (getaddrinfo("probe.linkvane.example", "80", nullptr, &found) == 0)
            freeaddrinfo(found);
        *answered = true;
    }).detach();
    std::this_thread::sleep_for(patience);
    return !*answered;
}

const char* PrepareNamespace() {
    const char* resolvConf = std::getenv("LINKVANE_STALLED_RESOLV_CONF");
    if (!resolvConf)
        return "LINKVANE_STALLED_RESOLV_CONF is not set: run through tests/core/stalled-lookup.sh";
    if (!BringLoopbackUp())
        return "cannot bring the loopback interface of the private network namespace up";
    if (mount(resolvConf, "/etc/resolv.conf", nullptr, MS_BIND, nullptr) != 0)
        return "cannot bind a private resolv.conf over /etc/resolv.conf";
    if (!StartSilentNameServer())
        return "cannot listen on 127.0.0.1:53 in the private network namespace";
    if (!ResolverStalls(1500ms))
        return "the system resolver here does not wait for the name server of resolv.conf";
    return nullptr;
}

}  // namespace

TEST_CASE("a lookup that never answers ends at the connect limit, a later mirror's at the mirror connect limit") {
    ScopedFetchLimits quick({.connect = 1500ms, .mirrorConnect = 500ms, .headStart = 200ms});
    const struct { std::vector<std::u16string> bases; long long least, most; } cases[] = {
        {{u"http://stalled.linkvane.example"}, 1400, 2500},
        // Nothing listens on the first (refused at once); the second starts then, the third 200 ms
        // later, and each waits out its lookup: 500 ms, not the full connect limit.
        {{u"http://127.0.0.1:1", u"http://second.linkvane.example", u"https://third.linkvane.example"}, 650, 1200},
    };
    for (const auto& c : cases) {
        CAPTURE(c.bases.size());
        const auto start = std::chrono::steady_clock::now();
        CHECK(GetFromMirrors(c.bases, u"/ads/link.txt", WantedAnswer::OpenableLink).empty());
        const long long took = MillisecondsSince(start);
        CHECK(took >= c.least);
        CHECK(took < c.most);
    }
}

int main(int argc, char** argv) {
    if (const char* problem = PrepareNamespace()) {
        std::printf("stalled-lookup: SKIP: %s\n", problem);
        return kSkipped;
    }
    doctest::Context context(argc, argv);
    return context.run();
}
