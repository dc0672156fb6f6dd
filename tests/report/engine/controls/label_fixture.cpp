#include "tests/report/engine/controls/label_fixture.h"

#include "report/engine/model/band.h"

namespace enginetest {

ScriptedReport::ScriptedReport() : TRpReport([] { return report::output::TRpPaperSize::A4; }, false) {
    Page.SetUnits(report::engine::TRpUnit::MM);
    Page.SetLeftMargin(10);
    Page.SetRightMargin(6);
    Page.SetTopMargin(10);
    Page.SetBottomMargin(10);
    Page.SetColumns(2);
    Page.SetColumnSpace(0);
    SetMeasurer(std::make_unique<FiveByteMeasurer>());
}

std::vector<std::string> TextFilter::Texts() const {
    std::vector<std::string> texts;
    for (const Line& line : lines) texts.push_back(line.text);
    return texts;
}

void LabelTest::StartReport(Device device, long double bandHeight, long double bandWidth) {
    StartReportOn(std::make_unique<ScriptedReport>(), device, bandHeight, bandWidth);
}

void LabelTest::StartReportOn(std::unique_ptr<ScriptedReport> report, Device device, long double bandHeight,
                              long double bandWidth) {
    Start(device);
    ReplaceReport(std::move(report));
    band_ = &report::engine::CreateBand(*report_, report::engine::TRpBandType::rbPageFooter);
    const long double values[] = {bandHeight, bandWidth};
    band_->Size.ReadValues(values);
}

void LabelTest::MeasureForReal() { report_->SetMeasurer(nullptr); }

long double LabelTest::LineHeight(const report::engine::TRpCustomLabel& control) {
    report::output::Canvas& canvas = *printer_->GetCanvas();
    canvas.SetFont(control.Font());
    return canvas.TextHeight("W") / printer_->YFactor();
}

}  // namespace enginetest
