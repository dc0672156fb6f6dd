#include "report/expr/rp_clock.h"

#include "utility/datetime.h"

namespace report::expr {
namespace {

std::function<double()>& Clock()
{
    static std::function<double()> clock;
    return clock;
}

}  // namespace

double RpNow() { return Clock() ? Clock()() : utility::Now(); }

ScopedRpClock::ScopedRpClock(std::function<double()> clock) : previous_(std::move(Clock()))
{
    Clock() = std::move(clock);
}

ScopedRpClock::~ScopedRpClock() { Clock() = std::move(previous_); }

}  // namespace report::expr
