// The report's data loop fed by OnNeedData: which bands print in which order, pages, progress,
// stopping and cancelling.
#include "report/engine/model/controller.h"
#include "report/engine/run/report.h"
#include "report/output/printer/rp_printer.h"
#include "tests/report/engine/printing/loop_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace enginetest {
namespace {

using report::engine::TRpBasePanel;
using report::engine::TRpController;
using report::engine::TRpPaging;

// 2, 4, .. up to `last`, then 5, 7, .. as the loop wraps above 100.
std::vector<int> StepsOfTwo(int rows)
{
    std::vector<int> steps;
    int progress = 0;
    for (int row = 0; row < rows; ++row) {
        progress = progress + 2 > 100 ? 5 : progress + 2;
        steps.push_back(progress);
    }
    return steps;
}

class NeedDataLoopTest : public DataLoopTest {
protected:
    // Rows 1..rows, one per call; `onCall(n)` runs in call n before it answers.
    void FeedRows(int rows, std::function<void(int)> onCall = {})
    {
        report_->Controller().OnNeedData = [this, rows, onCall](TRpBasePanel& sender, bool& more) {
            ++calls_;
            EXPECT_EQ(&sender, report_.get());
            log_.push_back("need:" + std::to_string(calls_));
            if (onCall)
                onCall(calls_);
            more = calls_ <= rows;
        };
    }
    int calls_ = 0;
};

TEST_F(NeedDataLoopTest, RowsGiveTheirPagesCallsAndProgress)
{
    struct Case {
        int rows;
        int pagesInPreview;
        int pages;
        int printedRows;
        int calls;
        const char* summaryAt;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 1, nullptr},
        {3, 0, 1, 3, 4, "page 1 col 1"},
        {52, 0, 1, 52, 53, "page 1 col 1 at 100,2726"},
        {109, 0, 2, 109, 110, "page 2 col 1 at 100,108"},
        {500, 2, 3, 238, 239, "page 3 col 1 at 100,150"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("rows " + std::to_string(c.rows));
        log_.clear();
        progress_.clear();
        calls_ = 0;
        Build();
        report_->PagesInPreview = c.pagesInPreview;
        FeedRows(c.rows);
        Run();
        EXPECT_EQ(calls_, c.calls);
        EXPECT_EQ(paging_->PageNumber(), c.pages);
        EXPECT_EQ(printer_->PageCount(), c.pages);
        EXPECT_EQ(Prints("DetailBand1").size(), static_cast<std::size_t>(c.printedRows));
        EXPECT_EQ(report_->Controller().DetailNumber(), c.printedRows);
        if (c.summaryAt == nullptr) {
            EXPECT_TRUE(Prints("TitleBand1").empty());
            EXPECT_TRUE(Prints("SummaryBand1").empty());
            EXPECT_TRUE(progress_.empty());
            continue;
        }
        EXPECT_EQ(Prints("TitleBand1").size(), 1u);
        ASSERT_EQ(Prints("SummaryBand1").size(), 1u);
        EXPECT_TRUE(Prints("SummaryBand1")[0].starts_with(c.summaryAt)) << Prints("SummaryBand1")[0];
        std::vector<int> expected = StepsOfTwo(c.printedRows);
        expected.push_back(100);
        EXPECT_EQ(progress_, expected);
    }
}

// Rows its owner knows beforehand: the progress is the rows printed of them, each figure posted
// once, then 100; more rows than announced stay at 100. Stepping by 2 would start over at 5.
TEST_F(NeedDataLoopTest, KnownRowsReportTheRowsPrintedOfThem)
{
    struct Case {
        int rows;
        int announced;
        std::vector<int> progress;
    };
    std::vector<int> everyPercent;
    for (int percent = 0; percent <= 100; ++percent)
        everyPercent.push_back(percent);
    everyPercent.push_back(100);
    const Case cases[] = {
        {8, 8, {12, 25, 37, 50, 62, 75, 87, 100, 100}},
        {400, 400, everyPercent},
        {5, 3, {33, 66, 100, 100}},
        {1, 1, {100, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("rows " + std::to_string(c.rows) + " of " + std::to_string(c.announced));
        log_.clear();
        progress_.clear();
        calls_ = 0;
        Build();
        report_->Controller().NeedDataRows = c.announced;
        FeedRows(c.rows);
        Run();
        EXPECT_EQ(Prints("DetailBand1").size(), static_cast<std::size_t>(c.rows));
        EXPECT_EQ(progress_, c.progress);
    }
}

TEST_F(NeedDataLoopTest, TwoRowsFollowTheOrderOfARun)
{
    Build();
    FeedRows(2);
    Run();
    const std::vector<std::string> expected{"need",
                                            "TitleBand1",
                                            "ChildBand2",
                                            "ColumnHeaderBand1",
                                            "DetailBand1",
                                            "need",
                                            "DetailBand1",
                                            "need",
                                            "SummaryBand1",
                                            "ChildBand1",
                                            "ChildBand4",
                                            "ChildBand5",
                                            "PageFooterBand1",
                                            "ChildBand3"};
    EXPECT_EQ(Sequence(), expected);
}

TEST_F(NeedDataLoopTest, CancelEndsAtOnceWhileStopStillPrintsTheSummary)
{
    struct Case {
        const char* name;
        bool cancelPrinter;
        std::size_t summaries;
    };
    const Case cases[] = {{"printer cancelled", true, 0}, {"stop requested", false, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log_.clear();
        calls_ = 0;
        Build();
        FeedRows(100, [this, &c](int call) {
            if (call != 11)
                return;
            if (c.cancelPrinter) {
                printer_->Cancel();
            } else {
                paging_->RequestStop();
            }
        });
        Run();
        EXPECT_EQ(calls_, 11);
        EXPECT_EQ(Prints("DetailBand1").size(), 10u);
        EXPECT_EQ(Prints("SummaryBand1").size(), c.summaries);
        // The last page still gets its footer.
        EXPECT_EQ(Prints("PageFooterBand1").size(), 1u);
    }
}

TEST_F(NeedDataLoopTest, CancelledReportPrintsNothing)
{
    Build();
    FeedRows(5, [this](int call) {
        if (call == 1)
            paging_->Cancel();
    });
    Run();
    EXPECT_EQ(calls_, 1);
    EXPECT_TRUE(log_.size() == 1 && log_[0] == "need:1") << log_.size();
}

TEST_F(NeedDataLoopTest, ControllerWithoutReportStops)
{
    Build();
    TRpController controller(nullptr);
    controller.Detail = &Band("DetailBand1");
    controller.Header = &Band("TitleBand1");
    controller.OnNeedData = [this](TRpBasePanel&, bool& more) {
        ++calls_;
        more = calls_ < 3;
    };
    TRpPaging& paging = StartPaging();
    for (const bool printIfEmpty : {true, false}) {
        controller.PrintIfEmpty = printIfEmpty;
        paging.RunDataLoop(controller);
        controller.OnNeedData = nullptr;
        paging.RunDataLoop(controller);
    }
    EXPECT_EQ(calls_, 0);
    EXPECT_TRUE(log_.empty());
}

TEST_F(NeedDataLoopTest, LevelWithoutRowSourcePrintsOneEmptyPassWhenAsked)
{
    for (const bool printIfEmpty : {true, false}) {
        SCOPED_TRACE(printIfEmpty);
        log_.clear();
        Build();
        report_->Controller().PrintIfEmpty = printIfEmpty;
        Run();
        const std::size_t once = printIfEmpty ? 1 : 0;
        EXPECT_EQ(Prints("TitleBand1").size(), once);
        EXPECT_EQ(Prints("DetailBand1").size(), once);
        EXPECT_EQ(Prints("SummaryBand1").size(), once);
        EXPECT_TRUE(progress_.empty());
    }
}

// Counts the rows its controller tells it of.
class RowCounter : public report::engine::TRpPrintable {
public:
    void Notify(const void* sender, int operation) override
    {
        TRpPrintable::Notify(sender, operation);
        if (operation == report::engine::kNotifyDetailRow)
            ++rows;
    }
    int rows = 0;
};

TEST_F(NeedDataLoopTest, ClientsAreToldOfEveryDetailRowPrintedOrNot)
{
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled);
        Build();
        auto& counter = report_->NewPrintable<RowCounter>();
        calls_ = 0;
        FeedRows(7);
        Band("DetailBand1").SetEnabled(enabled);
        StartRun();
        report_->AddSubController(counter);
        paging_->RunDataLoop(report_->Controller());
        EndRun();
        EXPECT_EQ(counter.rows, 7);
    }
}

}  // namespace
}  // namespace enginetest
