#include "net/baner.h"
#include "net/codepage.h"
#include "net/internetfile.h"
#include "net/shell.h"
#include "net/weblink.h"
#include "tests/support/testserver.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace linkvane;
using namespace std::chrono_literals;

namespace {

constexpr std::size_t kMiB = std::size_t(1) << 20;

std::string AsciiBody(std::size_t size) {
    std::string body;
    for (std::size_t i = 0; i < size; ++i)
        body += char('a' + i % 26);
    return body;
}

std::u16string Latin1(const std::string& bytes) { return std::u16string(bytes.begin(), bytes.end()); }

void SetVariable(const char* name, const char* value) {  // "": none
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

// A shell that records what it is asked to open or run.
struct RecordingShell : DesktopShell {
    std::vector<std::string> opened, run;
    std::u16string OpenerProgram() const override { return u"opener"; }
    void OpenDocument(const Form*, const std::string& target) override { opened.push_back(target); }
    void RunCommandLine(const std::string& line, int) override { run.push_back(line); }
};

}  // namespace

TEST_SUITE("text fetch") {

TEST_CASE("the body comes back byte for byte, an error page's too") {
    TestServer server;
    std::vector<std::pair<std::string, int>> bodies = {
        {"", 200}, {"http://127.0.0.1/site\r\n", 200}, {"one\ntwo\r\nthree\n", 200},
        {"<html>not here</html>", 404}, {"oops", 500}};
    for (std::size_t size : {30, 255, 256, 257, 600})
        bodies.emplace_back(AsciiBody(size), 200);
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        const std::string path = "/file" + std::to_string(i) + ".txt";
        server.serve(path, bodies[i].first, bodies[i].second);
        CHECK(GetInternetFile(FromUtf8(server.url(path))) == Latin1(bodies[i].first));
    }
}

TEST_CASE("every byte value is one code-page character") {
    std::string allBytes;
    for (int value = 0; value < 256; ++value)
        allBytes += char(value);
    TestServer server;
    server.serve("/all", allBytes);
    server.serve("/persian", "\x81\x8D\x8E\x90\x98\xED");

    const std::u16string all = GetInternetFile(server.url(u"/all"));
    REQUIRE(all.size() == 256);
    CHECK(all.substr(0, 128) == Latin1(allBytes.substr(0, 128)));
    CHECK(all.find(u'\uFFFD') == std::u16string::npos);
    // peh, tcheh, jeh, gaf, keheh, Arabic yeh
    CHECK(GetInternetFile(server.url(u"/persian")) == u"\u067E\u0686\u0698\u06AF\u06A9\u064A");
}

TEST_CASE("a URL that cannot be opened gives empty text at once") {
    TestServer server;
    server.serve("/ads/link.txt", "http://127.0.0.1/site");
    const std::u16string host = server.hostPort16();
    const std::u16string urls[] = {
        DeadBase() + u"/ads/link.txt",
        u"", u"link list", u"http://", host + u"/ads/link.txt", u"file:///etc/hostname",
        u"ftp://" + host + u"/ads/link.txt"};
    for (const std::u16string& url : urls)
        CHECK_MESSAGE(MillisecondsFor([&] { CHECK(GetInternetFile(url).empty()); }) < 500, ToUtf8(url));
}

TEST_CASE("the request: a plain GET with our user agent only, its URL in the code page, direct whatever the proxy variables say") {
    TestServer proxy, server;
    server.serve("/\x81\x90.txt", "direct");
    server.handle("/a", [](const httplib::Request&, httplib::Response&) {});
    const std::string proxyUrl = proxy.url("/");
    const char* const proxies[] = {"http_proxy", "HTTP_PROXY", "ALL_PROXY", "all_proxy"};
    for (const char* name : proxies)
        SetVariable(name, proxyUrl.c_str());
    for (const char* name : {"no_proxy", "NO_PROXY"})
        SetVariable(name, "");
    // Persian letters travel as their Windows-1256 bytes (percent-escaped on the wire); a
    // character the code page lacks becomes "?", which here starts the query.
    const std::u16string text = GetInternetFile(server.url(u"/\u067E\u06AF.txt"));
    GetInternetFile(server.url(u"/a\u4E2Db"));
    for (const char* name : proxies)
        SetVariable(name, "");
    CHECK(text == u"direct");
    CHECK(proxy.requests().empty());
    const std::vector<ReceivedRequest> requests = server.requests();
    REQUIRE(requests.size() == 2);
    CHECK(requests[0].method == "GET");
    using Header = std::pair<std::string, std::string>;
    CHECK(requests[0].headers == std::vector<Header>{{"Host", server.hostPort()}, {"User-Agent", "vb wininet"}});
    CHECK(requests[1].target == "/a?b");
}

TEST_CASE("redirects are followed within the limits, to the web only") {
    TestServer server;
    server.serve("/final", "arrived");
    // /hop/N redirects N more times before it reaches /final.
    server.handle(R"(/hop/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
        const int left = std::stoi(request.matches[1]);
        response.set_redirect(left == 0 ? "/final" : "/hop/" + std::to_string(left - 1));
    });
    // /to/WHERE redirects to WHERE; "loop" is relative: /to/loop again.
    server.handle("/to/(.*)", [](const httplib::Request& request, httplib::Response& response) {
        response.set_redirect(request.matches[1]);
    });

    CHECK(GetInternetFile(server.url(u"/hop/0")) == u"arrived");
    CHECK(GetInternetFile(server.url(u"/hop/9")) == u"arrived");  // 10 redirects
    CHECK(GetInternetFile(server.url(u"/hop/10")).empty());       // 11
    CHECK(MillisecondsFor([&] { CHECK(GetInternetFile(server.url(u"/to/loop")).empty()); }) < 1000);
    CHECK(GetInternetFile(server.url(u"/to/file:///etc/hostname")).empty());
    CHECK(GetInternetFile(server.url(u"/to/ftp://" + server.hostPort16() + u"/final")).empty());
}

TEST_CASE("a body past the limit ends at the limit") {
    TestServer server;
    server.serve("/exact", AsciiBody(kMiB));
    server.serve("/over", AsciiBody(kMiB + 1));
    server.trickle("/endless", std::string(64 * 1024, 'x'), 0ms);
    CHECK(GetInternetFile(server.url(u"/exact")).size() == kMiB);
    CHECK(GetInternetFile(server.url(u"/over")) == Latin1(AsciiBody(kMiB)));
    const auto endless = [&] { CHECK(GetInternetFile(server.url(u"/endless")) == std::u16string(kMiB, u'x')); };
    CHECK(MillisecondsFor(endless) < 3000);
}

TEST_CASE("a silent server ends the fetch at the silence limit, a trickling one at the whole limit") {
    TestServer server;
    server.stall("/stalls-midway", "partial");
    server.stall("/never-answers");
    server.trickle("/trickles", "t", 20ms);
    const struct { const char16_t *path, *text; FetchLimits limits; } cases[] = {
        // The silence alone must end these.
        {u"/stalls-midway", u"partial", {.connect = 1s, .silence = 400ms, .whole = 10s}},
        {u"/never-answers", u"", {.connect = 1s, .silence = 400ms, .whole = 10s}},
        {u"/trickles", nullptr, QuickLimits()},
    };
    for (const auto& c : cases) {
        CAPTURE(ToUtf8(c.path));
        ScopedFetchLimits quick(c.limits);
        std::u16string text;
        CHECK(MillisecondsFor([&] { text = GetInternetFile(server.url(c.path)); }) < 2000);
        if (c.text)
            CHECK(text == c.text);
        else
            CHECK((text.size() > 3 && text == std::u16string(text.size(), u't')));
    }
}

}  // TEST_SUITE

TEST_SUITE("banner files") {

TEST_CASE("a local picture file comes back byte for byte, by path or file URL; otherwise no picture") {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
        ("linkvane-test-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(folder);
    const auto write = [&folder](std::u16string_view name, const std::string& bytes) {
        std::ofstream(folder / name, std::ios::binary) << bytes;
        return folder / name;
    };
    ScopedFetchLimits small({.pictureBytes = 16});
    // Line breaks and Ctrl-Z: a file read in text mode (the Windows default) would change or end.
    const std::string bytes("GIF89a\r\n\x1A\0\xFF\n end", 16);
    const std::filesystem::path file = write(u"\u0628\u0646\u0631.gif", bytes);  // Persian name, at the limit
    const std::u16string path = file.u16string();
    std::u16string generic = file.generic_u16string();
    if (!generic.starts_with(u"/"))
        generic = u"/" + generic;  // "/C:/..." on Windows
    // file:///C:/dir/... on Windows, file:///tmp/dir/... elsewhere; the temporary folder's name is ASCII.
    const std::u16string folderUrl = u"file://" + generic.substr(0, generic.rfind(u'/'));
    const std::u16string fileUrl = folderUrl + u"/%D8%A8%D9%86%D8%B1.gif";
    for (const std::u16string& source : {path, path + u"\r\n", fileUrl, u"  " + fileUrl + u"\n"})
        CHECK_MESSAGE(LoadBanerPicture(source) == bytes, ToUtf8(source));
    // Over the size limit, a folder, a missing file; a share, a device or a relative path. (A
    // literal + a temporary string here draws a false -Wrestrict from mingw's GCC 12: append.)
    for (const std::u16string& source : std::vector<std::u16string>{
             write(u"over-limit.gif", bytes + "x").u16string(), folder.u16string(),
             (folder / u"missing.gif").u16string(), folderUrl + u"/missing.gif",
             u"\\\\127.0.0.1\\share\\b.gif", u"//127.0.0.1/share/b.gif", u"file:////127.0.0.1/share/b.gif",
             u"file://127.0.0.1/share/b.gif", u"\\\\?\\" + path, u"\\\\.\\" + path, u"/" + generic,
             u"file:///" + generic, std::u16string(u"file:/%2F").append(generic, 1),
             std::filesystem::relative(file).u16string(),
             std::u16string(u"\\").append(path, path.find_first_of(u"\\/") + 1)})
        CHECK_MESSAGE(LoadBanerPicture(source).empty(), ToUtf8(source));
    std::filesystem::remove_all(folder);
}

}  // TEST_SUITE

TEST_SUITE("code page") {

TEST_CASE("missing characters become question marks") {
    CHECK(ToAnsi(u"\u067E\u0686\u0698\u06AF\u06A9\u064A") == "\x81\x8D\x8E\x90\x98\xED");
    // One "?" per character, a surrogate pair included; a lone surrogate is no character.
    CHECK(ToAnsi(u"a\u4E2D\U0001F600\xD800z") == "a???z");
    CHECK(ToAnsi(u"\u001A\u4E2D") == "\x1A?");
    CHECK(ThroughAnsi(u"\u06CC\u06A9") == u"?\u06A9");  // Farsi yeh is not in it
}

TEST_CASE("UTF-8 there and back, bad sequences as U+FFFD") {
    const std::u16string text = u"a\u067E\u4E2D\U0001F600";
    CHECK(FromUtf8(ToUtf8(text)) == text);
    CHECK(ToUtf8(u"\xD800") == "\xEF\xBF\xBD");
    CHECK(FromUtf8("a\xC0z|\xED\xA0\x80|\xF4\x90\x80\x80|\xE2\x82") == u"a\uFFFDz|\uFFFD|\uFFFD|\uFFFD");
}

}  // TEST_SUITE

TEST_SUITE("links") {

TEST_CASE("only web addresses reach the desktop's opener, as one URL") {
    RecordingShell shell;
    InstallDesktopShell(&shell);
    for (const std::u16string& target : std::vector<std::u16string>{
          u"", u"xterm", u"sh -c id", u"/usr/bin/xterm", u"file:///etc/passwd", u"ymsgr:sendim?x",
          u"javascript:alert(1)", u" http://127.0.0.1/", u"http:/127.0.0.1/", u"httpx://127.0.0.1/",
          u"\nhttp://127.0.0.1/", u"http://x\nfile:///etc/passwd", u"http://x\r\n--help\r\n",
          u"http://x/\x1B[2J", u"http://x/\a", u"http://x/\b", u"http://x/\ty", u"http://x/\x7F",
          std::u16string(u"http://x/\0y", 11)})
        ShellOpen(nullptr, target);
    CHECK(shell.opened.empty());

    ShellOpen(nullptr, u"http://127.0.0.1/site\r\n");
    ShellOpen(nullptr, u"http://127.0.0.1/site\r\n\n\r");  // only line breaks at the end
    ShellOpen(nullptr, u"HTTPS://127.0.0.1/A");
    ShellOpen(nullptr, u"http://127.0.0.1/\u067E\u4E2D\U0001F600 x");
    // Quotes and blanks would split the browser's "%1" into options of its own.
    ShellOpen(nullptr, u"http://127.0.0.1:47830/x\" --evil \"y z<b>%22\r\n");
    CHECK(shell.opened == std::vector<std::string>{
                              "http://127.0.0.1/site\r\n", "http://127.0.0.1/site\r\n\n\r",
                              "HTTPS://127.0.0.1/A", "http://127.0.0.1/\x81??%20x",
                              "http://127.0.0.1:47830/x%22%20--evil%20%22y%20z%3Cb%3E%22\r\n"});
    ShellRun(u"opener ymsgr:sendim?\u067E", 3);
    CHECK(shell.run == std::vector<std::string>{"opener ymsgr:sendim?\x81"});
    InstallDesktopShell(nullptr);
}

}  // TEST_SUITE
