#include "tests/support/expr_fixture.h"

#include "report/expr/expr_unit.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"

#include <charconv>

namespace testsupport {

using namespace report::expr;

double FixedNow() { return utility::EncodeDate(2024, 5, 1) + utility::EncodeTime(13, 5, 7); }

std::string Describe(const TRpEvResult& value)
{
    switch (value.Kind) {
    case rkInteger:
        return "I:" + std::to_string(value.IntegerValue);
    case rkFloat: {
        char buffer[64];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, value.FloatValue);
        return "F:" + std::string(buffer, r.ptr);
    }
    case rkString:
        return "S:" + utility::Cp1250ToUtf8(value.StringValue);
    case rkBoolean:
        return value.BooleanValue ? "B:True" : "B:False";
    default:
        return "E:" + utility::Cp1250ToUtf8(value.StringValue);
    }
}

void ExprTest::SetUp() { InitializeExpressionUnit(); }

void ExprTest::TearDown() { FinalizeExpressionUnit(); }

std::string ExprTest::Calc(const std::string& expression)
{
    TRpEvaluator evaluator;
    return Describe(evaluator.Calculate(utility::Pl(expression)));
}

}  // namespace testsupport
