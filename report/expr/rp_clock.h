// The clock of the report engine (TIME, DATE, start-up time, system data controls): the local
// time now as a day number, replaceable so tests can fix it.
#pragma once

#include <functional>

namespace report::expr {

double RpNow();

// Replaces the clock for its lifetime; the previous one comes back when it ends.
class ScopedRpClock {
public:
    explicit ScopedRpClock(std::function<double()> clock);
    ScopedRpClock(const ScopedRpClock&) = delete;
    ScopedRpClock& operator=(const ScopedRpClock&) = delete;
    ~ScopedRpClock();

private:
    std::function<double()> previous_;
};

}  // namespace report::expr
