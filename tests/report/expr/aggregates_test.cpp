#include "report/expr/evaluator.h"
#include "tests/support/expr_fixture.h"
#include "tests/support/memory_table.h"
#include "utility/cp1250.h"
#include "utility/rp_error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace enginetest {

using namespace testsupport;
namespace {

using namespace report::expr;

// One column of values, folded row by row the way an expression control does it: reset after
// prepare, UpdateAggregates for each row, Value at print time.
class AggregatesTest : public ExprTest {
protected:
    void Fill(TRpFieldKind kind, const std::vector<Cell>& values)
    {
        table_ = std::make_unique<MemoryTable>("Table1",
                                               std::vector<Column>{{"X", kind}, {"CUSTNO", TRpFieldKind::Integer}});
        for (const Cell& v : values)
            table_->AddRow({v, v});
        list_ = {table_.get()};
        rows_ = values.size();
    }

    std::string Fold(const std::string& expression)
    {
        TRpEvaluator evaluator;
        evaluator.SetDatasets(&list_);
        evaluator.Prepare(utility::Pl(expression));
        evaluator.Reset();
        for (std::size_t row = 0; row < rows_; ++row) {
            table_->SetRow(row);
            (void)evaluator.UpdateAggregates();
        }
        return Describe(evaluator.Value());
    }

    void Expect(const std::vector<ExprCase>& cases)
    {
        ExpectEach(cases, [this](const char* expression) { return Fold(expression); });
    }

    std::unique_ptr<MemoryTable> table_;
    TRpDataSetList list_;
    std::size_t rows_ = 0;
};

TEST_F(AggregatesTest, FoldTheRowsOfIntegerField)
{
    Fill(TRpFieldKind::Integer, {std::int32_t{1}, std::int32_t{2}, std::int32_t{4}});
    Expect({
        {"SUM(CUSTNO)", "I:7"},
        {"COUNT", "I:3"},
        {"MAX(CUSTNO)", "I:4"},
        {"MIN(CUSTNO)", "I:1"},
        {"AVERAGE(CUSTNO)", "F:2.3333333333333335"},
        {"SUM(CUSTNO*2)+1", "I:15"},
        {"SUM(CUSTNO)/COUNT", "F:2.3333333333333335"},
        {"SUM([TABLE1.CUSTNO])", "I:7"},
        {"MAX(STR(CUSTNO))", "S:4"},
    });
}

TEST_F(AggregatesTest, WithoutRowsTheValuesAreZero)
{
    Fill(TRpFieldKind::Integer, {});
    Expect({
        {"SUM(CUSTNO)", "I:0"},
        {"COUNT", "I:0"},
        {"MAX(CUSTNO)", "I:0"},
        {"MIN(CUSTNO)", "I:0"},
        {"AVERAGE(CUSTNO)", "F:0"},
    });
}

TEST_F(AggregatesTest, BooleansStringsAndFloats)
{
    Fill(TRpFieldKind::Boolean, {true, false, true});
    Expect({{"MIN(X)", "B:False"}, {"MAX(X)", "B:True"}, {"SUM(X)", "E:"}, {"COUNT", "I:3"}});
    Fill(TRpFieldKind::String, {std::string("b"), std::string("B"), std::string("ba")});
    Expect({{"MIN(X)", "S:B"}, {"MAX(X)", "S:ba"}, {"SUM(X)", "E:"}, {"AVERAGE(X)", "E:"}});
    Fill(TRpFieldKind::Float, {0.5, 1.25, -2.0});
    Expect({{"SUM(X)", "F:-0.25"}, {"MIN(X)", "F:-2"}, {"MAX(X)", "F:1.25"}, {"AVERAGE(X)", "F:-0.08333333333333333"}});
}

TEST_F(AggregatesTest, RowsOfChangingKinds)
{
    Fill(TRpFieldKind::Integer, {std::int32_t{1}, std::int32_t{2}});
    // A float row on an integer sum turns the sum into a float.
    Expect({{"SUM(IF(X=2, 0.5, X))", "F:1.5"}, {"SUM(IF(X=1, 0.5, X))", "F:2.5"}});
    // Boolean and error rows are skipped by the sum, but counted by the average.
    Expect({{"SUM(IF(X=2, TRUE, X))", "I:1"}, {"SUM(IF(X=2, 1/0, X))", "I:1"}, {"AVERAGE(IF(X=2, TRUE, X))", "F:0.5"}});
    // Strings make the sum an error; rows that do not compare make MAX and MIN one.
    Expect({{"SUM(IF(X=2, 'a', X))", "E:"}, {"MAX(IF(X=2, 'a', X))", "E:"}, {"MIN(IF(X=2, 0.5, X))", "F:0.5"}});
    // A first row that is no number is an error for the sum.
    Expect({{"SUM(IF(X=1, 'a', X))", "E:"}});
}

TEST_F(AggregatesTest, AWrongArgumentCountIsAnErrorWithOrWithoutRows)
{
    Fill(TRpFieldKind::Integer, {std::int32_t{1}, std::int32_t{2}});
    Expect({
        {"SUM(1,2)", "E:Wrong arguments for SUM"},
        {"SUM", "E:Wrong arguments for SUM"},
        {"MAX(1,2)", "E:Wrong arguments for MAX"},
        {"MIN()", "E:Wrong arguments for MIN"},
        {"AVERAGE(1,2)", "E:Wrong arguments for AVERAGE"},
    });
    EXPECT_EQ(Calc("SUM(1,2)"), "E:Wrong arguments for SUM");
    EXPECT_EQ(Calc("MAX(1,2)"), "E:Wrong arguments for MAX");
}

TEST_F(AggregatesTest, OnlyUpdateAggregatesFoldsAndResetStartsAgain)
{
    Fill(TRpFieldKind::Integer, {std::int32_t{3}, std::int32_t{5}});
    TRpEvaluator evaluator;
    evaluator.SetDatasets(&list_);
    evaluator.Prepare("STR(SUM(X)) + '/' + STR(COUNT) + '/' + STR(MAX(X))");
    EXPECT_TRUE(evaluator.HasAggregates());
    evaluator.Reset();
    table_->SetRow(0);
    EXPECT_EQ(Describe(evaluator.UpdateAggregates()), "S:3/1/3");
    EXPECT_EQ(Describe(evaluator.Value()), "S:3/1/3");
    EXPECT_EQ(Describe(evaluator.Value()), "S:3/1/3");
    table_->SetRow(1);
    EXPECT_EQ(Describe(evaluator.UpdateAggregates()), "S:8/2/5");
    evaluator.Reset();
    EXPECT_EQ(Describe(evaluator.Value()), "S:0/0/0");
    EXPECT_EQ(Describe(evaluator.UpdateAggregates()), "S:5/1/5");
    // A new prepare makes new elements.
    evaluator.Prepare("SUM(X)");
    EXPECT_EQ(Describe(evaluator.Value()), "I:0");
}

TEST_F(AggregatesTest, EveryAggregateStartsAgainAfterAReset)
{
    Fill(TRpFieldKind::Integer, {std::int32_t{3}, std::int32_t{5}});
    struct Row {
        const char* expression;
        const char* bothRows;     // rows 3 and 5
        const char* afterReset;   // nothing folded since
        const char* secondAgain;  // row 5 alone
        const char* bothAgain;    // row 5, then row 3
    };
    const Row rows[] = {
        {"SUM(X)", "I:8", "I:0", "I:5", "I:8"},     {"COUNT", "I:2", "I:0", "I:1", "I:2"},
        {"MAX(X)", "I:5", "I:0", "I:5", "I:5"},     {"MIN(X)", "I:3", "I:0", "I:5", "I:3"},
        {"AVERAGE(X)", "F:4", "F:0", "F:5", "F:4"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expression);
        TRpEvaluator evaluator;
        evaluator.SetDatasets(&list_);
        evaluator.Prepare(row.expression);
        evaluator.Reset();
        for (const std::size_t at : {0u, 1u}) {
            table_->SetRow(at);
            (void)evaluator.UpdateAggregates();
        }
        EXPECT_EQ(Describe(evaluator.Value()), row.bothRows);
        evaluator.Reset();
        EXPECT_EQ(Describe(evaluator.Value()), row.afterReset);
        EXPECT_EQ(Describe(evaluator.UpdateAggregates()), row.secondAgain);
        table_->SetRow(0);
        EXPECT_EQ(Describe(evaluator.UpdateAggregates()), row.bothAgain);
    }
}

TEST_F(AggregatesTest, HasAggregatesOnlyForAggregateFunctions)
{
    TRpEvaluator evaluator;
    for (const char* text : {"1+2", "IF(TRUE,1,2)", "'SUM(1)'", "[COUNT]"}) {
        evaluator.Prepare(text);
        EXPECT_FALSE(evaluator.HasAggregates()) << text;
    }
    for (const char* text : {"COUNT", "1+SUM(2)", "IF(TRUE, MIN(1), 0)", "average(1)"}) {
        evaluator.Prepare(text);
        EXPECT_TRUE(evaluator.HasAggregates()) << text;
    }
    evaluator.Unprepare();
    EXPECT_FALSE(evaluator.HasAggregates());
}

TEST_F(AggregatesTest, AnOverflowingSumRaisesAndTheQueueStopsAggregating)
{
    Fill(TRpFieldKind::Float, {1E308, 1E308});
    TRpEvaluator evaluator;
    evaluator.SetDatasets(&list_);
    evaluator.Prepare("STR(COUNT) + '/' + STR(SUM(X))");
    evaluator.Reset();
    EXPECT_EQ(Describe(evaluator.UpdateAggregates()), "S:1/1E308");
    table_->SetRow(1);
    EXPECT_THROW((void)evaluator.UpdateAggregates(), report::ERpError);
    // Still aggregating, the count would rise and the sum overflow again.
    EXPECT_EQ(Describe(evaluator.Value()), "S:2/1E308");
}

}  // namespace
}  // namespace enginetest
