#include "report/engine/controls/sysdata.h"

#include "report/engine/model/band.h"
#include "report/engine/model/controller.h"
#include "report/expr/ev_environment.h"
#include "report/expr/expr_unit.h"
#include "report/expr/rp_clock.h"
#include "tests/report/engine/controls/label_fixture.h"
#include "tests/support/expr_fixture.h"
#include "tests/support/memory_table.h"
#include "utility/cp1250.h"
#include "utility/rp_error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace report::engine {
namespace {

using enginetest::LinesStartingWith;
using enginetest::ScriptedReport;
using enginetest::TextFilter;
using utility::Pl;
using Lines = std::vector<std::string>;

// What the run gives the controls, held by the test.
class TestValues : public TRpReportValues {
public:
    [[nodiscard]] int PageNumber() const override { return page; }
    [[nodiscard]] std::string ReportTitle() const override { return title; }
    [[nodiscard]] std::optional<int> RecordCount() const override { return count; }
    [[nodiscard]] std::optional<int> RecordNumber() const override { return number; }
    [[nodiscard]] expr::TRpDataSetList* DataSetList() override { return &dataSets; }
    [[nodiscard]] expr::TRpEvEnvironment* Functions() override { return &functions; }

    int page = 1;
    std::string title;
    std::optional<int> count;
    std::optional<int> number;
    expr::TRpDataSetList dataSets;
    expr::TRpEvEnvironment functions;
};

// A report whose run values are the test's.
class ValuesReport : public ScriptedReport {
public:
    [[nodiscard]] TRpReportValues* RunValues() override { return &values; }
    TestValues values;
};

class ComputedTextTest : public enginetest::LabelTest {
protected:
    void SetUp() override
    {
        LabelTest::SetUp();
        expr::InitializeExpressionUnit();
    }
    void TearDown() override
    {
        LabelTest::TearDown();
        expr::FinalizeExpressionUnit();
    }

    // A report with run values, a one-column table X and the page footer's band (734 px).
    void StartValues(Device device = Device::Record96)
    {
        // The previous report (its run first) goes before the table its data set list names.
        band_ = nullptr;
        run_.reset();
        report_.reset();
        auto report = std::make_unique<ValuesReport>();
        values_ = &report->values;
        table_ = std::make_unique<testsupport::MemoryTable>(
            "Table1", std::vector<testsupport::Column>{{"X", expr::TRpFieldKind::Integer}});
        values_->dataSets = {table_.get()};
        StartReportOn(std::move(report), device);
    }
    // The rows of X, each told to the report's controller as the data loop does.
    void FeedRows(const std::vector<int>& rows)
    {
        for (const int x : rows) {
            table_->AddRow({x});
            table_->SetRow(rowCount_++);
            report_->Controller().NotifyClients(0);
        }
    }
    // An expression control on the band, exporting what it prints into `filter`.
    TRpExpr& PlaceExpr(const std::string& expression, const std::string& mask = {})
    {
        TRpExpr& control = PlaceAt<TRpExpr>({42.3L, 0, 0, 900});
        control.SetExpression(Pl(expression));
        control.SetMask(Pl(mask));
        return control;
    }
    [[nodiscard]] bool Notified(const TRpPrintable& control) const
    {
        const auto& clients = report_->Controller().Clients();
        return std::ranges::find(clients, &control) != clients.end();
    }

    expr::ScopedRpClock clock_{testsupport::FixedNow};
    TestValues* values_ = nullptr;
    std::unique_ptr<testsupport::MemoryTable> table_;
    std::size_t rowCount_ = 0;
};

TEST_F(ComputedTextTest, SysDataShowsItsDataUntilItPrints)
{
    StartValues();
    TRpSysData& control = band_->NewPrintable<TRpSysData>();
    EXPECT_EQ(control.Caption(), "(Time)");
    control.SetText("Strona ");
    EXPECT_EQ(control.Caption(), "Strona (Time)");
    control.SetData(rpsPageNumber);
    EXPECT_EQ(control.Caption(), "Strona (Page#)");
    EXPECT_FALSE(control.AutoStretch());
    EXPECT_TRUE(control.WordWrap());
    EXPECT_EQ(TRpSysData().Caption(), "(Time)");
}

TEST_F(ComputedTextTest, PageNumberEndsAtTheBandsRightEdge)
{
    // The print layout's footer control: 7 pt, right-aligned to the band, sized to its text.
    StartValues();
    MeasureForReal();
    TRpSysData& control = PlaceAt<TRpSysData>({34.4L, 1775.4L, 5.3L, 166.7L});
    control.SetAlignment(TAlignment::taRightJustify);
    control.SetAlignToBand(true);
    control.SetAutoSize(true);
    control.SetText("Strona ");
    control.SetData(rpsPageNumber);
    EXPECT_EQ(control.Caption(), "Strona (Page#)");
    control.Prepare();
    for (const int page : {1, 100}) {
        values_->page = page;
        control.Print(0, 100 * page);
        EXPECT_EQ(control.Caption(), "Strona " + std::to_string(page));
        EXPECT_EQ(control.Bounds().left() + control.Bounds().width(), 734) << page;
    }
    const Lines texts = LinesStartingWith(RecordedTrace(), "TextOut ");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rfind("TextOut 734,", 0), 0u) << texts[0];
    EXPECT_NE(texts[0].find("\"Strona 1\""), std::string::npos);
    EXPECT_NE(texts[0].find("align=right"), std::string::npos);
    EXPECT_EQ(texts[1].rfind("TextOut 734,", 0), 0u) << texts[1];
    EXPECT_NE(texts[1].find("\"Strona 100\""), std::string::npos);
    // The last value stays after the run.
    control.Unprepare();
    EXPECT_EQ(control.Caption(), "Strona 100");
}

TEST_F(ComputedTextTest, SysDataValues)
{
    struct Row {
        TRpSysDataType data;
        const char* text;
        const char* printed;  // empty: the caption stays as it was
    };
    const Row rows[] = {
        {rpsTime, "", "13:05"},
        {rpsDate, "Dnia ", "Dnia 2024-05-01"},
        {rpsDateTime, "", "2024-05-01 13:05:07"},
        {rpsPageNumber, "Strona ", "Strona 3"},
        {rpsReportTitle, "", "NowakJan 2024-04-01 2024-05-01"},
        {rpsDetailCount, "n=", ""},
        {rpsDetailNo, "#", ""},
    };
    for (const bool dataLoop : {false, true}) {
        for (const Row& r : rows) {
            SCOPED_TRACE(std::string(r.text) + SysDataName(r.data) + (dataLoop ? " loop" : ""));
            StartValues();
            TextFilter filter;
            Export(filter);
            values_->page = 3;
            values_->title = "NowakJan 2024-04-01 2024-05-01";
            if (dataLoop) {
                values_->count = 12;
                values_->number = 5;
            }
            TRpSysData& control = PlaceAt<TRpSysData>({42.3L, 0, 0, 1500});
            control.SetText(r.text);
            control.SetData(r.data);
            const std::string before = control.Caption();
            control.Prepare();
            control.Print(0, 0);
            std::string expected = r.printed[0] != '\0' ? r.printed : before;
            if (dataLoop && r.data == rpsDetailCount)
                expected = "n=12";
            if (dataLoop && r.data == rpsDetailNo)
                expected = "#5";
            EXPECT_EQ(control.Caption(), expected);
            EXPECT_EQ(filter.Texts(), Lines{expected});
        }
    }
}

TEST_F(ComputedTextTest, SysDataOnAReportWithoutRunValues)
{
    StartReport();
    TextFilter filter;
    Export(filter);
    TRpSysData& time = PlaceAt<TRpSysData>({42.3L, 0, 0, 1500});
    TRpSysData& page = PlaceAt<TRpSysData>({42.3L, 0, 0, 1500});
    page.SetText("Strona ");
    page.SetData(rpsPageNumber);
    time.Print(0, 0);
    page.Print(0, 0);
    // The clock needs no report; the page number keeps the caption it had.
    EXPECT_EQ(filter.Texts(), (Lines{"13:05", "Strona (Page#)"}));
}

TEST_F(ComputedTextTest, ExpressionCaptionAndPrintedValue)
{
    struct Row {
        const char* expression;
        const char* mask;
        const char* printed;
    };
    const Row rows[] = {
        {"", "", " "},
        {"5", "", "5"},
        {"5", "0.00", "5,00"},
        {"2.675", "0.00", "2,67"},
        {"0-1234.5", "%m", "-1 234,50 zł"},
        {"1234", "%m", "1 234,00 zł"},
        {"'Pozna' + 'ń'", "", "Poznań"},
        {"1=1", "", "True"},
        {"7/0", "", "Cannot divide by 0"},
        {"FOO(1)", "", "Unknown function : FOO"},
        {"[X] * 2", "", "42"},
        {"RPSTRINGSBAND1", "", "abc"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expression);
        StartValues();
        values_->functions.AddFunction("RPSTRINGSBAND1", "'abc'");
        values_->functions.SetDatasets(values_->DataSetList());
        values_->functions.Prepare();
        table_->AddRow({21});
        TextFilter filter;
        Export(filter);
        TRpExpr& control = PlaceExpr(r.expression, r.mask);
        EXPECT_EQ(control.Caption(), r.expression[0] != '\0' ? Pl(r.expression) : "(none)");
        control.Prepare();
        control.Print(0, 0);
        EXPECT_EQ(filter.Texts(), Lines{Pl(r.printed)});
        control.Unprepare();
        EXPECT_EQ(control.Caption(), r.expression[0] != '\0' ? Pl(r.expression) : "(none)");
        EXPECT_FALSE(control.Evaluator().Prepared());
        values_->functions.Unprepare();
    }
}

TEST_F(ComputedTextTest, RefusedMaskRaises)
{
    StartValues();
    TRpExpr& control = PlaceExpr("5", "%f %m");
    control.Prepare();
    EXPECT_THROW(control.Print(0, 0), ERpError);
}

TEST_F(ComputedTextTest, OnPrintSeesTheValue)
{
    StartValues();
    TextFilter filter;
    Export(filter);
    TRpExpr& control = PlaceExpr("2*3", "0.0");
    std::string seen;
    control.OnPrint = [&](TRpCustomLabel&, std::string& value) { seen = value; };
    control.Prepare();
    control.Print(0, 0);
    EXPECT_EQ(seen, "6,0");
    EXPECT_EQ(filter.Texts(), Lines{"6,0"});
}

TEST_F(ComputedTextTest, AggregatesFollowTheDetailRows)
{
    StartValues();
    TextFilter filter;
    Export(filter);
    TRpExpr& sum = PlaceExpr("SUM(X)");
    TRpExpr& plain = PlaceExpr("X");
    TRpExpr& mastered = PlaceExpr("X + 0");
    mastered.SetMaster(report_.get());
    for (TRpExpr* control : {&sum, &plain, &mastered})
        control->Prepare();
    // Only an aggregate, or a control with a master, is told of rows.
    EXPECT_TRUE(Notified(sum));
    EXPECT_FALSE(Notified(plain));
    EXPECT_TRUE(Notified(mastered));
    // Prepared again (a second run): told once.
    sum.Prepare();
    EXPECT_EQ(std::ranges::count(report_->Controller().Clients(), &sum), 1);

    FeedRows({1, 2, 4});
    sum.Print(0, 0);
    plain.Print(0, 0);
    EXPECT_EQ(filter.Texts(), (Lines{"7", "4"}));

    for (TRpExpr* control : {&sum, &plain, &mastered})
        control->Unprepare();
    EXPECT_TRUE(report_->Controller().Clients().empty());
    EXPECT_EQ(sum.Caption(), "SUM(X)");
}

TEST_F(ComputedTextTest, ResetAfterPrintStartsTheSumAgain)
{
    for (const bool reset : {false, true}) {
        SCOPED_TRACE(reset);
        StartValues();
        TextFilter filter;
        Export(filter);
        TRpExpr& sum = PlaceExpr("SUM(X)");
        sum.ResetAfterPrint = reset;
        sum.Prepare();
        FeedRows({1, 2});
        sum.Print(0, 0);
        FeedRows({4});
        sum.Print(0, 100);
        EXPECT_EQ(filter.Texts(), reset ? (Lines{"3", "4"}) : (Lines{"3", "7"}));
        rowCount_ = 0;
    }
}

TEST_F(ComputedTextTest, ContinuationPrintsTheRestOfTheSameValue)
{
    // "1 234 567" in a control 4 bytes wide (21 px) and one line high, on a band that cannot
    // grow: the first print takes one line, the next column the rest, and only then the sum
    // starts again.
    StartValues();
    TextFilter filter;
    Export(filter);
    TRpExpr& sum = Place<TRpExpr>(0, 0, 21, 11);
    sum.SetFont(output::FontSpec{.face = "Arial", .points = 7});
    sum.SetExpression("SUM(X)");
    sum.SetMask("#,##0");
    sum.SetAutoStretch(true);
    sum.ResetAfterPrint = true;
    sum.Prepare();
    FeedRows({1234567});
    sum.Print(0, 0);
    EXPECT_FALSE(sum.PrintFinished);
    EXPECT_EQ(filter.Texts(), Lines{"1 "});
    SetSpace(1000);
    SetExpanded(0);
    sum.Print(0, 500);
    EXPECT_TRUE(sum.PrintFinished);
    EXPECT_EQ(filter.Texts(), (Lines{"1 ", "234 ", "567"}));
    // Reset once finished: the next row's print starts from nothing.
    SetExpanded(0);
    sum.Print(0, 1000);
    EXPECT_EQ(filter.Texts().back(), "0");
}

TEST_F(ComputedTextTest, UnpreparedControlPreparesToPrint)
{
    StartValues();
    TextFilter filter;
    Export(filter);
    TRpExpr& control = PlaceExpr("1+1");
    control.Print(0, 0);
    EXPECT_EQ(filter.Texts(), Lines{"2"});
    // A disabled one neither evaluates nor prints.
    TRpExpr& disabled = PlaceExpr("1/0");
    disabled.SetEnabled(false);
    disabled.Print(0, 0);
    EXPECT_EQ(filter.Texts(), Lines{"2"});
}

TEST_F(ComputedTextTest, ControlOnTheReportOutlivesItsController)
{
    // Controls placed on the report itself are freed after the report's controller: a control
    // still told of rows must not reach back into it.
    StartValues();
    TRpExpr& control = report_->NewPrintable<TRpExpr>();
    control.SetExpression("SUM(1)");
    control.Prepare();
    ASSERT_TRUE(Notified(control));
    values_ = nullptr;
    run_.reset();
    report_.reset();
    SUCCEED();
}

TEST_F(ComputedTextTest, FreedControlIsNoLongerTold)
{
    StartValues();
    TRpExpr& control = PlaceExpr("SUM(X)");
    control.Prepare();
    ASSERT_TRUE(Notified(control));
    band_->FreePrintable(control);
    EXPECT_TRUE(report_->Controller().Clients().empty());
    FeedRows({1});
}

}  // namespace
}  // namespace report::engine
