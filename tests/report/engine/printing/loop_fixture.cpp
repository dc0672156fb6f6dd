#include "tests/report/engine/printing/loop_fixture.h"

#include "report/output/printer/printer_windows.h"
#include "report/output/printer/rp_printer.h"
#include "tests/support/program_bands.h"

#include <QObject>

#include <numeric>

namespace enginetest {

using namespace testsupport;
namespace {

// Makes the printer object post its progress; the messages themselves are not needed.
class SilentClient : public report::output::ClientWindow {
public:
    QObject* WindowObject() override { return &object_; }
    void ProgressMessage(int) override {}
    void FinishedPagesMessage(int) override {}

private:
    QObject object_;
};

SilentClient& Client()
{
    static SilentClient client;
    return client;
}

}  // namespace

void PagingTest::TearDown()
{
    paging_.reset();
    PrintableTest::TearDown();
}

report::engine::TRpPaging& PagingTest::StartPaging()
{
    paging_.reset();
    paging_ = std::make_unique<report::engine::TRpPaging>(
        *report_, report::engine::TRpPagingOutput{
                      .printer = *printer_, .exportFilter = exportTo_, .printToDevice = exportTo_ == nullptr});
    paging_->Start();
    return *paging_;
}

void PagingTest::DropReport()
{
    paging_.reset();
    report_.reset();
    printer_.reset();
}

void DataLoopTest::Build()
{
    paging_.reset();
    report_ = MakeProgramReport();
    std::vector<int> order(kProgramBands.size());
    std::iota(order.begin(), order.end(), 0);
    AddProgramBands(*report_, order);
    const long double detail[] = {42.3L, 367 * 254 / 96.0L};
    Band("DetailBand1").Size.ReadValues(detail);
    Band("SummaryBand1").ForceNewPage = true;
    for (report::engine::TRpCustomBand* band : report_->BandList())
        band->NewPrintable<FakeBox>(band->Name, log_);
    printer_ = std::make_unique<report::output::TRpPrinter>();
}

report::engine::TRpCustomBand& DataLoopTest::Band(const std::string& name) { return BandNamed(*report_, name); }

void DataLoopTest::StartRun()
{
    auto& report = *report_;
    printer_->SetClientWindow(&Client());
    QObject::connect(printer_.get(), &report::output::TRpPrinter::ProgressPosted,
                     [this](int percent) { progress_.push_back(percent); });
    printer_->BeginDoc();
    StartPaging();
    report.DataSetList = report.DataSets.List();
    report.Controller().Collect();
    report.Functions.Prepare();
    report.Controller().Prepare();
}

void DataLoopTest::EndRun()
{
    auto& report = *report_;
    const bool cancelled = paging_->Cancelled();
    if (!cancelled)
        paging_->FinishLastPage(true);
    report.Controller().Unprepare();
    report.Functions.Unprepare();
    if (cancelled) {
        printer_->AbortDoc();
    } else {
        printer_->EndDoc();
    }
    printer_->SetClientWindow(nullptr);
}

void DataLoopTest::Run()
{
    StartRun();
    paging_->RunDataLoop(report_->Controller());
    EndRun();
}

std::vector<std::string> DataLoopTest::Prints(const std::string& name) const
{
    std::vector<std::string> found;
    const std::string prefix = name + ":Print ";
    for (const std::string& line : log_) {
        if (line.starts_with(prefix))
            found.push_back(line.substr(prefix.size()));
    }
    return found;
}

std::vector<std::string> DataLoopTest::Sequence() const
{
    std::vector<std::string> names;
    for (const std::string& line : log_)
        names.push_back(line.substr(0, line.find(':')));
    return names;
}

}  // namespace enginetest
