// Bands printed through the pages and columns of the print layout, with stand-in controls, run
// by the report's data loop: Title, column header, one Detail per row, Summary, last page.
#include "report/engine/controls/shape.h"
#include "report/expr/ev_elements.h"
#include "report/output/canvas/rounding.h"
#include "report/output/canvas/trace_canvas.h"
#include "report/output/pages/page_format.h"
#include "report/output/printer/rp_printer.h"
#include "tests/report/engine/printing/fake_controls.h"
#include "tests/report/engine/printing/loop_fixture.h"
#include "tests/support/program_bands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace enginetest {

using namespace testsupport;
namespace {

using report::engine::TRpBandType;
using report::engine::TRpCustomBand;

class BandPrintTest : public PagingTest {
protected:
    // The print layout with a one-line box on every band; the Detail band 367 px wide.
    void Build()
    {
        paging_.reset();
        report_ = MakeProgramReport();
        std::vector<int> order(kProgramBands.size());
        std::iota(order.begin(), order.end(), 0);
        AddProgramBands(*report_, order);
        const long double detail[] = {42.3L, 367 * 254 / 96.0L};
        Band("DetailBand1").Size.ReadValues(detail);
        Band("SummaryBand1").ForceNewPage = true;
        for (TRpCustomBand* band : report_->BandList()) {
            if (band->Name == "ChildBand1" && lines_ > 0) {
                auto& memo = band->NewPrintable<FakeLines>("ChildBand1.memo", log_, lines_, 27);
                const long double box[] = {45.0L, 5.3L, 0, 955.1L};
                memo.Size.ReadValues(box);
            }
            band->NewPrintable<FakeBox>(band->Name, log_);
        }
        printer_ = std::make_unique<report::output::TRpPrinter>();
    }

    TRpCustomBand& Band(const std::string& name) { return BandNamed(*report_, name); }

    // The run with `rows` Detail rows given by OnNeedData: the report's data loop prints the
    // Title, the column header, a Detail per row and the Summary.
    void Run(int rows)
    {
        StartRun();
        report_->WireBands();
        report_->Controller().OnNeedData = [rows, calls = 0](report::engine::TRpBasePanel&, bool& more) mutable {
            more = ++calls <= rows;
        };
        paging_->RunDataLoop(report_->Controller());
        EndRun();
    }

    // The paging as a run starts it, the document begun.
    void StartRun()
    {
        printer_->BeginDoc();
        StartPaging().SetNumberEntries(pageEntry_, columnEntry_);
    }

    // The paging as a composite job's report starts it: the page is open, the position where
    // the report before it ended.
    void StartRunAt(const report::engine::TRpPagePosition& position)
    {
        printer_->BeginDoc();
        printer_->NewPage();
        paging_ = std::make_unique<report::engine::TRpPaging>(*report_,
                                                              report::engine::TRpPagingOutput{.printer = *printer_});
        paging_->Start(position, true);
    }

    void EndRun() { paging_->FinishLastPage(true); }

    // The log lines of band `name`'s box, in order.
    std::vector<std::string> Prints(const std::string& name) const
    {
        std::vector<std::string> found;
        const std::string prefix = name + ":Print ";
        for (const std::string& line : log_) {
            if (line.starts_with(prefix))
                found.push_back(line.substr(prefix.size()));
        }
        return found;
    }

    CallLog log_;
    int lines_ = 0;
    // The PAGENUMBER and COLUMNNUMBER entries the paging keeps current; none unless set.
    report::expr::TRpEvElement* pageEntry_ = nullptr;
    report::expr::TRpEvElement* columnEntry_ = nullptr;
};

TEST_F(BandPrintTest, RowsFillColumnsAndPagesWithFootersAtTheBottom)
{
    Build();
    Run(238);
    const std::vector<std::string> rows = Prints("DetailBand1");
    ASSERT_EQ(rows.size(), 238u);
    struct Case {
        int row;
        const char* where;
    };
    const Case cases[] = {
        {1, "page 1 col 1 at 100,542 dev 38,205"},    {54, "page 1 col 1 at 100,2768 dev 38,1046"},
        {55, "page 1 col 2 at 1071,473 dev 405,179"}, {109, "page 1 col 2 at 1071,2741 dev 405,1036"},
        {110, "page 2 col 1 at 100,108 dev 38,41"},   {173, "page 2 col 1 at 100,2754 dev 38,1041"},
        {174, "page 2 col 2 at 1071,108 dev 405,41"}, {237, "page 2 col 2 at 1071,2754 dev 405,1041"},
        {238, "page 3 col 1 at 100,108 dev 38,41"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rows[static_cast<std::size_t>(c.row - 1)], c.where) << "row " << c.row;

    const std::vector<std::string> headers = Prints("ColumnHeaderBand1");
    ASSERT_EQ(headers.size(), 5u);
    EXPECT_TRUE(headers[0].starts_with("page 1 col 1 at 100,534"));
    EXPECT_TRUE(headers[1].starts_with("page 1 col 2 at 1071,465"));
    EXPECT_TRUE(headers[2].starts_with("page 2 col 1 at 100,100"));
    EXPECT_TRUE(headers[3].starts_with("page 2 col 2 at 1071,100"));
    EXPECT_TRUE(headers[4].starts_with("page 3 col 1 at 100,100"));

    const std::vector<std::string> footers = Prints("PageFooterBand1");
    const std::vector<std::string> footerChildren = Prints("ChildBand3");
    ASSERT_EQ(footers.size(), 3u);
    ASSERT_EQ(footerChildren.size(), 3u);
    for (std::size_t page = 0; page < 3; ++page) {
        const std::string at = "page " + std::to_string(page + 1);
        EXPECT_TRUE(footers[page].starts_with(at)) << footers[page];
        EXPECT_NE(footers[page].find(" at 100,2812 "), std::string::npos) << footers[page];
        EXPECT_NE(footerChildren[page].find(" at 100,2854 "), std::string::npos) << footerChildren[page];
    }
}

TEST_F(BandPrintTest, SummaryAndItsChildFollowTheLastRow)
{
    struct Case {
        int rows;
        const char* summary;
        const char* child;
    };
    const Case cases[] = {
        {52, "page 1 col 1 at 100,2726", "page 1 col 2 at 1071,473"},
        {53, "page 1 col 2 at 1070,473", "page 1 col 2 at 1070,529"},
        {108, "page 1 col 2 at 1070,2741", "page 2 col 1 at 100,108"},
        {109, "page 2 col 1 at 100,108", "page 2 col 1 at 100,164"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        log_.clear();
        Build();
        const long double width = Band("SummaryBand1").Size.Width;
        Run(c.rows);
        const auto summary = Prints("SummaryBand1");
        const auto child = Prints("ChildBand1");
        ASSERT_EQ(summary.size(), 1u);
        ASSERT_EQ(child.size(), 1u);
        EXPECT_TRUE(summary[0].starts_with(c.summary)) << summary[0];
        EXPECT_TRUE(child[0].starts_with(c.child)) << child[0];
        // The Summary's column width stays out of the band's stored size.
        EXPECT_EQ(Band("SummaryBand1").Size.Width, width);
        DropReport();
    }
}

TEST_F(BandPrintTest, UnfinishedLinesContinueOnTheNextPage)
{
    lines_ = 100;
    Build();
    int afterPrints = 0;
    Band("ChildBand1").AfterPrint = [&](TRpCustomBand&, bool printed) {
        EXPECT_TRUE(printed);
        ++afterPrints;
    };
    // A colour no other drawing uses, so each pass's frame can be counted on its page.
    Band("ChildBand1").Frame.SetColor(qRgb(0x12, 0x34, 0x56));
    Band("ChildBand1").Frame.SetDrawTop(true);
    Run(54);
    std::vector<std::string> lines;
    for (const std::string& line : log_) {
        if (line.starts_with("ChildBand1.memo:") && !line.starts_with("ChildBand1.memo:Print"))
            lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 100u);
    EXPECT_TRUE(lines[0].starts_with("ChildBand1.memo:1 page 1 col 2 at 1075,529")) << lines[0];
    EXPECT_TRUE(lines[82].starts_with("ChildBand1.memo:83 page 1 ")) << lines[82];
    EXPECT_TRUE(lines[83].starts_with("ChildBand1.memo:84 page 2 col 1 at 105,108")) << lines[83];
    EXPECT_TRUE(lines[99].starts_with("ChildBand1.memo:100 page 2 ")) << lines[99];
    EXPECT_EQ(afterPrints, 1);
    EXPECT_EQ(Prints("ChildBand1.memo").size(), 2u);
    EXPECT_EQ(Prints("ChildBand1").size(), 1u);
    // The band's frame goes round each of its two parts: once on page 1, once on page 2.
    printer_->EndDoc();
    ASSERT_EQ(printer_->PageCount(), 2);
    for (int n = 1; n <= 2; ++n) {
        const std::optional<report::output::Page> page = printer_->GetRecordedPage(n);
        ASSERT_TRUE(page.has_value());
        report::output::TraceCanvas canvas;
        report::output::ReplayPage(*page, canvas, QRect(0, 0, page->header.pixelWidth, page->header.pixelHeight));
        const auto frames = std::count_if(canvas.Lines().begin(), canvas.Lines().end(), [](const std::string& line) {
            return line.starts_with("FillRect ") && line.ends_with("#123456");
        });
        EXPECT_EQ(frames, 1) << "page " << n;
    }
    const auto next = Prints("ChildBand4");
    ASSERT_EQ(next.size(), 1u);
    EXPECT_TRUE(next[0].starts_with("page 2 col 1 at 100,590")) << next[0];
}

// Each of these used to run without end (or until the stack gave out); the run must finish.
TEST_F(BandPrintTest, ColumnHeaderWithForcedColumnBreakDoesNotRecurse)
{
    Build();
    Band("ColumnHeaderBand1").ForceNewColumn = true;
    Run(120);
    EXPECT_EQ(Prints("DetailBand1").size(), 120u);
    // The first request in column 1 is swallowed; the headers the breaks print break nothing.
    EXPECT_EQ(Prints("ColumnHeaderBand1").size(), 3u);
    EXPECT_TRUE(Prints("DetailBand1")[54].starts_with("page 1 col 2 at 1071,473"));
    EXPECT_EQ(paging_->PageNumber(), 2);
}

TEST_F(BandPrintTest, FooterReserveTallerThanThePageStillEnds)
{
    Build();
    const long double tall[] = {3000};
    Band("PageFooterBand1").Size.ReadValues(tall);
    Run(5);
    const auto rows = Prints("DetailBand1");
    ASSERT_EQ(rows.size(), 5u);
    // No room anywhere: the Title opens page 1, then its child, the column header and every
    // row each open a column of their own; the headers the breaks print take no fit test.
    EXPECT_TRUE(Prints("ChildBand2")[0].starts_with("page 1 col 2 "));
    const auto headers = Prints("ColumnHeaderBand1");
    EXPECT_TRUE(headers[0].starts_with("page 1 col 2 ")) << headers[0];
    EXPECT_TRUE(headers[2].starts_with("page 2 col 1 ")) << headers[2];
    EXPECT_TRUE(rows[0].starts_with("page 2 col 2 ")) << rows[0];
    EXPECT_TRUE(rows[1].starts_with("page 3 col 1 ")) << rows[1];
    EXPECT_TRUE(rows[2].starts_with("page 3 col 2 ")) << rows[2];
}

TEST_F(BandPrintTest, ColumnBeyondTheColumnCountWrapsToANewPage)
{
    Build();
    report_->Page.SetColumns(3);
    StartRun();
    paging_->OutputBand(report_->Bands.Band(1));
    paging_->StartNewColumn();
    paging_->StartNewColumn();
    ASSERT_EQ(paging_->CurrentColumn(), 3);
    // The column count lowered below the column the run is in.
    report_->Page.SetColumns(2);
    EXPECT_TRUE(paging_->RequestNewPage());
    EXPECT_EQ(paging_->PageNumber(), 2);
    EXPECT_EQ(paging_->CurrentColumn(), 1);
    EXPECT_EQ(paging_->CurrentX(), 100);
    EndRun();
}

TEST_F(BandPrintTest, ControlThatNeverFitsEndsItsBand)
{
    Build();
    auto& memo = Band("DetailBand1").NewPrintable<FakeLines>("huge", log_, 1, 4000);
    Run(3);
    EXPECT_FALSE(memo.PrintFinished);
    EXPECT_EQ(Prints("DetailBand1").size(), 3u);
    EXPECT_EQ(Prints("SummaryBand1").size(), 1u);
    EXPECT_LE(paging_->PageNumber(), 4);
}

TEST_F(BandPrintTest, BandAdvancesByItsRoundedHeight)
{
    struct Case {
        long double height;
        int advance;
    };
    for (const Case c : {Case{42.5L, 42}, Case{43.5L, 44}, Case{42.3L, 42}}) {
        SCOPED_TRACE(static_cast<double>(c.height));
        Build();
        StartRun();
        paging_->OutputBand(report_->Bands.Band(1));
        const long double values[] = {c.height};
        Band("DetailBand1").Size.ReadValues(values);
        const int before = paging_->CurrentY();
        paging_->OutputBand(&Band("DetailBand1"));
        EXPECT_EQ(paging_->CurrentY() - before, c.advance);
        EndRun();
        DropReport();
    }
}

TEST_F(BandPrintTest, BandFitsWhenTheRoomEqualsItsRoundedHeight)
{
    // Room is 2812 - Y; the Detail band takes 42.
    for (const auto& [y, column] : {std::pair{2770, 1}, std::pair{2771, 2}}) {
        SCOPED_TRACE(y);
        Build();
        StartRunAt({.y = y, .pageNumber = 1, .column = 1});
        EXPECT_EQ(paging_->AvailableSpace(), 2812 - y);
        paging_->OutputBand(&Band("DetailBand1"));
        EXPECT_EQ(paging_->CurrentColumn(), column);
        EndRun();
        DropReport();
    }
}

TEST_F(BandPrintTest, BandsLeftOutStillFireAfterPrintAndPrintTheirChildren)
{
    enum class Way { Disabled, BeforePrintFalse, ZeroHeight };
    for (const Way way : {Way::Disabled, Way::BeforePrintFalse, Way::ZeroHeight}) {
        SCOPED_TRACE(static_cast<int>(way));
        log_.clear();
        Build();
        TRpCustomBand& summary = Band("SummaryBand1");
        int before = 0;
        std::vector<bool> after;
        summary.BeforePrint = [&](TRpCustomBand&, bool& print) {
            ++before;
            if (way == Way::BeforePrintFalse)
                print = false;
        };
        summary.AfterPrint = [&](TRpCustomBand&, bool printed) { after.push_back(printed); };
        if (way == Way::Disabled)
            summary.SetEnabled(false);
        if (way == Way::ZeroHeight) {
            const long double zero[] = {0};
            summary.Size.ReadValues(zero);
        }
        Run(3);
        EXPECT_EQ(before, way == Way::Disabled ? 0 : 1);
        ASSERT_EQ(after.size(), 1u);
        EXPECT_EQ(after[0], way == Way::ZeroHeight);
        EXPECT_TRUE(Prints("SummaryBand1").empty());
        // The child prints where the Summary would have started: right below the rows.
        const auto child = Prints("ChildBand1");
        ASSERT_EQ(child.size(), 1u);
        EXPECT_TRUE(child[0].starts_with("page 1 col 1 at 100,668")) << child[0];
        DropReport();
    }
}

TEST_F(BandPrintTest, ExpandBandGrowsOnlyWithinTheRoom)
{
    Build();
    StartRunAt({.y = 2812 - 100, .pageNumber = 1, .column = 1});  // room 100; the band is 42.3 high
    TRpCustomBand& band = Band("DetailBand1");
    ASSERT_EQ(band.Expanded(), 0);
    EXPECT_TRUE(band.CanExpand(57.7L));
    EXPECT_FALSE(band.CanExpand(58.3L));
    long double grown = -1;
    bool started = false;
    EXPECT_FALSE(band.ExpandBand(grown, started, 30));
    EXPECT_EQ(grown, 30);
    EXPECT_TRUE(started);
    // Already tall enough: a control's first request below Expanded takes what is there.
    bool secondStarted = false;
    EXPECT_TRUE(band.ExpandBand(grown, secondStarted, 20));
    EXPECT_EQ(grown, 30);
    EXPECT_EQ(band.Expanded(), 30);
    // No room: nothing changes.
    grown = -1;
    EXPECT_FALSE(band.ExpandBand(grown, started, 40));
    EXPECT_EQ(grown, -1);
    EXPECT_EQ(band.Expanded(), 30);
    EndRun();
}

TEST_F(BandPrintTest, TheNextColumnStartsPastTheColumnSpace)
{
    struct Case {
        long double space;  // millimetres
        int tenths;         // the space rounded, halves to even
    };
    const Case cases[] = {{0, 0}, {5, 50}, {2.5L, 25}, {0.25L, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<double>(c.space));
        log_.clear();
        Build();
        report_->Page.SetColumnSpace(c.space);
        // The bands take the column width that is left; the Detail band's is the column's.
        const int width = report::output::RoundHalfEvenInt(Band("DetailBand1").Size.Width);
        ASSERT_GT(width, 900);
        Run(174);
        const std::string second = "col 2 at " + std::to_string(100 + width + c.tenths) + ",";
        const std::vector<std::string> rows = Prints("DetailBand1");
        ASSERT_EQ(rows.size(), 174u);
        EXPECT_TRUE(rows[54].starts_with("page 1 " + second)) << rows[54];
        EXPECT_TRUE(rows[109].starts_with("page 2 col 1 at 100,")) << rows[109];
        EXPECT_TRUE(rows[173].starts_with("page 2 " + second)) << rows[173];
        const std::vector<std::string> headers = Prints("ColumnHeaderBand1");
        ASSERT_GE(headers.size(), 2u);
        EXPECT_TRUE(headers[1].starts_with("page 1 " + second)) << headers[1];
        DropReport();
    }
}

TEST_F(BandPrintTest, ColumnWidthWithoutDetailBandSplitsThePage)
{
    Build();
    report_->FreeBand(Band("DetailBand1"));
    report_->Page.SetLeftMargin(10);
    report_->Page.SetRightMargin(6);
    report_->Page.SetColumns(3);
    report_->Page.SetColumnSpace(5);
    EXPECT_EQ(StartPaging().ColumnWidth(), 613);
}

// Logs the page calls an export filter receives.
class PageFilter : public RecordingFilter {
public:
    void NewPage() override { calls.push_back("NewPage"); }
    void EndPage() override { calls.push_back("EndPage"); }
    void ExportBand(report::output::TRpBandType, long double x, long double y, long double expanded) override
    {
        calls.push_back("Band " + std::to_string(static_cast<int>(x)) + ',' + std::to_string(static_cast<int>(y)) +
                        ' ' + std::to_string(static_cast<int>(expanded)));
    }
    std::vector<std::string> calls;
};

TEST_F(BandPrintTest, ExportGetsTheStretchedFullHeightLineAsAValue)
{
    Build();
    TRpCustomBand& detail = Band("DetailBand1");
    auto& memo = detail.NewPrintable<FakeLines>("memo", log_, 3, 27);
    const long double box[] = {20, 0, 0, 300};
    memo.Size.ReadValues(box);
    auto& line = detail.NewPrintable<report::engine::TRpShape>();
    line.Tag = 1000;
    line.SetShape(report::output::TRpShapeType::rpsVertLine);
    const long double place[] = {42.3L, 500, 0, 10};
    line.Size.ReadValues(place);
    const std::vector<long double> designSize = line.Size.WriteValues();
    const report::output::Pen designPen = line.Pen();
    const report::output::Brush designBrush = line.Brush();
    PageFilter filter;
    exportTo_ = &filter;
    Run(1);
    ASSERT_GE(filter.calls.size(), 2u);
    EXPECT_EQ(filter.calls[0], "EndPage");
    EXPECT_EQ(filter.calls[1], "NewPage");
    // Three lines of 27 in a 2 mm box: the band grew by 81 below its 42.3.
    EXPECT_NE(std::find(filter.calls.begin(), filter.calls.end(), "Band 100,542 81"), filter.calls.end());
    const report::output::TRpPrinter& printer = *printer_;
    std::vector<QRect> lines;
    for (const auto& item : filter.items) {
        const auto* shape = std::get_if<report::output::ExportShape>(&item.control);
        if (shape != nullptr && shape->shape == report::output::TRpShapeType::rpsVertLine)
            lines.push_back(shape->rect);
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].top(), printer.DeviceY(542));
    EXPECT_EQ(lines[0].top() + lines[0].height(), printer.DeviceY(542 + 42.3L + 81 + 1));
    const int left = printer.DeviceX(100);
    const int width = printer.DeviceX(100 + 367 * 254 / 96.0L) - left;
    const long double middle = line.Bounds().left() + line.Bounds().width() / 2;
    EXPECT_EQ(lines[0].left(), left + report::output::RoundHalfEvenInt(width * middle / 367));
    EXPECT_EQ(line.Size.WriteValues(), designSize);
    EXPECT_EQ(line.Pen(), designPen);
    EXPECT_EQ(line.Brush(), designBrush);
    paging_.reset();
    exportTo_ = nullptr;
}

TEST_F(BandPrintTest, PagesBeforeTheLastKeepTheirFooterRoom)
{
    Build();
    report_->LastPageFooter = false;
    Band("SummaryBand1").AlignToBottom = true;
    Run(3);
    // The bottom Summary of a two-column report opens a page of its own (at its top) and
    // gives up the last page's footer room; the page it closes keeps its footers above the
    // bottom margin.
    const auto footers = Prints("PageFooterBand1");
    ASSERT_EQ(footers.size(), 1u);
    EXPECT_TRUE(footers[0].starts_with("page 1 col 1 at 100,2812")) << footers[0];
    const auto summary = Prints("SummaryBand1");
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_TRUE(summary[0].starts_with("page 2 col 1 at 100,100")) << summary[0];
}

TEST_F(BandPrintTest, PageAndColumnNumbersFollowThePaging)
{
    using report::expr::TRpEvElementConstant;
    using report::expr::TRpEvResult;
    Build();
    TRpEvElementConstant page(TRpEvResult::Integer(0));
    TRpEvElementConstant column(TRpEvResult::Integer(0));
    pageEntry_ = &page;
    columnEntry_ = &column;
    std::vector<std::pair<int, int>> seen;
    Band("DetailBand1").BeforePrint = [&](TRpCustomBand&, bool&) {
        seen.emplace_back(static_cast<int>(page.Result().IntegerValue), static_cast<int>(column.Result().IntegerValue));
    };
    Run(110);
    ASSERT_EQ(seen.size(), 110u);
    // BeforePrint comes before the row's own break: row 55 still sees column 1.
    EXPECT_EQ(seen[0], std::pair(1, 1));
    EXPECT_EQ(seen[54], std::pair(1, 1));
    EXPECT_EQ(seen[55], std::pair(1, 2));
    EXPECT_EQ(seen[109], std::pair(1, 2));
    EXPECT_EQ(page.Result().IntegerValue, 2);
    EXPECT_EQ(column.Result().IntegerValue, 1);
}

TEST_F(BandPrintTest, TwoRunsGiveTheSameTrace)
{
    Build();
    Run(120);
    const CallLog first = log_;
    log_.clear();
    printer_ = std::make_unique<report::output::TRpPrinter>();
    Run(120);
    EXPECT_EQ(log_, first);
}

}  // namespace
}  // namespace enginetest
