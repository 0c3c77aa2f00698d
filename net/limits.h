#pragma once
// The limits every download obeys, kept in one place. A server that stalls, trickles or sends
// without end must not freeze the program or exhaust its memory; past a limit a fetch ends as a
// read that fails part-way does.

#include <chrono>
#include <cstddef>

namespace linkvane {

struct FetchLimits {
    std::chrono::milliseconds connect{30'000};  // to open the connection
    std::chrono::milliseconds silence{30'000};  // longest wait for the next byte once connected
    std::chrono::milliseconds whole{60'000};    // for the whole fetch, redirects included
    long redirects = 10;                        // followed, and only to http/https
    std::size_t textBytes = std::size_t(1) << 20;     // of a text file
    std::size_t pictureBytes = std::size_t(8) << 20;  // of a banner picture
    // A file that a server list offers on several mirrors: each mirror after the first gets a
    // shorter connect limit (a reachable mirror connects in well under a second, and a blocked one
    // must not cost the user the full limit again), and all the tries of one file together end
    // within `allMirrors`.
    std::chrono::milliseconds mirrorConnect{10'000};
    std::chrono::milliseconds allMirrors{90'000};
    // The mirrors of a list race: each starts when the one before it has failed, has not
    // connected within `connectHeadStart` (a reachable mirror connects in one round trip, well
    // under that even across the world; one whose packets are dropped never does), or has
    // connected and gone `headStart` without a complete answer.
    std::chrono::milliseconds connectHeadStart{250};
    std::chrono::milliseconds headStart{1'000};
};

// The limits in force (the defaults above unless a ScopedFetchLimits is alive).
const FetchLimits& CurrentFetchLimits();

// Puts other limits in force for its lifetime, so that tests can make the time limits short.
// Not synchronised: create it before the fetches it governs start (on whatever thread they run)
// and let it end after they are done.
class ScopedFetchLimits {
public:
    explicit ScopedFetchLimits(const FetchLimits& limits);
    ~ScopedFetchLimits();
    ScopedFetchLimits(const ScopedFetchLimits&) = delete;
    ScopedFetchLimits& operator=(const ScopedFetchLimits&) = delete;

private:
    FetchLimits previous_;
};

}  // namespace linkvane
