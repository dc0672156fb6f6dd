// The aggregate functions: they fold their one argument into a running value on each row the
// queue aggregates, and give that value when evaluated. A wrong argument count is an error,
// whether rows were folded or not.
#pragma once

#include "report/expr/ev_elements.h"

#include <cstdint>

namespace report::expr {

// What SUM, AVERAGE, MAX and MIN share: a running value started by the first row and folded on
// by every later one; a wrong argument count or an error value stops the folding.
class TRpEvRunningFunction : public TRpEvElementFunction {
public:
    void Reset() override;
    void Aggregate() override;

protected:
    TRpEvRunningFunction() { IsAggreg = true; }
    // The running value the first row starts.
    [[nodiscard]] virtual TRpEvResult Start(const TRpEvResult& row) const = 0;
    // Folds a later row into the running value, which is not an error.
    virtual void Fold(const TRpEvResult& row) = 0;
    // The running value, or the integer 0 before any row.
    [[nodiscard]] TRpEvResult Running() const;

    TRpEvResult running_;

private:
    bool started_ = false;
};

// SUM: integers add up as integers (wrapping at 32 bits), floats as floats; a float row on an
// integer sum (or the reverse) turns the sum into a float. A string row makes the sum an error;
// Boolean and error rows are skipped. Before any row the sum is the integer 0.
class TRpEvSumFunction : public TRpEvRunningFunction {
public:
    TRpEvSumFunction() = default;
    void Compute(TRpEvResult& result) override;

protected:
    // The sum as Compute gives it from the running value.
    [[nodiscard]] TRpEvResult Sum() const { return Running(); }
    [[nodiscard]] TRpEvResult Start(const TRpEvResult& row) const override;
    void Fold(const TRpEvResult& row) override;
};

// AVERAGE: the sum over the number of rows folded (each row counts, also one the sum skipped),
// as a float; 0.0 before any row.
class TRpEvAverageFunction : public TRpEvSumFunction {
public:
    TRpEvAverageFunction() { average_ = TRpEvResult::Float(0.0); }
    void Reset() override;
    void Aggregate() override;
    void Compute(TRpEvResult& result) override;

private:
    std::uint32_t count_ = 0;
    TRpEvResult average_;
};

// MAX and MIN: the greatest or smallest row; numbers compare numerically, strings byte-wise,
// Booleans with False below True. A row of another kind makes the result an error. Before any
// row the result is the integer 0.
class TRpEvExtremeFunction : public TRpEvRunningFunction {
public:
    void Compute(TRpEvResult& result) override;

protected:
    explicit TRpEvExtremeFunction(bool greatest, const char* name) : greatest_(greatest), name_(name) {}
    [[nodiscard]] TRpEvResult Start(const TRpEvResult& row) const override { return row; }
    void Fold(const TRpEvResult& row) override;

private:
    bool greatest_;
    const char* name_;
};

class TRpEvMaxFunction : public TRpEvExtremeFunction {
public:
    TRpEvMaxFunction() : TRpEvExtremeFunction(true, "MAX") {}
};

class TRpEvMinFunction : public TRpEvExtremeFunction {
public:
    TRpEvMinFunction() : TRpEvExtremeFunction(false, "MIN") {}
};

// COUNT: the number of rows folded; it takes no argument.
class TRpEvCountFunction : public TRpEvElementFunction {
public:
    TRpEvCountFunction() { IsAggreg = true; }
    void Value(TRpFiFo& queue, TRpEvResult& result) override;
    void Reset() override;

private:
    std::int32_t count_ = 0;
};

}  // namespace report::expr
