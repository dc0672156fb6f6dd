#include "report/engine/controls/expr_print.h"

#include "report/expr/ev_messages.h"
#include "utility/floatformat.h"
#include "utility/formatsettings.h"
#include "utility/rp_error.h"

namespace report::engine {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True when the mask holds a money directive of the "%" formatter: "%m", also with a width or a
// precision ("%12m", "%-8.2m"); "%%m" is a percent sign followed by an m.
bool HasMoneyDirective(std::string_view mask)
{
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] != '%')
            continue;
        std::size_t k = i + 1;
        if (k < mask.size() && mask[k] == '%') {
            i = k;
            continue;
        }
        if (k < mask.size() && mask[k] == '-')
            ++k;
        while (k < mask.size() && IsDigit(mask[k]))
            ++k;
        if (k < mask.size() && mask[k] == '.')
            ++k;
        while (k < mask.size() && IsDigit(mask[k]))
            ++k;
        if (k < mask.size() && (mask[k] == 'm' || mask[k] == 'M'))
            return true;
    }
    return false;
}

}  // namespace

std::string ExpressionPrintText(const expr::TRpEvResult& value, std::string_view mask)
{
    switch (value.Kind) {
    case expr::rkInteger:
    case expr::rkFloat: {
        // A money directive is no placeholder of the mask formatter: integers too go the "%" way.
        const std::optional<std::string> text = HasMoneyDirective(mask)
                                                    ? utility::FormatOneFloat(mask, value.AsFloat())
                                                    : utility::FormatFloatMask(mask, value.AsFloat());
        if (!text)
            throw ERpError(expr::msg::kInvalidFormat);
        return *text;
    }
    case expr::rkBoolean:
        return value.BooleanValue ? "True" : "False";
    default:
        return value.StringValue;
    }
}

std::string ExpressionDisplayCaption(std::string_view expression)
{
    return expression.empty() ? std::string("(none)") : std::string(expression);
}

const char* SysDataName(TRpSysDataType data)
{
    static const char* const kNames[] = {"Time",         "Date",         "Date/Time", "Page#",
                                         "Report title", "Detail count", "Detail no"};
    return data <= rpsDetailNo ? kNames[data] : "";
}

std::string SysDataDisplayCaption(std::string_view text, TRpSysDataType data)
{
    return std::string(text) + "(" + SysDataName(data) + ")";
}

std::optional<std::string> SysDataPrintCaption(std::string_view text, TRpSysDataType data,
                                               const TRpReportValues& report, double now)
{
    std::optional<int> number;
    switch (data) {
    case rpsTime:
        return std::string(text) + utility::FormatShortTime(now);
    case rpsDate:
        return std::string(text) + utility::FormatShortDate(now);
    case rpsDateTime:
        return std::string(text) + utility::FormatShortDateTime(now);
    case rpsPageNumber:
        return std::string(text) + std::to_string(report.PageNumber());
    case rpsReportTitle:
        return std::string(text) + report.ReportTitle();
    case rpsDetailCount:
        number = report.RecordCount();
        break;
    default:
        number = report.RecordNumber();
        break;
    }
    if (!number)
        return std::nullopt;
    return std::string(text) + std::to_string(*number);
}

}  // namespace report::engine
