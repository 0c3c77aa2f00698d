#include "net/race.h"

#include <algorithm>
#include <utility>

namespace linkvane {

RaceRules::RaceRules(std::vector<std::size_t> order, const Settings& settings, Clock::time_point now)
    : order_(std::move(order)), settings_(settings), createdAt_(now), tries_(order_.size()) {
    over_ = order_.empty();
}

std::vector<std::size_t> RaceRules::due(Clock::time_point now) {
    if (windowEnd_ && now >= *windowEnd_)
        over_ = true;
    std::vector<std::size_t> starting;
    while (!over_ && !windowEnd_ && started_ < order_.size() && nextTurn() <= now) {
        tries_[started_].started = true;
        tries_[started_].startedAt = started_ == 0 ? createdAt_ : now;
        starting.push_back(order_[started_++]);
    }
    return starting;
}

RaceRules::Clock::time_point RaceRules::nextTurn() const {
    if (over_)
        return Clock::time_point::max();
    if (windowEnd_)
        return *windowEnd_;
    if (started_ == order_.size())
        return Clock::time_point::max();
    if (started_ == 0 || tries_[started_ - 1].ended)
        return Clock::time_point::min();
    // A reachable mirror connects in one round trip; one whose packets are dropped never does.
    const Try& latest = tries_[started_ - 1];
    return latest.startedAt +
           (latest.connected ? settings_.headStart : std::min(settings_.connectHeadStart, settings_.headStart));
}

std::size_t RaceRules::PositionOf(std::size_t entry) const {
    return std::size_t(std::find(order_.begin(), order_.end(), entry) - order_.begin());
}

void RaceRules::connected(std::size_t entry) {
    const std::size_t position = PositionOf(entry);
    if (position < tries_.size())
        tries_[position].connected = true;
}

bool RaceRules::Admissible(const SignedTime& signedAt) const {
    return !settings_.signedAnswers || !settings_.latestTaken ||
           (signedAt && *signedAt >= *settings_.latestTaken);
}

// A newer signed time wins; of equal times (or none), the earlier entry. An answer with a time is
// newer than one without.
void RaceRules::Consider(const Answer& answer) {
    if (!best_ || answer.signedAt > best_->signedAt ||
        (answer.signedAt == best_->signedAt && answer.position < best_->position))
        best_ = answer;
}

// The tries that have connected may still bring a newer answer; the others are let go, so that a
// black hole costs nothing more.
void RaceRules::OpenWindow(Clock::time_point now) {
    windowEnd_ = now + settings_.headStart;
    for (Try& one : tries_)
        one.waitedFor = one.connected || !one.started || one.ended;
}

bool RaceRules::AnyRunning() const {
    return std::any_of(tries_.begin(), tries_.end(),
                       [](const Try& one) { return one.started && !one.ended && one.waitedFor; });
}

void RaceRules::ended(const std::vector<Ended>& tries, Clock::time_point now) {
    if (over_)
        return;
    for (const Ended& done : tries) {
        const std::size_t position = PositionOf(done.entry);
        if (position >= tries_.size() || !tries_[position].waitedFor)
            continue;
        tries_[position].ended = true;
        if (done.acceptable && Admissible(done.signedAt))
            Consider({position, settings_.signedAnswers ? done.signedAt : SignedTime()});
    }
    if (best_ && !windowEnd_ && settings_.signedAnswers)
        OpenWindow(now);
    over_ = over_ || (best_ && !settings_.signedAnswers) ||
            (!AnyRunning() && (windowEnd_ || started_ == order_.size()));
}

bool RaceRules::waitsFor(std::size_t entry) const {
    const std::size_t position = PositionOf(entry);
    return position < tries_.size() && tries_[position].waitedFor;
}

std::optional<std::size_t> RaceRules::winner() const {
    return best_ ? std::optional<std::size_t>(order_[best_->position]) : std::nullopt;
}

}  // namespace linkvane
