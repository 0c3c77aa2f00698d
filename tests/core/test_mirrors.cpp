#include "net/codepage.h"
#include "net/internetfile.h"
#include "net/limits.h"
#include "net/mirrors.h"
#include "tests/support/testserver.h"

#include <doctest/doctest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace linkvane;
using namespace std::chrono_literals;

namespace {

constexpr char16_t kLinkPath[] = u"/ads/link.txt";

using Bases = std::vector<std::u16string>;

std::u16string DeadBase() { return u"http://127.0.0.1:" + FromUtf8(std::to_string(DeadPort())); }
std::u16string BaseOf(const TestServer& server) { return u"http://" + server.hostPort16(); }

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
}

// Accepts the request and sends nothing until the server stops.
void Silent(TestServer& server, const std::string& path) {
    server.handle(path, [&server](const httplib::Request&, httplib::Response&) {
        while (!server.stopping())
            std::this_thread::sleep_for(10ms);
    });
}

// Short limits: a silent mirror costs its silence limit, all of them together at most 1.2 s.
FetchLimits QuickMirrorLimits() {
    FetchLimits limits;
    limits.connect = 1s;
    limits.silence = 300ms;
    limits.whole = 800ms;
    limits.mirrorConnect = 300ms;
    limits.allMirrors = 1200ms;
    return limits;
}

}  // namespace

TEST_SUITE("mirrors") {

TEST_CASE("a server list names its bases in order") {
    CHECK(MirrorBases(u"links.example") == Bases{u"http://links.example"});
    CHECK(MirrorBases(u"a.example:8080;https://b.example/mirror/;HTTP://c.example//;[::1]:81") ==
          Bases{u"http://a.example:8080", u"https://b.example/mirror", u"HTTP://c.example",
                u"http://[::1]:81"});
    CHECK(MirrorBases(u";a.example;;").size() == 1);
    CHECK(MirrorBases(u"").empty());
    CHECK(GetFromMirrors({}, kLinkPath, WantedAnswer::File).empty());
}

TEST_CASE("past a dead and a 404 mirror, the good one wins") {
    TestServer missing, good;
    missing.serve("/ads/link.txt", "<html>not here</html>", 404);
    good.serve("/ads/link.txt", "http://127.0.0.1/site\r\n");
    good.serve("/document/AdminPm.txt", "salam");
    missing.serve("/document/AdminPm.txt", "gone", 404);
    const Bases bases{DeadBase(), BaseOf(missing), BaseOf(good)};

    CHECK(GetFromMirrors(bases, kLinkPath, WantedAnswer::OpenableLink) == u"http://127.0.0.1/site\r\n");
    CHECK(GetFromMirrors(bases, u"/document/AdminPm.txt", WantedAnswer::File) == u"salam");
    CHECK(missing.requests().size() == 2);
    CHECK(good.requests().size() == 2);
}

TEST_CASE("a search takes only an address the opener accepts; a content file takes any text") {
    // A blocked mirror often answers 200 with a notice page instead of the file.
    TestServer notice, good;
    for (const char* path : {"/ads/link.txt", "/document/AdminPm.txt"})
        notice.serve(path, "<html>blocked</html>");
    notice.serve("/empty/ads/link.txt", "");
    notice.serve("/unsafe/ads/link.txt", "http://x\nfile:///etc/passwd");
    good.serve("/ads/link.txt", "https://127.0.0.1/found");
    const Bases bases{BaseOf(notice), BaseOf(good)};

    CHECK(GetFromMirrors(bases, kLinkPath, WantedAnswer::OpenableLink) == u"https://127.0.0.1/found");
    CHECK(GetFromMirrors(bases, u"/document/AdminPm.txt", WantedAnswer::File) == u"<html>blocked</html>");
    for (const char16_t* prefix : {u"/empty", u"/unsafe"}) {
        CAPTURE(ToUtf8(prefix));
        CHECK(GetFromMirrors({BaseOf(notice) + prefix, BaseOf(good)}, kLinkPath,
                             WantedAnswer::OpenableLink) == u"https://127.0.0.1/found");
    }
}

TEST_CASE("when no mirror answers well, the first one's result stands") {
    TestServer missing, broken;
    missing.serve("/ads/link.txt", "<html>not here</html>", 404);
    broken.serve("/ads/link.txt", "oops", 500);
    CHECK(GetFromMirrors({BaseOf(missing), DeadBase(), BaseOf(broken)}, kLinkPath,
                         WantedAnswer::OpenableLink) == u"<html>not here</html>");
    CHECK(GetFromMirrors({DeadBase(), BaseOf(broken)}, kLinkPath, WantedAnswer::OpenableLink).empty());
    CHECK(missing.requests().size() == 1);
    CHECK(broken.requests().size() == 2);
}

TEST_CASE("a path prefix comes before the file's path") {
    TestServer server;
    server.serve("/mirror/linkvane/ads/link.txt", "http://127.0.0.1/prefixed");
    const Bases bases = MirrorBases(server.hostPort16().insert(0, u"http://") + u"/mirror/linkvane/");
    CHECK(GetFromMirrors(bases, kLinkPath, WantedAnswer::OpenableLink) == u"http://127.0.0.1/prefixed");
    REQUIRE(server.requests().size() == 1);
    CHECK(server.requests()[0].target == "/mirror/linkvane/ads/link.txt");
}

TEST_CASE("one mirror makes exactly the requests and results of a single server") {
    TestServer single, reference;
    for (TestServer* server : {&single, &reference}) {
        server->serve("/ads/link.txt", "http://127.0.0.1/site\r\n");
        server->serve("/gone.txt", "<html>not here</html>", 404);
        server->serve("/blocked.txt", "<html>blocked</html>");
        server->serve("/\x81\x90.txt", "persian");
    }
    const std::u16string paths[] = {kLinkPath, u"/gone.txt", u"/blocked.txt", u"/\u067E\u06AF.txt"};
    for (const std::u16string& path : paths) {
        CAPTURE(ToUtf8(path));
        for (WantedAnswer wanted : {WantedAnswer::File, WantedAnswer::OpenableLink})
            CHECK(GetFromMirrors(MirrorBases(single.hostPort16()), path, wanted) ==
                  GetInternetFile(reference.url(path)));
    }
    const std::vector<ReceivedRequest> got = single.requests(), expected = reference.requests();
    REQUIRE(got.size() == expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        CHECK(got[i].method == expected[i].method);
        CHECK(got[i].target == expected[i].target);
        CHECK(got[i].headers.size() == expected[i].headers.size());
        for (std::size_t h = 0; h < got[i].headers.size() && h < expected[i].headers.size(); ++h) {
            CHECK(got[i].headers[h].first == expected[i].headers[h].first);
            if (got[i].headers[h].first != "Host")  // each server has its own port
                CHECK(got[i].headers[h].second == expected[i].headers[h].second);
        }
    }
    CHECK(GetFromMirrors(Bases{DeadBase()}, kLinkPath, WantedAnswer::OpenableLink).empty());
}

TEST_CASE("silent mirrors cost their limits, and all of them together the limit for all") {
    ScopedFetchLimits quick(QuickMirrorLimits());
    TestServer silent, partial, good;
    Silent(silent, "/ads/link.txt");
    partial.handle("/ads/link.txt", [&partial](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("text/plain", [&partial, sent = false](
                                                                size_t, httplib::DataSink& sink) mutable {
            if (!sent)
                sent = sink.write("http://127.0.0.1/half", 21);
            std::this_thread::sleep_for(10ms);
            return !partial.stopping();
        });
    });
    good.serve("/ads/link.txt", "http://127.0.0.1/site");

    auto start = std::chrono::steady_clock::now();
    CHECK(GetFromMirrors({BaseOf(silent), BaseOf(good)}, kLinkPath, WantedAnswer::OpenableLink) ==
          u"http://127.0.0.1/site");
    CHECK(MillisecondsSince(start) < 1100);  // the silent one ends at its whole-fetch limit at the latest

    // An answer cut short is no answer, though what came of it is an address.
    CHECK(GetFromMirrors({BaseOf(partial), BaseOf(good)}, kLinkPath, WantedAnswer::OpenableLink) ==
          u"http://127.0.0.1/site");
    CHECK(GetFromMirrors({BaseOf(partial), BaseOf(silent)}, kLinkPath, WantedAnswer::OpenableLink) ==
          u"http://127.0.0.1/half");

    start = std::chrono::steady_clock::now();
    const Bases manySilent(8, BaseOf(silent));
    CHECK(GetFromMirrors(manySilent, kLinkPath, WantedAnswer::File).empty());
    const long long took = MillisecondsSince(start);
    CHECK(took >= 1100);
    CHECK(took < 1700);
    CHECK(silent.requests().size() < 8);  // the last mirrors were never tried
}

}  // TEST_SUITE
