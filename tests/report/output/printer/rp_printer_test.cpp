#include "report/output/printer/rp_printer.h"

#include "report/output/canvas/painter_canvas.h"
#include "report/output/printer/progress_form.h"
#include "tests/report/output/printer/rp_printer_fixture.h"
#include "utility/rp_error.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

namespace report::output {
namespace {

using testing::FakeReport;
using testing::RecordingClient;
using testing::RpPrinterTest;
using testsupport::FakePrinter;
using testsupport::FakePrinterService;

// The progress windows among the top-level widgets.
std::vector<TRpProgressForm*> ProgressForms()
{
    std::vector<TRpProgressForm*> forms;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TRpProgressForm*>(widget))
            forms.push_back(form);
    }
    return forms;
}

std::vector<int> Counts(const QSignalSpy& spy)
{
    std::vector<int> counts;
    for (const QList<QVariant>& call : spy)
        counts.push_back(call.at(0).toInt());
    return counts;
}

TEST_F(RpPrinterTest, FinishedPagesArePostedOncePerPage)
{
    struct Row {
        int pages;
        std::vector<int> posted;
    };
    const Row rows[] = {{0, {1}}, {1, {1}}, {4, {1, 2, 3, 4}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pages);
        TRpPrinter printer;
        RecordingClient client;
        printer.SetClientWindow(&client);
        QSignalSpy spy(&printer, &TRpPrinter::FinishedPagesPosted);
        Run(printer, row.pages);
        EXPECT_EQ(Counts(spy), row.posted);
        EXPECT_EQ(printer.PageList().PageCount(), row.pages);
        EXPECT_EQ(printer.Status(), TRpPrinterStatus::rpsFinished);
        QCoreApplication::processEvents();
        EXPECT_EQ(client.finished, row.posted);  // queued to the window
    }
}

TEST_F(RpPrinterTest, NothingIsPostedWithoutAClientWindow)
{
    TRpPrinter printer;
    QSignalSpy finished(&printer, &TRpPrinter::FinishedPagesPosted);
    QSignalSpy progress(&printer, &TRpPrinter::ProgressPosted);
    Run(printer, 2);
    printer.SetProgress(40);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(progress.count(), 0);
    EXPECT_EQ(printer.FinishedPages(), 2);
    EXPECT_EQ(printer.Progress(), 40);

    auto client = std::make_unique<RecordingClient>();
    printer.SetClientWindow(client.get());
    printer.SetProgress(60);
    client.reset();  // the window goes before its message arrives
    QCoreApplication::processEvents();
    EXPECT_EQ(printer.GetClientWindow(), nullptr);
}

TEST_F(RpPrinterTest, CallsOutOfTurnRaiseAndKeepTheOpenPage)
{
    TRpPrinter printer;
    try {
        printer.NewPage();
        FAIL() << "NewPage before BeginDoc";
    } catch (const ERpError& e) {
        EXPECT_STREQ(e.what(), "Illegal call to NewPage");
    }
    printer.BeginDoc();
    printer.NewPage();
    DrawMark(printer, 1);
    printer.NewPage();
    DrawMark(printer, 2);
    try {
        printer.BeginDoc();
        FAIL() << "a second BeginDoc";
    } catch (const ERpError& e) {
        EXPECT_STREQ(e.what(), "RpPrinter not ready");
    }
    EXPECT_EQ(printer.FinishedPages(), 1);
    ASSERT_NE(printer.GetCanvas(), nullptr);
    printer.EndDoc();
    EXPECT_EQ(printer.PageList().PageCount(), 2);
    EXPECT_TRUE(printer.GetRecordedPage(2));
    EXPECT_THROW(printer.NewPage(), ERpError);
}

TEST_F(RpPrinterTest, DevicePixelsRoundHalvesToEven)
{
    FakePrinter half = FakePrinterService::A4Printer();
    half.dpiX = half.dpiY = 127;  // 0.5 pixel a tenth of a millimetre
    UsePrinter(half);
    TRpPrinter printer;
    printer.SetDestination(TRpPrinterDestination::rpdPrinter);
    printer.BeginDoc();
    ASSERT_EQ(printer.XFactor(), 0.5L);
    struct Row {
        long double tenths;
        int pixels;
    };
    for (const Row& row : {Row{1, 0}, Row{3, 2}, Row{5, 2}, Row{-3, -2}, Row{7, 4}}) {
        EXPECT_EQ(printer.DeviceX(row.tenths), row.pixels) << static_cast<double>(row.tenths);
        EXPECT_EQ(printer.DeviceY(row.tenths), row.pixels);
        EXPECT_EQ(printer.DeviceWidth(row.tenths), row.pixels);
        EXPECT_EQ(printer.DeviceHeight(row.tenths), row.pixels);
    }
    printer.AbortDoc();
}

TEST_F(RpPrinterTest, OffsetsCountOnlyWhenPrinting)
{
    FakePrinter margins = FakePrinterService::A4Printer();
    margins.dpiX = margins.dpiY = 254;
    margins.offsetX = 40;
    margins.offsetY = 60;
    UsePrinter(margins);
    TRpPrinter printer;
    printer.BeginDoc();
    EXPECT_EQ(printer.GetOffsetX(), 0);
    EXPECT_EQ(printer.DeviceX(100), 38);  // 96 dpi
    printer.EndDoc();

    TRpPrinter direct;
    direct.SetDestination(TRpPrinterDestination::rpdPrinter);
    direct.BeginDoc();
    EXPECT_EQ(direct.GetOffsetX(), 40);
    EXPECT_EQ(direct.DeviceX(100), 60);
    EXPECT_EQ(direct.DeviceY(100), 40);
    direct.AbortDoc();
}

// An export is handed the device as it converts lengths when the export starts; the default
// printer's resolution is asked only when a picture needs it, and no document is left behind.
TEST_F(RpPrinterTest, AnExportIsHandedTheDeviceInForce)
{
    FakePrinter margins = FakePrinterService::A4Printer();
    margins.dpiX = 300;
    margins.dpiY = 600;
    margins.offsetX = 40;
    margins.offsetY = 60;
    UsePrinter(margins);
    service_->SetDefault("Office");
    for (const TRpPrinterDestination destination :
         {TRpPrinterDestination::rpdRecord, TRpPrinterDestination::rpdPrinter}) {
        SCOPED_TRACE(static_cast<int>(destination));
        TRpPrinter printer;
        printer.SetDestination(destination);
        printer.BeginDoc();
        service_->capabilityCalls = 0;
        const ExportDevice device = printer.DeviceForExport();
        EXPECT_EQ(device.XFactor, printer.XFactor());
        EXPECT_EQ(device.YFactor, printer.YFactor());
        EXPECT_EQ(device.OffsetX, printer.GetOffsetX());
        EXPECT_EQ(device.OffsetY, printer.GetOffsetY());
        for (const long double tenths : {0.0L, 39.5L, 100.0L, 1234.4L, -20.0L}) {
            EXPECT_EQ(device.DeviceX(tenths), printer.DeviceX(tenths)) << static_cast<double>(tenths);
            EXPECT_EQ(device.DeviceY(tenths), printer.DeviceY(tenths)) << static_cast<double>(tenths);
        }
        EXPECT_EQ(service_->capabilityCalls, 0);
        ASSERT_TRUE(device.PictureResolution);
        EXPECT_EQ(device.PictureResolution(), 300);
        EXPECT_EQ(service_->capabilityCalls, 1);
        printer.AbortDoc();
    }
    EXPECT_TRUE(service_->jobs.empty());
}

TEST_F(RpPrinterTest, PicturesAreMeantForTheDefaultPrintersResolutionOr96)
{
    struct Row {
        const char* name;
        const char* defaultPrinter;
        int dpiX;
        int expected;
    };
    const Row rows[] = {
        {"the default printer's", "Office", 300, 300},
        {"no default printer", "", 300, 96},
        {"a default printer that is gone", "Gone", 300, 96},
        {"a printer that names no resolution", "Office", 0, 96},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakePrinter office = FakePrinterService::A4Printer();
        office.dpiX = row.dpiX;
        UsePrinter(office);
        service_->SetDefault(QString::fromLatin1(row.defaultPrinter));
        EXPECT_EQ(DefaultPrinterResolution(), row.expected);
    }
    EXPECT_TRUE(service_->jobs.empty());
}

TEST_F(RpPrinterTest, RecordsPagesOfThePapersSizeAt96Dpi)
{
    struct Row {
        TRpPaperSize paper;
        int orientation;
        int width;
        int height;
    };
    const Row rows[] = {
        {TRpPaperSize::A4, 0, 794, 1123},
        {TRpPaperSize::A4, 1, 1123, 794},
        {TRpPaperSize::Letter, 0, 816, 1056},
    };
    for (const Row& row : rows) {
        TRpPrinter printer;
        printer.Settings().SetPaperSize(row.paper);
        printer.Settings().SetOrientation(row.orientation);
        Run(printer, 1);
        const std::optional<Page> page = printer.GetRecordedPage(1);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->header.pixelWidth, row.width);
        EXPECT_EQ(page->header.pixelHeight, row.height);
        EXPECT_EQ(page->header.widthTenths, printer.GetPageWidth());
        EXPECT_EQ(page->header.lengthTenths, printer.GetPageLength());
        EXPECT_EQ(printer.DeviceWidth(printer.GetPageWidth()), row.width);
        EXPECT_FALSE(printer.GetRecordedPage(0));
        EXPECT_FALSE(printer.GetRecordedPage(2));
    }
}

TEST_F(RpPrinterTest, PrintsOnlyThePagesInItsRange)
{
    struct Row {
        int first;
        int last;
        std::vector<int> printed;
    };
    const Row rows[] = {
        {3, 4, {3, 4}}, {0, 0, {1, 2, 3, 4, 5, 6}}, {5, 0, {5, 6}}, {0, 2, {1, 2}}, {6, 6, {6}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.first << ".." << row.last);
        TRpPrinter printer;
        printer.SetDestination(TRpPrinterDestination::rpdPrinter);
        printer.SetTitle("Lista");
        printer.SetFirstPage(row.first);
        printer.SetLastPage(row.last);
        Run(printer, 6);
        const std::shared_ptr<testsupport::FakeJob> job = service_->jobs.back();
        EXPECT_TRUE(job->finished);
        EXPECT_EQ(job->title, "Lista");
        std::vector<int> printed;
        for (const QImage& page : job->pages)
            printed.push_back(MarkOf(page, 60));
        EXPECT_EQ(printed, row.printed);
        EXPECT_EQ(printer.PageList().PageCount(), 0);  // nothing recorded
    }
}

TEST_F(RpPrinterTest, LowResolutionPrintersKeepAUsableFactor)
{
    FakePrinter coarse = FakePrinterService::A4Printer();
    coarse.dpiX = 60;
    coarse.dpiY = 20;  // below 25.4 dpi: a factor under 0.1
    UsePrinter(coarse);
    TRpPrinter printer;
    printer.SetDestination(TRpPrinterDestination::rpdPrinter);
    printer.BeginDoc();
    EXPECT_NEAR(static_cast<double>(printer.YFactor()), 0.37795, 1e-5);
    EXPECT_NEAR(static_cast<double>(printer.XFactor()), 60 / 254.0, 1e-9);
    for (int page = 0; page < 2; ++page) {
        printer.NewPage();
        EXPECT_EQ(printer.YFactor(), 1.0L);
    }
    printer.EndDoc();
    EXPECT_EQ(service_->jobs.back()->pages.size(), 2u);
}

TEST_F(RpPrinterTest, DirectPrintsApplyTheSettingsAndFireAfterPrint)
{
    TRpPrinter printer;
    int afterPrints = 0;
    printer.SetAfterPrintCallback([&](TRpPrinter& sender) {
        EXPECT_EQ(&sender, &printer);
        ++afterPrints;
    });
    printer.SetDestination(TRpPrinterDestination::rpdPrinter);
    printer.Settings().SetCopies(3);
    printer.Settings().SetOrientation(1);
    printer.Settings().SetPaperSize(TRpPaperSize::Letter);
    Run(printer, 1);
    EXPECT_EQ(afterPrints, 1);
    const testsupport::FakeJob& job = *service_->jobs.back();
    EXPECT_EQ(job.devMode.copies, 3);
    EXPECT_EQ(job.devMode.orientation, 2);
    EXPECT_EQ(job.devMode.paperSize, 1);
    EXPECT_GT(job.pages.front().width(), job.pages.front().height());
}

TEST_F(RpPrinterTest, RecordedPagesPrintInTheirRangeWithProgress)
{
    FakeReport report;
    report.showProgress = true;
    TRpPrinter printer(&report);
    RecordingClient preview;
    printer.SetClientWindow(&preview);
    Run(printer, 6);
    QCoreApplication::processEvents();
    preview.progress.clear();
    printer.SetReprintRecorded(true);
    printer.SetFirstPage(3);
    printer.SetLastPage(4);
    QSignalSpy progress(&printer, &TRpPrinter::ProgressPosted);
    // While printing, the progress window follows the run in the preview's place.
    int seen = 0;
    QObject::connect(&printer, &TRpPrinter::ProgressPosted, [&] {
        const std::vector<TRpProgressForm*> forms = ProgressForms();
        ASSERT_EQ(forms.size(), 1u);
        EXPECT_TRUE(forms[0]->isVisible());
        EXPECT_EQ(forms[0]->RpPrinter(), &printer);
        EXPECT_EQ(printer.GetClientWindow(), forms[0]);
        ++seen;
    });
    printer.PrintRecordedPages();

    EXPECT_EQ(seen, 2);
    EXPECT_EQ(Counts(progress), (std::vector<int>{50, 100}));
    EXPECT_TRUE(ProgressForms().empty());
    EXPECT_EQ(printer.GetClientWindow(), &preview);
    QCoreApplication::processEvents();
    EXPECT_TRUE(preview.progress.empty());
    EXPECT_EQ(report.afterPrints, 1);
    EXPECT_EQ(report.printAgainMessages, 0);
    const testsupport::FakeJob& job = *service_->jobs.back();
    ASSERT_EQ(job.pages.size(), 2u);
    EXPECT_EQ(MarkOf(job.pages[0], 60), 3);
    EXPECT_EQ(MarkOf(job.pages[1], 60), 4);
    EXPECT_TRUE(job.finished);
}

TEST_F(RpPrinterTest, ARangeBeyondTheDocumentPrintsWhatThereIs)
{
    const std::filesystem::path file = SaveReport("three.rpp", 3);
    TRpPrinter printer;
    std::string error;
    ASSERT_TRUE(printer.LoadRecordedDocument(file, error)) << error;
    struct Row {
        int first;
        int last;
        std::vector<int> printed;
    };
    const Row rows[] = {{1, 12, {1, 2, 3}}, {-4, 2, {1, 2}}, {3, 3, {3}}, {5, 9, {}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.first << ".." << row.last);
        const std::size_t jobsBefore = service_->jobs.size();
        printer.SetFirstPage(row.first);
        printer.SetLastPage(row.last);
        printer.PrintRecordedPages();
        std::vector<int> printed;
        if (service_->jobs.size() > jobsBefore) {
            for (const QImage& page : service_->jobs.back()->pages)
                printed.push_back(MarkOf(page, 60));
        }
        EXPECT_EQ(printed, row.printed);
    }
}

TEST_F(RpPrinterTest, ProgressRunsOverThePagesOfTheRangeThatThereAre)
{
    const std::filesystem::path file = SaveReport("three.rpp", 3);
    FakeReport report;
    report.showProgress = true;
    TRpPrinter printer(&report);
    std::string error;
    ASSERT_TRUE(printer.LoadRecordedDocument(file, error)) << error;
    printer.SetReprintRecorded(true);
    struct Row {
        int first;
        int last;
        std::vector<int> progress;
    };
    const Row rows[] = {
        {1, 12, {33, 67, 100}}, {2, 12, {50, 100}}, {-4, 2, {50, 100}},
        {0, 0, {33, 67, 100}},  {3, 3, {100}},      {5, 9, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.first << ".." << row.last);
        printer.SetFirstPage(row.first);
        printer.SetLastPage(row.last);
        QSignalSpy progress(&printer, &TRpPrinter::ProgressPosted);
        printer.PrintRecordedPages();
        EXPECT_EQ(Counts(progress), row.progress);
    }
    EXPECT_EQ(report.printAgainMessages, 0);
}

TEST_F(RpPrinterTest, RecordedPagesLandOnTheReportsPageAcrossTheMargins)
{
    FakePrinter margins = FakePrinterService::A4Printer();
    margins.offsetX = 30;  // pixels at 60 dpi: 12.7 mm
    margins.offsetY = 15;
    UsePrinter(margins);
    FakeReport report;
    TRpPrinter printer(&report);
    Run(printer, 1);
    printer.SetReprintRecorded(true);
    printer.PrintRecordedPages();
    const testsupport::FakeJob& job = *service_->jobs.back();
    ASSERT_EQ(job.pages.size(), 1u);
    // The mark's left edge is 10 mm from the paper's edge whatever the unprintable margin.
    EXPECT_EQ(MarkOf(job.pages[0], 60), 1);
}

TEST_F(RpPrinterTest, ALiveRecordingAsksTheReportToRunAgain)
{
    FakeReport report;
    TRpPrinter printer(&report);
    printer.SetReportWindow(&report);
    Run(printer, 2);
    printer.PrintRecordedPages();
    EXPECT_EQ(report.printAgainMessages, 0);  // posted, not yet delivered
    QCoreApplication::processEvents();
    EXPECT_EQ(report.printAgainMessages, 1);
    EXPECT_TRUE(service_->jobs.empty());

    printer.SetReprintRecorded(true);
    printer.PrintRecordedPages();
    QCoreApplication::processEvents();
    EXPECT_EQ(report.printAgainMessages, 1);
    ASSERT_EQ(service_->jobs.size(), 1u);
    EXPECT_EQ(service_->jobs[0]->pages.size(), 2u);
}

TEST_F(RpPrinterTest, CancellingAPrintAbortsIt)
{
    FakeReport report;
    TRpPrinter printer(&report);
    Run(printer, 4);
    printer.SetReprintRecorded(true);
    printer.Cancel();  // the recording was cancelled: what it kept prints all the same
    printer.PrintRecordedPages();
    ASSERT_EQ(service_->jobs.size(), 1u);
    EXPECT_TRUE(service_->jobs[0]->finished);
    EXPECT_EQ(service_->jobs[0]->pages.size(), 4u);

    // Cancel is pressed once the window has shown the first page's progress.
    report.showProgress = true;
    QObject::connect(&printer, &TRpPrinter::ProgressPosted, [] {
        for (TRpProgressForm* form : ProgressForms())
            QTimer::singleShot(0, form->CancelButton(), &QPushButton::click);
    });
    printer.PrintRecordedPages();
    EXPECT_EQ(report.stopRequests, 1);
    ASSERT_EQ(service_->jobs.size(), 2u);
    EXPECT_TRUE(service_->jobs[1]->aborted);
    EXPECT_EQ(service_->jobs[1]->pages.size(), 2u);  // page 2 was under way when Cancel arrived
    EXPECT_FALSE(printer.Printer().Printing());
    EXPECT_EQ(report.afterPrints, 2);
}

TEST_F(RpPrinterTest, WithoutPrintersRecordingWorksAndPrintingDoesNothing)
{
    service_->Remove("Office");
    SharedPrinter().Refresh();
    TRpPrinter printer;
    EXPECT_FALSE(printer.PrintersPresent());
    printer.Settings().SetPaperSize(TRpPaperSize::Default);
    printer.Settings().SetOrientation(1);
    EXPECT_EQ(printer.GetPageWidth(), 2970);
    EXPECT_EQ(printer.GetPageLength(), 2100);
    Run(printer, 2);
    EXPECT_EQ(printer.PageList().PageCount(), 2);
    printer.SetReprintRecorded(true);
    printer.PrintRecordedPages();
    EXPECT_TRUE(service_->jobs.empty());

    // Every paper is taken: a loaded A5 page reads as A5.
    const std::filesystem::path file = SaveReport("a5.rpp", 1, 1480, 2100);
    TRpPrinter loading;
    std::string error;
    ASSERT_TRUE(loading.LoadRecordedDocument(file, error)) << error;
    EXPECT_EQ(loading.GetPaperSize(), TRpPaperSize::A5);
    EXPECT_EQ(loading.GetPageWidth(), 1480);
}

TEST_F(RpPrinterTest, LoadingTakesOrientationAndPaperFromThePage)
{
    struct Row {
        int width;
        int length;
        TRpPaperSize loadedPaper;
        int loadedOrientation;
    };
    const Row rows[] = {
        {2100, 2970, TRpPaperSize::A4, 0},     {2970, 2100, TRpPaperSize::A4, 1},
        {2799, 2160, TRpPaperSize::Letter, 1}, {2109, 2979, TRpPaperSize::A4, 0},  // whole millimetres count
        {1480, 2100, TRpPaperSize::Letter, 0},  // A5: the nearest paper the printer lists
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.width << " x " << row.length);
        const std::filesystem::path file = SaveReport("page.rpp", 2, row.width, row.length);
        TRpPrinter printer;
        printer.Settings().SetPaperSize(row.loadedPaper == TRpPaperSize::A4 ? TRpPaperSize::Letter : TRpPaperSize::A4);
        printer.Settings().SetOrientation(1 - row.loadedOrientation);
        std::string error;
        ASSERT_TRUE(printer.LoadRecordedDocument(file, error)) << error;
        EXPECT_EQ(printer.GetPaperSize(), row.loadedPaper);
        EXPECT_EQ(printer.GetOrientation(), row.loadedOrientation);
        EXPECT_EQ(printer.Status(), TRpPrinterStatus::rpsFinished);
        EXPECT_EQ(printer.PageCount(), 2);
        EXPECT_TRUE(printer.ReprintRecorded());
        EXPECT_TRUE(printer.ReportFileLoaded());
        EXPECT_NE(printer.PageStream(), nullptr);
        EXPECT_TRUE(printer.GetRecordedPage(2));
    }
}

TEST_F(RpPrinterTest, AFileThatFailsToLoadLeavesTheDocumentAsItWas)
{
    const std::filesystem::path good = SaveReport("good.rpp", 2);
    QFile file(QString::fromStdString(good.string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    const std::filesystem::path cut = folder_ / "cut.rpp";
    QFile damaged(QString::fromStdString(cut.string()));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(bytes.left(bytes.size() - 7));
    damaged.close();

    TRpPrinter printer;
    printer.Settings().SetOrientation(1);
    Run(printer, 3);
    std::string error;
    for (const std::filesystem::path& bad : {cut, folder_ / "missing.rpp"}) {
        EXPECT_FALSE(printer.LoadRecordedDocument(bad, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(printer.Status(), TRpPrinterStatus::rpsFinished);
        EXPECT_EQ(printer.PageCount(), 3);
        EXPECT_EQ(printer.GetOrientation(), 1);
        EXPECT_FALSE(printer.ReportFileLoaded());
        EXPECT_TRUE(printer.GetRecordedPage(3));
    }
}

TEST_F(RpPrinterTest, AnAbortedRecordingSavesEveryPageItKept)
{
    struct Row {
        int pages;
        bool exporting;
        int saved;
    };
    const Row rows[] = {{3, false, 3}, {3, true, 2}, {0, false, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pages * 10 + row.exporting);
        FakeReport report;
        report.exporting = row.exporting;
        TRpPrinter printer(&report);
        printer.BeginDoc();
        for (int page = 1; page <= row.pages; ++page) {
            printer.NewPage();
            DrawMark(printer, page);
        }
        printer.AbortDoc();
        EXPECT_EQ(printer.Status(), TRpPrinterStatus::rpsFinished);
        const std::filesystem::path file = folder_ / "aborted.rpp";
        std::string error;
        ASSERT_TRUE(printer.SaveRecordedDocument(file, error)) << error;
        TRpPrinter loaded;
        ASSERT_TRUE(loaded.LoadRecordedDocument(file, error)) << error;
        EXPECT_EQ(loaded.PageCount(), row.saved);
    }
}

TEST_F(RpPrinterTest, OnlyAFinishedDocumentIsSaved)
{
    TRpPrinter printer;
    std::string error;
    EXPECT_FALSE(printer.SaveRecordedDocument(folder_ / "none.rpp", error));
    printer.BeginDoc();
    printer.NewPage();
    EXPECT_FALSE(printer.SaveRecordedDocument(folder_ / "busy.rpp", error));
    EXPECT_FALSE(std::filesystem::exists(folder_ / "busy.rpp"));
    printer.EndDoc();
    EXPECT_TRUE(printer.SaveRecordedDocument(folder_ / "done.rpp", error)) << error;
}

TEST_F(RpPrinterTest, ResetForgetsTheDocument)
{
    TRpPrinter printer;
    Run(printer, 2);
    printer.Reset();
    EXPECT_EQ(printer.Status(), TRpPrinterStatus::rpsReady);
    EXPECT_EQ(printer.PageList().PageCount(), 0);
    EXPECT_EQ(printer.PageStream(), nullptr);
    EXPECT_FALSE(printer.GetRecordedPage(1));

    printer.BeginDoc();
    printer.NewPage();
    printer.Reset();
    EXPECT_TRUE(printer.Cancelled());
    EXPECT_EQ(printer.GetCanvas(), nullptr);
    Run(printer, 1);
    EXPECT_EQ(printer.PageList().PageCount(), 1);
}

TEST_F(RpPrinterTest, ClosingThePreviewCancelsABusyDocumentAndTellsTheReport)
{
    FakeReport report;
    report.owned = std::make_unique<TRpPrinter>(&report);
    TRpPrinter& printer = *report.owned;
    printer.SetReportWindow(&report);
    int afterPreviews = 0;
    printer.SetAfterPreviewCallback([&](TRpPrinter&) { ++afterPreviews; });
    printer.SetPreviewActive(true);
    printer.BeginDoc();
    printer.NewPage();
    printer.SetPreviewActive(false);
    EXPECT_TRUE(printer.Cancelled());
    EXPECT_EQ(afterPreviews, 1);
    printer.SetPreviewActive(false);
    EXPECT_EQ(afterPreviews, 1);

    QPointer<TRpPrinter> watch(&printer);
    printer.SetPreviewActive(true);
    printer.ClosePreview();
    EXPECT_EQ(afterPreviews, 2);
    EXPECT_EQ(report.closeMessages, 1);
    EXPECT_TRUE(watch.isNull());  // released at once: nothing of its own was under way
}

// The preview window closes while the modal preview runs: the report frees the printer object
// on 1028, and the window then pumps messages and repaints through it.
class ClosingPreview : public PreviewInterface {
public:
    QWidget* ShowModal(TRpPrinter& printer) override
    {
        const QPointer<TRpPrinter> watch(&printer);
        printer.ClosePreview();
        QCoreApplication::processEvents();
        aliveAfterClose = !watch.isNull();
        if (watch)
            pagesSeen = watch->PageCount();
        return nullptr;
    }
    static inline bool aliveAfterClose = false;
    static inline int pagesSeen = 0;
};

TEST_F(RpPrinterTest, ThePrinterObjectOutlivesTheModalPreviewThatReleasesIt)
{
    SetPreviewInterfaceClass([] { return std::make_unique<ClosingPreview>(); });
    FakeReport report;
    report.owned = std::make_unique<TRpPrinter>(&report);
    QPointer<TRpPrinter> watch(report.owned.get());
    report.owned->SetReportWindow(&report);
    Run(*report.owned, 2);
    report.owned->PreviewModal();
    EXPECT_TRUE(ClosingPreview::aliveAfterClose);
    EXPECT_EQ(ClosingPreview::pagesSeen, 2);
    EXPECT_EQ(report.closeMessages, 1);
    EXPECT_EQ(report.owned, nullptr);
    EXPECT_TRUE(watch.isNull());
}

TEST_F(RpPrinterTest, PreviewsGoThroughOnPreviewOrTheFactory)
{
    TRpPrinter printer;
    printer.Preview();  // the base factory opens nothing
    EXPECT_EQ(printer.PreviewForm(), nullptr);

    struct CountingPreview : PreviewInterface {
        QWidget* Show(TRpPrinter&) override { return &window; }
        QWidget window;
    };
    static QWidget* shown = nullptr;
    SetPreviewInterfaceClass([] {
        auto preview = std::make_unique<CountingPreview>();
        shown = &preview->window;
        return preview;
    });
    int onPreviews = 0;
    printer.SetOnPreview([&](TRpPrinter&) { ++onPreviews; });
    printer.Preview();
    printer.PreviewModal();
    EXPECT_EQ(onPreviews, 2);
    EXPECT_EQ(shown, nullptr);
    printer.SetOnPreview({});
    printer.Preview();
    EXPECT_NE(shown, nullptr);
    EXPECT_EQ(printer.PreviewForm(), nullptr);  // the interface, and so its window, is gone
}

TEST_F(RpPrinterTest, TheClientWindowLetsGoWhenThePrinterObjectGoes)
{
    RecordingClient client;
    {
        TRpPrinter printer;
        printer.SetClientWindow(&client);
        EXPECT_EQ(printer.GetClientWindow(), &client);
    }
    EXPECT_EQ(client.detaches, 1);
}

TEST_F(RpPrinterTest, TakesTheReportsPrinterChoices)
{
    service_->Add("Plotter", FakePrinterService::A4Printer());
    SharedPrinter().Refresh();
    SharedPrinter().SetIndex(1);
    FakeReport report;
    report.settings.MemoryLimit = 1000;
    TRpPrinter own(&report);
    EXPECT_EQ(&own.Printer() == &SharedPrinter(), false);
    EXPECT_EQ(own.Printer().Name(), "Plotter");  // the shared printer's choice
    EXPECT_EQ(own.Settings().DeviceName(), "Plotter");
    EXPECT_EQ(own.Settings().MemoryLimit(), 1000);
    Run(own, 1);
    ASSERT_NE(own.PageStream(), nullptr);
    EXPECT_EQ(own.PageStream()->MemoryLimit(), 1000);

    report.settings.UseStandardprinter = true;
    TRpPrinter standard(&report);
    EXPECT_EQ(&standard.Printer(), &SharedPrinter());
    standard.SetPrinterIndex(0);  // the shared printer is not switched from here
    EXPECT_EQ(SharedPrinter().Name(), "Plotter");
}

TEST_F(RpPrinterTest, SelectingAnotherPrinterReadsItsSettings)
{
    FakePrinter plotter = FakePrinterService::A4Printer();
    plotter.dpiX = plotter.dpiY = 300;
    service_->Add("Plotter", plotter);
    TRpPrinter printer;
    ASSERT_EQ(printer.Printer().Name(), "Office");
    printer.Settings().SetCopies(4);
    printer.SetPrinterIndex(-1);
    printer.SetPrinterIndex(0);
    EXPECT_EQ(printer.Settings().Copies(), 4);
    printer.SetPrinterIndex(1);
    EXPECT_EQ(printer.Settings().DeviceName(), "Plotter");
    EXPECT_EQ(printer.Settings().DpiX(), 300);
    EXPECT_EQ(printer.Settings().Copies(), 1);
    EXPECT_THROW(printer.SetPrinterIndex(5), ERpError);
}

TEST_F(RpPrinterTest, AFileChosenForTheSharedPrinterTakesTheNextPrintOnIt)
{
    service_->Add("Plotter", FakePrinterService::A4Printer());
    SharedPrinter().Refresh();
    SharedPrinter().SetIndex(0);  // Office
    SharedPrinter().SetOutputFileName("/tmp/chosen.pdf");
    struct Row {
        const char* name;
        int index;
        const char* file;
    };
    const Row rows[] = {
        {"the printer the shared one names", -1, "/tmp/chosen.pdf"},
        {"the same printer chosen again", 0, "/tmp/chosen.pdf"},
        {"another printer", 1, ""},
        {"back on the shared printer's", 0, "/tmp/chosen.pdf"},
    };
    TRpPrinter printer;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        printer.SetPrinterIndex(row.index);
        printer.SetDestination(TRpPrinterDestination::rpdPrinter);
        printer.Reset();
        Run(printer, 1);
        EXPECT_EQ(service_->jobs.back()->outputFileName, row.file);
    }
    // Selecting a printer on the shared printer sends its documents to paper again.
    SharedPrinter().SetIndex(0);
    EXPECT_TRUE(SharedPrinter().OutputFileName().isEmpty());
    TRpPrinter later;
    later.SetDestination(TRpPrinterDestination::rpdPrinter);
    Run(later, 1);
    EXPECT_TRUE(service_->jobs.back()->outputFileName.isEmpty());
}

TEST_F(RpPrinterTest, TheCurrentPageMovesOnlyWithinTheDocument)
{
    TRpPrinter printer;
    printer.SetCurrentPage(3);
    EXPECT_EQ(printer.PageNumber(), 0);
    Run(printer, 4);
    printer.SetCurrentPage(2);
    EXPECT_EQ(printer.PageNumber(), 2);
}

TEST(SubstringPosTest, GivesTheOneBasedPosition)
{
    struct Row {
        const char* sub;
        const char* s;
        int position;
    };
    const Row rows[] = {
        {"a", "abc", 1}, {"bc", "abc", 2},   {"c", "abc", 3},       {"d", "abc", 0},
        {"", "abc", 0},  {"abcd", "abc", 0}, {"\xB9", "za\xB9", 3},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SubstringPos(row.sub, row.s), row.position) << row.sub;
}

}  // namespace
}  // namespace report::output
