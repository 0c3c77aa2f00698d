#include "net/race.h"

#include <algorithm>
#include <utility>

namespace linkvane {

MirrorRace::MirrorRace(std::vector<std::size_t> order, std::chrono::milliseconds headStart,
                       Clock::time_point now)
    : order_(std::move(order)), headStart_(headStart), lastStart_(now) {}

std::vector<std::size_t> MirrorRace::due(Clock::time_point now) {
    std::vector<std::size_t> starting;
    while (!winner_ && started_ < order_.size() && nextTurn() <= now) {
        starting.push_back(order_[started_++]);
        lastStart_ = started_ == 1 ? lastStart_ : now;
        lastEnded_ = false;
    }
    return starting;
}

MirrorRace::Clock::time_point MirrorRace::nextTurn() const {
    if (winner_ || started_ == order_.size())
        return Clock::time_point::max();
    if (started_ == 0 || lastEnded_)
        return Clock::time_point::min();
    return lastStart_ + headStart_;
}

std::size_t MirrorRace::PositionOf(std::size_t entry) const {
    return std::size_t(std::find(order_.begin(), order_.end(), entry) - order_.begin());
}

void MirrorRace::ended(const std::vector<Ended>& tries) {
    for (const Ended& done : tries) {
        ++endedCount_;
        const std::size_t position = PositionOf(done.entry);
        if (position + 1 == started_)
            lastEnded_ = true;
        if (done.acceptable && (!winner_ || position < PositionOf(*winner_)))
            winner_ = done.entry;
    }
}

bool MirrorRace::over() const { return winner_ || endedCount_ == order_.size(); }

}  // namespace linkvane
