#include "report/engine/controls/expr_print.h"

#include "report/expr/ev_environment.h"
#include "tests/support/expr_fixture.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/rp_error.h"

#include <gtest/gtest.h>

#include <limits>

namespace enginetest {

using namespace testsupport;
namespace {

using namespace report::engine;
using namespace report::expr;
namespace expr = report::expr;
using utility::Pl;

// The report a control reads during a run, held by the test.
class TestReport : public TRpReportValues {
public:
    int PageNumber() const override { return page; }
    std::string ReportTitle() const override { return title; }
    std::optional<int> RecordCount() const override { return count; }
    std::optional<int> RecordNumber() const override { return number; }
    expr::TRpDataSetList* DataSetList() override { return &dataSets; }
    expr::TRpEvEnvironment* Functions() override { return &functions; }

    int page = 1;
    std::string title;
    std::optional<int> count;
    std::optional<int> number;
    expr::TRpDataSetList dataSets;
    expr::TRpEvEnvironment functions;
};

class ExprPrintTest : public ExprTest {
protected:
    std::string Print(const std::string& expression, const std::string& mask)
    {
        expr::TRpEvaluator evaluator;
        return utility::Cp1250ToUtf8(ExpressionPrintText(evaluator.Calculate(Pl(expression)), Pl(mask)));
    }
};

TEST_F(ExprPrintTest, ValuesPrintByTheirKindAndTheMask)
{
    struct Case {
        const char* expression;
        const char* mask;
        const char* expected;
    };
    const Case cases[] = {
        {"5", "", "5"},
        {"5", "0.00", "5,00"},
        {"2.675", "0.00", "2,67"},
        {"1234567", "#,##0.00", "1 234 567,00"},
        {"0-5", "0.00;(0.00)", "(5,00)"},
        {"1/3", "", "0,333333333333333"},
        {"1E20", "", "1E20"},
        {"0-1234.5", "%m", "-1 234,50 zł"},
        {"1234", "%m", "1 234,00 zł"},  // an integer under a money mask
        {"1", "%12m", "     1,00 zł"},
        {"2.5", "%-8.1M|", "2,5 zł  |"},
        {"5", "#%%m", "5%%m"},  // no money directive: the mask formatter's literal text
        {"1", "%.0m", "1 zł"},
        {"1", "Razem %m", "Razem 1,00 zł"},
        {"'tekst'", "0.00", "tekst"},
        {"1=1", "0.00", "True"},
        {"1=2", "", "False"},
        {"7/0", "0.00", "Cannot divide by 0"},
        {"", "", " "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Print(c.expression, c.mask), c.expected) << c.expression << " with " << c.mask;
}

TEST_F(ExprPrintTest, AMaskTheFormattersRefuseRaises)
{
    for (const char* mask : {"%f %m", "%s %m", "%mx%m"}) {
        try {
            (void)ExpressionPrintText(TRpEvResult::Float(1.5), mask);
            FAIL() << mask;
        } catch (const report::ERpError& e) {
            EXPECT_STREQ(e.what(), "Invalid format or value specified") << mask;
        }
    }
    EXPECT_THROW((void)ExpressionPrintText(TRpEvResult::Float(std::numeric_limits<double>::infinity()), "0.00"),
                 report::ERpError);
    // Texts are never formatted.
    EXPECT_EQ(ExpressionPrintText(TRpEvResult::String("%s"), "%f %m"), "%s");
}

TEST_F(ExprPrintTest, ExpressionCaptionOutsideARun)
{
    EXPECT_EQ(ExpressionDisplayCaption(""), "(none)");
    EXPECT_EQ(ExpressionDisplayCaption("SUM(X)"), "SUM(X)");
}

TEST_F(ExprPrintTest, SystemDataCaptions)
{
    const std::string strona = "Strona ";
    EXPECT_EQ(SysDataDisplayCaption(strona, rpsPageNumber), "Strona (Page#)");
    EXPECT_EQ(SysDataDisplayCaption("", rpsTime), "(Time)");
    const char* names[] = {"Time", "Date", "Date/Time", "Page#", "Report title", "Detail count", "Detail no"};
    for (int d = rpsTime; d <= rpsDetailNo; ++d)
        EXPECT_STREQ(SysDataName(static_cast<TRpSysDataType>(d)), names[d]);

    TestReport report;
    report.title = Pl("Jan Nowak");
    const double now = FixedNow();
    EXPECT_EQ(SysDataPrintCaption(strona, rpsPageNumber, report, now), "Strona 1");
    report.page = 100;
    EXPECT_EQ(SysDataPrintCaption(strona, rpsPageNumber, report, now), "Strona 100");
    EXPECT_EQ(SysDataPrintCaption("", rpsTime, report, now), "13:05");
    EXPECT_EQ(SysDataPrintCaption("", rpsDate, report, now), "2024-05-01");
    EXPECT_EQ(SysDataPrintCaption("Wydruk: ", rpsDateTime, report, now), "Wydruk: 2024-05-01 13:05:07");
    EXPECT_EQ(SysDataPrintCaption("", rpsDateTime, report, utility::EncodeDate(2024, 5, 1)), "2024-05-01");
    EXPECT_EQ(SysDataPrintCaption("", rpsReportTitle, report, now), Pl("Jan Nowak"));
    // A report without a data loop has no record count or number: the caption stays.
    EXPECT_EQ(SysDataPrintCaption("", rpsDetailCount, report, now), std::nullopt);
    EXPECT_EQ(SysDataPrintCaption("", rpsDetailNo, report, now), std::nullopt);
    report.count = 12;
    report.number = 3;
    EXPECT_EQ(SysDataPrintCaption("n=", rpsDetailCount, report, now), "n=12");
    EXPECT_EQ(SysDataPrintCaption("#", rpsDetailNo, report, now), "#3");
}

TEST_F(ExprPrintTest, AControlPreparesAgainstTheReportItPrintsIn)
{
    TestReport report;
    report.functions.AddFunction("PAGENUMBER", "0");
    report.functions.SetDatasets(report.DataSetList());
    report.functions.Prepare();
    expr::TRpEvaluator evaluator;
    evaluator.SetDatasets(report.DataSetList());
    evaluator.SetEnvironment(report.Functions());
    evaluator.Prepare("PAGENUMBER*1.5");
    TRpEvEnvironment::SetIntegerConstant(report.functions.EntryElement("PAGENUMBER"), 3);
    EXPECT_EQ(ExpressionPrintText(evaluator.Value(), "0.00"), "4,50");
    evaluator.SetDatasets(nullptr);
    evaluator.Unprepare();
    report.functions.Unprepare();
}

}  // namespace
}  // namespace enginetest
