#include "net/transport.h"

#include "net/limits.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string_view>

namespace linkvane {

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kUserAgent[] = "vb wininet";
constexpr char kWebProtocols[] = "http,https";
constexpr char kTlsProtocol[] = "https";

// libcurl's global state is set up once per process, before the first fetch, and lives until exit.
struct CurlGlobal {
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    ~CurlGlobal() { curl_global_cleanup(); }
};

void EnsureCurlGlobal() { static CurlGlobal global; }

struct Transfer {
    HttpResponse response;
    std::size_t maxBodyBytes = 0;
    std::chrono::milliseconds silence{};
    Clock::time_point lastByte = Clock::now();
};

size_t TakeBody(char* data, size_t size, size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    const std::size_t arrived = size * count;
    const std::size_t room = transfer->maxBodyBytes - transfer->response.body.size();
    transfer->lastByte = Clock::now();
    transfer->response.body.append(data, std::min(arrived, room));
    // Returning less than arrived ends the transfer as a failed read: what came so far stays.
    return arrived <= room ? arrived : 0;
}

size_t TakeHeader(char*, size_t size, size_t count, void* context) {
    static_cast<Transfer*>(context)->lastByte = Clock::now();
    return size * count;
}

// Called once a connection is open, so the time spent connecting is not taken from the silence.
int ConnectionOpened(void* context, char*, char*, int, int) {
    static_cast<Transfer*>(context)->lastByte = Clock::now();
    return CURL_PREREQFUNC_OK;
}

// libcurl calls this at least once a second while a transfer runs; a non-zero result ends it.
std::atomic<bool> g_abandoned{false};

// Also where an abandoned transfer stops: libcurl calls this at least once a second, and more
// often while bytes flow.
int CheckSilence(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* transfer = static_cast<const Transfer*>(context);
    if (g_abandoned)
        return 1;
    return Clock::now() - transfer->lastByte > transfer->silence ? 1 : 0;
}

using CurlHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

void SetPlainGet(CURL* curl, const std::string& url, curl_slist* headers) {
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    // An empty proxy switches proxies off, even when http_proxy or ALL_PROXY are set.
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, kWebProtocols);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
}

bool IsHttpsUrl(std::string_view url) {
    constexpr std::string_view scheme = "https://";
    if (url.size() < scheme.size())
        return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        const char c = url[i];
        if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != scheme[i])
            return false;
    }
    return true;
}

void SetLimits(CURL* curl, const FetchLimits& limits, const std::string& url, RedirectRule rule) {
    const bool tlsOnly = rule == RedirectRule::KeepHttps && IsHttpsUrl(url);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, limits.redirects);
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, tlsOnly ? kTlsProtocol : kWebProtocols);
    // The connect limit covers the name lookup too (libcurl looks names up on a thread of its own
    // on both desktops); the quick exit lets a lookup that never answers be left behind instead of
    // being waited for when the transfer ends, which could take the resolver's minutes.
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(limits.connect.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(limits.whole.count()));
#if CURL_AT_LEAST_VERSION(7, 87, 0)
    curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
#else
#error "libcurl 7.87 or newer is needed: older ones wait for a name lookup that never answers"
#endif
}

std::mutex g_testAuthorityMutex;
std::string g_testAuthority;

// libcurl verifies the peer and the host name by default; only the trusted authorities may change.
void SetTrust(CURL* curl) {
    std::lock_guard lock(g_testAuthorityMutex);
    if (!g_testAuthority.empty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, g_testAuthority.c_str());
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    // Schannel also asks the authority whether the certificate was revoked, and by default fails
    // when it cannot ask; where servers get blocked, so do those addresses, and every https mirror
    // would fail. A revoked certificate is still refused, as browsers do. (OpenSSL ignores this.)
    curl_easy_setopt(curl, CURLOPT_SSL_OPTIONS, long(CURLSSLOPT_REVOKE_BEST_EFFORT));
}

void SetReceivers(CURL* curl, Transfer& transfer) {
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, TakeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, TakeHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, ConnectionOpened);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, CheckSilence);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
}

}  // namespace

void AbandonDownloads() { g_abandoned = true; }

void TrustCertificateAuthorityForTesting(const std::string& pemFile) {
    std::lock_guard lock(g_testAuthorityMutex);
    g_testAuthority = pemFile;
}

HttpResponse HttpGet(const std::string& url, std::size_t maxBodyBytes) {
    return HttpGet(url, maxBodyBytes, CurrentFetchLimits(), RedirectRule::AnyWeb);
}

HttpResponse HttpGet(const std::string& url, std::size_t maxBodyBytes, const FetchLimits& limits,
                     RedirectRule rule) {
    if (g_abandoned)
        return {};
    EnsureCurlGlobal();
    CurlHandle curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl)
        return {};
    // A plain GET needs no Accept header; libcurl would send "Accept: */*" of its own.
    HeaderList headers(curl_slist_append(nullptr, "Accept:"), &curl_slist_free_all);

    Transfer transfer;
    transfer.maxBodyBytes = maxBodyBytes;
    transfer.silence = limits.silence;

    SetPlainGet(curl.get(), url, headers.get());
    SetLimits(curl.get(), limits, url, rule);
    SetTrust(curl.get());
    SetReceivers(curl.get(), transfer);
    const CURLcode result = curl_easy_perform(curl.get());

    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &transfer.response.status);
    transfer.response.complete = result == CURLE_OK;
    return std::move(transfer.response);
}

}  // namespace linkvane
