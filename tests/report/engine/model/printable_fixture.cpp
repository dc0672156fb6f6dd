#include "tests/report/engine/model/printable_fixture.h"

#include "report/output/canvas/trace_canvas.h"
#include "report/output/pages/page_format.h"
#include "report/output/printer/paper_sizes.h"
#include "tests/support/program_bands.h"

namespace enginetest {

using namespace testsupport;

using testsupport::FakePrinter;
using testsupport::FakePrinterService;

void PrintableTest::SetUp()
{
    auto service = std::make_unique<FakePrinterService>();
    service_ = service.get();
    FakePrinter printer = FakePrinterService::A4Printer();
    printer.dpiX = printer.dpiY = 600;
    printer.devMode.fields |= report::output::kDmPaperWidth | report::output::kDmPaperLength;
    printer.paperCodes->push_back(report::output::PaperCode(report::output::TRpPaperSize::Custom));
    service_->Add("Office", printer);
    service_->SetDefault("Office");
    previous_ = report::output::InstallPrinterService(std::move(service));
    report::output::SharedPrinter().Refresh();
}

void PrintableTest::TearDown()
{
    band_ = nullptr;
    run_.reset();
    report_.reset();
    printer_.reset();
    report::output::InstallPrinterService(std::move(previous_));
    report::output::SharedPrinter().Refresh();
}

void PrintableTest::Start(Device device)
{
    run_.reset();
    printer_ = std::make_unique<report::output::TRpPrinter>();
    if (device == Device::Printer600) {
        printer_->Settings().SetPaperSize(report::output::TRpPaperSize::Custom);
        printer_->Settings().SetPaperWidth(kPaperWidth);
        printer_->Settings().SetPaperLength(kPaperLength);
        printer_->SetDestination(report::output::TRpPrinterDestination::rpdPrinter);
    }
    printer_->BeginDoc();
    printer_->NewPage();
    ReplaceReport(MakeProgramReport());
    band_ = &report::engine::CreateBand(*report_, report::engine::TRpBandType::rbDetail);
    const long double values[] = {42.3L, 971};
    band_->Size.ReadValues(values);
}

void PrintableTest::ReplaceReport(std::unique_ptr<report::engine::TRpReport> report)
{
    band_ = nullptr;
    run_.reset();
    report_ = std::move(report);
    run_ = std::make_unique<FixedRun>(*report_, *printer_);
}

std::vector<std::string> PrintableTest::RecordedTrace()
{
    printer_->EndDoc();
    const std::optional<report::output::Page> page = printer_->GetRecordedPage(1);
    EXPECT_TRUE(page.has_value());
    if (!page)
        return {};
    report::output::TraceCanvas canvas;
    const QRect target(0, 0, page->header.pixelWidth, page->header.pixelHeight);
    report::output::ReplayPage(*page, canvas, target);
    std::vector<std::string> lines(canvas.Lines().begin() + 1, canvas.Lines().end() - 1);
    const std::string wholePage =
        "SetClipRect 0,0," + std::to_string(target.width()) + ',' + std::to_string(target.height());
    for (std::string& line : lines) {
        if (line == wholePage)
            line = "RemoveClip";
    }
    return lines;
}

QImage PrintableTest::PrintedPage()
{
    printer_->EndDoc();
    EXPECT_FALSE(service_->jobs.empty());
    if (service_->jobs.empty() || service_->jobs.back()->pages.empty())
        return {};
    return service_->jobs.back()->pages.front();
}

void PrintableTest::Export(RecordingFilter& filter)
{
    run_->filter = &filter;
    run_->printToDevice = false;
}

std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    }
    return found;
}

}  // namespace enginetest
