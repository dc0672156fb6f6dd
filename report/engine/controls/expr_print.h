// What the system data and expression controls print, and what they read of their report.
#pragma once

#include "report/engine/model/report_values.h"
#include "report/expr/ev_result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace report::engine {

// The print text of an expression's value: an integer or float through the "%" formatter when
// the mask holds a money directive ("%m", "%12m", "%-8.2m"), through the mask formatter otherwise (an empty mask is the general
// text); strings and error messages as they are; Booleans "True" or "False". Raises ERpError
// "Invalid format or value specified" when the formatter refuses the mask or the value.
std::string ExpressionPrintText(const expr::TRpEvResult& value, std::string_view mask);
// The caption of an expression control outside a run: the expression, or "(none)".
std::string ExpressionDisplayCaption(std::string_view expression);

enum TRpSysDataType : std::uint8_t {
    rpsTime,
    rpsDate,
    rpsDateTime,
    rpsPageNumber,
    rpsReportTitle,
    rpsDetailCount,
    rpsDetailNo
};

// "Time", "Date", "Date/Time", "Page#", "Report title", "Detail count", "Detail no".
const char* SysDataName(TRpSysDataType data);
// The caption outside a run: the prefix text, then the name of the data in parentheses.
std::string SysDataDisplayCaption(std::string_view text, TRpSysDataType data);
// The caption printed: the prefix text followed by the value of the data at `now` (a day
// number); nullopt for the record count and number when the report has none (the caption then
// stays as it was).
std::optional<std::string> SysDataPrintCaption(std::string_view text, TRpSysDataType data,
                                               const TRpReportValues& report, double now);

}  // namespace report::engine
