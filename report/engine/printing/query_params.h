// Query parameters filled from a report's named expression entries.
#pragma once

namespace report::expr {
class TRpDataSet;
class TRpEvEnvironment;
}  // namespace report::expr

namespace report::engine {

// Closes `query`; every parameter named like an entry of `functions` (ignoring letter case)
// takes the entry's value when the kinds match: a string parameter a string, an integer one an
// integer, a Boolean one a Boolean, a float, currency or BCD one a float, and a date, time or
// date-time one a string in the short forms "2024-02-29", "13:45:00" (or "13:45") and
// "2024-02-29 13:45:00"; any other pair leaves the parameter as it was. Then opens `query`
// again. Raises ERpError "'<text>' is not a valid date" (time, date and time) for a text that
// is none, after which the query stays closed.
void FillQueryParams(expr::TRpDataSet& query, const expr::TRpEvEnvironment& functions);

}  // namespace report::engine
