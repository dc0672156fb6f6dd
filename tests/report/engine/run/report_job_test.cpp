// Several reports run as one document: where each goes on, the last one's Tag, cancelling.
#include "report/engine/run/report_job.h"

#include "tests/report/engine/run/run_fixture.h"
#include "tests/support/program_bands.h"

#include <gtest/gtest.h>

#include <numeric>

namespace enginetest {

using namespace testsupport;
namespace {

using report::engine::TCustomRpReport;
using report::engine::TRpReport;
using report::engine::TRpReportListJob;
using report::engine::TRpRunResult;

// One report of a job: the print layout with logging boxes, `rows` rows.
struct JobReport {
    JobReport(int rows, std::vector<std::string>& events, const std::string& name) : rows_(rows)
    {
        report = MakeProgramReport();
        std::vector<int> order(kProgramBands.size());
        std::iota(order.begin(), order.end(), 0);
        AddProgramBands(*report, order);
        for (report::engine::TRpCustomBand* band : report->BandList())
            band->NewPrintable<FakeBox>(band->Name, log);
        report->OnNeedData = [this](auto&&, bool& more) {
            ++calls;
            if (onCall)
                onCall(calls);
            more = calls <= rows_;
        };
        report->BeforePrint = [&events, name](TCustomRpReport& r, bool&) {
            events.push_back(name + " Tag " + std::to_string(r.Tag));
        };
    }
    // The page of each Detail row.
    [[nodiscard]] std::vector<std::string> DetailPages() const
    {
        std::vector<std::string> pages;
        for (const std::string& line : log) {
            if (line.starts_with("DetailBand1:Print "))
                pages.push_back(line.substr(18, 6));
        }
        return pages;
    }
    std::unique_ptr<TRpReport> report;
    CallLog log;
    int calls = 0;
    std::function<void(int)> onCall;

private:
    int rows_;
};

class ReportJobTest : public RunTest {
protected:
    std::vector<std::string> events_;
};

TEST_F(ReportJobTest, ReportsShareAPageUnlessTheyStartANewOne)
{
    struct Case {
        bool newPage;
        int pages;
        const char* secondRows;
    };
    const Case cases[] = {{false, 1, "page 1"}, {true, 2, "page 2"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.newPage);
        events_.clear();
        JobReport first(3, events_, "first");
        JobReport second(3, events_, "second");
        second.report->StartNewPageInComposite = c.newPage;
        first.report->Tag = 7;
        second.report->Tag = 8;
        TRpReportListJob job;
        job.AddReport(*first.report);
        job.AddReport(*second.report);
        job.OnStartJob = [this](TRpReportListJob&) { events_.emplace_back("start"); };
        job.BeforeReport = [this](TRpReportListJob&, int index) {
            events_.push_back("before " + std::to_string(index));
        };
        job.AfterReport = [this](TRpReportListJob& j) { events_.push_back(j.Busy() ? "after" : "end"); };
        CallFilter filter;
        EXPECT_EQ(job.ExportWithFilter(filter), TRpRunResult::Done);
        EXPECT_EQ(std::count(filter.calls.begin(), filter.calls.end(), "NewPage"), c.pages);
        EXPECT_EQ(std::count(filter.calls.begin(), filter.calls.end(), "Start 2100,2970"), 1);
        ASSERT_FALSE(filter.calls.empty());
        EXPECT_EQ(filter.calls.back(), "Finish");
        EXPECT_EQ(second.DetailPages(), std::vector<std::string>(3, c.secondRows));
        // The last report of the job runs with Tag 999, and gets its own back.
        const std::vector<std::string> expected{"start",    "before 0",       "first Tag 7", "after",
                                                "before 1", "second Tag 999", "after",       "end"};
        EXPECT_EQ(events_, expected);
        EXPECT_EQ(first.report->Tag, 7);
        EXPECT_EQ(second.report->Tag, 8);
        EXPECT_EQ(first.report->RpPrinter, nullptr);
        EXPECT_EQ(second.report->RpPrinter, nullptr);
        EXPECT_FALSE(job.Busy());
    }
}

TEST_F(ReportJobTest, AJobOfOneReportPrintsOnThePrinter)
{
    JobReport only(120, events_, "only");
    only.report->Tag = 5;
    TRpReportListJob job;
    job.AddReport(*only.report);
    // The report's own print goes through its job.
    EXPECT_EQ(only.report->PrintToPrinter(), TRpRunResult::Done);
    EXPECT_EQ(events_, std::vector<std::string>{"only Tag 999"});
    EXPECT_EQ(only.report->Tag, 5);
    ASSERT_EQ(service_->jobs.size(), 1u);
    EXPECT_EQ(service_->jobs[0]->pages.size(), 2u);
    EXPECT_TRUE(service_->jobs[0]->finished);
}

TEST_F(ReportJobTest, ACancelledReportEndsTheJob)
{
    for (const bool exporting : {false, true}) {
        SCOPED_TRACE(exporting);
        events_.clear();
        service_->jobs.clear();
        JobReport first(30, events_, "first");
        JobReport second(3, events_, "second");
        first.onCall = [&](int call) {
            if (call == 5)
                first.report->Cancel();
        };
        report::output::TRpPrinter own;
        second.report->RpPrinter = &own;
        TRpReportListJob job;
        job.AddReport(*first.report);
        job.AddReport(*second.report);
        CallFilter filter;
        EXPECT_EQ(exporting ? job.ExportWithFilter(filter) : job.Print(), TRpRunResult::Cancelled);
        EXPECT_EQ(events_, std::vector<std::string>{"first Tag 0"});
        EXPECT_EQ(second.calls, 0);
        // Each report has its own printer object again; the job's is gone once.
        EXPECT_EQ(first.report->RpPrinter, nullptr);
        EXPECT_EQ(second.report->RpPrinter, &own);
        EXPECT_EQ(job.RpPrinter(), nullptr);
        EXPECT_EQ(std::count(filter.calls.begin(), filter.calls.end(), "Finish"), 0);
        if (!exporting) {
            ASSERT_EQ(service_->jobs.size(), 1u);
            EXPECT_FALSE(service_->jobs[0]->finished);
        }
        second.report->RpPrinter = nullptr;
    }
}

TEST_F(ReportJobTest, BusyWhileAReportRuns)
{
    JobReport first(3, events_, "first");
    TRpReportListJob job;
    job.AddReport(*first.report);
    TRpRunResult inner = TRpRunResult::Done;
    first.onCall = [&](int call) {
        if (call == 2)
            inner = job.Print();
    };
    EXPECT_EQ(first.report->PreviewReport(), TRpRunResult::Done);
    EXPECT_EQ(inner, TRpRunResult::Busy);
}

TEST_F(ReportJobTest, NoPrinterNoJob)
{
    JobReport first(3, events_, "first");
    TRpReportListJob job;
    job.AddReport(*first.report);
    RemovePrinters();
    EXPECT_EQ(job.Print(), TRpRunResult::NoPrinter);
    EXPECT_EQ(first.calls, 0);
}

TEST_F(ReportJobTest, AReportGoneLeavesTheJob)
{
    TRpReportListJob job;
    {
        JobReport first(3, events_, "first");
        job.AddReport(*first.report);
        EXPECT_EQ(first.report->ReportListJob, &job);
    }
    EXPECT_TRUE(job.Reports().empty());
    int ends = 0;
    job.AfterReport = [&](TRpReportListJob&) { ++ends; };
    EXPECT_EQ(job.Print(), TRpRunResult::Done);
    EXPECT_EQ(ends, 1);
}

}  // namespace
}  // namespace enginetest
