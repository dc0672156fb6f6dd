// The binary operators of expressions, by operator and by the operands' common kind.
#include "report/expr/ev_elements.h"
#include "report/expr/ev_messages.h"

namespace report::expr {
namespace {

bool IsComparison(TRpEvOperator op) { return op <= opUnequal; }

template <typename T>
TRpEvResult Compare(TRpEvOperator op, const T& a, const T& b)
{
    switch (op) {
    case opLess:
        return TRpEvResult::Boolean(a < b);
    case opLessOrEqual:
        return TRpEvResult::Boolean(a <= b);
    case opGreater:
        return TRpEvResult::Boolean(a > b);
    case opGreaterOrEqual:
        return TRpEvResult::Boolean(a >= b);
    case opEqual:
        return TRpEvResult::Boolean(a == b);
    default:
        return TRpEvResult::Boolean(a != b);
    }
}

const char* Verb(TRpEvOperator op)
{
    switch (op) {
    case opPlus:
        return "add";
    case opMinus:
        return "subtract";
    case opMul:
        return "multiply";
    default:
        return "divide";
    }
}

TRpEvResult NotCompatible(TRpEvOperator op, const char* kind)
{
    return TRpEvResult::Error(FillMessage(msg::kNotCompatible, OperatorText(op), kind));
}

// 32-bit integer arithmetic wraps around, as the machine does.
TRpEvResult IntegerOp(TRpEvOperator op, std::int32_t a, std::int32_t b)
{
    if (IsComparison(op))
        return Compare(op, a, b);
    const auto ua = static_cast<std::uint32_t>(a);
    const auto ub = static_cast<std::uint32_t>(b);
    switch (op) {
    case opPlus:
        return TRpEvResult::Integer(static_cast<std::int32_t>(ua + ub));
    case opMinus:
        return TRpEvResult::Integer(static_cast<std::int32_t>(ua - ub));
    case opMul:
        return TRpEvResult::Integer(static_cast<std::int32_t>(ua * ub));
    case opDiv:
        if (b == 0)
            return TRpEvResult::Error(msg::kDivideByZero);
        return TRpEvResult::Float(static_cast<double>(a) / static_cast<double>(b));
    case opOr:
        return TRpEvResult::Integer(a | b);
    default:
        return TRpEvResult::Integer(a & b);
    }
}

TRpEvResult FloatOp(TRpEvOperator op, double a, double b)
{
    if (IsComparison(op))
        return Compare(op, a, b);
    switch (op) {
    case opPlus:
        return TRpEvResult::Float(CheckOverflow(a + b, a, b));
    case opMinus:
        return TRpEvResult::Float(CheckOverflow(a - b, a, b));
    case opMul:
        return TRpEvResult::Float(CheckOverflow(a * b, a, b));
    case opDiv:
        if (b == 0.0)
            return TRpEvResult::Error(msg::kDivideByZero);
        return TRpEvResult::Float(CheckOverflow(a / b, a, b));
    default:
        return NotCompatible(op, "numeric");
    }
}

TRpEvResult StringOp(TRpEvOperator op, const std::string& a, const std::string& b)
{
    if (IsComparison(op))
        return Compare(op, CompareBytes(a, b), 0);
    switch (op) {
    case opPlus:
        return TRpEvResult::String(a + b);
    case opOr:
    case opAnd:
        return NotCompatible(op, "string");
    default:
        return TRpEvResult::Error(FillMessage(msg::kCannot, Verb(op), "string"));
    }
}

TRpEvResult BooleanOp(TRpEvOperator op, bool a, bool b)
{
    switch (op) {
    case opEqual:
        return TRpEvResult::Boolean(a == b);
    case opUnequal:
        return TRpEvResult::Boolean(a != b);
    case opOr:
        return TRpEvResult::Boolean(a || b);
    case opAnd:
        return TRpEvResult::Boolean(a && b);
    case opPlus:
    case opMinus:
    case opMul:
    case opDiv:
        return TRpEvResult::Error(FillMessage(msg::kCannot, Verb(op), "boolean"));
    default:
        return NotCompatible(op, "boolean");
    }
}

}  // namespace

const char* OperatorText(TRpEvOperator op)
{
    static const char* const kTexts[] = {"<", "<=", ">", ">=", "=", "<>", "+", "-", "OR", "*", "/", "AND"};
    return kTexts[op];
}

TRpEvResult ApplyOperator(TRpEvOperator op, TRpEvResult left, TRpEvResult right)
{
    HarmonizeOperands(left, right);
    if (left.Kind == rkError)
        return left;
    if (right.Kind == rkError)
        return right;
    switch (left.Kind) {
    case rkInteger:
        return IntegerOp(op, left.IntegerValue, right.IntegerValue);
    case rkFloat:
        return FloatOp(op, left.FloatValue, right.FloatValue);
    case rkString:
        return StringOp(op, left.StringValue, right.StringValue);
    default:
        return BooleanOp(op, left.BooleanValue, right.BooleanValue);
    }
}

}  // namespace report::expr
