// Expression tests run with the expression unit started for each test and closed down after it,
// on a fixed clock.
#pragma once

#include "report/expr/evaluator.h"
#include "report/expr/rp_clock.h"

#include <gtest/gtest.h>

#include <string>

namespace enginetest {

// 2024-05-01 13:05:07
double FixedNow();

// A result as "I:5", "F:1.5" (the shortest round-trip text), "S:abc", "B:True" or "E:message",
// strings in UTF-8.
std::string Describe(const report::expr::TRpEvResult& value);

class ExprTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Calculate of a UTF-8 expression text, described.
    std::string Calc(const std::string& expression);

    report::expr::ScopedRpClock clock_{FixedNow};
};

} // namespace enginetest
