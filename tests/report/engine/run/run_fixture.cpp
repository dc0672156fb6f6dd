#include "tests/report/engine/run/run_fixture.h"

#include "report/engine/run/report_window.h"
#include "report/expr/expr_unit.h"
#include "report/output/pages/page_list.h"
#include "tests/support/program_bands.h"

#include <QApplication>
#include <QMetaObject>

#include <numeric>

namespace enginetest {

using namespace testsupport;

using report::output::TRpPrinter;
using testsupport::FakePrinterService;

std::vector<std::string> RecordedPages(TRpPrinter& printer)
{
    std::vector<std::string> pages;
    for (int page = 1; page <= printer.PageList().PageCount(); ++page) {
        pages.push_back(printer.PageList().GetPageBytes(page).bytes);
    }
    return pages;
}

namespace {

// Calls `action` from the event loop once `printer`'s document is finished and its report has
// ended the run (nothing when the printer object has gone by then).
void WhenFinished(const QPointer<TRpPrinter>& printer, const std::function<void(TRpPrinter&)>& action)
{
    QMetaObject::invokeMethod(
        qApp,
        [printer, action] {
            if (!printer)
                return;
            const auto* window = qobject_cast<report::engine::TRpReportWindow*>(printer->ParentReport());
            const bool running = window != nullptr && !window->Report().Available();
            if (running || printer->Status() != report::output::TRpPrinterStatus::rpsFinished)
                WhenFinished(printer, action);
            else
                action(*printer);
        },
        Qt::QueuedConnection);
}

}  // namespace

QWidget* FakePreviews::Show(TRpPrinter& printer)
{
    ++log_.modeless;
    printer.SetPreviewActive(true);
    log_.open = &printer;
    PreviewLog& log = log_;
    WhenFinished(&printer, [&log](TRpPrinter& shown) {
        log.pages = RecordedPages(shown);
        if (log.afterModelessRun)
            log.afterModelessRun(shown);
        else
            shown.ClosePreview();
    });
    return nullptr;
}

QWidget* FakePreviews::ShowModal(TRpPrinter& printer)
{
    ++log_.modal;
    const QPointer<TRpPrinter> alive = &printer;
    // Like the preview control, the window follows the run as the printer object's client.
    ProgressLog watcher;
    printer.SetClientWindow(&watcher);
    printer.SetPreviewActive(true);
    // Generation in the background is queued: it runs inside the window's own loop.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    log_.finishedPages = watcher.finished;
    if (!alive)
        return nullptr;
    alive->SetClientWindow(nullptr);
    log_.pages = RecordedPages(*alive);
    if (log_.whileShown)
        log_.whileShown(*alive);
    if (alive && log_.closeModal)
        alive->ClosePreview();
    return nullptr;
}

void CallFilter::Start(std::int32_t width, std::int32_t length, const report::output::FontSpec& font,
                       const report::output::ExportDevice& device)
{
    TRpExportFilter::Start(width, length, font, device);
    calls.push_back("Start " + std::to_string(width) + "," + std::to_string(length));
}

void CallFilter::NewPage() { calls.emplace_back("NewPage"); }

void CallFilter::EndPage() { calls.emplace_back("EndPage"); }

void CallFilter::Finish()
{
    TRpExportFilter::Finish();
    calls.emplace_back("Finish");
    if (onFinish)
        onFinish();
}

void RunTest::SetUp()
{
    auto service = std::make_unique<FakePrinterService>();
    service_ = service.get();
    service_->Add("Office", FakePrinterService::A4Printer());
    service_->SetDefault("Office");
    previous_ = report::output::InstallPrinterService(std::move(service));
    report::output::SharedPrinter().Refresh();
    report::expr::InitializeExpressionUnit();
    report::output::SetPreviewInterfaceClass([this] { return std::make_unique<FakePreviews>(previews_); });
}

void RunTest::TearDown()
{
    report_.reset();
    Flush();
    report::output::SetPreviewInterfaceClass({});
    report::expr::FinalizeExpressionUnit();
    report::output::InstallPrinterService(std::move(previous_));
    report::output::SharedPrinter().Refresh();
}

void RunTest::RemovePrinters()
{
    service_->Remove("Office");
    service_->SetDefault({});
    report::output::SharedPrinter().Refresh();
}

void RunTest::Flush()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void RunTest::Build()
{
    report_ = MakeProgramReport();
    std::vector<int> order(kProgramBands.size());
    std::iota(order.begin(), order.end(), 0);
    AddProgramBands(*report_, order);
    const long double detail[] = {42.3L, 367 * 254 / 96.0L};
    Band("DetailBand1").Size.ReadValues(detail);
    Band("SummaryBand1").ForceNewPage = true;
    Band("PageFooterBand1").ForceNewPage = true;
    for (report::engine::TRpCustomBand* band : report_->BandList())
        band->NewPrintable<FakeBox>(band->Name, log_);
    Band("DetailBand1").BeforePrint = [this](report::engine::TRpCustomBand&, bool&) {
        log_.push_back("Detail:BeforePrint");
    };
    Band("TitleBand1").AfterPrint = [this](report::engine::TRpCustomBand&, bool) {
        log_.push_back("Title:AfterPrint");
    };
    report_->OnNeedData = [this](auto&&, bool& moreData) {
        ++needData_;
        log_.push_back("NeedData " + std::to_string(needData_));
        if (onNeedData_)
            onNeedData_(needData_);
        moreData = needData_ <= rows_;
    };
}

report::engine::TRpCustomBand& RunTest::Band(const std::string& name) const { return BandNamed(*report_, name); }

std::vector<std::string> RunTest::Prints(const std::string& name) const
{
    std::vector<std::string> found;
    const std::string prefix = name + ":Print ";
    for (const std::string& line : log_) {
        if (line.starts_with(prefix))
            found.push_back(line.substr(prefix.size()));
    }
    return found;
}

std::vector<std::string> RunTest::Logged(const std::string& prefix) const
{
    std::vector<std::string> found;
    for (const std::string& line : log_) {
        if (line.starts_with(prefix))
            found.push_back(line);
    }
    return found;
}

}  // namespace enginetest
