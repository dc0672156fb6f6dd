#include "report/engine/printing/query_params.h"

#include "report/expr/ev_environment.h"
#include "report/expr/rp_dataset.h"
#include "utility/datetime.h"
#include "utility/rp_error.h"

#include <optional>
#include <string>
#include <string_view>

namespace report::engine {
namespace {

// The digits of `text` from `at`, exactly `count` of them; a sign is no digit.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count)
{
    if (at + count > text.size())
        return std::nullopt;
    int value = 0;
    for (const char c : text.substr(at, count)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<double> ParseDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const auto year = Digits(text, 0, 4);
    const auto month = Digits(text, 5, 2);
    const auto day = Digits(text, 8, 2);
    double date = 0;
    if (!year || !month || !day || !utility::TryEncodeDate(*year, *month, *day, date))
        return std::nullopt;
    return date;
}

std::optional<double> ParseTime(std::string_view text)
{
    if ((text.size() != 5 && text.size() != 8) || text[2] != ':')
        return std::nullopt;
    const auto hour = Digits(text, 0, 2);
    const auto minute = Digits(text, 3, 2);
    std::optional<int> second = 0;
    if (text.size() == 8)
        second = text[5] == ':' ? Digits(text, 6, 2) : std::nullopt;
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    return utility::EncodeTime(*hour, *minute, *second);
}

std::optional<double> ParseDateTime(std::string_view text)
{
    if (text.size() == 10)
        return ParseDate(text);
    if (text.size() < 12 || text[10] != ' ')
        return std::nullopt;
    const auto date = ParseDate(text.substr(0, 10));
    const auto time = ParseTime(text.substr(11));
    if (!date || !time)
        return std::nullopt;
    // Before day 0 the day number is negative and the time of day its fraction's size.
    return *date < 0 ? *date - *time : *date + *time;
}

double Convert(expr::TRpFieldKind kind, const std::string& text)
{
    std::optional<double> value;
    const char* what = "date and time";
    switch (kind) {
    case expr::TRpFieldKind::Date:
        value = ParseDate(text);
        what = "date";
        break;
    case expr::TRpFieldKind::Time:
        value = ParseTime(text);
        what = "time";
        break;
    default:
        value = ParseDateTime(text);
        break;
    }
    if (!value)
        throw ERpError("'" + text + "' is not a valid " + what);
    return *value;
}

void Assign(expr::TRpParam& param, const expr::TRpEvResult& value)
{
    switch (param.DataType) {
    case expr::TRpFieldKind::String:
        if (value.Kind == expr::rkString)
            param.Value = value.StringValue;
        break;
    case expr::TRpFieldKind::SmallInt:
    case expr::TRpFieldKind::Integer:
    case expr::TRpFieldKind::Word:
        if (value.Kind == expr::rkInteger)
            param.Value = value.IntegerValue;
        break;
    case expr::TRpFieldKind::Boolean:
        if (value.Kind == expr::rkBoolean)
            param.Value = value.BooleanValue;
        break;
    case expr::TRpFieldKind::Float:
    case expr::TRpFieldKind::Currency:
    case expr::TRpFieldKind::Bcd:
        if (value.Kind == expr::rkFloat)
            param.Value = value.FloatValue;
        break;
    case expr::TRpFieldKind::Date:
    case expr::TRpFieldKind::Time:
    case expr::TRpFieldKind::DateTime:
        if (value.Kind == expr::rkString)
            param.Value = Convert(param.DataType, value.StringValue);
        break;
    default:
        break;
    }
}

}  // namespace

void FillQueryParams(expr::TRpDataSet& query, const expr::TRpEvEnvironment& functions)
{
    query.Close();
    for (expr::TRpParam& param : query.Params()) {
        if (functions.IndexOf(param.Name) < 0)
            continue;
        Assign(param, functions.GetValue(param.Name));
    }
    query.Open();
}

}  // namespace report::engine
