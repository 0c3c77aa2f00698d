// https mirrors against a TLS server on 127.0.0.1; its test authorities (make-test-ca.sh) are
// trusted only through the transport's test hook.
#include "net/mirrors.h"
#include "net/transport.h"
#include "tests/support/testserver.h"

#include <doctest/doctest.h>

using namespace linkvane;

namespace {

const std::string kAuthorities = LINKVANE_TEST_CA_DIR;
constexpr char16_t kLinkPath[] = u"/ads/link.txt";

// Shows the certificate that the test authority signed; its requests() are those whose headers
// arrived, past the handshake.
struct TlsServer : TestServer {
    TlsServer()
        : TestServer(std::make_unique<httplib::SSLServer>((kAuthorities + "/server.pem").c_str(),
                                                          (kAuthorities + "/server-key.pem").c_str()),
                     "https") {}
};

}  // namespace

TEST_SUITE("https mirrors") {

TEST_CASE_FIXTURE(GoodMirror, "a server that no trusted authority vouches for is refused, and the next mirror asked") {
    TlsServer tls;
    tls.serve("/ads/link.txt", "https://127.0.0.1/forged");

    SUBCASE("the system's trust store") {}
    SUBCASE("another authority") { TrustCertificateAuthorityForTesting(kAuthorities + "/other-ca.pem"); }
    CHECK(GetFromMirrors({tls.base(), good.base()}, kLinkPath, WantedAnswer::OpenableLink) == u"http://127.0.0.1/site");
    CHECK(tls.requests().empty());
    TrustCertificateAuthorityForTesting({});
}

TEST_CASE("a server that a trusted authority vouches for is heard, its path prefix kept, never redirected to HTTP") {
    TrustCertificateAuthorityForTesting(kAuthorities + "/ca.pem");
    TlsServer tls;
    TestServer plain;
    plain.serve("/ads/link.txt", "http://127.0.0.1/tampered");
    tls.serve("/ads/link.txt", "https://127.0.0.1/site");
    tls.serve("/mirror/document/AdminPm.txt", "\xD3\xE1\xC7\xE3");  // salam
    tls.handle("/downgrade/ads/link.txt", [&plain](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("http://" + plain.hostPort() + "/ads/link.txt");
    });
    plain.handle("/upgrade", [&tls](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("https://" + tls.hostPort() + "/ads/link.txt");
    });

    CHECK(GetFromMirrors(MirrorBases(tls.base() + u"/mirror/"), u"/document/AdminPm.txt", WantedAnswer::File) ==
          u"\u0633\u0644\u0627\u0645");
    CHECK(GetFromMirrors({tls.base() + u"/downgrade", tls.base()}, kLinkPath, WantedAnswer::OpenableLink) ==
          u"https://127.0.0.1/site");
    CHECK(plain.requests().empty());
    CHECK(GetFromMirrors({plain.base()}, u"/upgrade", WantedAnswer::File) == u"https://127.0.0.1/site");
    TrustCertificateAuthorityForTesting({});
}

}  // TEST_SUITE
