// Query parameters filled from the report's named entries, alone and at the start of a data loop.
#include "report/engine/printing/query_params.h"

#include "report/expr/expr_unit.h"
#include "tests/report/engine/printing/loop_fixture.h"
#include "tests/support/memory_table.h"
#include "utility/datetime.h"
#include "utility/rp_error.h"

#include <gtest/gtest.h>

namespace enginetest {

using namespace testsupport;
namespace {

using report::expr::TRpFieldKind;
using report::expr::TRpParam;

class QueryParamsTest : public DataLoopTest {
protected:
    void SetUp() override
    {
        DataLoopTest::SetUp();
        report::expr::InitializeExpressionUnit();
    }
    void TearDown() override
    {
        DataLoopTest::TearDown();
        report::expr::FinalizeExpressionUnit();
    }
};

TEST_F(QueryParamsTest, ParameterTakesTheEntryOfItsNameWhenTheKindsMatch)
{
    const double leapDay = utility::EncodeDate(2024, 2, 29);
    const double quarterToTwo = utility::EncodeTime(13, 45, 0);
    struct Case {
        const char* name;
        TRpFieldKind kind;
        const char* entry;  // the entry's expression; null: no entry of the parameter's name
        TRpParam::ValueType expected;
    };
    const TRpParam::ValueType unchanged = std::string("before");
    const Case cases[] = {
        {"date from its short text", TRpFieldKind::Date, "'2024-02-29'", leapDay},
        {"date from a number", TRpFieldKind::Date, "5", unchanged},
        {"time", TRpFieldKind::Time, "'13:45'", quarterToTwo},
        {"date and time", TRpFieldKind::DateTime, "'2024-02-29 13:45:00'", leapDay + quarterToTwo},
        {"string", TRpFieldKind::String, "'abc'", std::string("abc")},
        {"string from a number", TRpFieldKind::String, "5", unchanged},
        {"integer", TRpFieldKind::Integer, "5", std::int32_t{5}},
        {"word from a float", TRpFieldKind::Word, "2.5", unchanged},
        {"float", TRpFieldKind::Float, "2.5", 2.5},
        {"currency from an integer", TRpFieldKind::Currency, "5", unchanged},
        {"Boolean", TRpFieldKind::Boolean, "TRUE", true},
        {"blob", TRpFieldKind::Blob, "'abc'", unchanged},
        {"no entry", TRpFieldKind::Integer, nullptr, unchanged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryTable query("Q", {{"A", TRpFieldKind::Integer}});
        query.Params().push_back({.Name = "p", .DataType = c.kind, .Value = unchanged});
        report::expr::TRpEvEnvironment functions;
        functions.AddFunction(c.entry != nullptr ? "P" : "OTHER", c.entry != nullptr ? c.entry : "1");
        functions.Prepare();
        report::engine::FillQueryParams(query, functions);
        EXPECT_EQ(query.Params()[0].Value, c.expected);
        EXPECT_EQ(query.CloseCount, 1);
        EXPECT_EQ(query.OpenCount, 1);
        functions.Unprepare();
    }
}

TEST_F(QueryParamsTest, TextThatIsNoDateRaisesAndLeavesTheQueryClosed)
{
    struct Case {
        TRpFieldKind kind;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {TRpFieldKind::DateTime, "'29.02.2024'", "'29.02.2024' is not a valid date and time"},
        {TRpFieldKind::DateTime, "'2023-02-29'", "'2023-02-29' is not a valid date and time"},
        {TRpFieldKind::DateTime, "'2024-02-29 25:00'", "'2024-02-29 25:00' is not a valid date and time"},
        // A sign is no digit: no field of a time or a date is negative.
        {TRpFieldKind::Time, "'13:-5'", "'13:-5' is not a valid time"},
        {TRpFieldKind::Time, "'-1:00'", "'-1:00' is not a valid time"},
        {TRpFieldKind::Time, "'12:00:-1'", "'12:00:-1' is not a valid time"},
        {TRpFieldKind::DateTime, "'2024-02-29 13:-5'", "'2024-02-29 13:-5' is not a valid date and time"},
        {TRpFieldKind::Date, "'2024--1-01'", "'2024--1-01' is not a valid date"},
        {TRpFieldKind::Date, "'-024-02-29'", "'-024-02-29' is not a valid date"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        MemoryTable query("Q", {{"A", TRpFieldKind::Integer}});
        query.Params().push_back({.Name = "D", .DataType = c.kind, .Value = {}});
        report::expr::TRpEvEnvironment functions;
        functions.AddFunction("D", c.text);
        functions.Prepare();
        try {
            report::engine::FillQueryParams(query, functions);
            ADD_FAILURE() << "no exception";
        } catch (const report::ERpError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_FALSE(query.Active());
        EXPECT_TRUE(query.Params()[0].IsNull());
        functions.Unprepare();
    }
}

TEST_F(QueryParamsTest, DateAndTimeReadBackAsTheMomentWritten)
{
    struct Case {
        const char* text;
        int year, month, day, hour, minute, second;
    };
    // Before 1899-12-30 the day number is negative; the time must still read back as written.
    const Case cases[] = {
        {"1899-12-29 13:45", 1899, 12, 29, 13, 45, 0},   {"1899-12-29 00:00:01", 1899, 12, 29, 0, 0, 1},
        {"1800-01-01 23:59:59", 1800, 1, 1, 23, 59, 59}, {"1899-12-30 13:45", 1899, 12, 30, 13, 45, 0},
        {"2024-02-29 06:07:08", 2024, 2, 29, 6, 7, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        MemoryTable query("Q", {{"A", TRpFieldKind::Integer}});
        query.Params().push_back({.Name = "D", .DataType = TRpFieldKind::DateTime, .Value = {}});
        report::expr::TRpEvEnvironment functions;
        functions.AddFunction("D", std::string("'") + c.text + "'");
        functions.Prepare();
        report::engine::FillQueryParams(query, functions);
        const utility::DateTimeParts parts = utility::SplitDateTime(std::get<double>(query.Params()[0].Value));
        EXPECT_EQ(parts.year, c.year);
        EXPECT_EQ(parts.month, c.month);
        EXPECT_EQ(parts.day, c.day);
        EXPECT_EQ(parts.hour, c.hour);
        EXPECT_EQ(parts.minute, c.minute);
        EXPECT_EQ(parts.second, c.second);
        functions.Unprepare();
    }
}

TEST_F(QueryParamsTest, DataLoopRunsTheQueryWithTheReportsEntries)
{
    struct Case {
        const char* param;
        std::size_t rows;
    };
    // Rows as many as the parameter says; a parameter named like no entry keeps its 2.
    for (const Case c : {Case{"ROWS", 5}, Case{"OTHER", 2}}) {
        SCOPED_TRACE(c.param);
        log_.clear();
        Build();
        MemoryTable query("Q", {{"A", TRpFieldKind::Integer}});
        query.Params().push_back({.Name = c.param, .DataType = TRpFieldKind::Integer, .Value = std::int32_t{2}});
        query.OnOpen = [](MemoryTable& table) {
            table.ClearRows();
            for (int row = 0; row < std::get<std::int32_t>(table.Params()[0].Value); ++row)
                table.AddRow({row});
        };
        query.Open();
        report_->Functions.AddFunction("ROWS", "2 + 3");
        report_->DataSets.Add(query);
        report_->Controller().SetDataSet(&query);
        Run();
        EXPECT_EQ(report_->Controller().FillParams, c.rows == 5);
        EXPECT_EQ(Prints("DetailBand1").size(), c.rows);
    }
}

}  // namespace
}  // namespace enginetest
