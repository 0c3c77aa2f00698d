#pragma once
// The one HTTP transport under every download: a blocking GET through libcurl on the caller's
// thread, within the limits of net/limits.h. It never throws for network trouble and logs nothing.

#include <cstddef>
#include <string>

namespace linkvane {

struct HttpResponse {
    std::string body;       // every body byte that arrived, at most the byte limit
    long status = 0;        // HTTP status of the last response; 0 when none came
    bool complete = false;  // the body was read to its end within every limit
};

// Fetches an http or https URL, given as bytes (those outside ASCII go out percent-escaped), following
// redirects to http/https only. The request is a plain GET: user agent "vb wininet", no proxy
// whatever the environment says, no other headers of ours, nothing cached or stored.
HttpResponse HttpGet(const std::string& url, std::size_t maxBodyBytes);

// Ends every running download within a second and makes every later one fail at once, as
// incomplete with no status: the program is ending. Safe from any thread.
void AbandonDownloads();

}  // namespace linkvane
