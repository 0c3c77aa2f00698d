#pragma once
// The one HTTP transport under every download: a blocking GET through libcurl on the caller's
// thread, within the limits of net/limits.h. It never throws for network trouble and logs nothing.

#include "net/limits.h"

#include <cstddef>
#include <string>

namespace linkvane {

struct HttpResponse {
    std::string body;       // every body byte that arrived, at most the byte limit
    long status = 0;        // HTTP status of the last response; 0 when none came
    bool complete = false;  // the body was read to its end within every limit
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

// Ends every running download within a second and makes every later one fail at once, as
// incomplete with no status: the program is ending. Safe from any thread.
void AbandonDownloads();

// For tests only: https servers are trusted when the certificate authority in this PEM file vouches
// for them, instead of the system's trust store; an empty name puts the system's store back.
void TrustCertificateAuthorityForTesting(const std::string& pemFile);

}  // namespace linkvane
