// The texts of expression errors. "%s" marks where a Format argument goes (FillMessage).
#pragma once

namespace report::expr::msg {

inline constexpr const char* kNotPrepared = "Evaluator not prepared";
inline constexpr const char* kErrorInExpression = "Error in expression : %s";
inline constexpr const char* kMissing = "Missing %s";
inline constexpr const char* kIllegalNumber = "Illegal character in numeric contant \"%s\"";
inline constexpr const char* kUnknownFunction = "Unknown function : %s";
inline constexpr const char* kInvalidNot = "Invalid use of NOT";
inline constexpr const char* kNotCompatible = "Operator %s is not compatible with %s expressions";
inline constexpr const char* kCannot = "Cannot %s %s expressions";
inline constexpr const char* kDivideByZero = "Cannot divide by 0";
inline constexpr const char* kUnknownFieldType = "Field %s is of unknown type";
inline constexpr const char* kRecursiveCall = "Recursive calls not allowed";
inline constexpr const char* kTooManyArguments = "Too many arguments";
inline constexpr const char* kWrongArguments = "Wrong arguments for %s";
inline constexpr const char* kMissingArgument = "Missing argument for %s";
inline constexpr const char* kConversionError = "Conversion error";
inline constexpr const char* kDivisionByZero = "Division by Zero";
inline constexpr const char* kInvalidSqrt = "Invalid argument to SQRT function";
inline constexpr const char* kInvalidFormat = "Invalid format or value specified";
inline constexpr const char* kFloatOverflow = "Floating point overflow";
inline constexpr const char* kExpressionTooLong = "Expression too long (more than %s characters)";
inline constexpr const char* kExpressionTooDeep = "Expression nested too deeply (more than %s levels)";

}  // namespace report::expr::msg
