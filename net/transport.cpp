#include "net/transport.h"

#include "net/ascii.h"
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
// The longest a waiting transfer goes without looking whether downloads were abandoned.
constexpr std::chrono::milliseconds kLongestWait{250};

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
using MultiHandle = std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)>;
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

bool IsHttpsUrl(std::string_view url) { return StartsWithCaseless(url, "https://"); }

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
    ConcurrentGets gets;
    const std::size_t number = gets.start(url, maxBodyBytes, limits, rule);
    while (gets.running(number))
        gets.wait(kLongestWait);
    return gets.response(number);
}

// One GET of a ConcurrentGets: its libcurl handle and what the callbacks fill in, at a fixed place.
struct OneGet {
    CurlHandle curl{nullptr, &curl_easy_cleanup};
    HeaderList headers{nullptr, &curl_slist_free_all};
    Transfer transfer;
    bool running = false;
};

struct ConcurrentGets::State {
    // libcurl is set up before the first of its handles is made: members start in this order.
    bool curlReady = (EnsureCurlGlobal(), true);
    MultiHandle multi{curl_multi_init(), &curl_multi_cleanup};
    std::vector<std::unique_ptr<OneGet>> gets;

    void end(OneGet& get, CURLcode result) {
        curl_easy_getinfo(get.curl.get(), CURLINFO_RESPONSE_CODE, &get.transfer.response.status);
        const char* type = nullptr;
        if (curl_easy_getinfo(get.curl.get(), CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
            get.transfer.response.contentType = type;
        get.transfer.response.complete = result == CURLE_OK;
        curl_multi_remove_handle(multi.get(), get.curl.get());
        get.running = false;
    }

    // Lets libcurl do what it can now and ends the transfers that are done.
    void moveOn() {
        int stillRunning = 0;
        curl_multi_perform(multi.get(), &stillRunning);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
            OneGet* get = nullptr;
            if (message->msg == CURLMSG_DONE &&
                curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &get) == CURLE_OK && get)
                end(*get, message->data.result);
        }
        for (auto& get : gets)
            if (get->running && g_abandoned)
                end(*get, CURLE_ABORTED_BY_CALLBACK);
    }

    std::vector<std::size_t> runningNumbers() const {
        std::vector<std::size_t> numbers;
        for (std::size_t i = 0; i < gets.size(); ++i)
            if (gets[i]->running)
                numbers.push_back(i);
        return numbers;
    }
};

ConcurrentGets::ConcurrentGets() : state_(std::make_unique<State>()) {}

ConcurrentGets::~ConcurrentGets() {
    for (auto& get : state_->gets)
        if (get->running)
            curl_multi_remove_handle(state_->multi.get(), get->curl.get());
}

std::size_t ConcurrentGets::start(const std::string& url, std::size_t maxBodyBytes,
                                  const FetchLimits& limits, RedirectRule rule) {
    auto get = std::make_unique<OneGet>();
    get->transfer.maxBodyBytes = maxBodyBytes;
    get->transfer.silence = limits.silence;
    get->curl.reset(curl_easy_init());
    // A plain GET needs no Accept header; libcurl would send "Accept: */*" of its own.
    get->headers.reset(curl_slist_append(nullptr, "Accept:"));
    CURL* curl = get->curl.get();
    if (curl && state_->multi && !g_abandoned) {
        SetPlainGet(curl, url, get->headers.get());
        SetLimits(curl, limits, url, rule);
        SetTrust(curl);
        SetReceivers(curl, get->transfer);
        curl_easy_setopt(curl, CURLOPT_PRIVATE, get.get());
        get->running = curl_multi_add_handle(state_->multi.get(), curl) == CURLM_OK;
    }
    state_->gets.push_back(std::move(get));
    return state_->gets.size() - 1;
}

std::vector<std::size_t> ConcurrentGets::wait(std::chrono::milliseconds patience) {
    const std::vector<std::size_t> wereRunning = state_->runningNumbers();
    state_->moveOn();
    if (!wereRunning.empty() && state_->runningNumbers() == wereRunning) {
        // Woken by the sockets or by libcurl's own timers; never so long that an abandoned
        // download goes unnoticed.
        curl_multi_poll(state_->multi.get(), nullptr, 0, int(std::min(patience, kLongestWait).count()),
                        nullptr);
        state_->moveOn();
    }
    std::vector<std::size_t> ended;
    for (std::size_t number : wereRunning)
        if (!state_->gets[number]->running)
            ended.push_back(number);
    return ended;
}

void ConcurrentGets::stop(std::size_t number) {
    OneGet& get = *state_->gets.at(number);
    if (get.running)
        state_->end(get, CURLE_ABORTED_BY_CALLBACK);
}

bool ConcurrentGets::running(std::size_t number) const { return state_->gets.at(number)->running; }

bool ConcurrentGets::connected(std::size_t number) const {
    // libcurl 7.88 notes the server's port once the TCP handshake is done, before any TLS one on
    // the connection (its connect time only after both); a handle that ended keeps it.
    long serverPort = 0;
    return curl_easy_getinfo(state_->gets.at(number)->curl.get(), CURLINFO_PRIMARY_PORT, &serverPort) == CURLE_OK &&
           serverPort > 0;
}

const HttpResponse& ConcurrentGets::response(std::size_t number) const {
    return state_->gets.at(number)->transfer.response;
}

}  // namespace linkvane
