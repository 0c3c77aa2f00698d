#pragma once
// The rules of a race between the entries of a server list for one file, and only the rules: no
// network here, so that they can be checked with a made-up clock (the transfers that run them are
// in net/mirrors.cpp). Each entry starts when the one before it has failed, has not connected
// within the connect head start, or has connected and has no complete answer after the head start.
// Unsigned answers: the first acceptable one wins. Signed ones: once the first acceptable one is
// complete, the tries already connected may go on for one head start more, and the newest signed
// answer at hand wins; none older than what this run already took for the file is acceptable.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace linkvane {

class RaceRules {
public:
    using Clock = std::chrono::steady_clock;
    using SignedTime = std::optional<std::uint64_t>;  // unix seconds, as signed; none when unsigned

    struct Settings {
        std::chrono::milliseconds connectHeadStart;  // for a try that has not connected
        std::chrono::milliseconds headStart;         // for one that has
        bool signedAnswers = false;
        // The latest signed time this run has taken for the file: an answer signed earlier, or
        // without a time, is not acceptable.
        SignedTime latestTaken;
    };

    // `order`: the entries in the order they go; the first starts at `now`.
    RaceRules(std::vector<std::size_t> order, const Settings& settings, Clock::time_point now);

    // The entries whose turn has come by `now`, in their order; each is named once. Also ends the
    // race when the time for newer answers is up.
    std::vector<std::size_t> due(Clock::time_point now);
    // When due() next has something to do unless a try ends first; Clock::time_point::max() when
    // only an ending try can move the race on.
    Clock::time_point nextTurn() const;

    // A try's connection is up (a TLS handshake may still be under way).
    void connected(std::size_t entry);
    // The tries that ended in one look, each with whether its answer is acceptable and, for a
    // signed one, the time it was signed at.
    struct Ended {
        std::size_t entry;
        bool acceptable;
        SignedTime signedAt = {};
    };
    void ended(const std::vector<Ended>& tries, Clock::time_point now);
    // False for a try still running that the race no longer waits for: it had not connected when
    // the first signed answer came. Its transfers should stop; it is never reported as ended.
    bool waitsFor(std::size_t entry) const;

    // The entry whose answer wins, and the signed time of that answer.
    std::optional<std::size_t> winner() const;
    SignedTime winnerSignedAt() const { return best_ ? best_->signedAt : SignedTime(); }
    // A winner is known, or no try is left to wait for.
    bool over() const { return over_; }

private:
    struct Try {
        bool started = false, connected = false, ended = false, waitedFor = true;
        Clock::time_point startedAt;
    };
    struct Answer {
        std::size_t position;
        SignedTime signedAt;
    };

    std::size_t PositionOf(std::size_t entry) const;
    bool Admissible(const SignedTime& signedAt) const;
    void Consider(const Answer& answer);
    void OpenWindow(Clock::time_point now);
    bool AnyRunning() const;

    std::vector<std::size_t> order_;
    Settings settings_;
    Clock::time_point createdAt_;
    std::vector<Try> tries_;   // by position in order_
    std::size_t started_ = 0;  // positions that have started
    std::optional<Answer> best_;
    std::optional<Clock::time_point> windowEnd_;  // signed answers: until when newer ones may come
    bool over_ = false;
};

}  // namespace linkvane
