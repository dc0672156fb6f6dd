#include "tests/report/output/preview/preview_fixture.h"

#include "report/output/canvas/canvas.h"

#include <QCoreApplication>

namespace report::output::testing {

void FakePreviewedReport::ClosePreviewMessage(TRpPrinter& printer)
{
    ++closeMessages;
    if (owned.get() == &printer)
        TRpPrinter::Release(std::move(owned));
}

void FakePreviewedReport::SetPagePaper(TRpPaperSize size, int newOrientation)
{
    paper = std::make_pair(size, newOrientation);
    orientation = newOrientation;
}

bool FakePreviewedReport::OnStandPrevEvent(QWidget& sender, TStandPrevEventType eventType, const std::string& contName)
{
    static_cast<void>(sender);
    events.emplace_back(eventType, contName);
    return std::find(handles.begin(), handles.end(), eventType) != handles.end();
}

void FakePreviewedReport::PrintToPrinter()
{
    ++prints;
    if (duringPrint)
        duringPrint();
}

std::optional<TRpPrinterSettings> FakePreviewedReport::ShowPrinterSetup()
{
    ++setups;
    if (setupAnswer)
        settings.PrinterIndex = setupAnswer->PrinterIndex;
    return setupAnswer;
}

void FakePreviewedReport::ExportWithFilter(TRpExportFilter& filter)
{
    ++exports;
    if (onExport)
        onExport(filter);
}

void PreviewTest::SetUp()
{
    previous_ = InstallPrinterService(std::make_unique<FakePrinterService>());
    service_ = static_cast<FakePrinterService*>(&ThePrinterService());
    folder_ = std::filesystem::temp_directory_path() /
              ("kartovan-preview-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
}

void PreviewTest::TearDown()
{
    CloseWindows();
    InstallPrinterService(std::move(previous_));
    SetPreviewInterfaceClass({});
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void PreviewTest::UseOfficePrinter()
{
    service_->Add("Office", FakePrinterService::A4Printer());
    service_->SetDefault("Office");
    SharedPrinter().Refresh();
}

void PreviewTest::Record(TRpPrinter& printer, const DocumentText& pages, bool finish)
{
    printer.Settings().SetPaperSize(TRpPaperSize::A4);
    printer.Settings().SetOrientation(0);
    printer.BeginDoc();
    for (const std::vector<std::string>& lines : pages) {
        printer.NewPage();
        Canvas& canvas = *printer.GetCanvas();
        int y = printer.DeviceY(100);
        for (const std::string& line : lines) {
            canvas.TextOut(printer.DeviceX(100), y, line);
            y += 16;
        }
    }
    if (finish)
        printer.EndDoc();
}

DocumentText PreviewTest::NumberedPages(int count)
{
    DocumentText pages;
    for (int page = 1; page <= count; ++page)
        pages.push_back({"Page " + std::to_string(page)});
    return pages;
}

std::filesystem::path PreviewTest::SaveReportFile(const char* name, const DocumentText& pages)
{
    TRpPrinter printer;
    Record(printer, pages);
    const std::filesystem::path file = folder_ / name;
    std::string error;
    EXPECT_TRUE(printer.SaveRecordedDocument(file, error)) << error;
    return file;
}

TRpStandardPreview& PreviewTest::Open(TRpPrinter& printer)
{
    auto* window = new TRpStandardPreview(printer);
    windows_.emplace_back(window);
    window->ShowPreview();
    QCoreApplication::processEvents();
    return *window;
}

void PreviewTest::CloseWindows()
{
    for (const QPointer<TRpStandardPreview>& window : windows_) {
        if (!window)
            continue;
        // A window that refuses to close (a busy document) is freed all the same.
        window->close();
        if (window && window->isVisible())
            delete window.data();
    }
    windows_.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace report::output::testing
