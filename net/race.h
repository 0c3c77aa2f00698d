#pragma once
// The rules of a race between the entries of a server list for one file: each entry starts when
// the one before it has failed or has had its head start without a complete answer, and the first
// acceptable answer wins. Only the rules: no network here, so that they can be checked with a
// made-up clock.

#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

namespace linkvane {

class MirrorRace {
public:
    using Clock = std::chrono::steady_clock;

    // `order`: the entries in the order they go; the first starts at once.
    MirrorRace(std::vector<std::size_t> order, std::chrono::milliseconds headStart, Clock::time_point now);

    // The entries whose turn has come by `now`, in their order; each is named once.
    std::vector<std::size_t> due(Clock::time_point now);
    // When the next entry's turn comes unless a try ends first; Clock::time_point::max() when
    // every entry has started.
    Clock::time_point nextTurn() const;

    // The tries that ended in one look, each with whether its answer is acceptable.
    struct Ended {
        std::size_t entry;
        bool acceptable;
    };
    void ended(const std::vector<Ended>& tries);

    // The entry whose answer wins: the first acceptable one to end; of several that ended
    // together, the one that went first.
    std::optional<std::size_t> winner() const { return winner_; }
    // A winner is known, or every entry has started and ended.
    bool over() const;

private:
    std::size_t PositionOf(std::size_t entry) const;

    std::vector<std::size_t> order_;
    std::chrono::milliseconds headStart_;
    std::size_t started_ = 0;      // entries of order_ that have started
    std::size_t endedCount_ = 0;
    Clock::time_point lastStart_;  // of the latest entry to start
    bool lastEnded_ = false;       // the latest entry to start has ended
    std::optional<std::size_t> winner_;
};

}  // namespace linkvane
