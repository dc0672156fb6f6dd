// Expression tests run with the expression unit started for each test and closed down after it,
// on a fixed clock.
#pragma once

#include "report/expr/evaluator.h"
#include "report/expr/rp_clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testsupport {

// 2024-05-01 13:05:07
double FixedNow();

// A result as "I:5", "F:1.5" (the shortest round-trip text), "S:abc", "B:True" or "E:message",
// strings in UTF-8.
std::string Describe(const report::expr::TRpEvResult& value);

// One expression (UTF-8) and what it must come to, as Describe gives it.
struct ExprCase {
    const char* expression;
    const char* expected;
};

// Checks what `result` makes of each case's expression, naming the expression of any that differs.
template <typename Result>
void ExpectEach(const std::vector<ExprCase>& cases, Result result)
{
    for (const ExprCase& c : cases)
        EXPECT_EQ(result(c.expression), c.expected) << c.expression;
}

class ExprTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Calculate of a UTF-8 expression text, described.
    std::string Calc(const std::string& expression);
    // Calc of each case's expression.
    void Expect(const std::vector<ExprCase>& cases)
    {
        ExpectEach(cases, [this](const char* expression) { return Calc(expression); });
    }

    report::expr::ScopedRpClock clock_{FixedNow};
};

}  // namespace testsupport
