// The typed value of an expression and the conversions operators share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace report::expr {

enum TRpEvResultKind : std::uint8_t { rkInteger, rkFloat, rkString, rkBoolean, rkError };

struct TRpEvResult {
    std::string StringValue;  // rkString: the text; rkError: the message (may be empty)
    TRpEvResultKind Kind = rkInteger;
    bool BooleanValue = false;
    std::int32_t IntegerValue = 0;
    double FloatValue = 0.0;

    static TRpEvResult Integer(std::int32_t value);
    static TRpEvResult Float(double value);
    static TRpEvResult String(std::string text);
    static TRpEvResult Boolean(bool value);
    static TRpEvResult Error(std::string message = {});
    [[nodiscard]] bool IsNumber() const { return Kind == rkInteger || Kind == rkFloat; }
    // The numeric value as a float (integers converted).
    [[nodiscard]] double AsFloat() const { return Kind == rkInteger ? IntegerValue : FloatValue; }
};

// Integers in decimal, floats in the general text with 15 significant digits, Booleans as
// "True" or "False", strings (and error messages) as they are.
std::string ResultToText(const TRpEvResult& value);
// Brings two operands to one kind: when neither is an error and their kinds differ, an integer
// facing a float becomes a float and any other pair becomes the strings of their texts.
void HarmonizeOperands(TRpEvResult& left, TRpEvResult& right);
// Byte-wise comparison of two code page 1250 strings: negative, 0 or positive.
int CompareBytes(std::string_view a, std::string_view b);

// The message with each "%s" replaced by the next argument, in order. Arguments are never
// read as formats.
std::string FillMessage(std::string_view message, std::string_view arg1 = {}, std::string_view arg2 = {});
// Raises ERpError "Floating point overflow" when `result` is infinite while the operands it
// was made from were finite; returns `result` otherwise.
double CheckOverflow(double result, double a, double b = 0.0);

}  // namespace report::expr
