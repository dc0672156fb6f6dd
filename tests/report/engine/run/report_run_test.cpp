// The print layout of the activity list run as the program runs it: rows by OnNeedData,
// previewed, printed and exported; events in order, cancelling and stopping, the printer
// objects' lives.
#include "report/engine/run/report_window.h"
#include "report/output/pdf/pdf_document.h"
#include "report/output/printer/progress_form.h"
#include "tests/report/engine/run/run_fixture.h"
#include "tests/support/pdf_check.h"
#include "utility/rp_error.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace enginetest {
namespace {

using report::engine::TRpRunResult;
using report::engine::TRpUnit;
using report::output::TRpPrinter;
using report::output::TRpPrinterStatus;

class ReportRunTest : public RunTest {
protected:
    // Progress reaches `log` through the printer object the preview is made from.
    TRpRunResult PreviewFollowing(ProgressLog& log)
    {
        TRpPrinter before;
        before.SetClientWindow(&log);
        report_->RpPrinter = &before;
        const TRpRunResult result = report_->PreviewReport();
        Flush();
        // The preview's printer object is gone; the one set up here must not stay in the report.
        if (report_->RpPrinter == &before)
            report_->RpPrinter = nullptr;
        return result;
    }
};

// The progress a run of `rows` rows posts: 2 more a row, 5 after passing 100, then 100.
std::vector<int> ExpectedProgress(int rows)
{
    std::vector<int> expected;
    if (rows == 0)
        return expected;
    int progress = 0;
    for (int row = 1; row <= rows; ++row) {
        progress += 2;
        if (progress > 100)
            progress = 5;
        expected.push_back(progress);
    }
    expected.push_back(100);
    return expected;
}

TEST_F(ReportRunTest, RowsMakePagesAndProgress)
{
    struct Case {
        int rows;
        int pagesInPreview;
        int pages;
        int needDataCalls;
        int printedRows;
        const char* summary;  // the Summary's place: "page P col C at X,Y"; empty: not printed
    };
    const Case cases[] = {
        {0, 0, 0, 1, 0, ""},
        {3, 0, 1, 4, 3, "page 1 col 1 at 100,"},
        {52, 0, 1, 53, 52, "page 1 col 1 at 100,2726"},
        {109, 0, 2, 110, 109, "page 2 col 1 at 100,108"},
        {500, 2, 3, 239, 238, "page 3 col 1 at 100,150"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        log_.clear();
        needData_ = 0;
        Build();
        rows_ = c.rows;
        report_->PagesInPreview = c.pagesInPreview;
        ProgressLog progress;
        EXPECT_EQ(PreviewFollowing(progress), TRpRunResult::Done);
        EXPECT_EQ(previews_.pages.size(), static_cast<std::size_t>(c.pages));
        EXPECT_EQ(needData_, c.needDataCalls);
        EXPECT_EQ(Prints("DetailBand1").size(), static_cast<std::size_t>(c.printedRows));
        const std::vector<std::string> summary = Prints("SummaryBand1");
        if (*c.summary == '\0') {
            EXPECT_TRUE(summary.empty());
            EXPECT_TRUE(Prints("TitleBand1").empty());
            EXPECT_TRUE(Logged("StartPage").empty());
        } else {
            ASSERT_EQ(summary.size(), 1u);
            EXPECT_TRUE(summary[0].starts_with(c.summary)) << summary[0];
        }
        if (c.rows <= 52) {
            EXPECT_EQ(progress.progress, ExpectedProgress(c.rows));
        }
        EXPECT_EQ(report_->RpPrinter, nullptr);
        EXPECT_TRUE(report_->Available());
        // The report keeps where its run ended.
        EXPECT_FALSE(report_->Running());
        EXPECT_EQ(report_->PageNumber(), c.pages);
        report_.reset();
    }
}

TEST_F(ReportRunTest, OutsideARunThePagingOperationsDoNothing)
{
    Build();
    rows_ = 109;
    ASSERT_EQ(report_->PreviewReport(), TRpRunResult::Done);
    ASSERT_EQ(report_->PageNumber(), 2);
    const std::int32_t y = report_->CurrentY();
    const std::size_t logged = log_.size();
    report_->StartNewPage();
    report_->StartNewColumn();
    report_->OutputBand(&Band("DetailBand1"));
    report_->FinishPage();
    EXPECT_EQ(log_.size(), logged);
    EXPECT_EQ(report_->AvailableSpace(), 0);
    EXPECT_EQ(report_->PageNumber(), 2);
    EXPECT_EQ(report_->CurrentColumn(), 1);
    EXPECT_EQ(report_->CurrentY(), y);
}

TEST_F(ReportRunTest, TwoRowsFollowTheOrderOfARun)
{
    Build();
    rows_ = 2;
    report_->BeforePrint = [this](report::engine::TCustomRpReport& report, bool& print) {
        log_.push_back(std::string("BeforePrint ") +
                       (report.RpPrinter->Status() == TRpPrinterStatus::rpsReady ? "ready" : "?"));
        print = true;
    };
    onNeedData_ = [this](int call) {
        if (call == 1)
            log_.push_back(report_->RpPrinter->Status() == TRpPrinterStatus::rpsBusy ? "document begun" : "?");
    };
    report_->OnStartPage = [this](report::engine::TCustomRpReport& r) {
        log_.push_back("StartPage " + std::to_string(r.PageNumber()));
    };
    report_->OnEndPage = [this](report::engine::TCustomRpReport& r) {
        log_.push_back("EndPage " + std::to_string(r.PageNumber()));
    };
    report_->AfterPreview = [this](report::engine::TCustomRpReport& r) {
        const bool ended = r.RpPrinter != nullptr && r.RpPrinter->Status() == TRpPrinterStatus::rpsFinished;
        log_.push_back(std::string("AfterPreview") + (ended ? " ended" : ""));
    };
    previews_.whileShown = [this](TRpPrinter&) { log_.emplace_back("Preview"); };
    EXPECT_EQ(report_->PreviewReport(), TRpRunResult::Done);
    std::vector<std::string> order;
    for (const std::string& line : log_)
        order.push_back(line.substr(0, line.find(":Print")));
    const std::vector<std::string> expected{
        "BeforePrint ready", "NeedData 1",         "document begun",    "StartPage 1",        "TitleBand1",
        "Title:AfterPrint",  "ChildBand2",         "ColumnHeaderBand1", "Detail:BeforePrint", "DetailBand1",
        "NeedData 2",        "Detail:BeforePrint", "DetailBand1",       "NeedData 3",         "SummaryBand1",
        "ChildBand1",        "ChildBand4",         "ChildBand5",        "PageFooterBand1",    "ChildBand3",
        "EndPage 1",         "AfterPreview ended", "Preview",           "AfterPreview ended",
    };
    EXPECT_EQ(order, expected);
    EXPECT_EQ(report_->RpPrinter, nullptr);
}

TEST_F(ReportRunTest, CancellingAndStoppingInTheEleventhRow)
{
    enum class How { PrinterCancel, Stop, ReportCancel, ClosedPreview };
    struct Case {
        How how;
        TRpRunResult result;
        std::size_t rows;
        bool summary;
        int previews;
    };
    const Case cases[] = {
        {How::PrinterCancel, TRpRunResult::Done, 10, false, 1},
        {How::Stop, TRpRunResult::Done, 10, true, 1},
        {How::ReportCancel, TRpRunResult::Cancelled, 10, false, 0},
        {How::ClosedPreview, TRpRunResult::Cancelled, 10, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.how));
        log_.clear();
        needData_ = 0;
        previews_ = {};
        Build();
        rows_ = 30;
        int afterPreview = 0;
        report_->AfterPreview = [&](report::engine::TCustomRpReport&) { ++afterPreview; };
        onNeedData_ = [&](int call) {
            if (call != 11)
                return;
            switch (c.how) {
            case How::PrinterCancel:
                report_->RpPrinter->Cancel();
                break;
            case How::Stop:
                report_->Window().RequestStop();
                break;
            case How::ReportCancel:
                report_->Cancel();
                break;
            case How::ClosedPreview:
                report_->Window().ClosePreviewMessage(*report_->RpPrinter);
                break;
            }
        };
        EXPECT_EQ(report_->PreviewReport(), c.result);
        EXPECT_EQ(Prints("DetailBand1").size(), c.rows);
        EXPECT_EQ(Prints("SummaryBand1").size(), c.summary ? 1u : 0u);
        EXPECT_EQ(previews_.modal, c.previews);
        // The last page gets its footer unless the report itself was cancelled.
        EXPECT_EQ(Prints("PageFooterBand1").size(), c.previews == 1 ? 1u : 0u);
        EXPECT_EQ(afterPreview, c.previews == 1 ? 2 : 1);
        EXPECT_EQ(report_->RpPrinter, nullptr);
        EXPECT_TRUE(report_->Available());
        report_.reset();
    }
}

TEST_F(ReportRunTest, BeforePrintFalseRunsNothing)
{
    Build();
    rows_ = 3;
    int afterPreview = 0;
    report_->AfterPreview = [&](report::engine::TCustomRpReport&) { ++afterPreview; };
    report_->BeforePrint = [this](report::engine::TCustomRpReport& report, bool& print) {
        print = false;
        log_.push_back(report.RpPrinter->Status() == TRpPrinterStatus::rpsReady ? "ready" : "begun");
    };
    EXPECT_EQ(report_->PreviewReport(), TRpRunResult::Cancelled);
    EXPECT_EQ(log_, std::vector<std::string>{"ready"});
    EXPECT_EQ(needData_, 0);
    EXPECT_EQ(afterPreview, 0);
    EXPECT_EQ(previews_.modal, 0);
    EXPECT_TRUE(report_->Available());
    EXPECT_EQ(report_->RpPrinter, nullptr);
}

TEST_F(ReportRunTest, CancelledInBeforePrintTheRunStopsBeforeItsFirstBand)
{
    Build();
    rows_ = 3;
    report_->BeforePrint = [](report::engine::TCustomRpReport& report, bool&) { report.Cancel(); };
    EXPECT_EQ(report_->PreviewReport(), TRpRunResult::Cancelled);
    EXPECT_TRUE(report_->Cancelled());
    // The rows are asked for once, then the cancel is seen before anything prints.
    EXPECT_EQ(needData_, 1);
    EXPECT_TRUE(Prints("TitleBand1").empty());
    EXPECT_TRUE(Prints("DetailBand1").empty());
    EXPECT_TRUE(Logged("StartPage").empty());
    EXPECT_EQ(previews_.modal, 0);
    EXPECT_EQ(report_->RpPrinter, nullptr);
    EXPECT_TRUE(report_->Available());
}

TEST_F(ReportRunTest, EntryPointsDuringARunAnswerBusy)
{
    Build();
    rows_ = 3;
    CallFilter filter;
    std::vector<TRpRunResult> answers;
    onNeedData_ = [&](int call) {
        if (call != 2)
            return;
        TRpPrinter* running = report_->RpPrinter;
        answers = {report_->PreviewReport(), report_->PrintToPrinter(), report_->ExportWithFilter(filter),
                   report_->PreviewWhileGenerating(), report_->GenerateInBackground(true)};
        EXPECT_FALSE(report_->CreateRpPrinter());
        // Nothing of the run was taken over.
        EXPECT_EQ(report_->RpPrinter, running);
        EXPECT_FALSE(report_->Exporting);
    };
    EXPECT_EQ(report_->PreviewReport(), TRpRunResult::Done);
    EXPECT_EQ(answers, std::vector<TRpRunResult>(5, TRpRunResult::Busy));
    EXPECT_TRUE(filter.calls.empty());
    EXPECT_EQ(Prints("DetailBand1").size(), 3u);
    EXPECT_EQ(previews_.pages.size(), 1u);
}

TEST_F(ReportRunTest, ExportOfTwoPagesCallsTheFilterOncePerPage)
{
    Build();
    rows_ = 109;
    CallFilter filter;
    int printerPagesAtFinish = -1;
    filter.onFinish = [&] { printerPagesAtFinish = report_->RpPrinter->PageCount(); };
    EXPECT_EQ(report_->ExportWithFilter(filter), TRpRunResult::Done);
    const std::vector<std::string> expected{"Start 2100,2970", "EndPage", "NewPage", "EndPage",
                                            "NewPage",         "EndPage", "Finish"};
    EXPECT_EQ(filter.calls, expected);
    // Only page 1 opened a page of the printer object.
    EXPECT_EQ(printerPagesAtFinish, 1);
    EXPECT_FALSE(report_->Exporting);
    EXPECT_EQ(report_->ExportFilter, nullptr);
    EXPECT_TRUE(report_->PrintToDevice);
    EXPECT_EQ(report_->RpPrinter, nullptr);
}

// The filter is handed the device of the printer object its run draws with when it starts: an
// export of its own records at 96 dpi whatever the printer object on show prints to, and an
// export within a job takes the job's printer object.
TEST_F(ReportRunTest, AnExportIsHandedTheDeviceOfItsOwnRun)
{
    Build();
    rows_ = 3;
    testsupport::FakePrinter margins = testsupport::FakePrinterService::A4Printer();
    margins.dpiX = 300;
    margins.dpiY = 600;
    margins.offsetX = 40;
    margins.offsetY = 60;
    service_->Add("Office", margins);
    report::output::SharedPrinter().Refresh();
    TRpPrinter shown;
    shown.SetDestination(report::output::TRpPrinterDestination::rpdPrinter);
    shown.BeginDoc();
    ASSERT_EQ(shown.XFactor(), 300 / 254.0L);
    report_->RpPrinter = &shown;

    CallFilter own;
    EXPECT_EQ(report_->ExportWithFilter(own), TRpRunResult::Done);
    EXPECT_EQ(own.Device().XFactor, report::output::kRecordFactor);
    EXPECT_EQ(own.Device().YFactor, report::output::kRecordFactor);
    EXPECT_EQ(own.Device().OffsetX, 0);
    EXPECT_EQ(own.Device().OffsetY, 0);
    EXPECT_EQ(report_->RpPrinter, &shown);

    CallFilter inJob;
    EXPECT_EQ(report_->ExportWithCurrentPrinter(inJob, shown), TRpRunResult::Done);
    ASSERT_EQ(inJob.calls.front(), "Start 2100,2970");
    EXPECT_EQ(inJob.Device().XFactor, 300 / 254.0L);
    EXPECT_EQ(inJob.Device().YFactor, 600 / 254.0L);
    EXPECT_EQ(inJob.Device().OffsetX, shown.GetOffsetX());
    EXPECT_EQ(inJob.Device().OffsetY, shown.GetOffsetY());
    EXPECT_NE(inJob.Device().OffsetX, 0);
    shown.AbortDoc();
    report_->RpPrinter = nullptr;
}

// The fault of a long export: stepping by 2 a row, the bar ran to 95 and started over at 5 again
// and again. With its rows known the window only moves forward, to the end.
TEST_F(ReportRunTest, AnExportOfKnownRowsMovesItsProgressWindowForwardOnly)
{
    Build();
    rows_ = 300;
    report_->NeedDataRows = rows_;
    std::vector<int> shown;
    onNeedData_ = [&](int) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<report::output::TRpProgressForm*>(widget);
            if (progress != nullptr && progress->isVisible())
                shown.push_back(progress->Gauge()->value());
        }
    };
    CallFilter filter;
    EXPECT_EQ(report_->ExportWithFilter(filter), TRpRunResult::Done);
    ASSERT_EQ(shown.size(), 301u);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_GE(shown.back(), 95);
}

TEST_F(ReportRunTest, AQueuedCancelReachesALongRunBetweenItsFigures)
{
    // A figure is 100 rows here; the run must still handle its messages within a few slow rows,
    // not only when the figure moves.
    Build();
    rows_ = 10000;
    report_->NeedDataRows = rows_;
    onNeedData_ = [&](int call) {
        if (call == 10)
            QTimer::singleShot(0, [&] { report_->Cancel(); });
        if (call > 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    CallFilter filter;
    EXPECT_EQ(report_->ExportWithFilter(filter), TRpRunResult::Cancelled);
    EXPECT_LT(needData_, 60);
}

TEST_F(ReportRunTest, CancelledExportIsNotFinished)
{
    for (const bool printerCancel : {false, true}) {
        SCOPED_TRACE(printerCancel);
        log_.clear();
        needData_ = 0;
        Build();
        rows_ = 109;
        onNeedData_ = [&](int call) {
            if (call != 60)
                return;
            if (printerCancel)
                report_->RpPrinter->Cancel();
            else
                report_->Cancel();
        };
        CallFilter filter;
        EXPECT_EQ(report_->ExportWithFilter(filter), TRpRunResult::Cancelled);
        ASSERT_FALSE(filter.calls.empty());
        EXPECT_EQ(filter.calls.front(), "Start 2100,2970");
        EXPECT_EQ(std::count(filter.calls.begin(), filter.calls.end(), "Finish"), 0);
        EXPECT_TRUE(filter.Active);
        report_.reset();
    }
}

TEST_F(ReportRunTest, SavingAsPdfWritesAWholeFileOrLeavesTheOldOne)
{
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::filesystem::path file = std::filesystem::path(folder.path().toStdString()) / "lista.pdf";
    {
        std::ofstream old(file, std::ios::binary);
        old << "stary plik";
    }
    const auto contents = [&] {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    // Cancelled half-way: the file chosen keeps what it had.
    Build();
    rows_ = 300;
    onNeedData_ = [this](int call) {
        if (call == 150)
            report_->Cancel();
    };
    {
        report::output::TRpPDFDocumentFilter filter(file);
        EXPECT_EQ(report_->ExportWithFilter(filter), TRpRunResult::Cancelled);
    }
    EXPECT_EQ(contents(), "stary plik");
    // The whole run: a sound file of the recorded pages.
    onNeedData_ = nullptr;
    needData_ = 0;
    {
        report::output::TRpPDFDocumentFilter filter(file);
        EXPECT_EQ(report_->ExportWithFilter(filter), TRpRunResult::Done);
    }
    const QString path = QString::fromStdString(file.string());
    const testsupport::ToolResult check = testsupport::RunTool({"qpdf", "--check", path});
    EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    EXPECT_EQ(check.out.find("WARNING"), std::string::npos) << check.out;
    const testsupport::ToolResult info = testsupport::RunTool({"pdfinfo", path});
    EXPECT_NE(info.out.find("Pages:           3"), std::string::npos) << info.out;
    // A file that cannot be made: the failure reaches the caller, and the report is as before.
    {
        report::output::TRpPDFDocumentFilter filter(file.parent_path() / "brak" / "lista.pdf");
        EXPECT_THROW(static_cast<void>(report_->ExportWithFilter(filter)), report::ERpError);
    }
    EXPECT_FALSE(report_->Exporting);
    EXPECT_TRUE(report_->PrintToDevice);
    EXPECT_TRUE(report_->Available());
    EXPECT_EQ(report_->RpPrinter, nullptr);
    EXPECT_EQ(report_->GetUnits(), TRpUnit::MM);
}

TEST_F(ReportRunTest, OnPreviewShowsInsteadOfThePreviewWindow)
{
    Build();
    rows_ = 120;
    report_->ReportTitle = "Lista zdarze\xF1";
    report_->Compression = true;
    int shown = 0;
    report_->OnPreview = [&](TRpPrinter& printer) {
        ++shown;
        EXPECT_EQ(printer.Status(), TRpPrinterStatus::rpsFinished);
        EXPECT_EQ(printer.PageCount(), 2);
        EXPECT_TRUE(printer.PageList().Compressed());
        EXPECT_EQ(printer.Title(), QString::fromUtf8("Lista zdarze\u0144"));
        EXPECT_TRUE(printer.ReprintRecorded());
        EXPECT_EQ(printer.GetReportWindow(), &report_->Window());
    };
    EXPECT_EQ(report_->PreviewReport(), TRpRunResult::Done);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(previews_.modal, 0);
    // Nothing closed it: the printer object stays with the report.
    ASSERT_NE(report_->RpPrinter, nullptr);
    EXPECT_EQ(report_->RpPrinter->PageCount(), 2);
}

TEST_F(ReportRunTest, TwoPreviewsRecordTheSamePages)
{
    Build();
    rows_ = 300;
    ASSERT_EQ(report_->PreviewReport(), TRpRunResult::Done);
    const std::vector<std::string> first = previews_.pages;
    needData_ = 0;
    ASSERT_EQ(report_->PreviewReport(), TRpRunResult::Done);
    EXPECT_EQ(first.size(), 3u);
    EXPECT_EQ(previews_.pages, first);
    EXPECT_EQ(previews_.modal, 2);
}

TEST_F(ReportRunTest, PrintFromThePreviewKeepsItsPages)
{
    Build();
    rows_ = 300;
    TRpRunResult printed = TRpRunResult::Busy;
    std::vector<std::string> after;
    TRpPrinter* shownPrinter = nullptr;
    previews_.whileShown = [&](TRpPrinter& printer) {
        shownPrinter = &printer;
        needData_ = 0;
        printed = report_->PrintToPrinter();
        after = RecordedPages(printer);
        EXPECT_EQ(report_->RpPrinter, &printer);
        EXPECT_EQ(printer.Status(), TRpPrinterStatus::rpsFinished);
    };
    ASSERT_EQ(report_->PreviewReport(), TRpRunResult::Done);
    EXPECT_NE(shownPrinter, nullptr);
    EXPECT_EQ(printed, TRpRunResult::Done);
    EXPECT_EQ(after, previews_.pages);
    ASSERT_EQ(service_->jobs.size(), 1u);
    EXPECT_EQ(service_->jobs[0]->pages.size(), 3u);
    EXPECT_TRUE(service_->jobs[0]->finished);
}

TEST_F(ReportRunTest, PrintWithoutPrinterAnswersNoPrinter)
{
    Build();
    rows_ = 3;
    RemovePrinters();
    TRpPrinter shown;
    report_->RpPrinter = &shown;
    EXPECT_EQ(report_->PrintToPrinter(), TRpRunResult::NoPrinter);
    EXPECT_EQ(needData_, 0);
    EXPECT_EQ(report_->RpPrinter, &shown);
    // Asked for from the preview, it says why nothing printed.
    EXPECT_TRUE(messages_.Messages().empty());
    report_->Window().PrintToPrinter();
    EXPECT_EQ(messages_.TextsOf(utility::MessageKind::Warning), std::vector<std::string>{"No printers are installed."});
    EXPECT_EQ(report_->RpPrinter, &shown);
    report_->RpPrinter = nullptr;
}

TEST_F(ReportRunTest, AFailingRunRestoresTheReport)
{
    Build();
    rows_ = 30;
    report_->Page.SetUnits(TRpUnit::MM);
    onNeedData_ = [](int call) {
        if (call == 5)
            throw report::ERpError("no more rows");
    };
    EXPECT_THROW(static_cast<void>(report_->PreviewReport()), report::ERpError);
    EXPECT_EQ(report_->GetUnits(), TRpUnit::MM);
    EXPECT_TRUE(report_->Available());
    EXPECT_FALSE(report_->Running());
    EXPECT_EQ(report_->RpPrinter, nullptr);
    EXPECT_EQ(previews_.modal, 0);
    for (report::engine::TRpCustomBand* band : report_->BandList()) {
        for (const auto& printable : band->Printables())
            EXPECT_FALSE(printable->IsPrinting()) << band->Name;
    }
    EXPECT_FALSE(report_->Functions.Prepared());
    // The report runs again as if nothing had happened.
    onNeedData_ = nullptr;
    needData_ = 0;
    EXPECT_EQ(report_->PreviewReport(), TRpRunResult::Done);
    EXPECT_EQ(previews_.pages.size(), 1u);
}

TEST_F(ReportRunTest, CallsFromTheWindowsShowWhatGoesWrong)
{
    Build();
    rows_ = 3;
    // A print asked for by the preview, or posted by the printer object, that fails.
    onNeedData_ = [](int call) {
        if (call == 2)
            throw report::ERpError("Brak danych");
    };
    report_->Window().PrintToPrinter();
    needData_ = 0;
    report_->Window().PrintToPrinterMessage();
    EXPECT_EQ(messages_.TextsOf(utility::MessageKind::Error), (std::vector<std::string>{"Brak danych", "Brak danych"}));
    EXPECT_TRUE(report_->Available());
    // A save asked for while the report runs writes nothing, and says so.
    messages_.Clear();
    needData_ = 0;
    CallFilter filter;
    onNeedData_ = [&](int call) {
        if (call == 2)
            report_->Window().ExportWithFilter(filter);
    };
    EXPECT_EQ(report_->PreviewReport(), TRpRunResult::Done);
    EXPECT_TRUE(filter.calls.empty());
    EXPECT_EQ(messages_.TextsOf(utility::MessageKind::Error).size(), 1u);
}

TEST_F(ReportRunTest, CancelInTheProgressWindowOfADirectPrint)
{
    Build();
    rows_ = 300;
    int afterPrint = 0;
    report_->AfterPrint = [&](report::engine::TCustomRpReport&) { ++afterPrint; };
    bool windowFound = false;
    onNeedData_ = [&](int call) {
        if (call != 11)
            return;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<report::output::TRpProgressForm*>(widget);
            if (progress == nullptr || !progress->isVisible())
                continue;
            windowFound = true;
            progress->CancelButtonClick();
        }
    };
    EXPECT_EQ(report_->PrintToPrinter(), TRpRunResult::Cancelled);
    EXPECT_TRUE(windowFound);
    // No further rows; the window also asked the report to stop, so the loop ends as a stopped
    // one (with its Summary); the last page gets its footer and the document is ended.
    EXPECT_EQ(Prints("DetailBand1").size(), 10u);
    EXPECT_EQ(Prints("SummaryBand1").size(), 1u);
    EXPECT_EQ(Prints("PageFooterBand1").size(), 1u);
    EXPECT_EQ(afterPrint, 1);
    ASSERT_EQ(service_->jobs.size(), 1u);
    EXPECT_EQ(service_->jobs[0]->pages.size(), 1u);
    Flush();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<report::output::TRpProgressForm*>(widget), nullptr);
    }
}

TEST_F(ReportRunTest, TheRowsComeOnTheGuiThreadInBackground)
{
    Build();
    rows_ = 300;
    report_->CreateInBGThread = true;
    std::vector<bool> onGuiThread;
    onNeedData_ = [&](int) {
        onGuiThread.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
    };
    EXPECT_EQ(report_->PreviewReport(), TRpRunResult::Done);
    EXPECT_EQ(previews_.modal, 1);
    EXPECT_EQ(needData_, 301);
    EXPECT_EQ(std::count(onGuiThread.begin(), onGuiThread.end(), false), 0);
    // The preview was told of the pages one by one as they were made.
    ASSERT_GE(previews_.finishedPages.size(), 3u);
    EXPECT_EQ(previews_.finishedPages.front(), 1);
    EXPECT_TRUE(std::is_sorted(previews_.finishedPages.begin(), previews_.finishedPages.end()));
    EXPECT_EQ(previews_.pages.size(), 3u);
    EXPECT_FALSE(report_->GeneratingInBackground());
    EXPECT_EQ(report_->RpPrinter, nullptr);
}

TEST_F(ReportRunTest, AQueuedBackgroundRunKeepsItsPrinterObject)
{
    Build();
    rows_ = 3;
    ASSERT_EQ(report_->GenerateInBackground(false), TRpRunResult::Done);
    // The preview shows; the run waits for the event loop.
    ASSERT_TRUE(report_->GeneratingInBackground());
    TRpPrinter* queued = report_->RpPrinter;
    CallFilter filter;
    EXPECT_EQ(report_->PrintToPrinter(), TRpRunResult::Busy);
    EXPECT_EQ(report_->ExportWithFilter(filter), TRpRunResult::Busy);
    EXPECT_EQ(report_->PreviewReport(), TRpRunResult::Busy);
    EXPECT_FALSE(report_->CreateRpPrinter());
    EXPECT_EQ(report_->RpPrinter, queued);
    while (report_->GeneratingInBackground() || (previews_.open && previews_.open->PreviewActive()))
        Flush();
    EXPECT_EQ(needData_, 4);
    EXPECT_EQ(previews_.pages.size(), 1u);
    EXPECT_TRUE(filter.calls.empty());
}

TEST_F(ReportRunTest, ClosingThePreviewOfABackgroundRunCancelsItAndFreesItsPrinterObject)
{
    Build();
    rows_ = 300;
    report_->CreateInBGThread = true;
    QPointer<TRpPrinter> running;
    onNeedData_ = [&](int call) {
        if (call != 20)
            return;
        running = report_->RpPrinter;
        // The user closes the preview while the pages are still being made.
        report_->RpPrinter->ClosePreview();
    };
    EXPECT_EQ(report_->PreviewReport(), TRpRunResult::Done);
    EXPECT_EQ(needData_, 20);
    EXPECT_EQ(Prints("DetailBand1").size(), 19u);
    EXPECT_TRUE(Prints("SummaryBand1").empty());
    Flush();
    EXPECT_FALSE(running);
    EXPECT_EQ(report_->RpPrinter, nullptr);
    EXPECT_FALSE(report_->GeneratingInBackground());
    EXPECT_TRUE(report_->Available());
}

TEST_F(ReportRunTest, AFailedDirectPrintIsAbortedNotPrinted)
{
    Build();
    rows_ = 300;
    onNeedData_ = [](int call) {
        if (call == 150)
            throw report::ERpError("Brak danych");
    };
    EXPECT_THROW(static_cast<void>(report_->PrintToPrinter()), report::ERpError);
    ASSERT_EQ(service_->jobs.size(), 1u);
    EXPECT_FALSE(service_->jobs[0]->finished);
    EXPECT_TRUE(service_->jobs[0]->aborted);
    EXPECT_EQ(report_->RpPrinter, nullptr);
    EXPECT_TRUE(report_->Available());
}

TEST_F(ReportRunTest, PreviewWhileGeneratingWaitsForItsWindow)
{
    enum class How { Call, Message, Background };
    for (const How how : {How::Call, How::Message, How::Background}) {
        SCOPED_TRACE(static_cast<int>(how));
        needData_ = 0;
        previews_ = {};
        Build();
        rows_ = 120;
        std::vector<bool> previewShown;
        onNeedData_ = [&](int) { previewShown.push_back(previews_.open && previews_.open->PreviewActive()); };
        report_->CreateInBGThread = how == How::Background;
        if (how == How::Message)
            report_->Window().PreviewWhileGeneratingMessage();
        else
            EXPECT_EQ(report_->PreviewWhileGenerating(), TRpRunResult::Done);
        // The generation in the background goes on after the call has returned.
        while (report_->GeneratingInBackground() || (previews_.open && previews_.open->PreviewActive()))
            Flush();
        EXPECT_EQ(previews_.modeless, 1);
        // The window was up before the first row was asked for.
        EXPECT_EQ(previewShown, std::vector<bool>(121, true));
        EXPECT_EQ(previews_.pages.size(), 2u);
        Flush();
        EXPECT_FALSE(previews_.open);
        EXPECT_EQ(report_->RpPrinter, nullptr);
        report_.reset();
    }
}

TEST_F(ReportRunTest, APrinterObjectStaysWhileItsPreviewShows)
{
    Build();
    rows_ = 3;
    QPointer<TRpPrinter> first;
    bool firstAliveAfterSecond = false;
    previews_.afterModelessRun = [&](TRpPrinter& shown) {
        first = &shown;
        // A second preview while the first still shows.
        EXPECT_EQ(report_->PreviewReport(), TRpRunResult::Done);
        Flush();
        firstAliveAfterSecond = !first.isNull() && first->PreviewActive();
        if (first)
            first->ClosePreview();
    };
    EXPECT_EQ(report_->PreviewWhileGenerating(), TRpRunResult::Done);
    EXPECT_EQ(previews_.modal, 1);
    EXPECT_TRUE(firstAliveAfterSecond);
    Flush();
    EXPECT_FALSE(first);
    EXPECT_EQ(report_->RpPrinter, nullptr);
}

TEST_F(ReportRunTest, AnEarlierPreviewClosingDuringARunLeavesTheRunAlone)
{
    Build();
    rows_ = 3;
    QPointer<TRpPrinter> first;
    TRpRunResult second = TRpRunResult::Busy;
    previews_.afterModelessRun = [&](TRpPrinter& shown) {
        first = &shown;
        needData_ = 0;
        onNeedData_ = [&](int call) {
            if (call == 2 && first)
                first->ClosePreview();
        };
        second = report_->PreviewReport();
    };
    EXPECT_EQ(report_->PreviewWhileGenerating(), TRpRunResult::Done);
    EXPECT_EQ(second, TRpRunResult::Done);
    EXPECT_EQ(previews_.modal, 1);
    EXPECT_EQ(previews_.pages.size(), 1u);
    Flush();
    EXPECT_FALSE(first);
}

}  // namespace
}  // namespace enginetest
