#pragma once
// The one HTTP transport under every download: a blocking GET through libcurl on the caller's
// thread, within the limits of net/limits.h. It never throws for network trouble and logs nothing.

#include "net/limits.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace linkvane {

struct HttpResponse {
    std::string body;       // every body byte that arrived, at most the byte limit
    long status = 0;        // HTTP status of the last response; 0 when none came
    bool complete = false;  // the body was read to its end within every limit
    std::string contentType;  // the Content-Type of the last response, as sent; empty when none
};

// Where a fetch may be redirected.
enum class RedirectRule {
    AnyWeb,     // to http or https
    KeepHttps,  // from an https address to https only: what was asked for over TLS never falls
                // back to plain HTTP, where anyone on the way could change it
};

// Fetches an http or https URL, given as bytes (those outside ASCII go out percent-escaped), following
// redirects to http/https only. The request is a plain GET: user agent "vb wininet", no proxy
// whatever the environment says, no other headers of ours, nothing cached or stored. An https
// server must show a certificate that the system's trust store vouches for, for the host asked.
// The limits in force (net/limits.h) apply.
HttpResponse HttpGet(const std::string& url, std::size_t maxBodyBytes);
// The same within the given limits, redirected as `rule` allows.
HttpResponse HttpGet(const std::string& url, std::size_t maxBodyBytes, const FetchLimits& limits,
                     RedirectRule rule);

// Several GETs at once on the caller's thread, each made and limited as HttpGet makes it. They move
// on only inside wait(); the destructor ends every one still running at once, so that nothing of
// them outlives the object.
class ConcurrentGets {
public:
    ConcurrentGets();
    ~ConcurrentGets();
    ConcurrentGets(const ConcurrentGets&) = delete;
    ConcurrentGets& operator=(const ConcurrentGets&) = delete;

    // Starts a GET and returns its number: 0, 1, ... in the order of starting.
    std::size_t start(const std::string& url, std::size_t maxBodyBytes, const FetchLimits& limits,
                      RedirectRule rule);
    // Lets the transfers run for at most `patience`, less once one has ended; returns the numbers
    // of those that ended meanwhile, in ascending order.
    std::vector<std::size_t> wait(std::chrono::milliseconds patience);
    // Ends a transfer now, as failed, if it still runs.
    void stop(std::size_t number);
    bool running(std::size_t number) const;
    // Whether a transfer's connection to its server came up (its TCP handshake is done; a TLS
    // handshake may still be under way), as of the last wait().
    bool connected(std::size_t number) const;
    // What a transfer received; final once it has ended.
    const HttpResponse& response(std::size_t number) const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Ends every running download within a second and makes every later one fail at once, as
// incomplete with no status: the program is ending. Safe from any thread.
void AbandonDownloads();

// For tests only: https servers are trusted when the certificate authority in this PEM file vouches
// for them, instead of the system's trust store; an empty name puts the system's store back.
void TrustCertificateAuthorityForTesting(const std::string& pemFile);

}  // namespace linkvane
