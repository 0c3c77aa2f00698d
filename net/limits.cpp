#include "net/limits.h"

namespace linkvane {

namespace {
FetchLimits& LimitsInForce() {
    static FetchLimits limits;
    return limits;
}
}  // namespace

const FetchLimits& CurrentFetchLimits() { return LimitsInForce(); }

ScopedFetchLimits::ScopedFetchLimits(const FetchLimits& limits) : previous_(LimitsInForce()) {
    LimitsInForce() = limits;
}

ScopedFetchLimits::~ScopedFetchLimits() { LimitsInForce() = previous_; }

}  // namespace linkvane
