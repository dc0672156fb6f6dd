#include "tests/report/engine/printing/loop_fixture.h"

#include "tests/report/engine/model/program_bands.h"
#include "report/engine/model/report.h"
#include "report/output/printer/printer_windows.h"
#include "report/output/printer/rp_printer.h"

#include <QObject>

#include <numeric>

namespace enginetest {
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

SilentClient& Client() {
    static SilentClient client;
    return client;
}

}  // namespace

void DataLoopTest::Build() {
    report_ = MakeProgramReport();
    std::vector<int> order(kProgramBands.size());
    std::iota(order.begin(), order.end(), 0);
    AddProgramBands(*report_, order);
    const long double detail[] = {42.3L, 367 * 254 / 96.0L};
    Band("DetailBand1").Size.ReadValues(detail);
    Band("SummaryBand1").ForceNewPage = true;
    for (report::engine::TRpCustomBand* band : report_->BandList()) band->NewPrintable<FakeBox>(band->Name, log_);
    printer_ = std::make_unique<report::output::TRpPrinter>();
}

report::engine::TRpCustomBand& DataLoopTest::Band(const std::string& name) { return BandNamed(*report_, name); }

void DataLoopTest::StartRun() {
    auto& report = *report_;
    printer_->SetClientWindow(&Client());
    QObject::connect(printer_.get(), &report::output::TRpPrinter::ProgressPosted,
                     [this](int percent) { progress_.push_back(percent); });
    printer_->BeginDoc();
    report.RpPrinter = printer_.get();
    report.Running = true;
    report.LastPage = false;
    report.Cancelled = false;
    report.SkipForceNewPage = false;
    report.SkipForceNewColumn = false;
    report.CurrentY = -1;
    report.PageNumber = 0;
    report.CurrentColumn = report.Page.Columns();
    report.ReserveFooterSpace();
    report.CurrentX = 100;
    report.DataSetList = report.DataSets.List();
    report.Controller().Collect();
    report.Functions.Prepare();
    report.Controller().Prepare();
}

void DataLoopTest::EndRun() {
    auto& report = *report_;
    report.CurrentX = 100;
    report.LastPage = true;
    if (!report.Cancelled) report.FinishPage();
    report.Running = false;
    report.Controller().Unprepare();
    report.Functions.Unprepare();
    if (report.Cancelled) {
        printer_->AbortDoc();
    } else {
        printer_->EndDoc();
    }
    printer_->SetClientWindow(nullptr);
}

void DataLoopTest::Run() {
    StartRun();
    report_->Controller().RunDataLoop();
    EndRun();
}

std::vector<std::string> DataLoopTest::Prints(const std::string& name) const {
    std::vector<std::string> found;
    const std::string prefix = name + ":Print ";
    for (const std::string& line : log_) {
        if (line.starts_with(prefix)) found.push_back(line.substr(prefix.size()));
    }
    return found;
}

std::vector<std::string> DataLoopTest::Sequence() const {
    std::vector<std::string> names;
    for (const std::string& line : log_) names.push_back(line.substr(0, line.find(':')));
    return names;
}

}  // namespace enginetest
