#include "report/expr/ev_functions.h"

#include "report/expr/ev_messages.h"
#include "report/expr/rp_clock.h"
#include "utility/cp1250.h"
#include "utility/floatformat.h"
#include "utility/formatsettings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace report::expr {
namespace {

TRpEvResult Wrong(const char* function) { return TRpEvResult::Error(FillMessage(msg::kWrongArguments, function)); }

bool FitsInt32(long double value)
{
    return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}

// A number as a 32-bit integer, floats rounded to the nearest one with halves to even; false
// when it does not fit.
bool RoundedInteger(const TRpEvResult& value, std::int64_t& out)
{
    if (value.Kind == rkInteger) {
        out = value.IntegerValue;
        return true;
    }
    if (!std::isfinite(value.FloatValue))
        return false;
    const double rounded = std::nearbyint(value.FloatValue);
    if (!FitsInt32(rounded))
        return false;
    out = static_cast<std::int64_t>(rounded);
    return true;
}

// UPPER, LOWER and PRETTY: one string argument.
template <typename Map>
TRpEvResult MapString(int count, const TRpEvResult* argument, const char* function, Map map)
{
    if (count != 1)
        return TRpEvResult::Error(FillMessage(msg::kMissingArgument, function));
    if (argument->Kind != rkString)
        return TRpEvResult::Error(argument->StringValue);
    return TRpEvResult::String(map(argument->StringValue));
}

}  // namespace

void TRpEvTrue::Compute(TRpEvResult& result)
{
    result = ArgumentCount() == 0 ? TRpEvResult::Boolean(true) : TRpEvResult::Error(msg::kTooManyArguments);
}

void TRpEvFalse::Compute(TRpEvResult& result)
{
    result = ArgumentCount() == 0 ? TRpEvResult::Boolean(false) : TRpEvResult::Error(msg::kTooManyArguments);
}

void TRpEvIfFunction::Compute(TRpEvResult& result)
{
    if (ArgumentCount() != 3 || Arg(0).Kind != rkBoolean) {
        result = Wrong("IF");
        return;
    }
    Argument(Arg(0).BooleanValue ? 1 : 2, result);
}

void TRpEvTypeOfFunction::Compute(TRpEvResult& result)
{
    static const char* const kNames[] = {"INTEGER", "FLOAT", "STRING", "BOOLEAN", "ERROR"};
    result = ArgumentCount() == 1 ? TRpEvResult::String(kNames[Arg(0).Kind]) : Wrong("TypeOf");
}

void TRpEvIntFunction::Compute(TRpEvResult& result)
{
    if (ArgumentCount() != 1 || !Arg(0).IsNumber()) {
        result = Wrong("INT");
        return;
    }
    if (Arg(0).Kind == rkInteger) {
        result = Arg(0);
        return;
    }
    const double whole = std::trunc(Arg(0).FloatValue);
    // The integer part of a float past 32 bits has no integer result.
    result = std::isfinite(whole) && FitsInt32(whole) ? TRpEvResult::Integer(static_cast<std::int32_t>(whole))
                                                      : Wrong("INT");
}

void TRpEvFracFunction::Compute(TRpEvResult& result)
{
    if (ArgumentCount() != 1 || !Arg(0).IsNumber()) {
        result = TRpEvResult::Error();
        return;
    }
    const double x = Arg(0).AsFloat();
    result = TRpEvResult::Float(Arg(0).Kind == rkInteger ? 0.0 : x - std::trunc(x));
}

void TRpEvSQRTFunction::Compute(TRpEvResult& result)
{
    if (ArgumentCount() != 1 || !Arg(0).IsNumber() || !(Arg(0).AsFloat() >= 0.0)) {
        result = TRpEvResult::Error(msg::kInvalidSqrt);
        return;
    }
    result = TRpEvResult::Float(std::sqrt(Arg(0).AsFloat()));
}

void TRpEvDivFunction::Compute(TRpEvResult& result)
{
    if (ArgumentCount() != 2 || !Arg(0).IsNumber() || !Arg(1).IsNumber()) {
        result = Wrong("DIV");
        return;
    }
    std::int64_t a = 0;
    std::int64_t b = 0;
    const bool aFits = RoundedInteger(Arg(0), a);
    const bool bFits = RoundedInteger(Arg(1), b);
    if (bFits && b == 0) {
        result = TRpEvResult::Error(msg::kDivisionByZero);
        return;
    }
    // Operands or a quotient (-2147483648 div -1) past 32 bits have no integer result.
    const std::int64_t q = aFits && bFits ? a / b : 0;
    result = aFits && bFits && FitsInt32(q) ? TRpEvResult::Integer(static_cast<std::int32_t>(q)) : Wrong("DIV");
}

void TRpEvStrFunction::Compute(TRpEvResult& result)
{
    if (ArgumentCount() != 1 || Arg(0).Kind == rkString || Arg(0).Kind == rkError) {
        result = TRpEvResult::Error(msg::kConversionError);
        return;
    }
    result = TRpEvResult::String(ResultToText(Arg(0)));
}

void TRpEvUpperFunction::Compute(TRpEvResult& result)
{
    result = MapString(ArgumentCount(), ArgumentCount() > 0 ? &Arg(0) : nullptr, "UPPER",
                       [](const std::string& s) { return utility::Cp1250UpperCase(s); });
}

void TRpEvLowerFunction::Compute(TRpEvResult& result)
{
    result = MapString(ArgumentCount(), ArgumentCount() > 0 ? &Arg(0) : nullptr, "LOWER",
                       [](const std::string& s) { return utility::Cp1250LowerCase(s); });
}

void TRpEvPrettyFunction::Compute(TRpEvResult& result)
{
    // Code page 1250 has no double-byte characters: the first byte is the first character.
    result = MapString(ArgumentCount(), ArgumentCount() > 0 ? &Arg(0) : nullptr, "PRETTY", [](const std::string& s) {
        if (s.empty())
            return s;
        return utility::Cp1250UpperCase(s.substr(0, 1)) + utility::Cp1250LowerCase(s.substr(1));
    });
}

void TRpEvTimeFunction::Compute(TRpEvResult& result)
{
    result = ArgumentCount() == 0 ? TRpEvResult::String(utility::FormatLongTime(RpNow())) : TRpEvResult::Error();
}

void TRpEvDateFunction::Compute(TRpEvResult& result)
{
    result = ArgumentCount() == 0 ? TRpEvResult::String(utility::FormatShortDate(RpNow())) : TRpEvResult::Error();
}

void TRpEvCopyFunction::Compute(TRpEvResult& result)
{
    if (ArgumentCount() != 3 || Arg(0).Kind != rkString || Arg(1).Kind != rkInteger || Arg(2).Kind != rkInteger) {
        result = TRpEvResult::Error();
        return;
    }
    const std::string& text = Arg(0).StringValue;
    const std::int64_t size = static_cast<std::int64_t>(text.size());
    const std::int64_t start = std::max<std::int64_t>(Arg(1).IntegerValue, 1);
    const std::int64_t length = Arg(2).IntegerValue;
    if (length < 1 || start > size) {
        result = TRpEvResult::String(std::string());
        return;
    }
    const std::int64_t count = std::min(length, size - start + 1);
    result = TRpEvResult::String(text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count)));
}

void TRpEvFormatNumericFunction::Compute(TRpEvResult& result)
{
    if (ArgumentCount() != 2 || Arg(0).Kind != rkString || !Arg(1).IsNumber()) {
        result = TRpEvResult::Error();
        return;
    }
    const std::optional<std::string> text = utility::FormatFloatMask(Arg(0).StringValue, Arg(1).AsFloat());
    result = text ? TRpEvResult::String(*text) : TRpEvResult::Error(msg::kInvalidFormat);
}

}  // namespace report::expr
