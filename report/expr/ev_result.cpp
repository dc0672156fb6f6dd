#include "report/expr/ev_result.h"

#include "report/expr/ev_messages.h"
#include "utility/floatformat.h"
#include "utility/rp_error.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace report::expr {

TRpEvResult TRpEvResult::Integer(std::int32_t value)
{
    TRpEvResult r;
    r.Kind = rkInteger;
    r.IntegerValue = value;
    return r;
}

TRpEvResult TRpEvResult::Float(double value)
{
    TRpEvResult r;
    r.Kind = rkFloat;
    r.FloatValue = value;
    return r;
}

TRpEvResult TRpEvResult::String(std::string text)
{
    TRpEvResult r;
    r.Kind = rkString;
    r.StringValue = std::move(text);
    return r;
}

TRpEvResult TRpEvResult::Boolean(bool value)
{
    TRpEvResult r;
    r.Kind = rkBoolean;
    r.BooleanValue = value;
    return r;
}

TRpEvResult TRpEvResult::Error(std::string message)
{
    TRpEvResult r;
    r.Kind = rkError;
    r.StringValue = std::move(message);
    return r;
}

std::string ResultToText(const TRpEvResult& value)
{
    switch (value.Kind) {
    case rkInteger:
        return std::to_string(value.IntegerValue);
    case rkFloat:
        return utility::FloatToTextGeneral(value.FloatValue);
    case rkBoolean:
        return value.BooleanValue ? "True" : "False";
    default:
        return value.StringValue;
    }
}

void HarmonizeOperands(TRpEvResult& left, TRpEvResult& right)
{
    if (left.Kind == rkError || right.Kind == rkError || left.Kind == right.Kind)
        return;
    if (left.IsNumber() && right.IsNumber()) {
        left = TRpEvResult::Float(left.AsFloat());
        right = TRpEvResult::Float(right.AsFloat());
        return;
    }
    left = TRpEvResult::String(ResultToText(left));
    right = TRpEvResult::String(ResultToText(right));
}

int CompareBytes(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    const int c = n == 0 ? 0 : std::memcmp(a.data(), b.data(), n);  // memcmp compares unsigned bytes
    if (c != 0)
        return c;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::string FillMessage(std::string_view message, std::string_view arg1, std::string_view arg2)
{
    std::string result;
    int used = 0;
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message[i] == '%' && i + 1 < message.size() && message[i + 1] == 's' && used < 2) {
            result += used++ == 0 ? arg1 : arg2;
            ++i;
        } else {
            result.push_back(message[i]);
        }
    }
    return result;
}

double CheckOverflow(double result, double a, double b)
{
    if (std::isinf(result) && std::isfinite(a) && std::isfinite(b))
        throw ERpError(msg::kFloatOverflow);
    return result;
}

}  // namespace report::expr
